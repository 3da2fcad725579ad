// The bad-QSO file: one header line, then one line per rejected or dupe QSO,
// CR LF line ends, texts as the host's bytes. Lines go through Files::Append, which
// may keep the file open from one AddData0 to the next.
#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/files.h"
#include "contest/qso_args.h"

inline constexpr std::string_view kBadQsoHeaderAtReset = "VERDA-WW-DX CONTEST UBN file ";
inline constexpr std::string_view kBadQsoHeaderAtRemoval = "VERDA-WW-DX CONTEST UBN file  ";
// How a line gives the QSO's date and time.
inline constexpr std::string_view kBadQsoTimePattern = "%Y-%m-%d %H%M";

// How the file names the verdict: "WRONG BAND", "WRONG MODE", "NO RX NUMBER",
// "DUPE"; empty for accepted. Replay's lists and ledger show the same words.
std::string_view BadQsoReason(IntakeVerdict v);

// The QSO's line, without its line end: the host's texts as it passed them and
// the reason; empty for accepted, which writes no line.
std::string BadQsoLine(const QsoArgs& q, IntakeVerdict v);

// The pass's file name, from the contest's end date: the module and replay use it.
std::string BadQsoFileName(const DateTime& end);

// Creates or truncates the file with the reset's header. False when it cannot be written.
bool CreateBadQsoFile(Files& files, const std::string& path);

// Appends one line; false (and nothing written) when the file cannot be opened.
bool AppendBadQsoLine(Files& files, const std::string& path, std::string_view line);

// Rewrites the file with the removal header and every line after its header that
// does not hold both texts; a first line that is no header is kept as a QSO's. A
// missing file becomes the header alone; a file that exists but cannot be read is
// left as it is. False when nothing was rewritten.
bool RewriteBadQsoFileWithout(Files& files, const std::string& path, std::string_view text1, std::string_view text2);

// Lines that hold neither the dupe's reason nor "UBN" (the headers): the rejected
// QSOs. The file is read back, not the verdicts, as the operator may have edited
// it. 0 when unreadable.
int CountRejectedLines(Files& files, const std::string& path);
