// The contest a server takes posts for, and where and how it serves: a small
// TOML file (contest.toml beside this file shows every key), or the defaults
// alone. Portable; toml++ underneath.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "utc_time.h"

class ConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ContestConfig {
    // Names a post's <contest> may carry, compared ignoring case; the first is shown.
    std::vector<std::string> names;
    // The period in UTC; a post stamped far outside it is refused. Empty: only
    // this server's clock bounds a timestamp.
    std::optional<UtcSeconds> start, end;
    // A score must be total points times total multipliers, as this contest scores.
    bool pointsTimesMults = true;
    int postsPerMinute;  // per station; 0: no limit
    int refreshSeconds;  // of the scoreboard page
    // After it, logs are refused unless the sponsor lets a station in late. Empty: no deadline.
    std::optional<UtcSeconds> deadline;

    // The country file the receipts and the check read calls by.
    std::string ctyFile = "/usr/share/hamradio-files/cty.dat";
    // The contest's modes as the readers name them ("RTTY", "CW", "SSB", "DIGI"):
    // QSOs in them are scored as RTTY QSOs, others are in the wrong mode.
    std::vector<std::string> contestModes{"RTTY"};
    // A call worked in this many logs, that sent none, is listed as missing.
    int missingAfter = 3;

    std::string listen = "127.0.0.1";  // a reverse proxy in front takes the outside
    int port = 8080;
    std::string dataDir = "contest-data";  // made when missing; holds scores.sqlite, logs/ and checked/

    const std::string& Name() const { return names.front(); }
    bool Takes(std::string_view contest) const;
};

// VERDA-WW-DX's names, no period, the default limits, 127.0.0.1:8080, ./contest-data.
ContestConfig DefaultConfig();

// The defaults with what the text sets. Throws ConfigError naming the source and
// the key for a syntax error, an unknown key, a value of the wrong kind, or an
// end before the start.
ContestConfig ReadConfig(std::string_view toml, const std::string& source);
