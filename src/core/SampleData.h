#pragma once

#include "core/Fault.h"
#include "core/Record.h"
#include "core/ScratchStore.h"

#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quantem::core {

/// The items of a sample file as one flat table of numbers, with a side table of the items that
/// are not numbers and the fault that reading each one gives.
class SampleStorage
{
public:
    struct BadItem
    {
        std::size_t item;
        int fault; // 13 for text, 6 for a number beyond the double range
    };

    /// Every item in file order; an empty item is 0, an item that is not a number holds 0 too.
    std::span<const double> values() const noexcept { return m_values; }
    std::size_t itemCount() const noexcept { return m_values.size(); }
    /// The position of the first item that is not a number, itemCount() when all are.
    std::size_t firstFault() const noexcept
    {
        return m_bad.empty() ? m_values.size() : m_bad.front().item;
    }
    /// The fault that reading the item gives, 0 for a number.
    int faultAt(std::size_t item) const noexcept;
    /// The fault that reading the item gives, counting reading past the last item (62).
    FaultCode faultOf(std::size_t item) const noexcept;

    void append(const ItemToken& token);
    void reserve(std::size_t items) { m_values.reserve(items); }
    /// The first count items: what reading no further than them gives.
    SampleStorage firstItems(std::size_t count) const;

private:
    std::vector<double> m_values;
    std::vector<BadItem> m_bad; // in file order
};

/// The sample file read once; every pass takes its groups from here in file order, meeting the
/// same faults at the same item that reading the file would meet.
class SampleData
{
public:
    /// No limit on the items read.
    static constexpr std::size_t kAllItems = std::numeric_limits<std::size_t>::max();

    /// Reads the first itemLimit items of data.qtm (all of them by default) and nothing beyond:
    /// a pass that needs N groups of g numbers passes N·g. A reader then meets the end (62)
    /// after itemLimit items. Throws Fault 53 when data.qtm is missing or is not a regular file.
    /// When the store holds the file already read, its first itemLimit items are taken from there.
    static SampleData load(const ScratchStore& store, std::size_t itemLimit = kAllItems);
    /// The same, with no value when data.qtm is missing or not a regular file.
    static std::optional<SampleData> loadIfPresent(
        const ScratchStore& store, std::size_t itemLimit = kAllItems);
    static SampleData fromText(std::string_view text, std::size_t itemLimit = kAllItems);
    /// The first itemLimit items of any source, which is read no further.
    static SampleData fromSource(std::unique_ptr<ByteSource> source, std::size_t itemLimit);

    /// The items a pass of groups groups of size numbers needs, without overflow.
    static std::size_t itemsFor(double groups, int size);

    /// A fresh reader from the first item.
    RecordReader reader() const { return RecordReader(m_storage); }
    std::size_t itemCount() const noexcept { return m_storage->itemCount(); }
    /// The flat table, for passes that take whole groups at once.
    const SampleStorage& storage() const noexcept { return *m_storage; }
    /// The same table, for a store that hands it to readers after this one.
    std::shared_ptr<const SampleStorage> sharedStorage() const noexcept { return m_storage; }

private:
    explicit SampleData(std::shared_ptr<const SampleStorage> storage);

    std::shared_ptr<const SampleStorage> m_storage;
};

} // namespace quantem::core
