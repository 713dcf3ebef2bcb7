#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace quantem::test {

/// Another program on an install root: a shell that takes the lock of root/sys/lock as the
/// programs do (flock(1)), names itself in it as name and holds it until this object goes.
class RootHolder
{
public:
    RootHolder(const std::filesystem::path& root, const std::string& name)
        : m_lock(root / "sys" / "lock")
    {
        m_shell = popen(
            ("exec 9<>'" + m_lock.string() + "'; flock 9; echo \"" + name + " $$\" >&9; read ended")
                .c_str(),
            "w");
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (m_shell != nullptr && !held() && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~RootHolder()
    {
        if (m_shell != nullptr)
            pclose(m_shell);
    }
    RootHolder(const RootHolder&) = delete;
    RootHolder& operator=(const RootHolder&) = delete;

    /// True once the shell holds the lock and has named itself.
    bool held() const
    {
        std::ifstream in(m_lock);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str().find(' ') != std::string::npos;
    }

private:
    std::filesystem::path m_lock;
    FILE* m_shell = nullptr;
};

} // namespace quantem::test
