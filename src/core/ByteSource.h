#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace quantem::core {

/// Bytes of a named file read from its start in pieces, so that a reader can stop as soon as it
/// has the items it needs.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    /// Copies up to size bytes into buffer; returns how many, 0 at the end of the file.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    /// How many bytes the source held when it was opened (0 when it cannot say): room to make
    /// for reading it whole. The bytes read may still differ.
    virtual std::size_t sizeHint() const { return 0; }
};

/// A source over bytes held in memory.
class StringSource final : public ByteSource
{
public:
    explicit StringSource(std::string text)
        : m_text(std::move(text))
    {
    }
    std::size_t read(char* buffer, std::size_t size) override;

private:
    std::string m_text;
    std::size_t m_next = 0;
};

/// A source over an open file descriptor, closed with the source. Throws Fault 75 when the
/// system fails a read.
class DescriptorSource final : public ByteSource
{
public:
    explicit DescriptorSource(int descriptor, std::size_t sizeHint = 0) noexcept
        : m_descriptor(descriptor)
        , m_sizeHint(sizeHint)
    {
    }
    ~DescriptorSource() override;
    DescriptorSource(const DescriptorSource&) = delete;
    DescriptorSource& operator=(const DescriptorSource&) = delete;
    std::size_t read(char* buffer, std::size_t size) override;
    std::size_t sizeHint() const override { return m_sizeHint; }

private:
    int m_descriptor;
    std::size_t m_sizeHint;
};

/// Opens a regular file for reading. Anything else in its place (nothing, a folder, a device,
/// a pipe) gives null, without waiting on it.
std::unique_ptr<ByteSource> openRegularFile(const std::string& path);

} // namespace quantem::core
