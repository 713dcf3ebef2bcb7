#include "core/SampleData.h"

#include "core/Fault.h"

namespace quantem::core {

SampleData::SampleData(std::shared_ptr<const std::vector<ItemToken>> tokens)
    : m_tokens(std::move(tokens))
{
}

SampleData SampleData::load(const ScratchStore& store)
{
    return fromText(store.readText(ScratchFile::Data));
}

std::optional<SampleData> SampleData::loadIfPresent(const ScratchStore& store)
{
    try {
        return load(store);
    } catch (const Fault& fault) {
        if (fault.code() != FaultCode::FileNotFound)
            throw;
        return std::nullopt;
    }
}

SampleData SampleData::fromText(std::string_view text)
{
    return SampleData(std::make_shared<const std::vector<ItemToken>>(tokenizeItems(text)));
}

} // namespace quantem::core
