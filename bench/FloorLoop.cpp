// The least a search of model 24 must do: per evaluation, one pow per group for the exponent
// that moves and one row of the normal matrix.
//
// usage: bench_floor_loop count SAMPLE-FILE GROUPS INITIAL-VALUE
//          prints how many evaluations the program's own search makes on these samples;
//        bench_floor_loop loop SAMPLE-FILE GROUPS INITIAL-VALUE EVALUATIONS
//          reads the samples and runs that many passes of the minimal loop, as a whole process
//          to time beside quantem-fit.

#include "core/SampleData.h"
#include "core/Session.h"
#include "engine_power/ExponentSearch.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace quantem;

int countEvaluations(const std::string& samples, const char* groups, const char* initialValue)
{
    core::Session session(core::ScratchStore::inMemory({ { core::ScratchFile::Data, samples },
        { core::ScratchFile::R1, "0\r\n" }, { core::ScratchFile::Culi, "0,0,0,0\r\n" },
        { core::ScratchFile::Jc, "98500000000000\r\n" }, { core::ScratchFile::Mb, "0\r\n" } }));
    session.form1.Text1 = "2";
    session.form1.Text2 = groups;
    session.form1.Text3 = "4";
    session.form1.Text4 = initialValue;
    int evaluations = 0;
    power::exponentSearch(session, 6, 24,
        [&](double, const power::ExponentSet&, power::SearchIndex, power::EvaluationOutcome) {
            ++evaluations;
        });
    return evaluations;
}

double minimalLoop(const std::string& samples, int groups, double t, int evaluations)
{
    const core::SampleData data = core::SampleData::fromText(samples);
    const auto values = data.storage().values();
    if (groups < 1 || values.size() < 3 * static_cast<std::size_t>(groups))
        return -1.0;
    std::vector<double> x1;
    std::vector<double> u2;
    std::vector<double> y;
    for (std::size_t g = 0; g < static_cast<std::size_t>(groups); ++g) {
        x1.push_back(values[3 * g]);
        u2.push_back(std::sqrt(values[3 * g + 1]));
        y.push_back(values[3 * g + 2]);
    }
    double checksum = 0.0;
    for (int e = 0; e < evaluations; ++e) {
        double row[6] = { 0, 0, 0, 0, 0, 0 };
        for (std::size_t g = 0; g < x1.size(); ++g) {
            const double u = std::pow(x1[g], t);
            row[0] += u;
            row[1] += u * u;
            row[2] += u * u2[g];
            row[3] += u * x1[g];
            row[4] += u * u2[g] * x1[g];
            row[5] += u * y[g];
        }
        checksum += row[0] + row[1] + row[2] + row[3] + row[4] + row[5];
        t += 0.01;
    }
    return checksum;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "count" && argc == 5) || (mode == "loop" && argc == 6))) {
        std::fprintf(stderr,
            "usage: bench_floor_loop count SAMPLE-FILE GROUPS INITIAL-VALUE\n"
            "       bench_floor_loop loop SAMPLE-FILE GROUPS INITIAL-VALUE EVALUATIONS\n");
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (mode == "count") {
        std::printf("%d\n", countEvaluations(text.str(), argv[3], argv[4]));
        return 0;
    }
    const double checksum
        = minimalLoop(text.str(), std::stoi(argv[3]), std::stod(argv[4]), std::stoi(argv[5]));
    if (checksum < 0.0) {
        std::fprintf(stderr, "bench_floor_loop: fewer than %s groups in %s\n", argv[3], argv[2]);
        return 2;
    }
    std::printf("%g\n", checksum);
    return 0;
}
