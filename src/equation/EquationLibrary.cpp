#include "equation/EquationLibrary.h"

#include "core/AtomicFile.h"
#include "core/Fault.h"
#include "equation/EquationTemplates.h"
#include "equation/LibraryJson.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace quantem::equation {

namespace {

    /// The library file as found on the disk.
    struct LibraryFile
    {
        bool present = false;
        std::string bytes;
        std::string unreadable; // why the present file cannot be read, else empty
    };

    std::filesystem::path libraryPath(const std::filesystem::path& root)
    {
        return root / kEquationLibraryFile;
    }

    LibraryFile loadFile(const std::filesystem::path& path)
    {
        LibraryFile file;
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(path, error);
        if (status.type() == std::filesystem::file_type::not_found)
            return file;
        file.present = true;
        if (error) {
            file.unreadable = error.message();
            return file;
        }
        if (status.type() != std::filesystem::file_type::regular) {
            file.unreadable = "it is not a file";
            return file;
        }
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        if (in)
            bytes << in.rdbuf();
        if (!in || in.bad()) {
            file.unreadable = std::strerror(errno);
            return file;
        }
        file.bytes = bytes.str();
        return file;
    }

    std::string unreadableSentence(const std::filesystem::path& path, const LibraryFile& file)
    {
        return path.string() + " cannot be read (" + file.unreadable + ")";
    }

    /// The first free name beside path for a damaged file: path.damaged, then .damaged-2, ...
    std::filesystem::path asideName(const std::filesystem::path& path)
    {
        const std::string base = path.string() + ".damaged";
        std::error_code error;
        std::filesystem::path candidate = base;
        for (int n = 2; std::filesystem::exists(candidate, error) && n < 10000; ++n)
            candidate = base + "-" + std::to_string(n);
        return candidate;
    }

    /// The entries of the file, or why they cannot be replaced: a file that cannot be read is
    /// kept as it is, a damaged one is first copied aside.
    std::string currentEntries(const std::filesystem::path& path, core::FileOperations& operations,
        std::vector<EquationEntry>& entries)
    {
        const LibraryFile file = loadFile(path);
        if (!file.present)
            return {};
        if (!file.unreadable.empty())
            return unreadableSentence(path, file)
                + ": the library was left as it was, so that nothing in it is lost; check the "
                  "file's permissions, then try again";
        ParsedLibrary parsed = parseLibraryText(file.bytes);
        if (parsed.damage.empty()) {
            entries = std::move(parsed.entries);
            return {};
        }
        const std::filesystem::path aside = asideName(path);
        try {
            core::writeFileAtomically(aside, file.bytes, operations);
        } catch (const core::Fault& fault) {
            return path.string() + " is damaged and could not be kept aside (" + fault.what()
                + "): the library was left as it was; make room on the disk or check the "
                  "folder's permissions, then try again";
        }
        return {};
    }

    /// Writes entries as the whole library, or says why it could not.
    std::string writeEntries(const std::filesystem::path& path,
        const std::vector<EquationEntry>& entries, core::FileOperations& operations)
    {
        std::string text;
        try {
            text = libraryText(entries);
        } catch (const nlohmann::json::exception&) {
            return "the name or the formula holds bytes that are not UTF-8 text: type it again "
                   "in plain characters";
        }
        try {
            core::writeFileAtomically(path, text, operations);
        } catch (const core::Fault& fault) {
            return std::string(fault.what())
                + ". The library is as it was: make room on the disk or check the folder's "
                  "permissions, then try again";
        }
        return {};
    }

    std::string parameterRefusal(const Tape& tape, const EntryParameter& p)
    {
        if (std::find(tape.parameters.begin(), tape.parameters.end(), p.name)
            == tape.parameters.end())
            return "the formula has no parameter named " + p.name;
        if (p.start && !std::isfinite(*p.start))
            return "the start of " + p.name + " is not a finite number";
        if (!(p.lower < p.upper))
            return "the lower bound of " + p.name + " must be below its upper bound";
        return {};
    }

} // namespace

LibraryContents readEquationLibrary(const std::filesystem::path& root)
{
    LibraryContents contents;
    const std::filesystem::path path = libraryPath(root);
    const LibraryFile file = loadFile(path);
    if (!file.present)
        return contents;
    if (!file.unreadable.empty()) {
        contents.problem = unreadableSentence(path, file)
            + ", so no saved equation is offered: check the file's permissions.";
        return contents;
    }
    ParsedLibrary parsed = parseLibraryText(file.bytes);
    if (!parsed.damage.empty()) {
        contents.problem = path.string() + " is damaged (" + parsed.damage
            + "), so no saved equation is offered: mend the file, or save an equation, which "
              "keeps the damaged file aside as "
            + kEquationLibraryFile + ".damaged and starts a new library.";
        return contents;
    }
    contents.entries = std::move(parsed.entries);
    return contents;
}

std::string entryRefusal(const EquationEntry& entry)
{
    if (entry.name.find_first_not_of(" \t") == std::string::npos)
        return "an equation needs a name to be saved under";
    if (isTemplateName(entry.name))
        return "'" + entry.name
            + "' is the name of a template: save the equation under another "
              "name";
    const CompileResult compiled = compileFormula(entry.formula);
    if (!compiled.tape)
        return "the formula cannot be read: " + compiled.error.message + " (at character "
            + std::to_string(compiled.error.position) + ")";
    for (const EntryParameter& p : entry.parameters) {
        if (std::string refusal = parameterRefusal(*compiled.tape, p); !refusal.empty())
            return refusal;
    }
    return {};
}

std::string saveEquation(
    const std::filesystem::path& root, const EquationEntry& entry, core::FileOperations& operations)
{
    if (std::string refusal = entryRefusal(entry); !refusal.empty())
        return refusal;
    const std::filesystem::path path = libraryPath(root);
    std::vector<EquationEntry> entries;
    if (std::string why = currentEntries(path, operations, entries); !why.empty())
        return why;
    const auto same = std::find_if(entries.begin(), entries.end(),
        [&](const EquationEntry& e) { return e.name == entry.name; });
    if (same != entries.end())
        *same = entry;
    else
        entries.push_back(entry);
    return writeEntries(path, entries, operations);
}

std::string removeEquation(
    const std::filesystem::path& root, const std::string& name, core::FileOperations& operations)
{
    if (isTemplateName(name))
        return "'" + name + "' is a template, not a saved equation: templates cannot be removed";
    const std::filesystem::path path = libraryPath(root);
    const LibraryContents contents = readEquationLibrary(root);
    if (!contents.problem.empty())
        return contents.problem;
    std::vector<EquationEntry> entries = contents.entries;
    const auto kept = std::remove_if(
        entries.begin(), entries.end(), [&](const EquationEntry& e) { return e.name == name; });
    if (kept == entries.end())
        return "there is no saved equation named '" + name + "'";
    entries.erase(kept, entries.end());
    return writeEntries(path, entries, operations);
}

} // namespace quantem::equation
