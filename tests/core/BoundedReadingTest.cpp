#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/Record.h"
#include "core/SampleData.h"
#include "core/ScratchStore.h"
#include "support/Expect.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace quantem::core {
namespace {

    using test::faultOf;

    /// A file that never ends: the same piece again and again. It counts what was taken from it,
    /// so a test sees how far a reader went.
    class EndlessSource final : public ByteSource
    {
    public:
        EndlessSource(std::string piece, std::size_t* taken)
            : m_piece(std::move(piece))
            , m_taken(taken)
        {
        }
        std::size_t read(char* buffer, std::size_t size) override
        {
            for (std::size_t i = 0; i < size; ++i)
                buffer[i] = m_piece[(*m_taken + i) % m_piece.size()];
            *m_taken += size;
            return size;
        }

    private:
        std::string m_piece;
        std::size_t* m_taken;
    };

    TEST(BoundedReading, ReadersStopAtTheItemsAskedFor)
    {
        // Eight groups of three from an endless sample file: the reader takes one buffer, not the
        // file.
        std::size_t taken = 0;
        const SampleData eight = SampleData::fromSource(
            std::make_unique<EndlessSource>("1.5,2.25,-3\r\n", &taken), 24);
        EXPECT_EQ(eight.itemCount(), 24U);
        EXPECT_LE(taken, std::size_t { 1 } << 17);
        RecordReader groups = eight.reader();
        for (int g = 0; g < 8; ++g) {
            EXPECT_EQ(groups.readNumber(), 1.5);
            EXPECT_EQ(groups.readNumber(), 2.25);
            EXPECT_EQ(groups.readNumber(), -3.0);
        }
        EXPECT_EQ(faultOf([&] { groups.readNumber(); }), 62); // no item beyond the limit

        // A scratch file is read as far as its items are taken.
        std::size_t scratchTaken = 0;
        RecordReader offsets(std::make_unique<EndlessSource>("0,", &scratchTaken));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(offsets.readNumber(), 0.0);
        EXPECT_LE(scratchTaken, std::size_t { 1 } << 17);

        EXPECT_EQ(SampleData::itemsFor(8, 3), 24U);
        EXPECT_EQ(SampleData::itemsFor(0, 3), 0U);
        EXPECT_EQ(SampleData::itemsFor(1E+300, 51), SampleData::kAllItems);
    }

    TEST(BoundedReading, AnItemBeyondTheLongestIsNoNumberAndIsNotKeptWhole)
    {
        const std::string longest = "0." + std::string(kMaxItemLength - 3, '0') + "5";
        ASSERT_EQ(longest.size(), kMaxItemLength);
        EXPECT_EQ(RecordReader(longest + ",7").readNumber(), 0.0); // 4096 characters: a number
        EXPECT_EQ(faultOf([&] { RecordReader(longest + "5,7").readNumber(); }), 13);
        EXPECT_EQ(
            faultOf([&] { SampleData::fromText("1," + longest + "5,7").reader().readNumber(); }),
            0);
        RecordReader samples = SampleData::fromText("1," + longest + "5,7").reader();
        samples.readNumber();
        EXPECT_EQ(faultOf([&] { samples.readNumber(); }), 13);
        EXPECT_EQ(samples.readNumber(), 7.0); // the item after it is read as it stands

        // Ten megabytes of digits without a separator: one item, kept to the longest length.
        std::size_t taken = 0;
        class Limited final : public ByteSource
        {
        public:
            Limited(std::size_t* taken, std::size_t size)
                : m_inner("1234567890", taken)
                , m_left(size)
            {
            }
            std::size_t read(char* buffer, std::size_t size) override
            {
                const std::size_t count = m_inner.read(buffer, std::min(size, m_left));
                m_left -= count;
                return count;
            }

        private:
            EndlessSource m_inner;
            std::size_t m_left;
        };
        RecordReader digits(std::make_unique<Limited>(&taken, 10'000'000));
        const RecordItem item = digits.readItem();
        ASSERT_TRUE(std::holds_alternative<std::string>(item));
        EXPECT_EQ(std::get<std::string>(item).size(), kMaxItemLength);
        EXPECT_EQ(taken, 10'000'000U);
    }

