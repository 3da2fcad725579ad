#include "contest/intake.h"

#include <string>

#include "contest/bad_qso_file.h"
#include "contest/countries.h"

namespace {

// Writes the verdict's line to the pass's bad-QSO file and hands the verdict on.
IntakeVerdict Write(ContestState& state, Files& files, const QsoArgs& q, IntakeVerdict v) {
    AppendBadQsoLine(files, state.badQsoPath, BadQsoLine(q, v));
    return v;
}

bool SameQso(const CInfo& r, std::string_view call, std::string_view band, std::string_view mode) {
    return r.call == call && r.band == band && r.mode == mode;
}

}  // namespace

IntakeVerdict AddData(ContestState& state, Files& files, const QsoArgs& q) {
    if (!g_bands.Contains(q.band)) return Write(state, files, q, IntakeVerdict::wrongBand);
    // The band counts as worked even when the mode or number test rejects the QSO.
    bool seen = false;
    for (const auto& b : state.workedBands) seen = seen || b == q.band;
    if (!seen) state.workedBands.emplace_back(q.band);

    if (!g_modes.Contains(q.mode)) return Write(state, files, q, IntakeVerdict::wrongMode);
    if (q.exchRcvd.empty() || q.exchSent.empty()) return Write(state, files, q, IntakeVerdict::noRxNumber);

    CInfo record;
    record.time = q.time;
    record.call = q.call;
    record.band = q.band;
    record.mode = q.mode;
    record.continent = q.continent;
    record.rstRcvd = q.rstRcvd;
    record.rstSent = q.rstSent;
    record.exchRcvd = q.exchRcvd;
    record.exchSent = q.exchSent;
    record.country = q.country;
    if (IsNordicBaltic(q.country)) record.nordicPrefix = q.prefix;
    record.freqKHz = static_cast<int>(q.freqHz / 1000);
    record.multExch = q.exchRcvd;
    SetCallArea(record, q.country, q.prefix);

    bool dupe = false;
    {
        MutexLock lock(state.shared.lock);
        record.multExchKey = state.exchangeKeys.KeyOf(record.multExch);
        dupe = state.logIndex.Add(record);
        record.notCounted = record.dupe = dupe ? 1 : 0;
        try {
            state.shared.log.push_back(std::move(record));  // on failure the record stays as it was
        } catch (...) {
            state.logIndex.Remove(record);  // the index must not count a QSO the log lacks
            throw;
        }
    }
    return dupe ? Write(state, files, q, IntakeVerdict::dupe) : IntakeVerdict::accepted;
}

int RemoveData(ContestState& state, Files& files, const QsoArgs& q) {
    MutexLock lock(state.shared.lock);
    for (auto it = state.shared.log.begin(); it != state.shared.log.end(); ++it) {
        if (SameQso(*it, q.call, q.band, q.mode) && SameTime(it->time, q.time)) {
            state.logIndex.Remove(*it);
            state.shared.log.erase(it);
            break;
        }
    }
    if (state.shared.log.empty()) {
        state.shared.log.shrink_to_fit();
        state.logIndex.Clear();
        state.exchangeKeys.Clear();
        for (auto& l : state.shared.multExchByBand) l.clear();
        for (auto& l : state.shared.nordicByBand) l.clear();
    }
    lock.Unlock();

    // Only lines holding the call as a whole field and the QSO's full date and time
    // belong to this QSO; a bare substring test would drop other QSOs' lines.
    const std::string callField = "  " + std::string(q.call) + "  ";
    const std::string timeField = "  " + FormatTime(q.time, kBadQsoTimePattern) + "  ";
    RewriteBadQsoFileWithout(files, state.badQsoPath, callField, timeField);
    return 1;
}
