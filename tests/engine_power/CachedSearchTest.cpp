// The search with everything it keeps between evaluations against the plain search, on random
// data for every power model and on the ways a search can fail: the same labels, messages and
// scratch files, byte for byte.

#include "core/NumberText.h"
#include "core/Session.h"
#include "engine_power/ExponentSearch.h"
#include "engine_power/PlainSearch.h"
#include "support/ModelSamples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

namespace quantem::power::test {
namespace {

    using core::ScratchFile;
    using Files = std::map<ScratchFile, std::string>;

    /// Everything a search leaves: the main window, the message log and every file.
    std::string leftBehind(const core::Session& session)
    {
        const core::Form1& f = session.form1;
        std::ostringstream out;
        out << f.Text1 << '|' << f.Text2 << '|' << f.Text3 << '|' << f.Text4 << '|' << f.Text5
            << '|' << f.Label9 << '|' << f.Label10 << '|' << f.Frame1 << '|' << f.Timer1Interval
            << '|' << f.Picture2.red << ',' << f.Picture2.green << ',' << f.Picture2.blue << '\n';
        for (int label : core::kValueLabels)
            out << "Label" << label << '=' << f.label(label) << '\n';
        for (const std::string& panel : f.StatusBar1)
            out << "panel=" << panel << '\n';
        for (const core::Showing& showing : session.messages.log())
            out << "shown " << core::messageWindowName(showing.window) << ' ' << showing.text
                << '\n';
        for (const auto& [file, bytes] : session.store.memory()->files())
            out << core::scratchFileName(file) << ":\n" << bytes << '\n';
        return out.str();
    }

    /// Stops a search after a number of evaluations, as a stop request does.
    class StopAfter final : public core::ProgressHook
    {
    public:
        explicit StopAfter(int evaluations)
            : m_left(evaluations)
        {
        }
        void progress(const core::Form1&) override
        {
            if (--m_left == 0)
                throw std::runtime_error("stopped");
        }

    private:
        int m_left;
    };

    struct Case
    {
        core::ModelId model;
        std::string samples;
        int groups;
        std::string initialValue;
        Files extra = {}; // scratch files that differ from a fresh run's
        int stopAfter = 0; // 0: the search runs to its end
    };

    std::string search(const Case& c, bool plain)
    {
        const core::ModelDescriptor& d = core::modelOf(c.model);
        Files files { { ScratchFile::Data, c.samples }, { ScratchFile::R1, "0\r\n" },
            { ScratchFile::Culi, "0,0,0,0\r\n" }, { ScratchFile::Jc, "98500000000000\r\n" },
            { ScratchFile::Mb, "0\r\n" } };
        for (const auto& [file, bytes] : c.extra)
            files[file] = bytes;
        core::Session session(core::ScratchStore::inMemory(files));
        session.form1.Text1 = std::to_string(d.variables);
        session.form1.Text2 = std::to_string(c.groups);
        session.form1.Text3 = std::to_string(d.elements);
        session.form1.Text4 = c.initialValue;
        StopAfter stop(c.stopAfter);
        if (c.stopAfter > 0)
            session.progress = &stop;
        try {
            if (plain)
                plainExponentSearch(session, d.exponents, c.model);
            else
                exponentSearch(session, d.exponents, c.model);
        } catch (const std::runtime_error&) {
            EXPECT_GT(c.stopAfter, 0) << "only a stop request leaves a search";
        }
        return leftBehind(session);
    }

    void expectSameAsPlain(const Case& c, const std::string& why)
    {
        EXPECT_EQ(search(c, false), search(c, true))
            << why << ", model " << c.model << ", initial value " << c.initialValue;
    }

    /// Groups of the model's generating formula at random non-integer x with a random
    /// disturbance of y, written in their round-trip text.
    std::string randomSamples(
        core::ModelId model, int groups, std::mt19937& random, double low = 0.3, double high = 4.7)
    {
        std::uniform_real_distribution<double> x(low, high);
        std::uniform_real_distribution<double> noise(-0.02, 0.02);
        const results::CoefficientSet c = quantem::test::generatingModel(model);
        const int size = core::groupSize(model);
        std::string text;
        for (int g = 0; g < groups; ++g) {
            const double x1 = x(random);
            const double x2 = x(random);
            const double x3 = x(random);
            const double y = results::evaluateModel(model, c, x1, x2, x3).value_or(1.0)
                * (1.0 + noise(random));
            text += core::recordNumber(x1) + ",";
            if (size > 2)
                text += core::recordNumber(x2) + ",";
            if (size > 3)
                text += core::recordNumber(x3) + ",";
            text += core::recordNumber(y) + "\r\n";
        }
        return text;
    }

