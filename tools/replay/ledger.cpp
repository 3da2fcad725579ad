#include "ledger.h"

#include <map>
#include <set>
#include <stdexcept>

#include "base/std_files.h"
#include "contest/intake.h"
#include "contest/scoring.h"
#include "logs/csv_field.h"

namespace {

QsoArgs ArgsOf(const ReplayPlan& plan, const PlannedQso& p) {
    const LogQso& q = p.qso;
    QsoArgs a;
    a.myCall = plan.myCall;
    a.call = q.call;
    a.time = q.time;
    a.freqHz = HostFreqHz(q);
    a.mode = q.mode;
    a.rstSent = q.rstSent;
    a.rstRcvd = q.rstRcvd;
    a.exchSent = q.exchSent;
    a.exchRcvd = q.exchRcvd;
    a.prefix = p.station.prefix;
    a.country = p.station.country;
    a.continent = p.station.continent;
    a.band = q.band;
    return a;
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
        case LedgerVerdict::counted: return "counted";
        case LedgerVerdict::dupe: return "dupe of record " + std::to_string(row.dupeOf);
        case LedgerVerdict::rejected: break;
    }
    return row.reason;
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
        LedgerRow row;
        row.qso = &q;
        const std::size_t before = state.shared.log.size();
        const bool stored = AddData(state, files, ArgsOf(plan, plan.qsos[i])) != 0 && state.shared.log.size() > before;
        const bool dllDupe = !o.badLine.empty() && RejectionReason(o.badLine) == "DUPE";
        const bool dllStored = o.result != 0;
        const bool dupe = stored && state.shared.log.back().dupe != 0;
        if (stored != dllStored || dupe != dllDupe)
            throw std::runtime_error("record " + std::to_string(q.record) + ": the plug-in " +
                                     (dllStored ? (dllDupe ? "took it as a dupe" : "counted it") : "rejected it") +
                                     ", its rule code " +
                                     (stored ? (dupe ? "takes it as a dupe" : "counts it") : "rejects it"));
        if (!stored) {
            row.reason = o.badLine.empty() ? "rejected" : RejectionReason(o.badLine);
        } else {
            const CInfo& r = state.shared.log.back();
            const std::string key = r.call + '\n' + r.band + '\n' + r.mode;
            if (dupe) {
                row.verdict = LedgerVerdict::dupe;
                row.dupeOf = firstStored[key];
            } else {
                firstStored.emplace(key, q.record);
                row.verdict = LedgerVerdict::counted;
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
        switch (row.verdict) {
            case LedgerVerdict::counted: ++band->qsos; break;
            case LedgerVerdict::dupe: ++band->dupes; break;
            case LedgerVerdict::rejected: ++band->rejected; break;
        }
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
                                      row.verdict == LedgerVerdict::counted ? std::to_string(row.points) : "",
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
