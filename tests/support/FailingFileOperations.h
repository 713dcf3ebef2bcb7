#pragma once

#include "core/FileOperations.h"

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace quantem::test {

/// File operations that pass every call on to the system's and log it, except the n-th call of
/// one kind, which fails with the system error given. A failing write first writes half of its
/// bytes, as on a disk that fills up in the middle of a write.
class FailingFileOperations : public core::FileOperations
{
public:
    enum class Call
    {
        Create,
        Write,
        Flush,
        Close,
        Rename
    };

    /// One call as logged: its kind and the file it concerns (for a rename, the new name).
    struct LoggedCall
    {
        Call call;
        std::filesystem::path file;
        bool failed;
    };

    /// Makes the n-th call of that kind from now on (1: the next one) fail with error; 0 fails
    /// none.
    void failAt(Call call, int n, int error = ENOSPC);
    /// Makes the n-th call of that kind from now on that concerns the file named target (as
    /// targetName gives it: "xx.sys") fail with error.
    void failAtFile(Call call, const std::string& target, int n = 1, int error = ENOSPC);

    std::error_code create(const std::filesystem::path& path, int& file) override;
    std::error_code write(int file, std::string_view bytes) override;
    std::error_code flush(int file) override;
    std::error_code close(int file) override;
    std::error_code rename(
        const std::filesystem::path& from, const std::filesystem::path& to) override;
    std::error_code remove(const std::filesystem::path& path) override;

    const std::vector<LoggedCall>& log() const noexcept { return m_log; }
    /// The bytes offered for each file written (the name it was renamed to), in call order.
    const std::map<std::string, std::vector<std::string>>& offered() const noexcept
    {
        return m_offered;
    }

    /// The file a temporary file stands for: ".xx.sys.tmp-AbC123" -> "xx.sys".
    static std::string targetName(const std::filesystem::path& temporary);

private:
    bool failsNow(Call call, const std::filesystem::path& file);

    core::FileOperations& m_system = core::systemFileOperations();
    Call m_failCall = Call::Create;
    int m_failAt = 0;
    std::string m_failTarget; // empty: calls on any file count
    int m_targetCount = 0;
    int m_error = ENOSPC;
    std::map<Call, int> m_counts;
    std::map<int, std::filesystem::path> m_open;
    std::vector<LoggedCall> m_log;
    std::map<std::string, std::vector<std::string>> m_offered;
};

const char* callName(FailingFileOperations::Call call);

/// The files in folder whose names mark them as temporary files of a write.
std::vector<std::string> temporaryFilesIn(const std::filesystem::path& folder);

} // namespace quantem::test
