#pragma once

namespace quantem::core {

/// True when a desktop program's command line asks only for a text on standard output (--help,
/// -h, --help-all, --version, -v): the program then needs no display, and prints it even where
/// there is none.
bool asksOnlyForText(int argc, const char* const* argv);

} // namespace quantem::core