    TEST(BoundedReading, ByteOrderMarkAtTheStartIsSkipped)
    {
        const SampleData data = SampleData::fromText("\xEF\xBB\xBF"
                                                     "2.5,4\r\n");
        RecordReader in = data.reader();
        EXPECT_EQ(in.readNumber(), 2.5);
        EXPECT_EQ(in.readNumber(), 4.0);
        // Only at the very start: elsewhere the mark is text.
        EXPECT_EQ(faultOf([] {
            RecordReader("1,\xEF\xBB\xBF"
                         "2")
                .readNumber();
        }),
            0);
        RecordReader later("1,\xEF\xBB\xBF"
                           "2");
        later.readNumber();
        EXPECT_EQ(faultOf([&] { later.readNumber(); }), 13);

        test::TempRoot root;
        root.writeSamples("\xEF\xBB\xBF"
                          "1,2\n3,4\n");
        EXPECT_EQ(ScratchStore(root.path()).readNumbers(ScratchFile::Data, 4),
            (std::vector<double> { 1, 2, 3, 4 }));
    }

    TEST(BoundedReading, ANonRegularSampleFileReadsAsMissingWithoutWaiting)
    {
        test::TempRoot root;
        const ScratchStore store(root.path());
        const std::filesystem::path data = root.path() / "data.qtm";

        // A pipe with no writer: opening it for reading must not wait for one.
        ASSERT_EQ(::mkfifo(data.c_str(), 0600), 0) << std::strerror(errno);
        EXPECT_FALSE(SampleData::loadIfPresent(store).has_value());
        EXPECT_EQ(faultOf([&] { store.readNumbers(ScratchFile::Data, 1); }), 53);
        std::filesystem::remove(data);

        // A device that never ends.
        std::filesystem::create_symlink("/dev/zero", data);
        EXPECT_FALSE(SampleData::loadIfPresent(store).has_value());
        std::filesystem::remove(data);

        std::filesystem::create_directory(data);
        EXPECT_FALSE(SampleData::loadIfPresent(store).has_value());
        std::filesystem::remove(data);

        // A link to a regular file is that file.
        root.writeFile("elsewhere.txt", "1,2");
        std::filesystem::create_symlink(root.path() / "elsewhere.txt", data);
        ASSERT_TRUE(SampleData::loadIfPresent(store).has_value());
        EXPECT_EQ(SampleData::load(store).itemCount(), 2U);
    }

