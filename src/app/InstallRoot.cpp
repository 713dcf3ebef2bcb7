#include "app/InstallRoot.h"

#include "analysis/DetailsHelp.h"
#include "core/Fault.h"
#include "core/ModelCatalogue.h"
#include "core/ScratchStore.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace quantem::app {

namespace {

    using core::Fault;
    using core::FaultCode;

    std::string escapeHtml(std::string_view text)
    {
        std::string out;
        for (char c : text) {
            switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
            }
        }
        return out;
    }

    // A word for /bin/sh that stands for itself whatever characters the path holds.
    std::string shellQuoted(const std::string& text)
    {
        std::string out = "'";
        for (char c : text) {
            if (c == '\'')
                out += "'\\''";
            else
                out += c;
        }
        return out + "'";
    }

    std::filesystem::path absoluteOf(const std::filesystem::path& path)
    {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(path, error);
        return error ? path : absolute.lexically_normal();
    }

    // The first lines of every launcher this program writes: a DATA that starts otherwise is the
    // user's own.
    constexpr std::string_view kLauncherHead = "#!/bin/sh\n"
                                               "# Starts the data program for this install root.\n";

    // A launcher of ours that names another data program (a root first made from the build tree,
    // then used by an installed program) is rewritten to start this program's own.
    bool launcherNamesAnotherProgram(const std::filesystem::path& launcher, const std::string& text)
    {
        std::error_code error;
        if (!std::filesystem::is_regular_file(launcher, error))
            return false;
        std::ifstream in(launcher, std::ios::binary);
        const std::string current { std::istreambuf_iterator<char>(in), {} };
        return !in.bad() && current.starts_with(kLauncherHead) && current != text;
    }

    // A path that names anything, a dangling link included, is left alone.
    bool occupied(const std::filesystem::path& path)
    {
        std::error_code error;
        return std::filesystem::exists(std::filesystem::symlink_status(path, error));
    }

    // Setup writes its files whole through temporary files; a run ended in the middle of one
    // leaves it behind, and the next setup takes it away.
    void removeTemporaryFilesOfSetup(const core::ScratchStore& store)
    {
        const std::filesystem::path data = store.pathOf(core::ScratchFile::Data);
        core::removeLeftTemporaryFiles(data.parent_path(),
            { data.filename().string(), store.helpPagePath().filename().string(),
                store.dataProgramPath().filename().string() });
        std::vector<std::string> pictures { std::string(kBlankPictureFile) };
        for (const core::ModelDescriptor& model : core::allModels())
            pictures.emplace_back(model.pictureFile);
        core::removeLeftTemporaryFiles(store.picturePath(pictures.front()).parent_path(), pictures);
    }

    std::string modelMenuHelp()
    {
        std::string out;
        for (const core::ModelMenu& menu : core::modelMenus()) {
            out += "<h4>" + escapeHtml(menu.caption) + "</h4>\n<ul>\n";
            for (core::ModelId id : menu.items) {
                const core::ModelDescriptor& model = core::modelOf(id);
                out += "<li><b>" + escapeHtml(model.menuCaption) + "</b> (model "
                    + std::to_string(id) + "): <code>" + escapeHtml(model.formulaText)
                    + "</code></li>\n";
            }
            out += "</ul>\n";
        }
        return out;
    }

} // namespace

std::string samplePlanetData()
{
    // Mercury to Neptune: semi-major axis in AU, sidereal period in years.
    return "0.387,0.241\r\n"
           "0.723,0.615\r\n"
           "1,1\r\n"
           "1.524,1.881\r\n"
           "5.203,11.862\r\n"
           "9.537,29.457\r\n"
           "19.191,84.011\r\n"
           "30.069,164.79\r\n";
}

