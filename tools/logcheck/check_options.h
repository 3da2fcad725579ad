// logcheck's command line. Portable.
#pragma once

#include <string>
#include <vector>

#include "cross_check.h"
#include "logs/log_records.h"

struct CheckOptions {
    std::string folder;
    std::string ctyFile;  // empty: the default copy
    std::string scpFile;  // empty: no MASTER.SCP
    std::string outDir = "checked";
    ReadOptions read;
    CheckSettings settings;
    bool help = false;
};

// The exit statuses, as --help and the guide list them (replay's own).
enum CheckExit : int {
    kCheckedAll = 0,
    kCheckFailed = 1,
    kCheckBadArguments = 2,  // or a bad country or MASTER.SCP file; nothing written
    kCheckSomeSkipped = 3,   // checked; lines or files that could not be read are listed
    kCheckNoLog = 4,         // no log in the folder could be read; nothing written
};

// Throws InputError with a one-line reason when the arguments make no sense.
CheckOptions ParseCheckOptions(const std::vector<std::string>& args);
extern const char* const kCheckUsage;
