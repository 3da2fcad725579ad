#include "rules/call_check.h"

int CheckFailValue(const ContestState& state) {
    return (state.hostVersion == "2.19" || state.hostVersion == "2.20") ? kOrdinary : kNotAccepted;
}

int CheckCall(const ContestState& state, const CheckArgs&) { return CheckFailValue(state); }

int IsValidExchange(std::string_view) { return 0; }
