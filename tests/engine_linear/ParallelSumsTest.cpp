// The normal equations summed from a flat table, on one thread or several, against the group by
// group accumulation; and whole runs of models 51 and 52 on one and on two threads.

#include "core/NumberText.h"
#include "core/Session.h"
#include "engine_linear/LinearFamilyFit.h"
#include "engine_linear/NormalSystem.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <tbb/global_control.h>
#include <vector>

namespace quantem::linear {
namespace {

    using core::ScratchFile;

    bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

    void expectSameSystem(const NormalSystem& a, const NormalSystem& b, const std::string& why)
    {
        ASSERT_EQ(a.size(), b.size());
        EXPECT_TRUE(sameBits(a.sumYY(), b.sumYY())) << why;
        for (int r = 1; r <= a.size(); ++r) {
            for (int c = 1; c <= a.size() + 1; ++c)
                EXPECT_TRUE(sameBits(a.at(r, c), b.at(r, c))) << why << " entry " << r << "," << c;
        }
    }

    TEST(ParallelSums, EveryEntryIsTheGroupByGroupSum)
    {
        std::mt19937_64 random(51);
        std::uniform_real_distribution<double> value(-1E+3, 1E+3);
        for (int regressors : { 1, 2, 7, 50 }) {
            const int m = regressors + 1;
            const std::size_t groups = 300;
            std::vector<double> table(groups * static_cast<std::size_t>(m));
            for (double& v : table)
                v = value(random) * std::ldexp(1.0, static_cast<int>(random() % 40) - 20);

            NormalSystem byGroup;
            byGroup.begin(regressors);
            for (std::size_t g = 0; g < groups; ++g) {
                const double* group = table.data() + g * static_cast<std::size_t>(m);
                byGroup.addGroup(
                    std::span<const double>(group, static_cast<std::size_t>(regressors)),
                    group[regressors]);
            }
            for (int chunks : { 1, 2, 3, 64 }) {
                NormalSystem flat;
                flat.begin(regressors);
                flat.addGroups(table, groups, chunks);
                expectSameSystem(flat, byGroup,
                    std::to_string(regressors) + " regressors in " + std::to_string(chunks)
                        + " parts");
            }
        }
    }

    TEST(ParallelSums, OverflowIsFoundAfterThePass)
    {
        // A product beyond the range in the second group, then ordinary groups: the sum stays
        // infinite and the check after the pass finds it.
        const std::vector<double> table { 1.5, 2.0, 3E+200, 1.0, 2.5, 4.0, -1.25, 7.0 };
        NormalSystem system;
        system.begin(1);
        system.addGroups(table, 4, 2);
        EXPECT_EQ(test::faultOf([&] { system.checkSums(); }), 6);
        NormalSystem fine;
        fine.begin(1);
        fine.addGroups(table, 1, 2);
        EXPECT_EQ(test::faultOf([&] { fine.checkSums(); }), 0);
    }

    /// Everything a linear run leaves: the labels, the report, the messages and the files.
    std::string runOn(const std::string& samples, core::ModelId model, const std::string& groups,
        const std::string& regressors, int threads)
    {
        tbb::global_control limit(
            tbb::global_control::max_allowed_parallelism, static_cast<std::size_t>(threads));
        core::Session session(core::ScratchStore::inMemory({ { ScratchFile::Data, samples } }));
        session.form1.Text2 = groups;
        session.form1.Text4 = regressors;
        runLinearFamilyFit(session, model);
        std::ostringstream out;
        for (int label : core::kValueLabels)
            out << session.form1.label(label) << '\n';
        out << session.form1.Text5 << '\n';
        for (const core::Showing& showing : session.messages.log())
            out << core::messageWindowName(showing.window) << ' ' << showing.text << '\n';
        for (const auto& [file, bytes] : session.store.memory()->files()) {
            if (file != ScratchFile::Data)
                out << core::scratchFileName(file) << ":\n" << bytes;
        }
        return out.str();
    }

    TEST(ParallelSums, RunsGiveTheSameOnOneAndOnTwoThreads)
    {
        // Enough groups of 50 elements that the rows are shared out between threads.
        std::mt19937_64 random(52);
        std::uniform_real_distribution<double> value(0.1, 9.9);
        std::string wide;
        for (int g = 0; g < 1200; ++g) {
            for (int k = 0; k <= 50; ++k)
                wide += core::recordNumber(value(random)) + (k < 50 ? "," : "\r\n");
        }
        const std::string one = runOn(wide, 51, "1100", "50", 1);
        EXPECT_NE(one.find("a(50)="), std::string::npos); // the fit went through
        EXPECT_EQ(one, runOn(wide, 51, "1100", "50", 2));

        std::string pairs;
        for (int g = 0; g < 25000; ++g)
            pairs += core::recordNumber(value(random) - 5.0) + ","
                + core::recordNumber(value(random)) + "\r\n";
        const std::string polynomial = runOn(pairs, 52, "25000", "9", 1);
        EXPECT_NE(polynomial.find("a(9)="), std::string::npos);
        EXPECT_EQ(polynomial, runOn(pairs, 52, "25000", "9", 2));
    }

    TEST(ParallelSums, AFaultComesFromTheGroupThatRaisesItFirst)
    {
        // An overflow in group 2 before a text item in group 3: the overflow's error dialog.
        const std::string overflowFirst = "1,2\r\n1E+200,3\r\nabc,4\r\n5,6\r\n";
        EXPECT_NE(runOn(overflowFirst, 51, "4", "1", 2).find("Form5"), std::string::npos);
        // The text item first: the run ends without a message and writes nothing.
        const std::string textFirst = "1,2\r\nabc,3\r\n1E+200,4\r\n5,6\r\n";
        EXPECT_EQ(runOn(textFirst, 51, "4", "1", 2).find("Form5"), std::string::npos);
        EXPECT_EQ(runOn(textFirst, 51, "4", "1", 2).find("hgb.sys"), std::string::npos);
        // A short file: past the end is the error dialog, after groups that were fine.
        EXPECT_NE(runOn("1,2\r\n2,3\r\n3,5\r\n", 52, "4", "1", 2).find("Form5"), std::string::npos);
        // Model 52: x^50 of 2000 overflows in the power, before the text of a later group.
        EXPECT_NE(
            runOn("1,2\r\n2000,3\r\nx,4\r\n", 52, "3", "50", 2).find("Form5"), std::string::npos);
    }

} // namespace
} // namespace quantem::linear
