// The Cabrillo 3.0 log file: QSO lines from the contest log, the file itself,
// and the export step of the results call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/cabrillo_export.h"
#include "base/files.h"
#include "contest/contest_state.h"
#include "base/date_time.h"

// The contest's name on the log's CONTEST: line; live score posts carry it too.
inline constexpr const char* kCabrilloContestName = "VERDA-WW-DX CONTEST";

// Formats one QSO, sent by `cabrillo.callsign`, and appends it to
// `cabrillo.qsoLines` when the mode text is "RY". Long values are written whole.
void addCabrilloQsoLine(CabrilloExport& cabrillo, std::string_view call, int freqKHz, std::string_view mode,
                        const DateTime& time, std::string_view rstSent, std::string_view exchSent,
                        std::string_view rstRcvd, std::string_view exchRcvd);

// The whole file: header, the QSO lines and the closing line, CR LF throughout.
std::string CabrilloFileText(const CabrilloExport& cabrillo, std::int64_t claimedScore, std::string_view hostVersion);

// Writes `fileStem`.cbr into the working directory, replacing an older file, and
// returns the message for the operator: "File produced: " and the name, or, when
// the file could not be written, a message that says so and names it.
std::string writeCabrilloFile(Files& files, const CabrilloExport& cabrillo, std::int64_t claimedScore,
                              std::string_view hostVersion);

// The results call's export: every QSO of the log (dupes too) into a fresh file.
// Returns the message for the "Output" box.
std::string ExportCabrilloLog(ContestState& state, Files& files);
