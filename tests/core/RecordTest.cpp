#include "core/Record.h"

#include "core/Fault.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"
#include "support/Expect.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quantem::core {
namespace {

    using test::faultOf;

    TEST(Record, LinesKeepEmptyItemsQuotesAndCrLf)
    {
        EXPECT_EQ(formatRecordLine({ 0.0, EmptyItem {}, 0.0, 51.0 }), "0,,0,51\r\n");
        EXPECT_EQ(formatRecordLine({ 98500000000000.0 }), "98500000000000\r\n");
        EXPECT_EQ(formatRecordLine({ 1E+19 }), "1E+19\r\n");
        EXPECT_EQ(formatRecordLine({ 7.0, std::string("1.25"), std::string("-0.5") }),
            "7,\"1.25\",\"-0.5\"\r\n");
        EXPECT_EQ(formatRecords({ { 1.5 }, { -2.0 } }), "1.5\r\n-2\r\n");
    }

    TEST(Record, ReadingBackGivesTheSameItems)
    {
        RecordReader xx(formatRecordLine({ 0.0, EmptyItem {}, 0.0, 51.0 }));
        EXPECT_EQ(xx.readItem(), RecordItem(0.0));
        EXPECT_EQ(xx.readItem(), RecordItem(EmptyItem {}));
        EXPECT_EQ(xx.readItem(), RecordItem(0.0));
        EXPECT_EQ(xx.readItem(), RecordItem(51.0));
        EXPECT_TRUE(xx.atEnd());

        RecordReader numbers("0,,0,51\r\n");
        EXPECT_EQ(numbers.readNumber(), 0.0);
        EXPECT_EQ(numbers.readNumber(), 0.0); // an empty item reads as 0
        numbers.readNumber();
        EXPECT_EQ(numbers.readNumber(), 51.0);

        for (double value : { 0.7000000000000002, 2.5E-14, 1E+19, -0.30000000000000004, 1.0 / 3 }) {
            RecordReader in(formatRecordLine({ value }));
            EXPECT_EQ(in.readNumber(), value);
        }

        RecordReader strings("7,\"1.25\",\"-0.5\"\r\n");
        EXPECT_EQ(strings.readNumber(), 7.0);
        EXPECT_EQ(strings.readString(), "1.25");
        EXPECT_EQ(strings.readString(), "-0.5");
    }

    TEST(Record, SeparatorsBlanksAndLineEnds)
    {
        RecordReader in(" 1 , 2,\r\n3\t4\n\n5\r6 7,\n8");
        for (double expected : { 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0 })
            EXPECT_EQ(in.readNumber(), expected);
        EXPECT_TRUE(in.atEnd());

        RecordReader forms(".5,5.,-2.5E+3,1d2,+7");
        for (double expected : { 0.5, 5.0, -2500.0, 100.0, 7.0 })
            EXPECT_EQ(forms.readNumber(), expected);
    }

    TEST(Record, FaultsOfReading)
    {
        EXPECT_EQ(faultOf([] { RecordReader("1,2").readNumber(); }), 0);
        EXPECT_EQ(faultOf([] {
            RecordReader in("1");
            in.readNumber();
            in.readNumber();
        }),
            62);
        EXPECT_EQ(faultOf([] { RecordReader("abc").readNumber(); }), 13);
        EXPECT_EQ(faultOf([] { RecordReader("1.2.3").readNumber(); }), 13);
        EXPECT_EQ(faultOf([] { RecordReader("\"text\"").readNumber(); }), 13);
        EXPECT_EQ(faultOf([] { RecordReader("1e999").readNumber(); }), 6);
    }

    TEST(Record, FiveZerosReadAsFour)
    {
        RecordReader in("0,0,0,0,0\r\n");
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(in.readNumber(), 0.0);
        EXPECT_FALSE(in.atEnd()); // the fifth is simply not read
    }

    TEST(ScratchStore, NamesEveryFileOnce)
    {
        ScratchStore store("/root-dir");
        EXPECT_EQ(store.pathOf(ScratchFile::Jc), std::filesystem::path("/root-dir/sys/JC.sys"));
        EXPECT_EQ(store.pathOf(ScratchFile::Xb), std::filesystem::path("/root-dir/sys/XB.sys"));
        EXPECT_EQ(store.pathOf(ScratchFile::Data), std::filesystem::path("/root-dir/data.qtm"));
        EXPECT_EQ(store.picturePath("gs331.bmp"), std::filesystem::path("/root-dir/sz/gs331.bmp"));
        EXPECT_STREQ(scratchFileName(ScratchFile::Wcqk), "wcqk.sys");
    }

