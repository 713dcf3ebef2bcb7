#include "data_program/SampleTable.h"

#include "core/Fault.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace quantem::data {
namespace {

    using Numbers = std::vector<double>;

    // The fault a call raises, with its message; code 0 when it raises none.
    template <typename Call> std::pair<int, std::string> faultOf(Call call)
    {
        try {
            call();
        } catch (const core::Fault& fault) {
            return { fault.number(), fault.what() };
        }
        return { 0, {} };
    }

    SampleTable tableOf(int groupSize, const Numbers& numbers)
    {
        SampleTable table(groupSize);
        table.setNumbers(numbers);
        return table;
    }

} // namespace

TEST(SampleText, ReadsCommaTabAndBlankSeparatedText)
{
    EXPECT_EQ(parseSampleText("1.5,2\r\n3,-4.25\r\n").numbers, (Numbers { 1.5, 2, 3, -4.25 }));
    EXPECT_EQ(parseSampleText("1.5\t2\n3\t-4.25").numbers, (Numbers { 1.5, 2, 3, -4.25 }));
    EXPECT_EQ(parseSampleText("  1.5   2\r3 \t -4.25  \n").numbers, (Numbers { 1.5, 2, 3, -4.25 }));
    EXPECT_EQ(parseSampleText("1.5 , 2\n\n\r\n 3,-4.25").numbers, (Numbers { 1.5, 2, 3, -4.25 }));
    // A comma before a line end makes no item; two commas in a row make a 0.
    EXPECT_EQ(parseSampleText("7,8,\n9,,10\n").numbers, (Numbers { 7, 8, 9, 0, 10 }));
    // Number syntax of the program: leading point, trailing point, D exponent.
    EXPECT_EQ(parseSampleText(".5,5.,2.5D2,1e-3").numbers, (Numbers { 0.5, 5, 250, 0.001 }));
    // A spreadsheet's UTF-8 file may begin with a byte-order mark.
    EXPECT_EQ(parseSampleText("\xEF\xBB\xBF"
                              "1,2")
                  .numbers,
        (Numbers { 1, 2 }));
    EXPECT_TRUE(parseSampleText("").numbers.empty());
    EXPECT_TRUE(parseSampleText("\r\n \r\n").numbers.empty());
}

TEST(SampleText, CountsTheItemsOfTheFirstNonEmptyLine)
{
    EXPECT_EQ(parseSampleText("\r\n1,2,3\r\n4,5,6").firstLineItems, 3u);
    EXPECT_EQ(parseSampleText("1 2 3 4\n").firstLineItems, 4u);
    EXPECT_EQ(parseSampleText("").firstLineItems, 0u);

    EXPECT_EQ(guessGroupSize(parseSampleText("1,2,3\n4,5,6")), 3);
    EXPECT_EQ(guessGroupSize(parseSampleText("1\t2\t3\t4")), 4);
    EXPECT_EQ(guessGroupSize(parseSampleText("1\n2\n3\n4")), kDefaultGroupSize);
    EXPECT_EQ(guessGroupSize(parseSampleText("")), kDefaultGroupSize);
    std::string wide;
    for (int i = 0; i < 51; ++i)
        wide += std::to_string(i) + ",";
    EXPECT_EQ(guessGroupSize(parseSampleText(wide)), 51);
    EXPECT_EQ(guessGroupSize(parseSampleText(wide + "51")), kDefaultGroupSize);
}

TEST(SampleText, RefusesAnItemThatIsNotANumberNamingItsPlace)
{
    auto [code, message] = faultOf([] { parseSampleText("1,2\r\n3,4x\r\n"); });
    EXPECT_EQ(code, 13);
    EXPECT_EQ(message, "Line 2, item 2 is not a number: 4x");

    std::tie(code, message) = faultOf([] { parseSampleText("1;2\n"); });
    EXPECT_EQ(code, 13);
    EXPECT_EQ(message, "Line 1, item 1 is not a number: 1;2");

    std::tie(code, message) = faultOf([] { parseSampleText("\n\n5,\"x\"\n"); });
    EXPECT_EQ(code, 13);
    EXPECT_EQ(message, "Line 3, item 2 is not a number: \"x\"");

    std::tie(code, message) = faultOf([] { parseSampleText("1,1e400\n"); });
    EXPECT_EQ(code, 6);
    EXPECT_EQ(message, "Line 1, item 2 is beyond the range of numbers: 1e400");
}

TEST(SampleText, ReadsTheSameNumbersAsTheProgramsSampleReader)
{
    const std::string text = " 1.25,\t-3e2 \r\n\r\n4.5D-1 , ,7\r8\n.5,9.,\n 0.1 0.2\t0.3\n";
    const Numbers ours = parseSampleText(text).numbers;
    core::RecordReader reader = core::SampleData::fromText(text).reader();
    Numbers theirs;
    while (!reader.atEnd())
        theirs.push_back(reader.readNumber());
    EXPECT_EQ(ours, theirs);
    EXPECT_EQ(ours.size(), 11u);
}

