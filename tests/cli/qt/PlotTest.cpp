#include "support/PlantedLink.h"
#include "support/TempRoot.h"

#include <QFile>
#include <QImage>
#include <QString>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <tuple>
#include <vector>

namespace quantem::test {
namespace {

    constexpr double kPlanetX[] = { 0.387, 0.723, 1, 1.524, 5.203, 9.537, 19.191, 30.069 };
    constexpr double kPlanetY[] = { 0.241, 0.615, 1, 1.881, 11.862, 29.457, 84.011, 164.79 };

    struct Mark
    {
        double x;
        double y;
    };

    /// The sample marks and the curve's points of an SVG chart, by their colours.
    struct SvgChart
    {
        std::vector<Mark> marks;
        int curvePaths = 0;
        std::vector<Mark> curve;
    };

    std::vector<Mark> pathPoints(const QString& d)
    {
        std::vector<Mark> points;
        for (QString part : d.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            part.remove(QLatin1Char('M')).remove(QLatin1Char('L'));
            const QStringList xy = part.split(QLatin1Char(','));
            if (xy.size() == 2)
                points.push_back(Mark { xy[0].toDouble(), xy[1].toDouble() });
        }
        return points;
    }

    // Styles are set on enclosing groups; a shape takes the nearest group's fill and stroke.
    SvgChart readSvg(const QString& path, bool& parsed)
    {
        QFile file(path);
        SvgChart chart;
        parsed = false;
        if (!file.open(QIODevice::ReadOnly))
            return chart;
        QXmlStreamReader xml(&file);
        std::vector<std::pair<QString, QString>> styles { { QString(), QString() } };
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == QLatin1String("g"))
                styles.pop_back();
            if (!xml.isStartElement())
                continue;
            const QXmlStreamAttributes attributes = xml.attributes();
            if (xml.name() == QLatin1String("g")) {
                auto style = styles.back();
                if (attributes.hasAttribute(QLatin1String("fill")))
                    style.first = attributes.value(QLatin1String("fill")).toString();
                if (attributes.hasAttribute(QLatin1String("stroke")))
                    style.second = attributes.value(QLatin1String("stroke")).toString();
                styles.push_back(style);
            } else if (xml.name() == QLatin1String("circle")
                && styles.back().first == QLatin1String("#0000ff")) {
                chart.marks.push_back(Mark { attributes.value(QLatin1String("cx")).toDouble(),
                    attributes.value(QLatin1String("cy")).toDouble() });
            } else if (xml.name() == QLatin1String("path")
                && styles.back().second == QLatin1String("#006400")) {
                ++chart.curvePaths;
                chart.curve = pathPoints(attributes.value(QLatin1String("d")).toString());
            }
        }
        parsed = !xml.hasError();
        return chart;
    }

    // The curve's height at x, between the two points around it. The curve starts one step
    // right of the smallest x: within a pixel of its start, the start counts.
    double curveAt(const std::vector<Mark>& curve, double x)
    {
        if (!curve.empty() && x < curve.front().x && curve.front().x - x <= 1.0)
            return curve.front().y;
        for (std::size_t i = 1; i < curve.size(); ++i) {
            const Mark a = curve[i - 1];
            const Mark b = curve[i];
            if ((a.x <= x && x <= b.x) && b.x > a.x)
                return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
        }
        return NAN;
    }

    bool nearColour(const QColor& colour, const QColor& wanted, int tolerance)
    {
        return std::abs(colour.red() - wanted.red()) <= tolerance
            && std::abs(colour.green() - wanted.green()) <= tolerance
            && std::abs(colour.blue() - wanted.blue()) <= tolerance;
    }

    class PlotTest : public ::testing::Test
    {
    protected:
        PlotTest()
        {
            std::ostringstream planets;
            for (std::size_t i = 0; i < std::size(kPlanetX); ++i)
                planets << kPlanetX[i] << ',' << kPlanetY[i] << "\r\n";
            root.writeSamples(planets.str());
        }

        int plot(const std::string& file, const std::string& size)
        {
            const std::string command = std::string(QUANTEM_FIT_BINARY) + " --root '"
                + root.path().string() + "' --model 7 --samples 8 --power 1 --plot '"
                + (root.path() / file).string() + "' --plot-size " + size + " >/dev/null 2>&1";
            const int status = std::system(command.c_str());
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }

        QString pathOf(const std::string& file) const
        {
            return QString::fromStdString((root.path() / file).string());
        }

        // y = a0 + a1 * x ^ k1 with the coefficients the fit published.
        double fitted(double x) const
        {
            std::istringstream record(root.readSys("XB.sys"));
            double a0 = 0, a1 = 0, k1 = 0;
            char comma = 0;
            record >> a0 >> comma >> a1 >> comma >> k1;
            return a0 + a1 * std::pow(x, k1);
        }

        TempRoot root;
    };

    TEST_F(PlotTest, TheFittedPlanetsAreDrawnAsPngSvgAndPdf)
    {
        ASSERT_EQ(plot("chart.svg", "1200x800"), 0);
        ASSERT_EQ(plot("chart.png", "1200x800"), 0);
        ASSERT_EQ(plot("chart.pdf", "1200x800"), 0);

        bool parsed = false;
        const SvgChart svg = readSvg(pathOf("chart.svg"), parsed);
        ASSERT_TRUE(parsed);
        ASSERT_EQ(svg.marks.size(), std::size(kPlanetX));
        ASSERT_EQ(svg.curvePaths, 1);
        ASSERT_GT(svg.curve.size(), 1000u);

        // The data-to-drawing mapping, taken from the marks of the extreme samples; every other
        // mark must follow it.
        std::vector<Mark> marks = svg.marks;
        std::sort(marks.begin(), marks.end(), [](Mark a, Mark b) { return a.x < b.x; });
        const double xScale = (marks.back().x - marks.front().x) / (kPlanetX[7] - kPlanetX[0]);
        const double yScale = (marks.back().y - marks.front().y) / (kPlanetY[7] - kPlanetY[0]);
        const auto drawnX = [&](double x) { return marks.front().x + (x - kPlanetX[0]) * xScale; };
        const auto drawnY = [&](double y) { return marks.front().y + (y - kPlanetY[0]) * yScale; };
        for (std::size_t i = 0; i < marks.size(); ++i) {
            EXPECT_NEAR(marks[i].x, drawnX(kPlanetX[i]), 0.01) << i;
            EXPECT_NEAR(marks[i].y, drawnY(kPlanetY[i]), 0.01) << i;
        }
        EXPECT_LT(yScale, 0.0); // y grows upwards on the chart

        // At each sample's x the curve passes within a pixel of the fitted value.
        for (double x : kPlanetX) {
            const double wanted = drawnY(fitted(x));
            EXPECT_NEAR(curveAt(svg.curve, drawnX(x)), wanted, 1.0) << "x = " << x;
        }

        const QImage png(pathOf("chart.png"), "PNG");
        ASSERT_FALSE(png.isNull());
        EXPECT_EQ(png.size(), QSize(1200, 800));
        for (double x : kPlanetX) {
            const int column = static_cast<int>(std::floor(drawnX(x)));
            const int row = static_cast<int>(std::floor(drawnY(fitted(x))));
            // The curve, drawn over the sample's mark, shows within a pixel.
            bool curveShown = false;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    curveShown = curveShown
                        || nearColour(png.pixelColor(column + dx, row + dy), QColor(0, 100, 0), 40);
            EXPECT_TRUE(curveShown) << "x = " << x;
        }

        QFile pdf(pathOf("chart.pdf"));
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        EXPECT_TRUE(bytes.startsWith("%PDF-"));
        EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
        EXPECT_TRUE(bytes.contains("/MediaBox [0 0 900"));
        EXPECT_TRUE(bytes.contains("/Type /Page"));
    }

    TEST_F(PlotTest, ASizeIsHonouredAndAFileThatCannotBeWrittenIsAFailure)
    {
        ASSERT_EQ(plot("small.png", "320x200"), 0);
        const QImage small(pathOf("small.png"), "PNG");
        EXPECT_EQ(small.size(), QSize(320, 200));
        EXPECT_EQ(plot("no-such-folder/chart.png", "320x200"), 1);
        EXPECT_EQ(plot("chart.gif", "320x200"), 2);
        EXPECT_EQ(plot("chart.png", "320y200"), 2);
    }

    TEST_F(PlotTest, TheTerminalGetsTheProgramsOwnWordsNeverTheToolkits)
    {
        // Without XDG_RUNTIME_DIR the toolkit has a remark to make; the user hears none of it,
        // but a chart that is not written is told with the system's reason.
        const auto errorsOf = [&](const std::string& file) {
            const std::string command = "env -u XDG_RUNTIME_DIR " + std::string(QUANTEM_FIT_BINARY)
                + " --root '" + root.path().string() + "' --model 7 --samples 8 --power 1 --plot '"
                + (root.path() / file).string() + "' 2>&1 >/dev/null";
            std::string text;
            if (FILE* pipe = popen(command.c_str(), "r")) {
                char buffer[512];
                while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
                    text += buffer;
                pclose(pipe);
            }
            return text;
        };
        EXPECT_EQ(errorsOf("quiet.png"), "");
        EXPECT_NE(errorsOf("no-such-folder/chart.png").find("No such file or directory"),
            std::string::npos);
    }

    // The plot of an equation fit goes the same way: quantem-fit hands the run to its companion.
    TEST_F(PlotTest, AnEquationFitsPlotIsWrittenAsPngSvgAndPdf)
    {
        const auto plotEquation = [&](const std::string& file, std::string& output) {
            const std::string command = std::string(QUANTEM_FIT_BINARY) + " --root '"
                + root.path().string() + "' --equation 'a*x^k' --start k=1.2 --plot '"
                + (root.path() / file).string() + "' --plot-size 640x400 2>&1";
            output.clear();
            FILE* pipe = popen(command.c_str(), "r");
            if (pipe == nullptr)
                return -1;
            char buffer[4096];
            for (std::size_t read = 0; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
                output.append(buffer, read);
            const int status = pclose(pipe);
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        };
        std::string output;
        ASSERT_EQ(plotEquation("kepler.png", output), 0) << output;
        EXPECT_EQ(QImage(pathOf("kepler.png"), "PNG").size(), QSize(640, 400));
        ASSERT_EQ(plotEquation("kepler.svg", output), 0) << output;
        bool parsed = false;
        readSvg(pathOf("kepler.svg"), parsed);
        EXPECT_TRUE(parsed);
        ASSERT_EQ(plotEquation("kepler.pdf", output), 0) << output;
        QFile pdf(pathOf("kepler.pdf"));
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
        EXPECT_TRUE(pdf.readAll().contains("/Type /Page"));

        EXPECT_EQ(plotEquation("no-such-folder/kepler.png", output), 1);
        EXPECT_NE(output.find("equation: a*x^k"), std::string::npos) << output;
        EXPECT_NE(
            output.find("quantem-fit: --plot: the plot was not written to"), std::string::npos)
            << output;
    }

    // Both kinds of --plot, chart of a model run and plot of an equation fit, as a user runs them.
    TEST_F(PlotTest, ALinkPlantedAtThePlotFileIsRefusedAndTheFitStillPrinted)
    {
        const PlantedLink chart(root.path() / "chart.png", root.path() / "victim");
        const PlantedLink plot(root.path() / "plot.svg", root.path() / "other");
        const std::string quantemFit
            = std::string(QUANTEM_FIT_BINARY) + " --root '" + root.path().string() + "' ";
        for (const auto& [link, arguments, printed] :
            { std::tuple(&chart, std::string("--model 7 --samples 8 --power 1"), "k1 value:"),
                std::tuple(&plot, std::string("--equation 'a*x^k' --start k=1.2"), "a*x^k") }) {
            std::string output;
            FILE* pipe = popen(
                (quantemFit + arguments + " --plot '" + link->path().string() + "' 2>&1").c_str(),
                "r");
            ASSERT_NE(pipe, nullptr);
            char buffer[4096];
            for (std::size_t read = 0; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
                output.append(buffer, read);
            const int status = pclose(pipe);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << output;
            EXPECT_NE(output.find(printed), std::string::npos) << output;
            EXPECT_NE(output.find("quantem-fit: --plot: "), std::string::npos) << output;
            EXPECT_NE(
                output.find(link->path().string() + ": it is a symbolic link"), std::string::npos)
                << output;
            EXPECT_EQ(link->damage(), "");
        }
    }

} // namespace
} // namespace quantem::test
