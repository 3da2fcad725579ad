#include "ledger.h"

#include <map>
#include <set>
#include <stdexcept>

#include "base/std_files.h"
#include "contest/bad_qso_file.h"
#include "contest/intake.h"
#include "contest/scoring.h"
#include "logs/csv_field.h"
#include "logs/text.h"

namespace {

// What replay hands the real plug-in for the QSO (replay_win32.cpp).
QsoArgs ArgsOf(const ReplayPlan& plan, const PlannedQso& p) {
    const LogQso& q = p.qso;
    return {.myCall = plan.myCall, .call = q.call, .time = q.time, .freqHz = HostFreqHz(q), .mode = q.mode,
            .rstSent = q.rstSent, .rstRcvd = q.rstRcvd, .exchSent = q.exchSent, .exchRcvd = q.exchRcvd,
            .prefix = p.station.prefix, .country = p.station.country, .continent = p.station.continent,
            .band = q.band};
}

std::string Judged(IntakeVerdict v) {
    return v == IntakeVerdict::accepted ? "counts it" : v == IntakeVerdict::dupe ? "takes it as a dupe" : "rejects it";
}

std::string Shown(const std::string& line) { return line.empty() ? "none" : "\"" + Printable(line) + "\""; }

// The plug-in's answer and bad-QSO line for a QSO against those of its rule code.
void HoldAgainst(const QsoOutcome& plugin, int record, IntakeVerdict v, const std::string& line) {
    const bool stored = plugin.result != 0;
    const std::string which = "record " + std::to_string(record) + ": ";
    if (stored != Stored(v))
        throw std::runtime_error(which + "the plug-in " + (stored ? "stored it" : "rejected it") + ", its rule code " +
                                 Judged(v));
    if (plugin.badLine != line && !(plugin.badLine.empty() && !stored))
        throw std::runtime_error(which + "the plug-in's bad-QSO line is " + Shown(plugin.badLine) +
                                 ", its rule code's " + Shown(line));
}

}  // namespace

const LedgerBand* Ledger::Band(const std::string& band) const {
    for (const auto& b : bands)
        if (b.band == band) return &b;
    return nullptr;
}

const char* PointClassName(PointClass c) {
    switch (c) {
        case PointClass::nordicBaltic: return "Nordic-Baltic";
        case PointClass::ownCountry: return "own country";
        case PointClass::ownContinent: return "own continent";
        case PointClass::otherContinent: return "other continent";
    }
    return "";
}

std::string VerdictText(const LedgerRow& row) {
    switch (row.verdict) {
        case IntakeVerdict::accepted: return "counted";
        case IntakeVerdict::dupe: return "dupe of record " + std::to_string(row.dupeOf);
        default: return std::string(BadQsoReason(row.verdict));
    }
}

Ledger MakeLedger(const ReplayPlan& plan, const std::vector<QsoOutcome>& outcomes) {
    if (outcomes.size() != plan.qsos.size()) throw std::runtime_error("the plug-in did not answer for every QSO");
    // No bad-QSO file (its name stays empty, so nothing is written): the real
    // plug-in writes that one.
    ContestState state;
    StdFiles files;
    state.myCall = plan.myCall;
    state.myCountry = plan.me.country;
    state.myContinent = plan.me.continent;
    const OwnStation own{state.myCountry, state.myContinent};

    Ledger ledger;
    std::map<std::string, int> firstStored;  // call, band and mode: the record stored first
    std::map<std::string, std::set<std::string>> exchanges, prefixes;  // by band
    int points = 0, exchangeMults = 0, prefixMults = 0;
    for (std::size_t i = 0; i < plan.qsos.size(); ++i) {
        const LogQso& q = plan.qsos[i].qso;
        const QsoOutcome& o = outcomes[i];
        const QsoArgs args = ArgsOf(plan, plan.qsos[i]);
        LedgerRow row;
        row.qso = &q;
        row.verdict = AddData(state, files, args);
        HoldAgainst(o, q.record, row.verdict, BadQsoLine(args, row.verdict));
        if (Stored(row.verdict)) {
            const CInfo& r = state.shared.log.back();
            const std::string key = r.call + '\n' + r.band + '\n' + r.mode;
            if (row.verdict == IntakeVerdict::dupe) {
                row.dupeOf = firstStored[key];
            } else {
                firstStored.emplace(key, q.record);
                row.pointClass = ClassifyQso(r, own.country, own.continent);
                row.points = QsoPoints(r.band, r, own);
                if (exchanges[r.band].insert(r.multExch).second) row.newExchangeMult = r.multExch;
                if (!r.nordicPrefix.empty() && prefixes[r.band].insert(r.nordicPrefix).second)
                    row.newPrefixMult = r.nordicPrefix;
            }
        }
        // The records' band texts are those handed over, as the report lists them.
        LedgerBand* band = nullptr;
        for (auto& b : ledger.bands)
            if (b.band == q.band) band = &b;
        if (!band) band = &ledger.bands.emplace_back(LedgerBand{q.band});
        if (row.verdict == IntakeVerdict::accepted) ++band->qsos;
        else if (row.verdict == IntakeVerdict::dupe) ++band->dupes;
        else ++band->rejected;
        band->points += row.points;
        points += row.points;
        // A stored QSO always has a received exchange, so an empty one means none new.
        if (!row.newExchangeMult.empty()) {
            ++band->exchangeMults;
            ++exchangeMults;
        }
        if (!row.newPrefixMult.empty()) {
            ++band->prefixMults;
            ++prefixMults;
        }
        row.exchangeMults = exchangeMults;
        row.prefixMults = prefixMults;
        row.score = ClaimedScore(points, exchangeMults, prefixMults);
        ledger.rows.push_back(std::move(row));
    }
    ledger.score = ledger.rows.empty() ? 0 : ledger.rows.back().score;
    return ledger;
}

std::string LedgerCsv(const Ledger& ledger) {
    std::string out =
        "record,line,time,band,call,sent,received,verdict,point class,points,new exchange multiplier,"
        "new prefix multiplier,claimed score\r\n";
    for (const auto& row : ledger.rows) {
        const LogQso& q = *row.qso;
        const std::string fields[] = {std::to_string(q.record),
                                      std::to_string(q.line),
                                      FormatTime(q.time, "%Y-%m-%d %H%M"),
                                      q.band,
                                      q.call,
                                      q.exchSent,
                                      q.exchRcvd,
                                      VerdictText(row),
                                      row.pointClass ? PointClassName(*row.pointClass) : "",
                                      row.verdict == IntakeVerdict::accepted ? std::to_string(row.points) : "",
                                      row.newExchangeMult,
                                      row.newPrefixMult,
                                      std::to_string(row.score)};
        const char* sep = "";
        for (const auto& f : fields) {
            out += sep + CsvField(f);
            sep = ",";
        }
        out += "\r\n";
    }
    return out;
}

std::string RejectSummary(const Ledger& ledger) {
    std::map<std::string_view, int> counts;
    std::string lines;
    for (const auto& row : ledger.rows) {
        if (row.verdict == IntakeVerdict::accepted) continue;
        const std::string_view reason = BadQsoReason(row.verdict);
        ++counts[reason];
        lines += RecordRow(*row.qso) + " " + std::string(reason) + "\n";
    }
    if (counts.empty()) return "No QSO rejected, no dupes.\n";
    std::string text = "Rejected and dupe QSOs:";
    const char* sep = " ";
    for (const auto& [reason, n] : counts) {
        text += sep + std::string(reason) + " " + std::to_string(n);
        sep = ", ";
    }
    return text + "\n" + lines;
}
