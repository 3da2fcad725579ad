// The Cabrillo header: loading it from the settings, the header dialog, storing
// it back, and the text conversions between dialog, settings file and log file.
#pragma once

#include <string>
#include <string_view>

#include "contest/contest_state.h"

class Env;

// `text` with every `from` replaced by `to`, scanning left to right; inserted
// text is never scanned again.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);

// The file name without ".cbr": the callsign with "/" and "\" as "_", without
// surrounding white space; "ZAKO" when nothing is left.
std::string CabrilloFileStem(std::string_view myCall);

// The soapbox keeps its line breaks in the settings file as "<CR>" and "<LF>".
std::string DecodeSoapbox(std::string_view stored);
std::string EncodeSoapbox(std::string_view typed);

// Stored text as it goes into the log file: every "<CR>" starts a further line
// with the same tag, "<LF>" is dropped.
std::string TagLines(std::string_view stored, std::string_view tag);

// The categories the header dialog offers, chosen afresh for every log.
void SetDefaultCategories(CabrilloHeaderFields& h);

// Loads the header, runs the header dialog and, on OK, stores the operator's
// values. Anything but OK disarms the export. Returns true on OK.
bool prepareCabrilloHeader(ContestState& state, Env& env, std::string_view myCall);
