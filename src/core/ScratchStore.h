#pragma once

#include "core/Record.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quantem::core {

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

/// Writes content to path whole: into a temporary file beside it, then renamed over it, so a
/// failed write leaves the previous content. Throws Fault 75 when the file cannot be written.
void writeFileAtomically(const std::filesystem::path& path, const std::string& content);

/// Reads a whole file. Throws Fault 53 when it does not exist or cannot be opened.
std::string readWholeFile(const std::filesystem::path& path);

/// The install root with its scratch directory "sys", its pictures "sz" and the sample file.
class ScratchStore
{
public:
    explicit ScratchStore(std::filesystem::path root);

    const std::filesystem::path& root() const noexcept { return m_root; }
    std::filesystem::path pathOf(ScratchFile file) const;
    /// A formula picture in the picture directory ("gs311.bmp" -> root/sz/gs311.bmp).
    std::filesystem::path picturePath(const std::string& pictureFile) const;
    /// The launcher of the data program.
    std::filesystem::path dataProgramPath() const;
    std::filesystem::path helpPagePath() const;

    /// Rewrites the file whole with one line per record. Throws Fault 75 when it cannot.
    void writeRecords(ScratchFile file, const std::vector<Record>& records) const;
    /// Rewrites the file whole with one record.
    void writeRecord(ScratchFile file, const Record& record) const;
    /// Rewrites the file whole with plain text (the data report).
    void writeText(ScratchFile file, const std::string& text) const;

    bool exists(ScratchFile file) const;
    /// The whole file as text. Throws Fault 53 when it is missing.
    std::string readText(ScratchFile file) const;
    /// A reader over the file's items from its start. Throws Fault 53 when it is missing.
    RecordReader reader(ScratchFile file) const;
    /// The first count items as numbers (faults as RecordReader::readNumber, 53 when missing).
    std::vector<double> readNumbers(ScratchFile file, std::size_t count) const;
    /// The first count items as they stand.
    std::vector<RecordItem> readItems(ScratchFile file, std::size_t count) const;

private:
    std::filesystem::path m_root;
};

/// The sample file read and parsed once; every pass takes its groups from here in file order,
/// meeting the same faults at the same item that reading the file would meet.
class SampleData
{
public:
    /// Reads data.qtm of the store. Throws Fault 53 when it does not exist.
    static SampleData load(const ScratchStore& store);
    /// The same, with no value when data.qtm does not exist.
    static std::optional<SampleData> loadIfPresent(const ScratchStore& store);
    static SampleData fromText(std::string_view text);

    /// A fresh reader from the first item.
    RecordReader reader() const { return RecordReader(m_tokens); }
    std::size_t itemCount() const noexcept { return m_tokens->size(); }

private:
    explicit SampleData(std::shared_ptr<const std::vector<ItemToken>> tokens);
    std::shared_ptr<const std::vector<ItemToken>> m_tokens;
};

} // namespace quantem::core
