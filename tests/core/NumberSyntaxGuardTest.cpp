#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/Record.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

// An exponent letter needs digits after it: in a text box the number ends before the letter, in
// a file the item is no number at all.
namespace quantem::core {
namespace {

    TEST(NumberSyntaxGuard, AnExponentWithoutDigitsIsNoPartOfTheNumber)
    {
        for (const char* text : { "2.375E", "2.375e+", "-2.375D-", "2.375d" }) {
            double value = 0.0;
            EXPECT_FALSE(parseNumber(text, value)) << text;
            EXPECT_EQ(std::abs(val(text)), 2.375) << text;
            RecordReader reader(std::string(text) + ",4.5\r\n");
            EXPECT_EQ(test::faultOf([&] { reader.readNumber(); }), 13) << text;
            EXPECT_EQ(reader.readNumber(), 4.5) << text;
        }
        double value = 0.0;
        EXPECT_TRUE(parseNumber("2.375E-1", value));
        EXPECT_EQ(value, 0.2375);
    }

    TEST(NumberSyntaxGuard, AnItemOfTheLongestKeptLengthIsStillANumber)
    {
        // 4096 characters: "1.", 4093 zeros and a 5.
        const std::string longest = "1." + std::string(4093, '0') + "5";
        ASSERT_EQ(longest.size(), 4096u);
        RecordReader reader(longest + "," + longest + "0\r\n");
        EXPECT_EQ(reader.readNumber(), 1.0);
        EXPECT_EQ(test::faultOf([&] { reader.readNumber(); }), 13); // one character longer
    }

} // namespace
} // namespace quantem::core
