#pragma once

#include "core/ScratchStore.h"
#include "core/WindowStates.h"

#include <cstddef>
#include <optional>

namespace quantem::core {

/// The most items of data.qtm that the commands on the fit the window shows read (its details,
/// its chart): the sample count Text2 of groups of the model's size (for model 51 its elements
/// and y), and of at least four numbers, the largest groups a chart reads. None when it cannot
/// be told (xx.sys unreadable, a count that no fit takes): the commands then read as they would.
std::optional<std::size_t> itemsOfShownFit(const ScratchStore& store, const Form1& form);

/// The files of store, whose readers of the sample file as numbers (SampleData::load) take the
/// first itemLimit items read here once, as if the file ended after them. Reads and writes of
/// every file still go to store, a failed write is kept with store's failures. When data.qtm
/// cannot be read here, readers read it themselves and meet what keeps it from being read.
ScratchStore withSamplesRead(const ScratchStore& store, std::size_t itemLimit);

} // namespace quantem::core
