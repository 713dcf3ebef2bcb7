#pragma once

#include "core/Ports.h"

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace quantem::test {

/// A shell that records what it was asked to start or open.
class RecordingShell : public core::Shell
{
public:
    bool startProgram(const std::filesystem::path& path) override;
    bool openPage(const std::string& address) override;
    bool startEmail(const std::string& address) override;

    std::vector<std::string> calls; // "start <path>", "page <address>", "email <address>"
    bool succeed = true;
};

/// Questions answered from a script; records every question asked.
class ScriptedQuestions : public core::Questions
{
public:
    core::Answer askYesNoCancel(const std::string& text, const std::string& title) override;
    std::filesystem::path saveFileName(
        const std::string& filter, const std::string& defaultExtension) override;

    std::deque<core::Answer> answers; // Cancel when the script runs out
    std::deque<std::filesystem::path> fileNames; // empty (cancelled) when it runs out
    std::vector<std::string> asked; // "ask <title>|<text>", "save <filter>"
};

/// Counts the progress calls of a run.
class CountingProgress : public core::ProgressHook
{
public:
    void progress(const core::Form1& form1) override;
    int calls = 0;
    std::vector<std::string> panel4;
};

} // namespace quantem::test
