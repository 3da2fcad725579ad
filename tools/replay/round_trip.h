// The plug-in's Cabrillo file read back and replayed: the same QSOs must come out
// with the same verdicts and points. Portable.
#pragma once

#include <string>

#include "ledger.h"

// `logged` is the ledger of the original log, `reread` that of the Cabrillo file,
// which holds the QSOs the plug-in stored (counted and dupes) in log order. Says
// "Cabrillo file re-read: the same score" or lists the differences.
std::string CompareRoundTrip(const Ledger& logged, const Ledger& reread);
