#include "core/ScratchStore.h"

#include "core/Fault.h"

#include <array>
#include <fstream>
#include <system_error>

namespace quantem::core {

namespace {

    struct FileEntry
    {
        ScratchFile file;
        const char* name;
        bool inSys;
    };

    // clang-format off
    constexpr std::array kFiles {
        FileEntry { ScratchFile::Xx,   "xx.sys",   true },
        FileEntry { ScratchFile::Mb,   "mb.sys",   true },
        FileEntry { ScratchFile::Qs,   "qs.sys",   true },
        FileEntry { ScratchFile::Da,   "da.sys",   true },
        FileEntry { ScratchFile::Jb,   "jb.sys",   true },
        FileEntry { ScratchFile::Wcqk, "wcqk.sys", true },
        FileEntry { ScratchFile::Mm,   "mm.sys",   true },
        FileEntry { ScratchFile::R1,   "r1.sys",   true },
        FileEntry { ScratchFile::Rr,   "rr.sys",   true },
        FileEntry { ScratchFile::Jc,   "JC.sys",   true },
        FileEntry { ScratchFile::Culi, "culi.sys", true },
        FileEntry { ScratchFile::Xs,   "xs.sys",   true },
        FileEntry { ScratchFile::Xb,   "XB.sys",   true },
        FileEntry { ScratchFile::Hgb,  "hgb.sys",  true },
        FileEntry { ScratchFile::Bgx,  "bgx.sys",  true },
        FileEntry { ScratchFile::Bmb,  "bmb.sys",  true },
        FileEntry { ScratchFile::Data, "data.qtm", false },
    };
    // clang-format on

    const FileEntry& entryOf(ScratchFile file)
    {
        for (const FileEntry& entry : kFiles) {
            if (entry.file == file)
                return entry;
        }
        throw Fault(FaultCode::BadFileNameOrNumber);
    }

} // namespace

const char* scratchFileName(ScratchFile file) { return entryOf(file).name; }

std::string readWholeFile(const std::filesystem::path& path)
{
    std::unique_ptr<ByteSource> source = openRegularFile(path.string());
    if (!source)
        throw Fault(FaultCode::FileNotFound, "File not found: " + path.string());
    std::string content;
    // Room for the whole file at once: a large sample file is not copied as the text grows.
    content.reserve(source->sizeHint());
    // On the heap: a program started with a small stack (ulimit -s) must still read its files.
    std::vector<char> buffer(std::size_t { 1 } << 16);
    for (std::size_t count = source->read(buffer.data(), buffer.size()); count != 0;
         count = source->read(buffer.data(), buffer.size()))
        content.append(buffer.data(), count);
    return content;
}

std::unique_ptr<ByteSource> StoreBackend::open(ScratchFile file) const
{
    std::optional<std::string> content = read(file);
    if (!content)
        return nullptr;
    return std::make_unique<StringSource>(std::move(*content));
}

static std::filesystem::path scratchPath(const std::filesystem::path& root, ScratchFile file)
{
    const FileEntry& entry = entryOf(file);
    return entry.inSys ? root / "sys" / entry.name : root / entry.name;
}

FileStoreBackend::FileStoreBackend(std::filesystem::path root, FileOperations& operations)
    : m_root(std::move(root))
    , m_operations(&operations)
{
}

std::filesystem::path FileStoreBackend::pathOf(ScratchFile file) const
{
    return scratchPath(m_root, file);
}

std::optional<std::string> FileStoreBackend::read(ScratchFile file) const
{
    try {
        return readWholeFile(pathOf(file));
    } catch (const Fault& fault) {
        if (fault.code() != FaultCode::FileNotFound)
            throw;
        return std::nullopt;
    }
}

std::unique_ptr<ByteSource> FileStoreBackend::open(ScratchFile file) const
{
    return openRegularFile(pathOf(file).string());
}

void FileStoreBackend::write(ScratchFile file, const std::string& content)
{
    removeLeftTemporaryFilesOnce();
    writeFileAtomically(pathOf(file), content, *m_operations);
}

void FileStoreBackend::removeLeftTemporaryFilesOnce()
{
    // Once per backend, that is at the first write of a program run: a temporary file found then
    // was left by a run that ended in the middle of a write.
    if (m_swept)
        return;
    m_swept = true;
    std::vector<std::string> inSys;
    std::vector<std::string> inRoot;
    for (const FileEntry& entry : kFiles)
        (entry.inSys ? inSys : inRoot).emplace_back(entry.name);
    removeLeftTemporaryFiles(m_root / "sys", inSys, *m_operations);
    removeLeftTemporaryFiles(m_root, inRoot, *m_operations);
}

bool FileStoreBackend::exists(ScratchFile file) const
{
    std::error_code error;
    return std::filesystem::is_regular_file(pathOf(file), error);
}

MemoryStoreBackend::MemoryStoreBackend(
    std::map<ScratchFile, std::string> files, std::shared_ptr<const SampleStorage> samplesRead)
    : m_files(std::move(files))
    , m_samplesRead(std::move(samplesRead))
{
}

std::optional<std::string> MemoryStoreBackend::read(ScratchFile file) const
{
    const auto found = m_files.find(file);
    if (found == m_files.end())
        return std::nullopt;
    return found->second;
}

void MemoryStoreBackend::write(ScratchFile file, const std::string& content)
{
    m_files[file] = content;
    if (file == ScratchFile::Data)
        m_samplesRead.reset();
}

bool MemoryStoreBackend::exists(ScratchFile file) const { return m_files.count(file) != 0; }

std::shared_ptr<const SampleStorage> MemoryStoreBackend::samplesRead() const
{
    return exists(ScratchFile::Data) ? m_samplesRead : nullptr;
}

ScratchStore::ScratchStore(std::filesystem::path root)
    : ScratchStore(root, std::make_shared<FileStoreBackend>(root))
{
}

/// The failed writes of a store: a repeat of the last failure only moves its mark, so a run
/// that fails the same write again and again keeps one entry.
struct ScratchStore::FailedWrites
{
    struct Entry
    {
        WriteFailure failure;
        std::size_t last; // the failure count at its latest repeat
    };
    std::vector<Entry> entries;
    std::size_t count = 0;

