// Writes a simulated contest's logs into a folder, for the log checker's
// benchmark: simulate_contest DIR LOGS QSOS_PER_LOG.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "contest_simulator.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: simulate_contest DIR LOGS QSOS_PER_LOG\n");
        return 2;
    }
    SimSettings s;
    s.logs = std::atoi(argv[2]);
    s.silent = s.logs / 3;
    s.qsosPerLog = std::atoi(argv[3]);
    const SimContest sim = SimulateContest(s);
    std::filesystem::create_directories(argv[1]);
    for (const auto& [name, text] : sim.files)
        std::ofstream(std::filesystem::path(argv[1]) / name, std::ios::binary) << text;
    std::printf("%zu logs, %zu QSO lines, period %s to %s\n", sim.files.size(), sim.lines, sim.start.c_str(),
                sim.end.c_str());
}
