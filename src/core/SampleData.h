#pragma once

#include "core/Record.h"
#include "core/ScratchStore.h"

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace quantem::core {

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
