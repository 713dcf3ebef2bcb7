#pragma once

#include "core/ModelCatalogue.h"
#include "core/SampleData.h"
#include "core/Session.h"

#include <optional>
#include <string>

namespace quantem::core {

/// Plain sentences that say why a run was refused. Each names the field and what it expects; the
/// message windows keep their own short texts beside them.
namespace reasons {

    /// The sample count of a power model: not a whole number from 3 to 32767.
    std::string powerSampleCount(const std::string& text);
    /// The sample count of the linear family: not a whole number of at least 1.
    std::string linearSampleCount(const std::string& text);
    /// The element count (model 51) or degree (model 52) is not a whole number from 1 to 50.
    std::string linearElementCount(ModelId model, const std::string& text);
    /// The element count of a power model is 0.
    std::string powerElementCount(const std::string& text);
    std::string noModelChosen();
    /// The sample count does not exceed the number of coefficients.
    std::string noDegreeOfFreedom(double coefficients);
    std::string powerInitialValue(const std::string& text);
    /// The power initial value of a model with exponents reads as 0 (an empty text, one that is
    /// not a number, 0 itself, or a number too small for single precision): the search cannot
    /// start its exponents there.
    std::string zeroStartValue(ModelId model, const std::string& text);
    /// The sample count is a number beyond the range a double holds (1E+999).
    std::string sampleCountBeyondRange(ModelId model, const std::string& text);
    /// The element count or degree is a number beyond the range a double holds.
    std::string elementCountBeyondRange(ModelId model, const std::string& text);
    std::string missingSampleFile();
    /// The sample file cannot be read, with the system's reason ("Is a directory").
    std::string unreadableSampleFile(const std::string& path, const std::string& systemReason);
    /// Column (1-based) never changes over the groups read.
    std::string constantColumn(int column);

} // namespace reasons

/// Why reading groups of groupSize numbers from the samples fails: item k is not a number (quoted
/// from the store's sample file, cut to 20 characters) or beyond the range of numbers, or the file
/// holds fewer groups than asked for (and how many it holds). No value when the groups read
/// without a fault.
std::optional<std::string> sampleReadingReason(
    const ScratchStore& store, const SampleData& samples, double groupsAsked, int groupSize);

/// Why the store's sample file cannot be read: missing, or (over the files of a root) its path
/// with the system's reason. No value when it can be read.
std::optional<std::string> sampleFileProblem(const ScratchStore& store);

/// Shows a message window for a refused input and says why in status panel 1; the showing in the
/// log keeps the reason too.
void refuseInput(Session& session, MessageWindowId window, const std::optional<std::string>& text,
    const std::string& reason);

} // namespace quantem::core
