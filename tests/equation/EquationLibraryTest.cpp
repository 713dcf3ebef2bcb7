#include "equation/EquationLibrary.h"

#include "CompiledFormula.h"
#include "support/FailingFileOperations.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <limits>

namespace quantem::equation {
namespace {

    constexpr double kInf = std::numeric_limits<double>::infinity();

    EquationEntry enzyme()
    {
        return { "enzyme with drift", "Vmax*x/(Km + x) + d*x",
            { { "Vmax", 3.0000000000000004, false, 0.0, kInf },
                { "Km", std::nullopt, false, -kInf, 25.5 }, { "d", 0.125, true } },
            Weighting::InverseY };
    }

    EquationEntry line(const std::string& name, const std::string& formula = "a + b*x")
    {
        return { name, formula, { { "a", 0.5 }, { "b", -1.0 / 3.0, false, -2.0, 7.25 } },
            Weighting::Poisson };
    }

    TEST(EquationEntry, SetupTakesNamedParametersAndClampsStartsIntoBounds)
    {
        const Tape tape = compiled("a*exp(-k*x) + c");
        const EquationEntry entry { "", "",
            { { "k", 9.5, false, 0.0, 4.0 }, { "c", 2.5, true }, { "z", 7.0 } } };
        const EquationSetup setup = setupOf(tape, entry);
        ASSERT_EQ(setup.parameters.size(), 3u);
        EXPECT_EQ(setup.parameters[0].start, 1.0); // a: not named
        EXPECT_FALSE(setup.startGiven[0]);
        EXPECT_EQ(setup.parameters[1].start, 4.0); // k: clamped
        EXPECT_EQ(setup.parameters[1].lower, 0.0);
        EXPECT_TRUE(setup.startGiven[1]);
        EXPECT_TRUE(setup.parameters[2].fixed);
        EXPECT_EQ(setup.parameters[2].start, 2.5);
    }

    TEST(EquationLibrary, SavedEntriesReadBackWholeAndSaveReplacesByName)
    {
        test::TempRoot root;
        EXPECT_TRUE(readEquationLibrary(root.path()).entries.empty()); // no file yet
        EXPECT_EQ(readEquationLibrary(root.path()).problem, "");
        ASSERT_EQ(saveEquation(root.path(), enzyme()), "");
        ASSERT_EQ(saveEquation(root.path(), line("line")), "");
        LibraryContents read = readEquationLibrary(root.path());
        EXPECT_EQ(read.problem, "");
        EXPECT_EQ(read.entries, (std::vector<EquationEntry> { enzyme(), line("line") }));

        const EquationEntry replacement = line("enzyme with drift", "a*x^b");
        ASSERT_EQ(saveEquation(root.path(), replacement), "");
        read = readEquationLibrary(root.path());
        EXPECT_EQ(read.entries, (std::vector<EquationEntry> { replacement, line("line") }));

        // Refusals leave the file as it was.
        const std::string before = root.read(kEquationLibraryFile);
        for (const EquationEntry& refused : { line("Logistic"), line("michaelis-menten"), line(" "),
                 line("broken", "a + b*"), line("lacks b", "a*x") }) {
            SCOPED_TRACE(refused.name);
            EXPECT_NE(saveEquation(root.path(), refused), "");
        }
        EXPECT_NE(saveEquation(root.path(), line("Gompertz")).find("template"), std::string::npos);
        EXPECT_EQ(root.read(kEquationLibraryFile), before);

        EXPECT_EQ(removeEquation(root.path(), "line"), "");
        EXPECT_EQ(
            readEquationLibrary(root.path()).entries, (std::vector<EquationEntry> { replacement }));
        EXPECT_EQ(removeEquation(root.path(), "line"), "there is no saved equation named 'line'");
        EXPECT_NE(removeEquation(root.path(), "Hill"), "");
    }

    TEST(EquationLibrary, DamagedFileReadsAsEmptyAndIsKeptAsideOnTheNextSave)
    {
        test::TempRoot root;
        const std::string damaged = "{\"equations\": [{\"name\": \"half";
        root.writeFile(kEquationLibraryFile, damaged);
        const LibraryContents read = readEquationLibrary(root.path());
        EXPECT_TRUE(read.entries.empty());
        EXPECT_NE(read.problem.find((root.path() / kEquationLibraryFile).string() + " is damaged"),
            std::string::npos)
            << read.problem;

        ASSERT_EQ(saveEquation(root.path(), line("line")), "");
        EXPECT_EQ(root.read("equations.json.damaged"), damaged);
        EXPECT_EQ(readEquationLibrary(root.path()).entries.size(), 1u);

        // A second damaged file does not take the first one's place; nor does a well-formed
        // file with a bad entry read as anything but damaged.
        const std::string badBounds = "{\"equations\": [{\"name\": \"n\", \"formula\": \"a*x\", "
                                      "\"parameters\": [{\"name\": \"a\", \"lower\": 2, "
                                      "\"upper\": 1}]}]}";
        root.writeFile(kEquationLibraryFile, badBounds);
        EXPECT_NE(readEquationLibrary(root.path()).problem.find("equation 1"), std::string::npos);
        ASSERT_EQ(saveEquation(root.path(), line("line")), "");
        EXPECT_EQ(root.read("equations.json.damaged"), damaged);
        EXPECT_EQ(root.read("equations.json.damaged-2"), badBounds);
    }

    TEST(EquationLibrary, FailedWriteKeepsThePreviousFileWholeAndTellsWhy)
    {
        using Call = test::FailingFileOperations::Call;
        test::TempRoot root;
        ASSERT_EQ(saveEquation(root.path(), enzyme()), "");
        const std::string before = root.read(kEquationLibraryFile);
        for (Call call : { Call::Create, Call::Write, Call::Flush, Call::Rename }) {
            SCOPED_TRACE(test::callName(call));
            test::FailingFileOperations operations;
            operations.failAt(call, 1);
            const std::string why = saveEquation(root.path(), line("line"), operations);
            EXPECT_NE(why.find("Cannot write " + (root.path() / kEquationLibraryFile).string()),
                std::string::npos)
                << why;
            EXPECT_EQ(root.read(kEquationLibraryFile), before);
            EXPECT_TRUE(test::temporaryFilesIn(root.path()).empty());
        }

        // A damaged file that cannot be kept aside is not replaced either.
        root.writeFile(kEquationLibraryFile, "[");
        test::FailingFileOperations operations;
        operations.failAtFile(Call::Create, "equations.json.damaged");
        EXPECT_NE(saveEquation(root.path(), line("line"), operations), "");
        EXPECT_EQ(root.read(kEquationLibraryFile), "[");
        EXPECT_EQ(root.read("equations.json.damaged"), "<missing>");
    }

} // namespace
} // namespace quantem::equation
