// CheckCall0 and IsValidExchg0: verdicts while the operator types.
#pragma once

#include <optional>
#include <string_view>

#include "contest/contest_state.h"

class Env;

enum CheckResult : int { kDupe = 0, kOrdinary = 1, kNewPrefix = 2, kNotAccepted = 4 };

// The CheckCall0 arguments the module reads; band2 is absent when the host passes none.
struct CheckArgs {
    std::string_view call;
    std::string_view mode;
    std::string_view prefix;
    std::string_view country;
    std::string_view continent;
    std::string_view band;
    std::optional<std::string_view> band2;
};

// The value returned when the call is not accepted: 1 for host versions 2.19 and 2.20, else 4.
int CheckFailValue(const ContestState& state);

int CheckCall(const ContestState& state, const CheckArgs& args);

// 1 when the exchange is exactly four decimal digits, else 0.
int IsValidExchange(std::string_view exchange);
