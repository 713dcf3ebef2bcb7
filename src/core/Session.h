#pragma once

#include "core/Form11.h"
#include "core/Form2.h"
#include "core/Ports.h"
#include "core/ScratchStore.h"
#include "core/WindowStates.h"

#include <filesystem>

namespace quantem::core {

/// Addresses the program opens: its help page, home page and support e-mail, configured here once.
struct Addresses
{
    std::string help;
    std::string home = "https://quantem.example.org/";
    std::string email = "support@quantem.example.org";
};

/// Everything a command works on: the install root's files, the window states and the ports.
/// Ports may be null; a command that needs a missing port does without it.
struct Session
{
    explicit Session(std::filesystem::path root)
        : Session(ScratchStore(std::move(root)))
    {
    }
    /// A session over any store (memory for runs that must leave the install root alone).
    explicit Session(ScratchStore scratch)
        : store(std::move(scratch))
    {
        addresses.help = store.helpPagePath().string();
    }

    ScratchStore store;
    Form1 form1;
    Form2 form2;
    Form11 form11;
    MessageWindows messages;
    Addresses addresses;
    Shell* shell = nullptr;
    Questions* questions = nullptr;
    ProgressHook* progress = nullptr;
    /// A command that runs out of memory is told as a fault in the window, unless this is set:
    /// then the allocation failure goes to the caller (a ranking tries such a run again alone
    /// rather than ranking its message).
    bool handsUpOutOfMemory = false;
};

} // namespace quantem::core
