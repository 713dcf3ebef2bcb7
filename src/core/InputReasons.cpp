#include "core/InputReasons.h"

#include "core/Fault.h"
#include "core/NumberText.h"

#include <cmath>

namespace quantem::core {

namespace {

    constexpr std::size_t kQuotedCharacters = 20;

    // The text in double quotes, cut after 20 characters (never inside a UTF-8 sequence).
    std::string quotedText(const std::string& text)
    {
        std::size_t characters = 0;
        std::size_t end = 0;
        while (end < text.size()) {
            if ((static_cast<unsigned char>(text[end]) & 0xC0u) != 0x80u) {
                if (characters == kQuotedCharacters)
                    break;
                ++characters;
            }
            ++end;
        }
        return "\"" + text.substr(0, end) + (end < text.size() ? "...\"" : "\"");
    }

    std::string wholeNumber(double value) { return std::to_string(static_cast<long long>(value)); }

} // namespace

namespace reasons {

    std::string powerSampleCount(const std::string& text)
    {
        return "The sample count (InputSampleCapacity) must be a whole number from 3 to 32767, "
               "not "
            + quotedText(text) + ".";
    }

    std::string linearSampleCount(const std::string& text)
    {
        return "The sample count (InputSampleCapacity) must be a whole number of at least 1, not "
            + quotedText(text) + ".";
    }

    std::string linearElementCount(ModelId model, const std::string& text)
    {
        const char* field = model == kPolynomialModel ? "The degree (Input item(n))"
                                                      : "The element count (Input Element(n))";
        return std::string(field) + " must be a whole number from 1 to 50, not " + quotedText(text)
            + ".";
    }

    std::string powerElementCount(const std::string& text)
    {
        return "The element count (ElementNumber) must be from 1 to 50, not " + quotedText(text) + ".";
    }

    std::string noModelChosen()
    {
        return "No model has been chosen: pick one from the LineRegression, "
               "TwoDimensionsNonline, ThreeDimensionsNonline or FourDimensionsNonline menu.";
    }

    std::string noDegreeOfFreedom(double coefficients)
    {
        return "No degree of freedom is left: the sample count (InputSampleCapacity) must be "
               "more than the model's "
            + doubleText(coefficients) + " coefficients.";
    }

    std::string powerInitialValue(const std::string& text)
    {
        return "The power initial value (InputPowerInitialValue) must be from -100 to 100, not "
            + quotedText(text) + ".";
    }

    std::string missingSampleFile()
    {
        return "There is no sample file data.qtm: enter the samples with DataInput first.";
    }

    std::string constantColumn(int column)
    {
        return "Column " + std::to_string(column)
            + " of the samples has the same value in every group read; every column must vary.";
    }

} // namespace reasons

std::optional<std::string> sampleReadingReason(
    const ScratchStore& store, const SampleData& samples, double groupsAsked, int groupSize)
{
    if (groupSize <= 0 || !(groupsAsked >= 1.0))
        return std::nullopt;
    const SampleStorage& storage = samples.storage();
    const std::size_t asked = SampleData::itemsFor(groupsAsked, groupSize);
    const std::size_t bad = storage.firstFault();
    if (bad < asked && bad < storage.itemCount()) {
        // The samples keep numbers only: the item's text is read again from the file.
        std::string text;
        try {
            RecordReader in = store.reader(ScratchFile::Data);
            for (std::size_t item = 0; item < bad; ++item)
                in.readItem();
            const RecordItem item = in.readItem();
            if (const auto* itemText = std::get_if<std::string>(&item))
                text = *itemText;
        } catch (const Fault&) {
            // The file changed since it was read: the item is named without its text.
        }
        const std::string item
            = "Item " + std::to_string(bad + 1) + " of the sample file, " + quotedText(text);
        if (storage.faultAt(bad) == static_cast<int>(FaultCode::Overflow))
            return item + ", is beyond the range of numbers.";
        return item + ", is not a number.";
    }
    if (storage.itemCount() < asked) {
        const std::size_t held = storage.itemCount() / static_cast<std::size_t>(groupSize);
        return "The sample file holds only " + std::to_string(held) + " groups of "
            + std::to_string(groupSize) + " numbers, fewer than the sample count "
            + wholeNumber(groupsAsked) + " asks for.";
    }
    return std::nullopt;
}

void refuseInput(Session& session, MessageWindowId window, const std::optional<std::string>& text,
    const std::string& reason)
{
    session.messages.show(window, text, reason);
    session.form1.StatusBar1[0] = reason;
}

} // namespace quantem::core