TEST(SampleText, ImportSkipsAFirstLineOfColumnNames)
{
    bool skipped = false;
    EXPECT_EQ(parseImportText("x,y\r\n1,2\r\n3,4\r\n", skipped).numbers, (Numbers { 1, 2, 3, 4 }));
    EXPECT_TRUE(skipped);
    EXPECT_EQ(parseImportText("\"time\"\t\"load\"\n1\t2\n", skipped).numbers, (Numbers { 1, 2 }));
    EXPECT_TRUE(skipped);
    EXPECT_EQ(parseImportText("1,2\n3,4\n", skipped).numbers, (Numbers { 1, 2, 3, 4 }));
    EXPECT_FALSE(skipped);
    // Only the first line may be a header, and only when it holds no number at all.
    EXPECT_EQ(faultOf([&] { parseImportText("x,2\n1,2\n", skipped); }).first, 13);
    EXPECT_EQ(faultOf([&] { parseImportText("x,y\nx,y\n1,2\n", skipped); }).second,
        "Line 2, item 1 is not a number: x");
}

TEST(SampleCell, TakesOneNumberOrNothing)
{
    EXPECT_EQ(parseCellText(" 2.385\t"), Cell(2.385));
    EXPECT_EQ(parseCellText("-1.5E-3"), Cell(-0.0015));
    EXPECT_EQ(parseCellText("7d2"), Cell(700.0));
    EXPECT_EQ(parseCellText(""), Cell());
    EXPECT_EQ(parseCellText("   "), Cell());

    for (const char* bad : { "abc", "1,5", "1 2", "2.385x", "--1", "e5", "." }) {
        auto [code, message] = faultOf([&] { parseCellText(bad); });
        EXPECT_EQ(code, 13) << bad;
        EXPECT_NE(message.find(std::string("\"") + bad + "\" is not a number"), std::string::npos)
            << message;
    }
    EXPECT_EQ(faultOf([] { parseCellText("-1e999"); }),
        std::make_pair(6, std::string("\"-1e999\" is beyond the range of numbers.")));

    EXPECT_EQ(cellText(Cell(0.1)), "0.1");
    EXPECT_EQ(cellText(Cell(1E+20)), "1E+20");
    EXPECT_EQ(cellText(Cell(-0.0)), "0");
    EXPECT_EQ(cellText(Cell()), "");
}

TEST(SampleTable, LaysNumbersOutInGroupsAndAgainWhenTheSizeChanges)
{
    SampleTable table = tableOf(3, { 1, 2, 3, 4, 5, 6, 7 });
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.cell(1, 0), Cell(4.0));
    EXPECT_EQ(table.cell(2, 0), Cell(7.0));
    EXPECT_EQ(table.cell(2, 1), Cell());
    EXPECT_EQ(table.groupCount(), 2);
    EXPECT_EQ(table.firstIncompleteRow(), 2);

    table.setGroupSize(2);
    ASSERT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.cell(1, 0), Cell(3.0));
    EXPECT_EQ(table.cell(3, 0), Cell(7.0));
    EXPECT_EQ(table.groupCount(), 3);

    // Gaps and empty rows drop out; the numbers keep their order.
    table.insertEmptyRows(1, 2);
    table.setCell(0, 1, std::nullopt);
    table.setCell(2, 0, 8.0);
    table.setGroupSize(4);
    EXPECT_EQ(table.numbers(), (Numbers { 1, 8, 3, 4, 5, 6, 7 }));
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.firstIncompleteRow(), 1);

    EXPECT_EQ(faultOf([&] { table.setGroupSize(1); }).first, 380);
    EXPECT_EQ(faultOf([&] { table.setGroupSize(52); }).first, 380);
    table.setGroupSize(51);
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.numbers().size(), 7u);
    EXPECT_EQ(faultOf([&] { table.cell(0, 51); }).first, 9);
}

TEST(SampleTable, AppendsAfterTheLastNumberAndWritesFromACell)
{
    SampleTable table = tableOf(3, { 1, 2, 3, 4 });
    table.insertEmptyRows(2, 2); // trailing empty rows are filled, not skipped
    table.appendNumbers({ 5, 6, 7, 8 });
    EXPECT_EQ(table.numbers(), (Numbers { 1, 2, 3, 4, 5, 6, 7, 8 }));
    EXPECT_EQ(table.cell(1, 2), Cell(6.0));
    EXPECT_EQ(table.cell(2, 1), Cell(8.0));
    EXPECT_EQ(table.rowCount(), 4);

    // A gap before the last number stays a gap.
    table.setCell(3, 1, 9.0);
    table.appendNumbers({ 10 });
    EXPECT_EQ(table.cell(3, 0), Cell());
    EXPECT_EQ(table.cell(3, 2), Cell(10.0));

    table.writeNumbersAt(1, 1, { 20, 21, 22 });
    EXPECT_EQ(table.cell(1, 1), Cell(20.0));
    EXPECT_EQ(table.cell(1, 2), Cell(21.0));
    EXPECT_EQ(table.cell(2, 0), Cell(22.0));
    EXPECT_EQ(table.cell(2, 1), Cell(8.0));

    table.writeNumbersAt(5, 2, { 30, 31 });
    EXPECT_EQ(table.rowCount(), 7);
    EXPECT_EQ(table.cell(5, 2), Cell(30.0));
    EXPECT_EQ(table.cell(6, 0), Cell(31.0));
    EXPECT_TRUE(table.isRowEmpty(4));

    SampleTable empty(2);
    empty.appendNumbers({ 1, 2, 3 });
    EXPECT_EQ(empty.rowCount(), 2);
    EXPECT_EQ(empty.cell(1, 0), Cell(3.0));
}

