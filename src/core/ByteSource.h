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
    explicit DescriptorSource(int descriptor) noexcept
        : m_descriptor(descriptor)
    {
    }
    ~DescriptorSource() override;
    DescriptorSource(const DescriptorSource&) = delete;
    DescriptorSource& operator=(const DescriptorSource&) = delete;
    std::size_t read(char* buffer, std::size_t size) override;

private:
    int m_descriptor;
};

/// Opens a regular file for reading. Anything else in its place (nothing, a folder, a device,
/// a pipe) gives null, without waiting on it.
std::unique_ptr<ByteSource> openRegularFile(const std::string& path);

} // namespace quantem::core
