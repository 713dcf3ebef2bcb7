#pragma once

#include "core/AtomicFile.h"
#include "core/ByteSource.h"
#include "core/Record.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quantem::core {

class SampleStorage;

/// Every file through which the parts of the program hand values to each other, plus the sample
/// file. The store names each file once; callers never build paths themselves.
enum class ScratchFile
{
    Xx, // v, e, k, ModelId of the chosen model
    Mb, // column-arrangement code
    Qs,
    Da, // regression state
    Jb, // what the data program is started for
    Wcqk,
    Mm, // sample count as entered
    R1, // criterion of the previous power evaluation
    Rr, // step result of the last power evaluation
    Jc, // smallest mean error reported so far
    Culi, // offsets of the data columns
    Xs, // model record of the shown result
    Xb, // published power-model coefficients and exponents
    Hgb, // coefficients of the linear family
    Bgx, // data report for the data program
    Bmb,
    Data, // the sample file data.qtm in the install root
};

/// The file name of a scratch file as the program spells it ("xx.sys", "JC.sys", "data.qtm").
const char* scratchFileName(ScratchFile file);

/// Reads a whole file. Throws Fault 53 when it does not exist, cannot be opened or is not a
/// regular file.
std::string readWholeFile(const std::filesystem::path& path);

/// Where the store's named files live. Two backends share the record rules of ScratchStore: the
/// files of an install root, and memory (runs side by side that must not touch the user's files).
class StoreBackend
{
public:
    virtual ~StoreBackend() = default;
    /// The whole content of the file, or no value when it does not exist.
    virtual std::optional<std::string> read(ScratchFile file) const = 0;
    /// The file's bytes from the start, read as far as the caller goes; null when it does not
    /// exist. By default a source over what read() gives.
    virtual std::unique_ptr<ByteSource> open(ScratchFile file) const;
    /// Replaces the file's content whole, or leaves the previous content and throws Fault 75.
    virtual void write(ScratchFile file, const std::string& content) = 0;
    virtual bool exists(ScratchFile file) const = 0;
    /// The sample file already read into numbers, while the backend holds such a reading of its
    /// current bytes; null otherwise, and readers read the bytes.
    virtual std::shared_ptr<const SampleStorage> samplesRead() const { return nullptr; }
};

/// The files of an install root: "sys/" for scratch files, data.qtm at the root. Every write
/// goes through writeFileAtomically with the given file operations; the first write also
/// removes the temporary files that a run ended in the middle of a write left behind.
class FileStoreBackend final : public StoreBackend
{
public:
    explicit FileStoreBackend(
        std::filesystem::path root, FileOperations& operations = systemFileOperations());
    std::filesystem::path pathOf(ScratchFile file) const;

    /// Anything but a regular file in a file's place (a folder, a device, a pipe) is no file.
    std::optional<std::string> read(ScratchFile file) const override;
    std::unique_ptr<ByteSource> open(ScratchFile file) const override;
    void write(ScratchFile file, const std::string& content) override;
    bool exists(ScratchFile file) const override;

private:
    void removeLeftTemporaryFilesOnce();

    std::filesystem::path m_root;
    FileOperations* m_operations;
    bool m_swept = false;
};

/// Named files as bytes in memory. Not shared between threads: one backend per session.
class MemoryStoreBackend final : public StoreBackend
{
public:
    /// samplesRead, when given, is the reading of files' data.qtm; sessions seeded with the same
    /// sample file share it instead of each reading the bytes again. Writing data.qtm drops it.
    explicit MemoryStoreBackend(std::map<ScratchFile, std::string> files = {},
        std::shared_ptr<const SampleStorage> samplesRead = nullptr);

    std::optional<std::string> read(ScratchFile file) const override;
    void write(ScratchFile file, const std::string& content) override;
    bool exists(ScratchFile file) const override;
    /// None while data.qtm is missing, whatever reading was given.
    std::shared_ptr<const SampleStorage> samplesRead() const override;

    const std::map<ScratchFile, std::string>& files() const noexcept { return m_files; }

private:
    std::map<ScratchFile, std::string> m_files;
    std::shared_ptr<const SampleStorage> m_samplesRead;
};

/// A named file that could not be written, with the reason as the user is told it (the path and
/// the system's reason).
struct WriteFailure
{
    ScratchFile file;
    std::string reason;
};

/// The program's named files with the record rules, over a backend. Copies share the backend and
/// the record of failed writes.
/// A store over the files of an install root also knows the root's other paths (pictures, help
/// page, data program); a store in memory has an empty root.
class ScratchStore
{
public:
    /// The files of the install root.
    explicit ScratchStore(std::filesystem::path root);
    /// Named files in memory, seeded with the given bytes (and the reading of their data.qtm,
    /// see MemoryStoreBackend).
    static ScratchStore inMemory(std::map<ScratchFile, std::string> files = {},
        std::shared_ptr<const SampleStorage> samplesRead = nullptr);
    /// The files of root through another backend (a file backend with its own file operations).
    ScratchStore(std::filesystem::path root, std::shared_ptr<StoreBackend> backend);

    const std::filesystem::path& root() const noexcept { return m_root; }
    std::filesystem::path pathOf(ScratchFile file) const;
    /// A formula picture in the picture directory ("gs311.bmp" -> root/sz/gs311.bmp).
    std::filesystem::path picturePath(const std::string& pictureFile) const;
    /// The launcher of the data program.
    std::filesystem::path dataProgramPath() const;
    std::filesystem::path helpPagePath() const;

    StoreBackend& backend() const noexcept { return *m_backend; }
    /// The memory backend, or null when the store is over files.
    const MemoryStoreBackend* memory() const noexcept;

    /// Rewrites the file whole with one line per record. Throws Fault 75 when it cannot.
    void writeRecords(ScratchFile file, const std::vector<Record>& records) const;
    /// Rewrites the file whole with one record.
    void writeRecord(ScratchFile file, const Record& record) const;
    /// Rewrites the file whole with plain text (the data report).
    void writeText(ScratchFile file, const std::string& text) const;

    /// How many writes have failed so far; a mark for writeFailuresSince.
    std::size_t writeFailureCount() const noexcept;
    /// The files whose writes failed after the mark, each once with its first reason after the
    /// mark, in the order they first failed.
    std::vector<WriteFailure> writeFailuresSince(std::size_t mark) const;

    bool exists(ScratchFile file) const;
    /// The whole file as text. Throws Fault 53 when it is missing.
    std::string readText(ScratchFile file) const;
    /// The file's bytes from its start, read as far as the caller goes; null when it is missing.
    std::unique_ptr<ByteSource> open(ScratchFile file) const;
    /// A reader over the file's items from its start, reading the file only as far as the items
    /// taken. Throws Fault 53 when it is missing.
    RecordReader reader(ScratchFile file) const;
    /// The first count items as numbers (faults as RecordReader::readNumber, 53 when missing);
    /// the file is read no further.
    std::vector<double> readNumbers(ScratchFile file, std::size_t count) const;
    /// The first count items as they stand.
    std::vector<RecordItem> readItems(ScratchFile file, std::size_t count) const;

private:
    struct FailedWrites;
    void write(ScratchFile file, const std::string& content) const;

    std::filesystem::path m_root;
    std::shared_ptr<StoreBackend> m_backend;
    std::shared_ptr<FailedWrites> m_failures;
};

} // namespace quantem::core
