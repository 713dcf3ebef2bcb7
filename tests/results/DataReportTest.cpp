#include "results/DataReport.h"

#include "core/Fault.h"
#include "core/Session.h"
#include "support/PlantedLink.h"
#include "support/Recording.h"
#include "support/TempRoot.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quantem::results {
namespace {

    using core::MessageWindowId;

    std::vector<std::string> splitLines(const std::string& text)
    {
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find("\r\n", start);
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    class DataReport : public ::testing::Test
    {
    protected:
        DataReport() { session.questions = &questions; }

        // A model-51 result as the linear engine leaves it; the sample file mixes CR LF, LF and
        // a lone CR, has an empty line and no line end after its last line.
        void prepareModel51()
        {
            root.writeFile("sys/xs.sys", "51,0.977269757935485,53.125,0.447213595499958\r\n");
            root.writeSamples("-1,-1,1.5\r\n1,-1,4.25\n-1,1,2.75\r\r\n1,1,6.5");
            session.form1.Text5 = quantem::test::readTestData("linear_report_51.txt");
        }

        // A model-7 result as the power report leaves it; LF line ends throughout.
        void prepareModel7()
        {
            root.writeFile("sys/xs.sys", "7,\"1.25\",\"-0.5\",\"0.75\"\r\n");
            root.writeSamples("0.5,1.07\n1,0.75\n2, 0.3\n4,-0.25\n");
            session.form1.Text5 = quantem::test::readTestData("data_report_text5_7.txt");
        }

        std::vector<core::Showing> showings() const { return session.messages.log(); }

        test::TempRoot root;
        core::Session session { root.path() };
        test::ScriptedQuestions questions;
    };

    TEST_F(DataReport, BothVariantsMatchTheirDocumentsForBothKindsOfRecord)
    {
        prepareModel51();
        questions.fileNames.push_back(root.path() / "report51.TXT");
        saveDataReport(session);
        EXPECT_EQ(
            root.read("report51.TXT"), quantem::test::readTestData("data_report_save_51.txt"));
        showDataReport(session);
        EXPECT_EQ(root.readSys("bgx.sys"), quantem::test::readTestData("data_report_show_51.txt"));

        prepareModel7();
        questions.fileNames.push_back(root.path() / "report7.TXT");
        saveDataReport(session);
        EXPECT_EQ(root.read("report7.TXT"), quantem::test::readTestData("data_report_save_7.txt"));
        showDataReport(session);
        EXPECT_EQ(root.readSys("bgx.sys"), quantem::test::readTestData("data_report_show_7.txt"));

        EXPECT_TRUE(showings().empty());
        ASSERT_EQ(questions.asked.size(), 2u);
        EXPECT_EQ(questions.asked[0], "save Text files (*.TXT)|*.TXT TXT");
    }

    TEST_F(DataReport, VariantsDifferOnlyInTheirBanners)
    {
        prepareModel7();
        const std::vector<std::string> saved
            = splitLines(buildDataReport(session, DataReportVariant::Save));
        const std::vector<std::string> shown
            = splitLines(buildDataReport(session, DataReportVariant::Show));
        ASSERT_EQ(saved.size(), shown.size());
        for (std::size_t i = 0; i < saved.size(); ++i) {
            if (i < 3)
                EXPECT_NE(saved[i], shown[i]);
            else
                EXPECT_EQ(saved[i], shown[i]) << "line " << i;
        }
    }

    TEST_F(DataReport, CoefficientLinesFollowTheModelsCounts)
    {
        session.form1.Text5 = "report";
        root.writeSamples("1,2,3,4\r\n");
        root.writeFile("sys/xs.sys", "42,\"1\",\"2\",\"3\",\"4\",\"0.5\"\r\n");
        std::vector<std::string> lines
            = splitLines(buildDataReport(session, DataReportVariant::Save));
        std::vector<std::string> tail(lines.end() - 6, lines.end());
        EXPECT_EQ(tail,
            (std::vector<std::string> {
                "============== ", "a0 = 1", "a1 = 2", "a2 = 3", "a3 = 4", "k1 = 0.5" }));

        root.writeFile("sys/xs.sys",
            "33,\"a0\",\"a1\",\"a2\",\"a3\",\"a4\",\"a5\",\"a6\",\"k1\",\"k2\","
            "\"k3\",\"k4\",\"ignored\"\r\n");
        lines = splitLines(buildDataReport(session, DataReportVariant::Show));
        tail.assign(lines.end() - 12, lines.end());
        EXPECT_EQ(tail,
            (std::vector<std::string> { "============== ", "a0 = a0", "a1 = a1", "a2 = a2",
                "a3 = a3", "a4 = a4", "a5 = a5", "a6 = a6", "k1 = k1", "k2 = k2", "k3 = k3",
                "k4 = k4" }));
        EXPECT_EQ(lines[lines.size() - 15],
            "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k3 + a4 * x2 ^ k4 + a5 * x1 ^ "
            "k1 * x2 ^ k3 + a6 * x1 ^ k2 * x2 ^ k4");
    }

    TEST_F(DataReport, EmptySampleFileLeavesOnlyTheDataHeadings)
    {
        root.writeFile("sys/xs.sys", "52,1,1E+20,0\r\n");
        root.writeSamples("");
        session.form1.Text5 = "";
        const std::vector<std::string> lines
            = splitLines(buildDataReport(session, DataReportVariant::Show));
        const std::vector<std::string> expected { "The data return", "===============", "",
            "The result of data return" };
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.begin() + 8), expected);
        // The edition line, the empty report box and the seven empty lines of models 51 and 52.
        EXPECT_EQ(lines.size(), 3u + 3u + 3u + 1u + 1u + 7u);
    }

    TEST_F(DataReport, NoResultOrNoDataShowsWhyAndWritesNothing)
    {
        struct Case
        {
            const char* xs; // nullptr: no xs.sys at all
            bool samples;
            const char* message;
        };
        const Case cases[] {
            { nullptr, true, core::kDoRegressionText },
            { "", true, core::kDoRegressionText },
            { "0,0,0\r\n", true, core::kDoRegressionText },
            { "7,\"1.25\",\"-0.5\"\r\n", true, core::kDoRegressionText },
            { "\"seven\"\r\n", true, core::kDoRegressionText },
            { "7,\"1.25\",\"-0.5\",\"0.75\"\r\n", false, core::kNoDataText },
            { "51,1,2,3\r\n", false, core::kNoDataText },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.xs == nullptr ? "<missing>" : c.xs);
            std::filesystem::remove(root.sys("xs.sys"));
            std::filesystem::remove(root.path() / "data.qtm");
            if (c.xs != nullptr)
                root.writeFile("sys/xs.sys", c.xs);
            if (c.samples)
                root.writeSamples("1,2\r\n");
            questions.fileNames.push_back(root.path() / "never.TXT");

            const std::size_t before = showings().size();
            saveDataReport(session);
            showDataReport(session);
            ASSERT_EQ(showings().size(), before + 2);
            EXPECT_EQ(showings()[before].window, MessageWindowId::Form5);
            EXPECT_EQ(showings()[before].text, c.message);
            EXPECT_EQ(showings()[before + 1].text, c.message);
            EXPECT_EQ(root.read("never.TXT"), "<missing>");
            EXPECT_EQ(root.readSys("bgx.sys"), "<missing>");
            EXPECT_TRUE(questions.asked.empty());
            questions.fileNames.clear();
        }
    }

    TEST_F(DataReport, CancelledDialogWritesNothing)
    {
        prepareModel7();
        saveDataReport(session); // the script has no file name: the dialog was cancelled
        EXPECT_EQ(questions.asked.size(), 1u);
        EXPECT_TRUE(showings().empty());
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root.path()),
                      std::filesystem::directory_iterator {}),
            3); // data.qtm, sys and sz only

        session.questions = nullptr;
        saveDataReport(session);
        EXPECT_TRUE(showings().empty());
    }

    TEST_F(DataReport, FailedWriteShowsWhyAndKeepsWhatWasThere)
    {
        prepareModel7();
        // A directory where the file should go: nothing can replace it.
        std::filesystem::create_directory(root.path() / "taken.TXT");
        questions.fileNames.push_back(root.path() / "taken.TXT");
        saveDataReport(session);
        EXPECT_TRUE(std::filesystem::is_directory(root.path() / "taken.TXT"));
        EXPECT_FALSE(std::filesystem::exists(root.path() / "taken.TXT.part"));
        ASSERT_EQ(showings().size(), 1u);
        EXPECT_EQ(showings()[0].text, kReportNotWrittenText);

        // An earlier report file is replaced whole.
        root.writeFile("old.TXT", std::string(5000, 'x'));
        questions.fileNames.push_back(root.path() / "old.TXT");
        saveDataReport(session);
        EXPECT_EQ(root.read("old.TXT"), quantem::test::readTestData("data_report_save_7.txt"));
    }

    TEST_F(DataReport, ALinkPlantedAtTheChosenNameIsRefusedAndNamed)
    {
        prepareModel7();
        const quantem::test::PlantedLink link(root.path() / "report.TXT", root.path() / "victim");
        questions.fileNames.push_back(link.path());
        saveDataReport(session);
        ASSERT_EQ(showings().size(), 1u);
        EXPECT_EQ(showings()[0].text, kReportNotWrittenText);
        EXPECT_NE(showings()[0].reason.find("symbolic link"), std::string::npos);
        EXPECT_NE(session.form1.StatusBar1[0].find(link.path().string()), std::string::npos);
        EXPECT_EQ(link.damage(), "");
    }

    TEST_F(DataReport, BuildingWithoutAResultRaisesAFault)
    {
        root.writeSamples("1,2\r\n");
        EXPECT_THROW(buildDataReport(session, DataReportVariant::Save), core::Fault);
        root.writeFile("sys/xs.sys", "7,\"1.25\",\"-0.5\",\"0.75\"\r\n");
        std::filesystem::remove(root.path() / "data.qtm");
        EXPECT_THROW(buildDataReport(session, DataReportVariant::Save), core::Fault);
    }

} // namespace
} // namespace quantem::results
