#include "core/SampleData.h"

#include <algorithm>
#include <cmath>

namespace quantem::core {

int SampleStorage::faultAt(std::size_t item) const noexcept
{
    if (item < firstFault())
        return 0;
    const auto found = std::lower_bound(m_bad.begin(), m_bad.end(), item,
        [](const BadItem& bad, std::size_t position) { return bad.item < position; });
    return found != m_bad.end() && found->item == item ? found->fault : 0;
}

FaultCode SampleStorage::faultOf(std::size_t item) const noexcept
{
    if (item >= m_values.size())
        return FaultCode::InputPastEndOfFile;
    return static_cast<FaultCode>(faultAt(item));
}

void SampleStorage::append(const ItemToken& token)
{
    switch (token.kind) {
    case ItemToken::Kind::Empty:
        m_values.push_back(0.0); // an empty item reads as 0
        return;
    case ItemToken::Kind::Number:
        m_values.push_back(token.number);
        return;
    case ItemToken::Kind::Text:
        m_bad.push_back({ m_values.size(), static_cast<int>(FaultCode::TypeMismatch) });
        break;
    case ItemToken::Kind::Unquoted:
        m_bad.push_back({ m_values.size(), token.fault });
        break;
    }
    m_values.push_back(0.0);
}

SampleStorage SampleStorage::firstItems(std::size_t count) const
{
    SampleStorage first;
    const std::size_t kept = std::min(count, m_values.size());
    first.m_values.assign(m_values.begin(), m_values.begin() + static_cast<std::ptrdiff_t>(kept));
    for (const BadItem& bad : m_bad) {
        if (bad.item >= kept)
            break;
        first.m_bad.push_back(bad);
    }
    return first;
}

SampleData::SampleData(std::shared_ptr<const SampleStorage> storage)
    : m_storage(std::move(storage))
{
}

SampleData SampleData::fromSource(std::unique_ptr<ByteSource> source, std::size_t itemLimit)
{
    auto storage = std::make_shared<SampleStorage>();
    // Room for the items asked for, up to a bound: only the pages that are filled take memory.
    if (itemLimit != kAllItems)
        storage->reserve(std::min(itemLimit, std::size_t { 1 } << 24));
    ItemScanner scanner(std::move(source));
    ItemToken token;
    // The sample passes never ask for an item's text, only for its number or its fault.
    while (storage->itemCount() < itemLimit && scanner.next(token, false))
        storage->append(token);
    return SampleData(std::move(storage));
}

namespace {

    // The store's reading of the sample file, cut to what reading itemLimit items gives.
    std::shared_ptr<const SampleStorage> samplesReadBefore(
        const ScratchStore& store, std::size_t itemLimit)
    {
        std::shared_ptr<const SampleStorage> all = store.backend().samplesRead();
        if (!all || itemLimit >= all->itemCount())
            return all;
        return std::make_shared<const SampleStorage>(all->firstItems(itemLimit));
    }

} // namespace

SampleData SampleData::load(const ScratchStore& store, std::size_t itemLimit)
{
    if (std::shared_ptr<const SampleStorage> read = samplesReadBefore(store, itemLimit))
        return SampleData(std::move(read));
    std::unique_ptr<ByteSource> source = store.open(ScratchFile::Data);
    if (!source)
        throw Fault(FaultCode::FileNotFound, "File not found: data.qtm");
    return fromSource(std::move(source), itemLimit);
}

std::optional<SampleData> SampleData::loadIfPresent(
    const ScratchStore& store, std::size_t itemLimit)
{
    if (std::shared_ptr<const SampleStorage> read = samplesReadBefore(store, itemLimit))
        return SampleData(std::move(read));
    std::unique_ptr<ByteSource> source = store.open(ScratchFile::Data);
    if (!source)
        return std::nullopt;
    return fromSource(std::move(source), itemLimit);
}

SampleData SampleData::fromText(std::string_view text, std::size_t itemLimit)
{
    return fromSource(std::make_unique<StringSource>(std::string(text)), itemLimit);
}

std::size_t SampleData::itemsFor(double groups, int size)
{
    if (!(groups > 0.0) || size <= 0)
        return 0;
    const double items = std::ceil(groups) * static_cast<double>(size);
    // Beyond what any file could hold: read to the end.
    if (!(items < 1E+18))
        return kAllItems;
    return static_cast<std::size_t>(items);
}

} // namespace quantem::core