    std::string hugeSamples(core::ModelId model, int groups, std::mt19937& random)
    {
        std::uniform_real_distribution<double> x(1E+100, 9E+100);
        std::uniform_real_distribution<double> noise(-0.02, 0.02);
        const int size = core::groupSize(model);
        std::string text;
        for (int g = 0; g < groups; ++g) {
            const double x1 = x(random);
            text += core::recordNumber(x1) + ",";
            for (int c = 2; c < size; ++c)
                text += core::recordNumber(x(random)) + ",";
            text += core::recordNumber(std::pow(x1, 2.2) * (1.0 + noise(random))) + "\r\n";
        }
        return text;
    }

    TEST(CachedSearch, EveryModelGivesWhatThePlainSearchGives)
    {
        std::mt19937 random(8);
        const char* initialValues[] = { ".5", "1.37", "-0.63" };
        for (core::ModelId model = 1; model <= 50; ++model) {
            for (const char* initial : initialValues) {
                const int groups = 9 + static_cast<int>(random() % 8);
                expectSameAsPlain(
                    { model, randomSamples(model, groups + 2, random), groups, initial },
                    "random data");
            }
        }
    }

    TEST(CachedSearch, FailuresGiveTheSameMessagesCountsAndFiles)
    {
        std::mt19937 random(21);
        for (core::ModelId model : { 7, 13, 24, 43, 49 }) {
            std::string samples = randomSamples(model, 12, random);
            // A text item in the seventh group: every evaluation ends there, after the terms
            // of the six groups before it.
            std::string withText = samples;
            std::size_t at = 0;
            for (int line = 0; line < 6; ++line)
                at = withText.find('\n', at) + 1;
            withText.insert(at, "abc,");
            const Case text { model, withText, 12, ".5" };
            expectSameAsPlain(text, "text item in group 7");
            EXPECT_NE(search(text, true).find("shown Form5"), std::string::npos);

            // Fewer groups than asked for.
            expectSameAsPlain({ model, samples, 14, ".5" }, "short file");

            // Huge x and y growing as x1^2.2: the search climbs, and the sums of squares
            // overflow once the exponent passes about 1.54, in the middle of the search; the
            // criterion files hold an earlier run's step.
            const Case overflow { model, hugeSamples(model, 12, random), 12, "1.3",
                { { ScratchFile::Rr, "2.5,0.5,2,1\r\n" } } };
            expectSameAsPlain(overflow, "overflow while searching");
            if (model == 7) {
                EXPECT_NE(search(overflow, true).find("shown Form6"), std::string::npos);
            }

            // A stop request in the middle of the search.
            expectSameAsPlain({ model, samples, 12, ".5", {}, 17 }, "stopped after 17");
        }
        // The criterion file unreadable: every evaluation ends without writing.
        expectSameAsPlain(
            { 7, randomSamples(7, 12, random), 12, ".5", { { ScratchFile::R1, "x\r\n" } } },
            "r1.sys unreadable");
        // No offsets: every evaluation ends before the samples.
        expectSameAsPlain(
            { 10, randomSamples(10, 12, random), 12, ".5", { { ScratchFile::Culi, "" } } },
            "culi.sys empty");
        // Offsets that move the samples and nudge equal neighbours.
        expectSameAsPlain({ 30, "2,2,5\r\n3,1.5,7\r\n1.25,4,2\r\n2.5,3.5,6\r\n1,1,1\r\n3.5,2,4\r\n",
                              6, ".5", { { ScratchFile::Culi, "0.5,0.25,1.5,2\r\n" } } },
            "offsets and nudges");
    }

    TEST(CachedSearch, PerfectFitEndsEarlyAsThePlainSearchDoes)
    {
        // Data on model 1 exactly: the first evaluation publishes. Then a straight line under
        // model 10, whose probes come near it.
        const Case linear { 1, "1,5\r\n3,11\r\n5,17\r\n7,23\r\n", 4, ".5" };
        expectSameAsPlain(linear, "perfect linear fit");
        const std::string once = search(linear, false);
        EXPECT_NE(once.find("Label18=1E+20"), std::string::npos);

        const Case power { 10, "1,3\r\n2,5\r\n3,7\r\n4,9\r\n5,11\r\n", 5, "1" };
        expectSameAsPlain(power, "perfect fit in the first probe");
    }

} // namespace
} // namespace quantem::power::test
