// The reader of a Cabrillo log's QSO lines. Portable. A line that cannot be split
// for certain is skipped with its reason.
#pragma once

#include <string>
#include <string_view>

#include "logs/log_records.h"

LogFile ReadCabrilloLog(std::string_view text, const std::string& name, const ReadOptions& options = {});
