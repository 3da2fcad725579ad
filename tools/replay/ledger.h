// The ledger: what the plug-in made of every QSO replay handed it, QSO by QSO,
// with the points and multipliers computed by the plug-in's own rule code and the
// claimed score as it grew. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "replay_plan.h"
#include "contest/countries.h"
#include "contest/qso_args.h"

struct LedgerRow {
    const LogQso* qso = nullptr;  // in the plan the ledger was made from
    IntakeVerdict verdict = IntakeVerdict::accepted;  // the rule code's, as the plug-in answered
    int dupeOf = 0;  // dupe: record number of the QSO it duplicates
    std::optional<PointClass> pointClass;  // counted QSOs only
    int points = 0;
    std::string newExchangeMult, newPrefixMult;  // the new multiplier, empty when none
    // After this QSO: the claimed score and the multiplier counts of all bands.
    std::int64_t score = 0;
    int exchangeMults = 0, prefixMults = 0;
};

// A band's sums over the ledger, the report's columns and the dupes and rejects.
struct LedgerBand {
    std::string band;
    int qsos = 0, points = 0, exchangeMults = 0, prefixMults = 0, dupes = 0, rejected = 0;
};

struct Ledger {
    std::vector<LedgerRow> rows;    // one per planned QSO, in log order
    std::vector<LedgerBand> bands;  // in order of first appearance
    std::int64_t score = 0;
    const LedgerBand* Band(const std::string& band) const;
};

// Runs the plug-in's portable intake over the QSOs the real plug-in was handed,
// and scores each stored QSO with its rule code. Throws std::runtime_error naming
// the record where the two disagree: on whether the QSO was stored, or on its
// bad-QSO line, byte for byte. A rejected QSO's line may be missing (the file could
// not be written): its 0 already says it was rejected.
Ledger MakeLedger(const ReplayPlan& plan, const std::vector<QsoOutcome>& outcomes);

// "Nordic-Baltic", "own country", "own continent", "other continent".
const char* PointClassName(PointClass c);
// "counted", "dupe of record N" or the reason of the bad-QSO file ("WRONG MODE").
std::string VerdictText(const LedgerRow& row);

// A short account of the rejected and dupe QSOs with their reasons.
std::string RejectSummary(const Ledger& ledger);

// The ledger as CSV (RFC 4180: CR LF line ends, fields quoted when needed), a
// header row of column names first.
std::string LedgerCsv(const Ledger& ledger);