    TEST(ScratchStore, RewritesWholeAndReadsBack)
    {
        test::TempRoot root;
        ScratchStore store(root.path());
        store.writeRecord(ScratchFile::Mb, { 0.0, 0.0 });
        EXPECT_EQ(root.readSys("mb.sys"), "0,0\r\n");
        EXPECT_EQ(store.readNumbers(ScratchFile::Mb, 1), std::vector<double> { 0.0 });
        store.writeRecord(ScratchFile::Mb, { 0.0 });
        EXPECT_EQ(root.readSys("mb.sys"), "0\r\n");
        store.writeRecords(ScratchFile::Hgb, { { 1.5 }, { 0.8 } });
        EXPECT_EQ(root.readSys("hgb.sys"), "1.5\r\n0.8\r\n");
        EXPECT_FALSE(store.exists(ScratchFile::Rr));
        EXPECT_EQ(faultOf([&] { store.readNumbers(ScratchFile::Rr, 1); }), 53);
    }

    TEST(ScratchStore, FailedWriteKeepsThePreviousContent)
    {
        test::TempRoot root;
        ScratchStore store(root.path());
        store.writeRecord(ScratchFile::Xx, { 1.0, 1.0, 1.0, 7.0 });
        // A folder where the file should be makes the rename over it fail.
        std::filesystem::create_directory(root.sys("mb.sys"));
        EXPECT_EQ(faultOf([&] { store.writeRecord(ScratchFile::Mb, { 0.0 }); }), 75);
        EXPECT_TRUE(std::filesystem::is_directory(root.sys("mb.sys")));
        EXPECT_EQ(root.readSys("xx.sys"), "1,1,1,7\r\n");

        ScratchStore missing(root.path() / "no-such-root");
        EXPECT_EQ(faultOf([&] { missing.writeRecord(ScratchFile::Da, { 2.0 }); }), 75);
    }

    TEST(ScratchStore, MemoryBackendKeepsFilesApartFromTheRoot)
    {
        ScratchStore store = ScratchStore::inMemory({ { ScratchFile::Data, "1.5,2\r\n" } });
        EXPECT_TRUE(store.root().empty());
        ASSERT_NE(store.memory(), nullptr);
        EXPECT_EQ(faultOf([&] { store.readNumbers(ScratchFile::Xx, 1); }), 53);
        store.writeRecord(ScratchFile::Xx, { 1.0, 1.0, 1.0, 7.0 });
        ScratchStore copy = store; // copies share the files
        EXPECT_EQ(copy.readText(ScratchFile::Xx), "1,1,1,7\r\n");
        EXPECT_EQ(copy.readNumbers(ScratchFile::Data, 2), (std::vector<double> { 1.5, 2.0 }));
        EXPECT_EQ(store.memory()->files().size(), 2U);
        EXPECT_EQ(ScratchStore(std::filesystem::path("/r")).memory(), nullptr);

        ScratchStore other = ScratchStore::inMemory();
        EXPECT_FALSE(other.exists(ScratchFile::Xx));
    }

    TEST(SampleData, ReadsGroupsAndFaultsAtTheSameItem)
    {
        const SampleData data = SampleData::fromText("1,2\r\n3,x\r\n5,6\r\n");
        RecordReader first = data.reader();
        EXPECT_EQ(first.readNumber(), 1.0);
        EXPECT_EQ(first.readNumber(), 2.0);
        EXPECT_EQ(first.readNumber(), 3.0);
        EXPECT_EQ(faultOf([&] { first.readNumber(); }), 13);
        RecordReader again = data.reader(); // every pass starts from the first item
        EXPECT_EQ(again.readNumber(), 1.0);

        test::TempRoot root;
        EXPECT_EQ(faultOf([&] { SampleData::load(ScratchStore(root.path())); }), 53);
        std::filesystem::create_directory(root.path() / "data.qtm");
        EXPECT_EQ(faultOf([&] { SampleData::load(ScratchStore(root.path())); }), 53);
    }

} // namespace
} // namespace quantem::core
