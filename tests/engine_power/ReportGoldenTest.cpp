#include "engine_power/ExponentSearch.h"
#include "engine_power/PowerFixture.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace quantem::power {
namespace {

    class ReportGoldenTest : public test::PowerFixture
    {
    };

    TEST_F(ReportGoldenTest, TwoNumberGroupsModelSeven)
    {
        choose(7, 10);
        // y = 2 + 3·x^0.7
        root.writeSamples("1,5.0\r\n2,6.873514378137413\r\n3,8.47300783992378\r\n"
                          "4,9.917047464637365\r\n5,11.255507940800143\r\n6,12.515432259221578\r\n"
                          "7,13.713586331368166\r\n8,14.861281550435518\r\n9,15.966610165238237\r\n"
                          "10,17.035617008818164\r\n");
        exponentSearch(session, 1, 7);
        EXPECT_EQ(session.form1.Text5, quantem::test::readTestData("power_model7_report.txt"));
    }

    TEST_F(ReportGoldenTest, ThreeNumberGroupsModelTwenty)
    {
        choose(20, 12, "0.8");
        root.writeSamples(
            "0.66,1.12,2.223\r\n0.98,2.6,2.721\r\n1.35,4.05,3.416\r\n1.8,1.98,4.192\r\n"
            "2.16,3.5,4.991\r\n2.49,1.45,5.175\r\n2.94,2.88,6.334\r\n3.2,4.38,7.094\r\n"
            "3.59,2.27,7.226\r\n4.09,3.73,8.629\r\n4.43,1.72,8.181\r\n4.68,3.14,9.45\r\n");
        exponentSearch(session, 3, 20);
        EXPECT_EQ(session.form1.Text5, quantem::test::readTestData("power_model20_report.txt"));
    }

    TEST_F(ReportGoldenTest, FourNumberGroupsModelFortyWithOffsets)
    {
        choose(40, 14);
        root.writeFile("sys/culi.sys", "0.5,0,0.25,3\r\n");
        root.writeSamples("0.64,0.84,1.23,4.242\r\n0.9,1.98,1.79,6.639\r\n1.17,3.16,2.27,9.035\r\n"
                          "1.58,1.06,2.83,7.114\r\n1.82,2.26,3.26,9.057\r\n2.06,3.4,1.45,9.061\r\n"
                          "2.54,1.29,1.95,7.21\r\n2.79,2.46,2.47,9.36\r\n3.07,3.63,2.91,11.575\r\n"
                          "3.42,1.59,3.49,9.341\r\n3.68,2.71,1.54,9.15\r\n3.94,3.8,2.06,11.555\r\n"
                          "4.25,1.74,2.6,9.333\r\n4.55,2.91,3.12,11.451\r\n");
        exponentSearch(session, 2, 40);
        EXPECT_EQ(session.form1.Text5, quantem::test::readTestData("power_model40_report.txt"));
    }

} // namespace
} // namespace quantem::power
