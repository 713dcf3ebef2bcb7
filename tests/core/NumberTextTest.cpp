#include "core/NumberText.h"

#include "core/Fault.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace quantem::core {
namespace {

    TEST(NumberText, DoubleTextUsesFifteenDigitsAndExponentForm)
    {
        EXPECT_EQ(doubleText(1E+20), "1E+20");
        EXPECT_EQ(doubleText(32.0 / 9.0), "3.55555555555556");
        EXPECT_EQ(doubleText(std::sqrt(0.9)), "0.948683298050514");
        EXPECT_EQ(doubleText(98500000000000.0), "98500000000000");
        EXPECT_EQ(doubleText(1E+15), "1E+15");
        EXPECT_EQ(doubleText(0.0001), "0.0001");
        EXPECT_EQ(doubleText(1E-05), "1E-05");
        EXPECT_EQ(doubleText(-0.7), "-0.7");
        EXPECT_EQ(doubleText(-0.0), "0");
        EXPECT_EQ(doubleText(0.7000000000000002), "0.7");
        EXPECT_EQ(singleText(0.55f), "0.55");
        EXPECT_EQ(singleText(static_cast<float>(0.2 / 3.0)), "0.06666667");
    }

    TEST(NumberText, RecordNumberIsShortestRoundTrip)
    {
        EXPECT_EQ(recordNumber(1E+19), "1E+19");
        EXPECT_EQ(recordNumber(1E+20), "1E+20");
        EXPECT_EQ(recordNumber(98500000000000.0), "98500000000000");
        EXPECT_EQ(recordNumber(0.7000000000000002), "0.7000000000000002");
        EXPECT_EQ(recordNumber(2.5E-14), "2.5E-14");
        EXPECT_EQ(recordNumber(0.0), "0");
        EXPECT_EQ(recordNumber(-0.0), "0");
        EXPECT_EQ(recordNumber(-12.375), "-12.375");
        EXPECT_EQ(recordNumber(0.0001), "0.0001");
        EXPECT_EQ(recordNumber(0.00001234), "1.234E-05");
        EXPECT_EQ(recordNumber(123456789012345.0), "123456789012345");
        EXPECT_EQ(recordNumber(1234567890123456.0), "1.234567890123456E+15");
        EXPECT_EQ(recordNumber(1.7976931348623157E+308), "1.7976931348623157E+308");
        for (double value : { 0.1, 1.0 / 3.0, -2.718281828459045, 6.02214076E+23, 4.9E-324,
                 0.30000000000000004, 123.456 }) {
            EXPECT_EQ(std::strtod(recordNumber(value).c_str(), nullptr), value)
                << recordNumber(value);
        }
    }

    TEST(NumberText, ValReadsTheLeadingNumber)
    {
        EXPECT_EQ(val(" 10"), 10.0);
        EXPECT_EQ(val("\t.5"), 0.5);
        EXPECT_EQ(val("5."), 5.0);
        EXPECT_EQ(val("12abc"), 12.0);
        EXPECT_EQ(val("-3.25e2x"), -325.0);
        EXPECT_EQ(val("2D3"), 2000.0);
        EXPECT_EQ(val("7e"), 7.0);
        EXPECT_EQ(val(""), 0.0);
        EXPECT_EQ(val(" "), 0.0);
        EXPECT_EQ(val("abc"), 0.0);
        EXPECT_EQ(val("."), 0.0);
        EXPECT_THROW(val("1e400"), Fault);
    }

} // namespace
} // namespace quantem::core

namespace quantem::core {
namespace {

    TEST(NumberText, DecimalPointIsAPointInEveryLocale)
    {
        // Window toolkits switch the C library to the user's locale; numbers must not follow it.
        const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
        if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr
            && std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr)
            GTEST_SKIP() << "no locale with a decimal comma is installed";
        EXPECT_EQ(val(".5"), 0.5);
        EXPECT_EQ(val("2.5"), 2.5);
        EXPECT_EQ(doubleText(0.948683298050514), "0.948683298050514");
        EXPECT_EQ(singleText(0.55f), "0.55");
        std::setlocale(LC_NUMERIC, previous.c_str());
    }

} // namespace
} // namespace quantem::core
