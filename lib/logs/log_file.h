// Reads a contest log file of either kind: ADIF, or Cabrillo QSO lines. Portable.
// A record that cannot be scored is skipped with its reason; only a file
// unreadable as a whole throws InputError.
#pragma once

#include <string>
#include <string_view>

#include "logs/log_records.h"

// Reads ADIF (.adi) or, when the text starts a Cabrillo log, its QSO lines; a
// UTF-16 file is decoded first. `name` is only used in messages.
LogFile ReadLogFile(std::string_view text, const std::string& name, const ReadOptions& options = {});
