#pragma once

#include "core/WindowStates.h"

#include <filesystem>
#include <string>

namespace quantem::core {

/// Starting programs, opening pages and new e-mails: the desktop's services.
class Shell
{
public:
    virtual ~Shell() = default;
    /// Starts the program at path with no arguments, without waiting. Returns false when it
    /// cannot be started.
    virtual bool startProgram(const std::filesystem::path& path) = 0;
    /// Opens a page (a file path or a web address) with the desktop's default handler.
    virtual bool openPage(const std::string& address) = 0;
    /// Starts a new e-mail to address.
    virtual bool startEmail(const std::string& address) = 0;
};

enum class Answer
{
    Yes,
    No,
    Cancel
};

/// Questions that wait for the user's answer.
class Questions
{
public:
    virtual ~Questions() = default;
    /// A Yes/No/Cancel question box with its text and title.
    virtual Answer askYesNoCancel(const std::string& text, const std::string& title) = 0;
    /// The save-file dialog; filter in the form "Text files (*.TXT)|*.TXT". Returns the chosen
    /// path, or an empty path when the user cancelled.
    virtual std::filesystem::path saveFileName(
        const std::string& filter, const std::string& defaultExtension)
        = 0;
};

/// Called by long runs after each evaluation, so a window can repaint its status panels.
class ProgressHook
{
public:
    virtual ~ProgressHook() = default;
    virtual void progress(const Form1& form1) = 0;
};

} // namespace quantem::core
