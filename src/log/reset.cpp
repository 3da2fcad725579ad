#include "log/reset.h"

#include "log/bad_qso_file.h"
#include "plugin/env.h"

int ResetStats(ContestState& state, Env&, const ResetArgs& args) {
    state.log.clear();
    state.log.shrink_to_fit();
    state.workedBands.clear();
    state.myCall = args.myCall;
    state.myCountry = args.myCountry;
    state.myContinent = args.myContinent;
    state.makeCabrillo = args.makeCabrillo;
    state.badQsoPath = "BadQSO_StatsVERDAWW_" + FormatTime(args.end, "%d_%m_%Y") + ".txt";
    CreateBadQsoFile(state.badQsoPath);
    return 1;
}