std::string helpPage(const std::filesystem::path& root)
{
    const std::filesystem::path base = absoluteOf(root);
    const auto at = [&](const std::filesystem::path& relative) {
        return "<code>" + escapeHtml((base / relative).string()) + "</code>";
    };

    std::string page = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Quantem help</title>
<style>
body { font-family: sans-serif; max-width: 52em; margin: 2em auto; line-height: 1.45; }
code { background: #f2f2f2; padding: 0 0.2em; }
table { border-collapse: collapse; }
td, th { border: 1px solid #bbb; padding: 0.25em 0.6em; text-align: left; }
</style>
</head>
<body>
<h1>Quantem</h1>

<h2>What the program does</h2>
<p>Quantem fits a regression model to measured samples by least squares. You choose one of 52
models: linear in one to three variables, inverse ratio in one to three variables, 44 non-linear
models built from powers <code>x ^ k</code>, natural logarithms <code>Log(x)</code> and
exponentials <code>Exp(x)</code>, multiple linear regression with up to 50 variables, and a
polynomial of up to degree 50. The program finds the coefficients a0..a6 and, for the non-linear
models, the exponents k1..k6, which it searches one at a time, starting from the power initial
value, so that the statistic F is as large as possible.</p>
<p>The main window shows the coefficients, the exponents, the correlation coefficient R, the
statistic F, the remaining standard deviation S, the biggest error, the mean error and the mean
relative error, and a summary report. Afterwards you can draw the samples with the fitted curve,
evaluate the fitted model for your own inputs, and save the data report.</p>

<h2>Sample data</h2>
<p>The samples are read from <code>data.qtm</code>: numbers separated by commas or line ends
(blanks and tabs separate numbers too). The file is a sequence of groups; how the numbers are
split into lines does not matter. Type the number of groups to use into the sample-count box
("InputSampleCapacity:"); only that many groups are read and the rest of the file is ignored.
Each group holds the independent variables first and the dependent value y last:</p>
<table>
<tr><th>Models</th><th>Numbers per group</th><th>Layout</th></tr>
<tr><td>1, 4, 7&ndash;15 (one variable)</td><td>2</td><td>x1, y</td></tr>
<tr><td>2, 5, 16&ndash;38 (two variables)</td><td>3</td><td>x1, x2, y</td></tr>
<tr><td>3, 6, 39&ndash;50 (three variables)</td><td>4</td><td>x1, x2, x3, y</td></tr>
<tr><td>51 multiple linear regression</td><td>m + 1</td><td>x1, x2, &hellip;, xm, y
(m is typed into the box "Input Element(n):")</td></tr>
<tr><td>52 polynomial</td><td>2</td><td>x, y (the degree is typed into the box
"Input item(n):")</td></tr>
</table>
<p>Models 1&ndash;50 refuse a group in which a variable is zero or negative, or y is zero.</p>
<p>A new install comes with a small sample in <code>data.qtm</code>: the eight planets from
Mercury to Neptune, each group being the planet's mean distance from the sun in astronomical
units and its orbital period in years. By Kepler's third law the period grows as the distance
to the power 1.5; choose TwoDimensionsNonline &gt; OneElementNo.1
(<code>y = a0 + a1 * x1 ^ k1</code>), enter 8 samples and run DataRegress: k1 should come out
close to 1.5.</p>

<h2>Menus and commands</h2>
<h3>Data</h3>
<ul>
<li><b>DataInput</b>: opens the data program to type in, paste, import or open samples and save
them as <code>data.qtm</code>. When a report is waiting to be saved you are asked first.</li>
<li><b>DataRegress</b>: fits the chosen model to the given number of samples.</li>
<li><b>ClearResult</b>: empties the inputs, the results and the report.</li>
<li><b>Exit</b>: ends the program; it offers to save the data report first.</li>
</ul>
<h3>Model menus</h3>
<p>Choosing a model shows its formula and fills in its variable and element counts. For the
non-linear models also set the power initial value, where the exponent search starts.</p>
)";
    page += modelMenuHelp();
    page += R"(<p>Models 13&ndash;15, 27&ndash;38 and 46&ndash;50 have no menu item.</p>
<h3>Other commands</h3>
<ul>
<li><b>Draw</b>: opens the chart window with the samples and the fitted curve; the chart can be
saved as a picture or printed.</li>
<li><b>ModelCount</b>: opens the calculator, which evaluates the fitted model for inputs you
type in.</li>
<li><b>Report</b>: shows the data report: the samples, the summary report, the model's formula
and its fitted coefficients.</li>
<li><b>Help</b>: this page; <b>Support</b> and <b>CopyrightInfo</b> show how to reach us and
the program's information.</li>
</ul>
<p>The toolbar buttons run the same commands.</p>

)";
    page += analysis::fitDetailsHelp();
    page += "<h2>Files</h2>\n<ul>\n";
    page += "<li>" + at("data.qtm") + ": the samples.</li>\n";
    page += "<li>" + at("DATA") + ": starts the data program for this folder.</li>\n";
    page += "<li>" + at("help.html") + ": this page.</li>\n";
    page += "<li>" + at("sys")
        + ": small files through which the parts of the program pass the chosen model, the "
          "results and the report to each other; they are rewritten on every run.</li>\n";
    page += "<li>" + at("sz") + ": the formula pictures shown in the main window.</li>\n";
    page += "</ul>\n</body>\n</html>\n";
    return page;
}

