#include "contest/call_check.h"

#include "contest/contest_rules.h"
#include "contest/countries.h"

namespace {

constexpr std::size_t kShortestCall = 4;

}  // namespace

int CheckFailValue(const ContestState& state) {
    return (state.hostVersion == "2.19" || state.hostVersion == "2.20") ? kOrdinary : kNotAccepted;
}

int CheckCall(const ContestState& state, const CheckArgs& args) {
    if (args.band2 && !EqualsIgnoringCase(args.band, *args.band2)) return CheckFailValue(state);
    if (!g_bands.Contains(args.band) || !g_modes.Contains(args.mode)) return CheckFailValue(state);

    // Nothing useful can be said yet about a call still being typed or not yet placed.
    if (args.country.empty() || args.call.size() < kShortestCall) return kOrdinary;

    const std::string_view nordicPrefix = IsNordicBaltic(args.country) ? args.prefix : std::string_view();
    if (state.logIndex.HasCallOnBand(args.call, args.band)) return kDupe;
    if (state.logIndex.HasPrefixOnBand(args.band, nordicPrefix)) return kOrdinary;
    return kNewPrefix;
}

int IsValidExchange(std::string_view exchange) {
    if (exchange.size() != 4) return 0;
    for (char c : exchange)
        if (c < '0' || c > '9') return 0;
    return 1;
}
