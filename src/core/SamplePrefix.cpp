#include "core/SamplePrefix.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace quantem::core {

namespace {

    /// Hands on what another source gives and keeps a copy of it.
    class KeepingSource final : public ByteSource
    {
    public:
        KeepingSource(std::unique_ptr<ByteSource> source, std::string& kept)
            : m_source(std::move(source))
            , m_kept(&kept)
        {
        }
        std::size_t read(char* buffer, std::size_t size) override
        {
            const std::size_t count = m_source->read(buffer, size);
            m_kept->append(buffer, count);
            return count;
        }

    private:
        std::unique_ptr<ByteSource> m_source;
        std::string* m_kept;
    };

    /// A source over bytes that stay where they are.
    class ViewSource final : public ByteSource
    {
    public:
        explicit ViewSource(std::string_view text)
            : m_text(text)
        {
        }
        std::size_t read(char* buffer, std::size_t size) override
        {
            const std::size_t count = std::min(size, m_text.size());
            std::memcpy(buffer, m_text.data(), count);
            m_text.remove_prefix(count);
            return count;
        }

    private:
        std::string_view m_text;
    };

} // namespace

SamplePrefix readSamplePrefix(std::unique_ptr<ByteSource> source, std::size_t itemLimit)
{
    std::string bytes;
    SampleData samples = SampleData::fromSource(
        std::make_unique<KeepingSource>(std::move(source), bytes), itemLimit);
    return { std::move(bytes), std::move(samples) };
}

SamplePrefix readSamplePrefix(std::string_view text, std::size_t itemLimit)
{
    return readSamplePrefix(std::make_unique<ViewSource>(text), itemLimit);
}

} // namespace quantem::core
