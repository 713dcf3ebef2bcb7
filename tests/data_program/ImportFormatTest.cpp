#include "data_program/ImportFormat.h"

#include "core/Fault.h"
#include "data_program/SampleTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quantem::data {
namespace {

    using Numbers = std::vector<double>;

    constexpr ImportFormat kSemicolonComma { Separator::Semicolon, DecimalMark::Comma };

    // The fault reading text in format raises: its number and message; 0 when it reads.
    std::pair<int, std::string> readingFault(const std::string& text, const ImportFormat& format)
    {
        try {
            bool skipped = false;
            parseImportText(text, skipped, format);
        } catch (const core::Fault& fault) {
            return { fault.number(), fault.what() };
        }
        return { 0, {} };
    }

} // namespace

TEST(ImportFormat, ReadsSemicolonTabAndBlankSeparatedTextWithEitherDecimalMark)
{
    bool skipped = false;
    const SampleText semicolons = parseImportText(
        "Zeit;Last\r\n0,5;2,385\r\n1,25 ; -3,5E-2;\r\n;7\r\n", skipped, kSemicolonComma);
    EXPECT_TRUE(skipped);
    // A separator at the line end makes no item; an empty one between two is 0.
    EXPECT_EQ(semicolons.numbers, (Numbers { 0.5, 2.385, 1.25, -0.035, 0, 7 }));
    EXPECT_TRUE(semicolons.uniformLines);

    EXPECT_EQ(parseImportText("1,5\t2\n\t3,25\n", skipped, { Separator::Tab, DecimalMark::Comma })
                  .numbers,
        (Numbers { 1.5, 2, 0, 3.25 }));
    const SampleText blanks = parseImportText(
        "  1.5   2\t 3\n4 5\n", skipped, { Separator::Blank, DecimalMark::Point });
    EXPECT_EQ(blanks.numbers, (Numbers { 1.5, 2, 3, 4, 5 }));
    EXPECT_FALSE(blanks.uniformLines);
    EXPECT_EQ(blanks.firstLineItems, 3u);
}

TEST(ImportFormat, RefusesWhatTheChosenFormatDoesNotRead)
{
    // With a decimal comma a point is no decimal mark: a thousands point must not read as one.
    EXPECT_EQ(readingFault("1;2\n1.234;5\n", kSemicolonComma),
        std::make_pair(13, std::string("Line 2, item 1 is not a number: 1.234")));
    EXPECT_EQ(readingFault("0,5;2\n", { Separator::Semicolon, DecimalMark::Point }),
        std::make_pair(13, std::string("Line 1, item 1 is not a number: 0,5")));
    EXPECT_EQ(readingFault("1;1,5E400\n", kSemicolonComma).first, 6);
    EXPECT_EQ(readingFault("1\n", { Separator::Comma, DecimalMark::Comma }).first, 5);
}

TEST(ImportFormat, GuessesTheSeparatorAndDecimalMarkOfAText)
{
    EXPECT_EQ(guessImportFormat("a;b\n1,5;2\n"), kSemicolonComma);
    EXPECT_EQ(guessImportFormat("x, m;y\n1.5;2\n"),
        (ImportFormat { Separator::Semicolon, DecimalMark::Point }));
    EXPECT_EQ(guessImportFormat("1,5\t2\n"), (ImportFormat { Separator::Tab, DecimalMark::Comma }));
    EXPECT_EQ(guessImportFormat("1.5\t2\n"), (ImportFormat { Separator::Tab, DecimalMark::Point }));
    EXPECT_EQ(guessImportFormat("1,2\n3,4\n"), ImportFormat {});
    EXPECT_EQ(guessImportFormat("1 2\n"), (ImportFormat { Separator::Blank, DecimalMark::Point }));
}

} // namespace quantem::data
