// The least a search of model 24 must do: per evaluation, one pow per group for the exponent
// that moves and one row of the normal matrix. Counts the evaluations of the program's own search
// on the same samples first (not timed), then times that many passes of the minimal loop.
//
// usage: bench_floor_loop SAMPLE-FILE GROUPS INITIAL-VALUE

#include "core/Session.h"
#include "engine_power/ExponentSearch.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace quantem;
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_floor_loop SAMPLE-FILE GROUPS INITIAL-VALUE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const int groups = std::stoi(argv[2]);

    core::Session session(core::ScratchStore::inMemory({ { core::ScratchFile::Data, text.str() },
        { core::ScratchFile::R1, "0\r\n" }, { core::ScratchFile::Culi, "0,0,0,0\r\n" },
        { core::ScratchFile::Jc, "98500000000000\r\n" }, { core::ScratchFile::Mb, "0\r\n" } }));
    session.form1.Text1 = "2";
    session.form1.Text2 = argv[2];
    session.form1.Text3 = "4";
    session.form1.Text4 = argv[3];
    int evaluations = 0;
    power::exponentSearch(session, 6, 24,
        [&](double, const power::ExponentSet&, power::SearchIndex, power::EvaluationOutcome) {
            ++evaluations;
        });

    std::vector<double> x1;
    std::vector<double> u2;
    std::vector<double> y;
    const core::SampleData samples = core::SampleData::fromText(text.str());
    const auto values = samples.storage().values();
    if (groups < 1 || values.size() < 3 * static_cast<std::size_t>(groups)) {
        std::fprintf(stderr, "bench_floor_loop: fewer than %d groups in %s\n", groups, argv[1]);
        return 2;
    }
    for (int g = 0; g < groups; ++g) {
        x1.push_back(values[3 * static_cast<std::size_t>(g)]);
        u2.push_back(std::sqrt(values[3 * static_cast<std::size_t>(g) + 1]));
        y.push_back(values[3 * static_cast<std::size_t>(g) + 2]);
    }
    // The best of three passes: the floor is what the loop costs when nothing else runs.
    double best = 1E+300;
    double checksum = 0.0;
    for (int pass = 0; pass < 3; ++pass) {
        const auto start = std::chrono::steady_clock::now();
        double t = std::stod(argv[3]);
        for (int e = 0; e < evaluations; ++e) {
            double row[6] = { 0, 0, 0, 0, 0, 0 };
            for (int g = 0; g < groups; ++g) {
                const double u = std::pow(x1[static_cast<std::size_t>(g)], t);
                row[0] += u;
                row[1] += u * u;
                row[2] += u * u2[static_cast<std::size_t>(g)];
                row[3] += u * x1[static_cast<std::size_t>(g)];
                row[4] += u * u2[static_cast<std::size_t>(g)] * x1[static_cast<std::size_t>(g)];
                row[5] += u * y[static_cast<std::size_t>(g)];
            }
            checksum += row[0] + row[1] + row[2] + row[3] + row[4] + row[5];
            t += 0.01;
        }
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("%d %.6f %g\n", evaluations, best, checksum);
    return 0;
}