    void add(ScratchFile file, const std::string& reason)
    {
        ++count;
        if (!entries.empty() && entries.back().failure.file == file
            && entries.back().failure.reason == reason) {
            entries.back().last = count;
            return;
        }
        entries.push_back({ { file, reason }, count });
    }
};

ScratchStore::ScratchStore(std::filesystem::path root, std::shared_ptr<StoreBackend> backend)
    : m_root(std::move(root))
    , m_backend(std::move(backend))
    , m_failures(std::make_shared<FailedWrites>())
{
}

ScratchStore ScratchStore::inMemory(
    std::map<ScratchFile, std::string> files, std::shared_ptr<const SampleStorage> samplesRead)
{
    return ScratchStore(
        {}, std::make_shared<MemoryStoreBackend>(std::move(files), std::move(samplesRead)));
}

const MemoryStoreBackend* ScratchStore::memory() const noexcept
{
    return dynamic_cast<const MemoryStoreBackend*>(m_backend.get());
}

std::filesystem::path ScratchStore::pathOf(ScratchFile file) const
{
    return scratchPath(m_root, file);
}

std::filesystem::path ScratchStore::picturePath(const std::string& pictureFile) const
{
    return m_root / "sz" / pictureFile;
}

std::filesystem::path ScratchStore::dataProgramPath() const { return m_root / "DATA"; }

std::filesystem::path ScratchStore::helpPagePath() const { return m_root / "help.html"; }

void ScratchStore::write(ScratchFile file, const std::string& content) const
{
    try {
        m_backend->write(file, content);
    } catch (const Fault& fault) {
        // Callers trap the fault as they see fit; the reason is kept so it can still be told.
        if (fault.code() == FaultCode::PathFileAccessError)
            m_failures->add(file, fault.what());
        throw;
    }
}

void ScratchStore::writeRecords(ScratchFile file, const std::vector<Record>& records) const
{
    write(file, formatRecords(records));
}

void ScratchStore::writeRecord(ScratchFile file, const Record& record) const
{
    write(file, formatRecordLine(record));
}

void ScratchStore::writeText(ScratchFile file, const std::string& text) const { write(file, text); }

std::size_t ScratchStore::writeFailureCount() const noexcept { return m_failures->count; }

std::vector<WriteFailure> ScratchStore::writeFailuresSince(std::size_t mark) const
{
    std::vector<WriteFailure> failures;
    for (const FailedWrites::Entry& entry : m_failures->entries) {
        if (entry.last <= mark)
            continue;
        bool seen = false;
        for (const WriteFailure& failure : failures)
            seen = seen || failure.file == entry.failure.file;
        if (!seen)
            failures.push_back(entry.failure);
    }
    return failures;
}

bool ScratchStore::exists(ScratchFile file) const { return m_backend->exists(file); }

std::string ScratchStore::readText(ScratchFile file) const
{
    std::optional<std::string> content = m_backend->read(file);
    if (!content)
        throw Fault(FaultCode::FileNotFound,
            "File not found: "
                + (m_root.empty() ? std::string(scratchFileName(file)) : pathOf(file).string()));
    return std::move(*content);
}

std::unique_ptr<ByteSource> ScratchStore::open(ScratchFile file) const
{
    return m_backend->open(file);
}

RecordReader ScratchStore::reader(ScratchFile file) const
{
    std::unique_ptr<ByteSource> source = m_backend->open(file);
    if (!source)
        throw Fault(FaultCode::FileNotFound,
            "File not found: "
                + (m_root.empty() ? std::string(scratchFileName(file)) : pathOf(file).string()));
    return RecordReader(std::move(source));
}

std::vector<double> ScratchStore::readNumbers(ScratchFile file, std::size_t count) const
{
    RecordReader in = reader(file);
    std::vector<double> numbers;
    numbers.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        numbers.push_back(in.readNumber());
    return numbers;
}

std::vector<RecordItem> ScratchStore::readItems(ScratchFile file, std::size_t count) const
{
    RecordReader in = reader(file);
    std::vector<RecordItem> items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        items.push_back(in.readItem());
    return items;
}

} // namespace quantem::core
