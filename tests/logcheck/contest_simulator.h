// A whole simulated contest with known truth: stations with their numbers and
// clocks, every QSO logged by both sides as Cabrillo lines, and errors at known
// rates. The truth is the simulator's own record of what happened, never the
// checker's output.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct SimSettings {
    int logs = 1000;          // stations that send a log
    int silent = 300;         // stations that are worked but send none
    int qsosPerLog = 150;     // on average
    double nil = 0.01;        // one side does not log the QSO
    double bustedCall = 0.02; // one side miscopies the other's call (a quarter by the shift)
    double bustedNumber = 0.01;  // one side miscopies the number (a third by the shift)
    double unique = 0.03;     // QSOs with calls heard once, of stations that send no log
    double offsetLogs = 0.05; // logs whose clock is 3 to `maxOffset` minutes off
    int maxOffset = 10;
    double dupe = 0.002, wrongBand = 0.002, outsidePeriod = 0.002;
    std::uint64_t seed = 1;
};

struct SimContest {
    std::vector<std::pair<std::string, std::string>> files;  // name, Cabrillo text
    // What each QSO line is: log's call and line number to its verdict name
    // ("ok", "nil", "busted-call", ...).
    std::map<std::pair<std::string, int>, std::string> truth;
    std::map<std::string, int> offsets;  // the logs whose clock is off, in minutes
    std::string start = "2026-02-14 0000", end = "2026-02-15 2359";  // the period, for --start/--end
    std::size_t lines = 0;
};

SimContest SimulateContest(const SimSettings& settings);