    TEST(BoundedReading, FlatTableReadsEveryItemAsTheItemReaderDoes)
    {
        // Random items in every form the number syntax allows, and some it does not: the flat
        // table of the samples and the item reader give the same double or the same fault.
        std::mt19937_64 random(77);
        auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
        const char* forms[] = { "%.17g", "%.3f", "%.6e", "%.15G", "%.1E" };
        std::string text;
        std::vector<std::string> items;
        for (int i = 0; i < 4000; ++i) {
            std::string item;
            const double value
                = std::ldexp(static_cast<double>(random() >> 11) / 9007199254740992.0,
                      static_cast<int>(pick(80)) - 40)
                * (pick(2) ? -1 : 1);
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, forms[pick(5)], value);
            item = buffer;
            switch (pick(12)) {
            case 0:
                item = "+" + item;
                break;
            case 1:
                item = "1.5D+3";
                break;
            case 2:
                item = ".5";
                break;
            case 3:
                item = "7.";
                break;
            case 4:
                item = "1e999";
                break;
            case 5:
                item = "1e-999";
                break;
            case 6:
                item = "inf";
                break;
            case 7:
                item = "1e";
                break;
            case 8:
                item = "\"7\"";
                break;
            case 9:
                item = "4.9e-324";
                break;
            default:
                break;
            }
            items.push_back(item);
            text += item + (pick(3) == 0 ? "\r\n" : ",");
        }
        // Plain decimals at the edges of the short way to read them.
        for (const char* edge : { "0.1", "-0", "-0.0", "123456789012345", "1234567890123456",
                 "0.000000000000001", "9.99999999999999", "8.123456789012345", "1.", "-.5" }) {
            items.push_back(edge);
            text += std::string(edge) + ",";
        }
        RecordReader plain(text);
        RecordReader flat = SampleData::fromText(text).reader();
        for (const std::string& item : items) {
            double a = 0.0;
            double b = 0.0;
            const int faultA = faultOf([&] { a = plain.readNumber(); });
            const int faultB = faultOf([&] { b = flat.readNumber(); });
            EXPECT_EQ(faultA, faultB) << item;
            EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << item;
            double expected = 0.0;
            int expectedFault = 0;
            try {
                if (item.front() == '"' || !parseNumber(item, expected))
                    expectedFault = 13;
            } catch (const Fault& fault) {
                expectedFault = fault.number();
            }
            EXPECT_EQ(faultA, expectedFault) << item;
            if (expectedFault == 0) {
                EXPECT_EQ(std::memcmp(&a, &expected, sizeof a), 0) << item;
            }
        }
    }

    // Every number and fault a reader meets, up to the end (62).
    std::vector<std::pair<double, int>> everyItem(RecordReader reader)
    {
        std::vector<std::pair<double, int>> items;
        for (;;) {
            double value = 0.0;
            const int fault = faultOf([&] { value = reader.readNumber(); });
            if (fault == 62)
                return items;
            items.emplace_back(value, fault);
        }
    }

    TEST(BoundedReading, AStoreHoldingTheSamplesReadGivesWhatReadingTheBytesGives)
    {
        // Text, an overflow and an empty item among numbers, a line without its end.
        const std::string text = "1.5,\"x\",2\r\n1e999,,-3\r\n4.25,7e-3,8";
        const std::string rewritten = "9,8\r\n";
        const ScratchStore bytes = ScratchStore::inMemory({ { ScratchFile::Data, text } });
        const ScratchStore held = ScratchStore::inMemory(
            { { ScratchFile::Data, text } }, SampleData::fromText(text).sharedStorage());
        for (std::size_t limit :
            { std::size_t { 0 }, std::size_t { 1 }, std::size_t { 2 }, std::size_t { 4 },
                std::size_t { 5 }, std::size_t { 9 }, std::size_t { 10 }, SampleData::kAllItems }) {
            const SampleData read = SampleData::load(held, limit);
            EXPECT_EQ(read.itemCount(), SampleData::load(bytes, limit).itemCount()) << limit;
            EXPECT_EQ(everyItem(read.reader()), everyItem(SampleData::load(bytes, limit).reader()))
                << limit;
            EXPECT_EQ(read.storage().firstFault(), std::min<std::size_t>(limit, 1)) << limit;
        }
        EXPECT_EQ(everyItem(SampleData::load(held, 5).reader()),
            (std::vector<std::pair<double, int>> {
                { 1.5, 0 }, { 0.0, 13 }, { 2.0, 0 }, { 0.0, 6 }, { 0.0, 0 } }));

        // A reading without its file is no sample file.
        const ScratchStore noFile
            = ScratchStore::inMemory({}, SampleData::fromText(text).sharedStorage());
        EXPECT_FALSE(SampleData::loadIfPresent(noFile).has_value());
        EXPECT_EQ(faultOf([&] { SampleData::load(noFile); }), 53);

        // A rewritten sample file is read again, not taken from the old reading.
        held.writeText(ScratchFile::Data, rewritten);
        EXPECT_EQ(everyItem(SampleData::load(held).reader()),
            (std::vector<std::pair<double, int>> { { 9.0, 0 }, { 8.0, 0 } }));
    }

} // namespace
} // namespace quantem::core
