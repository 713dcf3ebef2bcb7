#include "support/FailingFileOperations.h"

namespace quantem::test {

void FailingFileOperations::failAt(Call call, int n, int error)
{
    m_failCall = call;
    m_failAt = n == 0 ? 0 : m_counts[call] + n;
    m_failTarget.clear();
    m_error = error;
}

void FailingFileOperations::failAtFile(Call call, const std::string& target, int n, int error)
{
    m_failCall = call;
    m_failAt = n;
    m_failTarget = target;
    m_targetCount = 0;
    m_error = error;
}

bool FailingFileOperations::failsNow(Call call, const std::filesystem::path& file)
{
    const int count = ++m_counts[call];
    bool fails = false;
    if (call == m_failCall && m_failTarget.empty())
        fails = count == m_failAt;
    else if (call == m_failCall && targetName(file) == m_failTarget)
        fails = ++m_targetCount == m_failAt;
    m_log.push_back({ call, file, fails });
    return fails;
}

std::error_code FailingFileOperations::create(const std::filesystem::path& path, int& file)
{
    if (failsNow(Call::Create, path)) {
        file = -1;
        return { m_error, std::generic_category() };
    }
    const std::error_code error = m_system.create(path, file);
    if (!error)
        m_open[file] = path;
    return error;
}

std::error_code FailingFileOperations::write(int file, std::string_view bytes)
{
    const std::filesystem::path path = m_open[file];
    m_offered[targetName(path)].emplace_back(bytes);
    if (failsNow(Call::Write, path)) {
        m_system.write(file, bytes.substr(0, bytes.size() / 2));
        return { m_error, std::generic_category() };
    }
    return m_system.write(file, bytes);
}

std::error_code FailingFileOperations::flush(int file)
{
    if (failsNow(Call::Flush, m_open[file]))
        return { m_error, std::generic_category() };
    return m_system.flush(file);
}

std::error_code FailingFileOperations::close(int file)
{
    const std::filesystem::path path = m_open[file];
    m_open.erase(file);
    // The descriptor is released either way, as the system does on a failed close.
    const std::error_code error = m_system.close(file);
    if (failsNow(Call::Close, path))
        return { m_error, std::generic_category() };
    return error;
}

std::error_code FailingFileOperations::rename(
    const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (failsNow(Call::Rename, to))
        return { m_error, std::generic_category() };
    return m_system.rename(from, to);
}

std::error_code FailingFileOperations::remove(const std::filesystem::path& path)
{
    return m_system.remove(path);
}

std::string FailingFileOperations::targetName(const std::filesystem::path& temporary)
{
    const std::string name = temporary.filename().string();
    const std::size_t mark = name.rfind(".tmp-");
    if (name.empty() || name.front() != '.' || mark == std::string::npos)
        return name;
    return name.substr(1, mark - 1);
}

const char* callName(FailingFileOperations::Call call)
{
    switch (call) {
    case FailingFileOperations::Call::Create:
        return "create";
    case FailingFileOperations::Call::Write:
        return "write";
    case FailingFileOperations::Call::Flush:
        return "flush";
    case FailingFileOperations::Call::Close:
        return "close";
    case FailingFileOperations::Call::Rename:
        return "rename";
    }
    return "?";
}

std::vector<std::string> temporaryFilesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> found;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.find(".tmp-") != std::string::npos || name.ends_with(".part"))
            found.push_back(name);
    }
    return found;
}

} // namespace quantem::test
