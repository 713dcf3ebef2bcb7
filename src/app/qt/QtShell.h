#pragma once

#include "core/Ports.h"

namespace quantem::ui {

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