std::string dataLauncherScript(
    const std::filesystem::path& root, const std::filesystem::path& dataProgram)
{
    return std::string(kLauncherHead) + "exec " + shellQuoted(absoluteOf(dataProgram).string())
        + " --root " + shellQuoted(absoluteOf(root).string()) + "\n";
}

InstallRootReport prepareInstallRoot(const std::filesystem::path& root,
    const std::filesystem::path& dataProgram, FormulaPictureRenderer* renderer)
{
    const core::ScratchStore store(root);
    InstallRootReport report;

    const auto makeDirectory = [&](const std::filesystem::path& directory) {
        std::error_code error;
        if (std::filesystem::is_directory(directory, error))
            return;
        std::filesystem::create_directories(directory, error);
        if (error)
            throw Fault(FaultCode::PathFileAccessError, "Cannot create " + directory.string());
        report.created.push_back(directory);
    };
    const auto writeIfMissing = [&](const std::filesystem::path& file, const std::string& text) {
        if (occupied(file))
            return false;
        core::writeFileAtomically(file, text);
        report.created.push_back(file);
        return true;
    };

    makeDirectory(root);
    makeDirectory(store.pathOf(core::ScratchFile::Xx).parent_path());
    makeDirectory(store.picturePath(std::string(kBlankPictureFile)).parent_path());
    removeTemporaryFilesOfSetup(store);

    writeIfMissing(store.helpPagePath(), helpPage(root));

    const std::filesystem::path launcher = store.dataProgramPath();
    const std::string launcherText = dataLauncherScript(root, dataProgram);
    bool launcherWritten = false;
    if (launcherNamesAnotherProgram(launcher, launcherText)) {
        core::writeFileAtomically(launcher, launcherText);
        report.created.push_back(launcher);
        launcherWritten = true;
    } else {
        launcherWritten = writeIfMissing(launcher, launcherText);
    }
    if (launcherWritten) {
        using std::filesystem::perms;
        std::error_code error;
        std::filesystem::permissions(launcher,
            perms::owner_exec | perms::group_exec | perms::others_exec,
            std::filesystem::perm_options::add, error);
        if (error)
            throw Fault(
                FaultCode::PathFileAccessError, "Cannot make executable " + launcher.string());
    }

    writeIfMissing(store.pathOf(core::ScratchFile::Data), samplePlanetData());

    if (renderer == nullptr)
        return report;
    const auto renderIfMissing = [&](std::string_view pictureFile, std::string_view formulaText) {
        const std::filesystem::path file = store.picturePath(std::string(pictureFile));
        if (occupied(file))
            return;
        if (renderer->render(file, formulaText) && occupied(file))
            report.created.push_back(file);
        else
            report.failedPictures.push_back(file);
    };
    for (const core::ModelDescriptor& model : core::allModels())
        renderIfMissing(model.pictureFile, model.formulaText);
    renderIfMissing(kBlankPictureFile, "");
    return report;
}

} // namespace quantem::app
