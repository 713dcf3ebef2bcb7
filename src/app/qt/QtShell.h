#pragma once

#include "core/Ports.h"

#include <QUrl>

#include <string>

namespace quantem::ui {

/// The URL the desktop is asked to open for a page. A web address (one that starts with
/// "https://" or "http://") is read as one; anything else is a file of this machine and becomes a
/// file URL of its absolute path, never text for a URL parser to guess at, so a folder named like
/// a host ("example.com/help.html") can never turn into a web address.
QUrl pageUrl(const std::string& address);

/// The desktop's services: programs are started detached, pages and new e-mails go to the
/// desktop's default handlers.
class QtShell : public core::Shell
{
public:
    bool startProgram(const std::filesystem::path& path) override;
    bool openPage(const std::string& address) override;
    bool startEmail(const std::string& address) override;
};

} // namespace quantem::ui
