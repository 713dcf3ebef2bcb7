#include "cli/HelpText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <sys/wait.h>

namespace quantem::cli {
namespace {

    std::string fileText(const std::string& relative)
    {
        std::ifstream in(std::string(QUANTEM_SOURCE_DIR) + "/" + relative, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), {} };
    }

    /// Standard output of the program with these arguments; status gets its exit status.
    std::string programOutput(const std::string& arguments, int& status)
    {
        FILE* pipe = ::popen((std::string(QUANTEM_FIT_BINARY) + " " + arguments).c_str(), "r");
        std::string output;
        if (pipe == nullptr)
            return output;
        char buffer[4096];
        std::size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, read);
        const int ended = ::pclose(pipe);
        status = WIFEXITED(ended) ? WEXITSTATUS(ended) : -1;
        return output;
    }

    /// True when text holds word as a whole word: --plot must not pass by --plot-size.
    bool namedIn(const std::string& text, const std::string& word)
    {
        for (std::size_t at = text.find(word); at != std::string::npos;
             at = text.find(word, at + 1)) {
            const std::size_t end = at + word.size();
            if (end == text.size()
                || std::string_view(" \"'\n)").find(text[end]) != std::string_view::npos)
                return true;
        }
        return false;
    }

    TEST(HelpText, EveryOptionOfTheHelpIsInTheManPageAndTheCompletion)
    {
        int status = -1;
        const std::string help = programOutput("--help", status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(help, helpText());

        std::set<std::string> options;
        const std::regex option("--[a-z][a-z0-9-]*");
        for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
             it != std::sregex_iterator(); ++it)
            options.insert(it->str());
        ASSERT_GT(options.size(), 20u);

        // Described in the page's OPTIONS section, not only named in its synopsis.
        const std::string manPage = fileText("packaging/man/quantem-fit.1");
        const std::size_t optionsStart = manPage.find(".SH OPTIONS\n");
        ASSERT_NE(optionsStart, std::string::npos);
        const std::string page
            = manPage.substr(optionsStart, manPage.find(".SH ", optionsStart + 1) - optionsStart);
        const std::string completion = fileText("packaging/completion/quantem-fit");
        for (const std::string& name : options) {
            // roff writes each minus of an option as \-.
            std::string roff;
            for (char c : name)
                roff += c == '-' ? std::string("\\-") : std::string(1, c);
            EXPECT_TRUE(namedIn(page, roff)) << name << " is not in the man page's options";
            EXPECT_TRUE(namedIn(completion, name)) << name << " is not completed";
        }
    }

    TEST(HelpText, HelpAndVersionOnlyInAnOptionsPlace)
    {
        EXPECT_EQ(helpOrVersionRequest({ "--json", "-h" }), helpText());
        EXPECT_EQ(helpOrVersionRequest({ "--model", "7", "--version", "--help" }), versionText());
        // The value of an option, however it reads, asks for nothing; a program that would fit
        // the formula "--help" then refuses it as any other.
        EXPECT_EQ(helpOrVersionRequest({ "--equation", "--help" }), std::nullopt);
        EXPECT_EQ(helpOrVersionRequest({ "--root", "--version", "--model", "7" }), std::nullopt);
        EXPECT_EQ(helpOrVersionRequest({}), std::nullopt);

        int status = -1;
        const std::string version = programOutput("--root /nonexistent --version", status);
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(std::regex_match(version, std::regex("quantem-fit [0-9]+(\\.[0-9]+)+\n")))
            << version;
    }

} // namespace
} // namespace quantem::cli
