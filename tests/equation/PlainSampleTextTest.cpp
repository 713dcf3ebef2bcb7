#include "equation/PlainSampleText.h"

#include "core/SampleData.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <random>
#include <string>

namespace quantem::equation {
namespace {

    std::string plainFile(std::size_t bytes, unsigned seed)
    {
        std::mt19937 random(seed);
        const char* const forms[] { "%d", "-%d.%d", "%d.%de-%d", "%dE+%d", ".%d", "%d.", "0" };
        const char* const separators[] { ",", "\r\n", "\n", " , ", ",,", "\t,", "\r\n\r\n" };
        std::string text = "\xEF\xBB\xBF";
        char item[64];
        while (text.size() < bytes) {
            const char* form = forms[random() % 7];
            const int whole = static_cast<int>(random() % 100000);
            const int fraction = static_cast<int>(random() % 1000);
            const int exponent = static_cast<int>(random() % 30);
            if (form == forms[3])
                std::snprintf(item, sizeof item, "%dE+%d", whole, exponent);
            else
                std::snprintf(item, sizeof item, form, whole, fraction, exponent);
            text += item;
            text += separators[random() % 7];
        }
        return text;
    }

    // The file read on all cores must give the items that reading it item by item gives, to
    // the bit, across the pieces it is cut into.
    TEST(PlainSampleText, ReadsWhatTheItemReaderReads)
    {
        for (unsigned seed : { 1u, 2u }) {
            const std::string text = plainFile(3u << 20, seed);
            const std::optional<std::vector<double>> plain = plainSampleItems(text);
            ASSERT_TRUE(plain);
            const core::SampleData general = core::SampleData::fromText(text);
            ASSERT_EQ(general.storage().firstFault(), general.itemCount());
            const std::span<const double> expected = general.storage().values();
            ASSERT_EQ(plain->size(), expected.size());
            for (std::size_t i = 0; i < expected.size(); ++i)
                ASSERT_EQ(std::bit_cast<std::uint64_t>((*plain)[i]),
                    std::bit_cast<std::uint64_t>(expected[i]))
                    << "item " << i;
        }
    }

    TEST(PlainSampleText, LeavesEveryOtherItemToTheGeneralReader)
    {
        for (const char* text :
            { "1,2\r\nabc,4", "1,\"2\"", "+1,2", "1D5,2", "inf,1", "1e,2", "1,2e999", "0x10,1" })
            EXPECT_FALSE(plainSampleItems(text)) << text;
    }

} // namespace
} // namespace quantem::equation