TEST(SampleTable, RemovesRowsGivenInAnyOrder)
{
    SampleTable table = tableOf(2, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 });
    table.removeRows({ 3, 0, 3, 9 });
    EXPECT_EQ(table.numbers(), (Numbers { 3, 4, 5, 6, 9, 10 }));
    table.clear();
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_FALSE(table.hasNumbers());
}

TEST(SampleFile, IsOneGroupPerLineWithCrLf)
{
    EXPECT_EQ(sampleFileText(tableOf(2, { 1, 2, 3, 4.5 })), "1,2\r\n3,4.5\r\n");
    EXPECT_EQ(sampleFileText(tableOf(3, { 0.1, -0.0, 1E+20, 2.5E-14, 98500000000000.0, 1.0 / 3 })),
        "0.1,0,1E+20\r\n2.5E-14,98500000000000,0.3333333333333333\r\n");
    SampleTable withBlanks = tableOf(2, { 1, 2, 3, 4 });
    withBlanks.insertEmptyRows(1, 1);
    withBlanks.insertEmptyRows(3, 2);
    EXPECT_EQ(sampleFileText(withBlanks), "1,2\r\n3,4\r\n");
    EXPECT_EQ(sampleFileText(SampleTable(4)), "");
}

TEST(SampleFile, RefusesAnIncompleteRowNamingIt)
{
    const SampleTable lastIncomplete = tableOf(3, { 1, 2, 3, 4 });
    EXPECT_EQ(saveRefusal(lastIncomplete),
        "Row 2 is incomplete: it holds 1 of the 3 numbers of a group. Fill it, delete it, or "
        "change the numbers per group before saving.");
    EXPECT_EQ(faultOf([&] { sampleFileText(lastIncomplete); }),
        std::make_pair(62, saveRefusal(lastIncomplete)));

    SampleTable gapInside = tableOf(2, { 1, 2, 3, 4, 5, 6 });
    gapInside.setCell(1, 1, std::nullopt);
    EXPECT_EQ(saveRefusal(gapInside).substr(0, 36), "Row 2 is incomplete: it holds 1 of t");
    gapInside.setCell(1, 1, 4.0);
    EXPECT_EQ(saveRefusal(gapInside), "");
}

TEST(SampleFile, ReadsBackBitForBitThroughTheSampleReader)
{
    const Numbers numbers { 0.1, 1.0 / 3, -12.375, 1E-300, 98500000000000.0, 2.5E-14,
        0.7000000000000002, 6.02214076E+23, -7.0, 123456.789 };
    const std::string text = sampleFileText(tableOf(5, numbers));
    core::RecordReader reader = core::SampleData::fromText(text).reader();
    for (double expected : numbers) {
        const double read = reader.readNumber();
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read), std::bit_cast<std::uint64_t>(expected))
            << read << " " << expected;
    }
    EXPECT_TRUE(reader.atEnd());
    // And the program reads the groups back with the same layout.
    EXPECT_EQ(parseSampleText(text).firstLineItems, 5u);
}

TEST(SampleTable, CopiesABlockAsTabSeparatedLines)
{
    const SampleTable table = tableOf(3, { 0.1, 2, 3, 1E+20, 5, 6, 7, 8 });
    EXPECT_EQ(blockText(table, { { 1, 2 }, { 0, 1 }, { 1, 1 }, { 0, 2 } }), "2\t3\n5\t6\n");
    // Cells of the block that are not given, or empty, are empty items; rows below the table
    // (the spare row) drop out.
    EXPECT_EQ(blockText(table, { { 0, 0 }, { 2, 1 }, { 3, 2 } }), "0.1\t\n\t\n\t8\n");
    EXPECT_EQ(blockText(table, { { 2, 2 } }), "\n");
    EXPECT_EQ(blockText(table, { { 3, 0 } }), "");
    // Copied numbers read back bit for bit.
    std::vector<std::pair<int, int>> twoRows;
    for (int cell = 0; cell < 6; ++cell)
        twoRows.emplace_back(cell / 3, cell % 3);
    EXPECT_EQ(
        parseSampleText(blockText(table, twoRows)).numbers, (Numbers { 0.1, 2, 3, 1E+20, 5, 6 }));
}

TEST(SampleTable, HeadsColumnsWithXAndY)
{
    EXPECT_EQ(columnHeading(0, 2), "x");
    EXPECT_EQ(columnHeading(1, 2), "y");
    EXPECT_EQ(columnHeading(0, 4), "x1");
    EXPECT_EQ(columnHeading(2, 4), "x3");
    EXPECT_EQ(columnHeading(3, 4), "y");
    EXPECT_EQ(columnHeading(49, 51), "x50");
}

} // namespace quantem::data
