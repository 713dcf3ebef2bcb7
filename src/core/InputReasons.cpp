#include "core/InputReasons.h"

#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/ReadProblem.h"

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

    /// A field of the main window as the reasons name it, and what it takes.
    struct Field
    {
        const char* name;
        const char* allowed;
    };

    // clang-format off
    constexpr Field kPowerSamples { "The sample count (InputSampleCapacity)", "a whole number from 3 to 32767" };
    constexpr Field kLinearSamples { "The sample count (InputSampleCapacity)", "a whole number of at least 1" };
    constexpr Field kPowerElements { "The element count (ElementNumber)", "from 1 to 50" };
    constexpr Field kLinearElements { "The element count (Input Element(n))", "a whole number from 1 to 50" };
    constexpr Field kDegree { "The degree (Input item(n))", "a whole number from 1 to 50" };
    // clang-format on

    const Field& sampleField(ModelId model)
    {
        return usesLinearEngine(model) ? kLinearSamples : kPowerSamples;
    }

    const Field& elementField(ModelId model)
    {
        if (model == kPolynomialModel)
            return kDegree;
        return model == kMultipleLinearModel ? kLinearElements : kPowerElements;
    }

    std::string mustBe(const Field& field, const std::string& text)
    {
        return std::string(field.name) + " must be " + field.allowed + ", not " + quotedText(text)
            + ".";
    }

    std::string beyondRange(const Field& field, const std::string& text)
    {
        return std::string(field.name) + " " + quotedText(text)
            + " is beyond the range a number can hold (sizes up to about 1.8E+308): it must be "
            + field.allowed + ".";
    }

    std::string trimmed(const std::string& text)
    {
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos)
            return {};
        return text.substr(first, text.find_last_not_of(" \t") - first + 1);
    }

} // namespace

namespace reasons {

    std::string powerSampleCount(const std::string& text) { return mustBe(kPowerSamples, text); }

    std::string linearSampleCount(const std::string& text) { return mustBe(kLinearSamples, text); }

    std::string linearElementCount(ModelId model, const std::string& text)
    {
        return mustBe(model == kPolynomialModel ? kDegree : kLinearElements, text);
    }

    std::string powerElementCount(const std::string& text) { return mustBe(kPowerElements, text); }

    std::string sampleCountBeyondRange(ModelId model, const std::string& text)
    {
        return beyondRange(sampleField(model), text);
    }

    std::string elementCountBeyondRange(ModelId model, const std::string& text)
    {
        return beyondRange(elementField(model), text);
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

    std::string zeroStartValue(ModelId model, const std::string& text)
    {
        const std::string number = trimmed(text);
        double value = 1.0;
        bool isNumber = false;
        try {
            isNumber = parseNumber(number, value);
        } catch (const Fault&) {
            // Beyond the range: not the 0 this reason is about, told as not read.
        }
        std::string what = "The power initial value (InputPowerInitialValue) ";
        if (number.empty())
            what += "is empty, which counts as 0";
        else if (isNumber && value == 0.0)
            what += quotedText(text) + " is 0";
        else if (isNumber)
            what += quotedText(text)
                + " is too small for a single-precision start and so counts as 0";
        else
            what += quotedText(text) + " is not read as a number and so counts as 0";
        // x^0 is 1: every power term of the first evaluation is a0's column over again.
        return what + ": with exponents of 0 each power term is the constant 1, which model "
            + std::to_string(model)
            + " cannot tell apart from a0, so its search cannot start there. Give another start "
              "value from -100 to 100, such as 0.5.";
    }

    std::string missingSampleFile()
    {
        return "There is no sample file data.qtm: enter the samples with DataInput first.";
    }

    std::string unreadableSampleFile(const std::string& path, const std::string& systemReason)
    {
        return "The sample file " + path + " cannot be read (" + systemReason
            + "): enter the samples with DataInput first.";
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

std::optional<std::string> sampleFileProblem(const ScratchStore& store)
{
    if (store.memory() != nullptr)
        return store.exists(ScratchFile::Data) ? std::nullopt
                                               : std::optional(reasons::missingSampleFile());
    const std::filesystem::path path = store.pathOf(ScratchFile::Data);
    if (const std::optional<std::string> problem = readProblem(path))
        return reasons::unreadableSampleFile(path.string(), *problem);
    return std::nullopt;
}

void refuseInput(Session& session, MessageWindowId window, const std::optional<std::string>& text,
    const std::string& reason)
{
    session.messages.show(window, text, reason);
    session.form1.StatusBar1[0] = reason;
}

} // namespace quantem::core
