// The ADIF (.adi) reader. Portable. A record that cannot be scored is skipped
// with its reason; a file whose fields cannot be told apart throws InputError.
#pragma once

#include <string>
#include <string_view>

#include "logs/log_records.h"

LogFile ReadAdifLog(std::string_view text, const std::string& name);
