#include "core/NumberText.h"

#include "core/Fault.h"
#include "core/Record.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

    // Switches LC_NUMERIC to a locale with a decimal comma; compiles one into a folder of its
    // own when none is installed.
    bool useCommaLocale(const std::filesystem::path& folder)
    {
        if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr)
            return true;
        const std::string command
            = "localedef -i de_DE -f UTF-8 '" + folder.string() + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return false;
        ::setenv("LOCPATH", folder.c_str(), 1);
        return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }

    TEST(NumberText, DecimalPointIsAPointInEveryLocale)
    {
        // Window toolkits switch the C library to the user's locale; numbers must not follow it.
        const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
        const test::TempRoot folder;
        if (!useCommaLocale(folder.path()))
            GTEST_SKIP() << "no locale with a decimal comma can be had here";
        char commaText[16];
        std::snprintf(commaText, sizeof commaText, "%g", 0.5);
        EXPECT_STREQ(commaText, "0,5"); // the locale is really in force
        EXPECT_EQ(val(".5"), 0.5);
        EXPECT_EQ(val("2.5"), 2.5);
        EXPECT_EQ(doubleText(0.948683298050514), "0.948683298050514");
        EXPECT_EQ(singleText(0.55f), "0.55");
        RecordReader record("1.25,2.5E-3\r\n");
        EXPECT_EQ(record.readNumber(), 1.25);
        EXPECT_EQ(record.readNumber(), 0.0025);
        std::setlocale(LC_NUMERIC, previous.c_str());
        ::unsetenv("LOCPATH");
    }

} // namespace
} // namespace quantem::core
