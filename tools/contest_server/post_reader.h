// Reads a live score post: the <dynamicresults> document that contest loggers
// send, whichever logger wrote it. Portable; pugixml underneath, with DTDs and
// entities refused.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "utc_time.h"

// A post that cannot be taken: the HTTP status and one line saying why.
class PostRefused : public std::runtime_error {
public:
    PostRefused(int status, const std::string& why) : std::runtime_error(why), status(status) {}
    int status;
};

// The <class> attributes: Cabrillo category values, upper case, empty when not sent.
struct ScoreClass {
    std::string ops, mode, power, bands, transmitter, assisted, overlay;
};

enum class BreakdownKind { qso, point, mult };

// One <qso>, <point> or <mult> of the breakdown. band is "total" or the band's
// name ("160" ... "10"), mode upper case ("ALL", "CW", "PH", "RTTY", "DIG").
struct BreakdownEntry {
    BreakdownKind kind = BreakdownKind::qso;
    std::string band, mode, type;
    std::int64_t value = 0;
};

struct ScorePost {
    std::string contest;  // as sent, trimmed
    std::string call;     // upper case
    std::string ops, club, soft, version;
    ScoreClass category;
    std::int64_t score = 0;
    UtcSeconds timestamp = 0;
    std::vector<BreakdownEntry> breakdown;  // in document order
};

// The document's post. Throws PostRefused with 400 for anything that is not a
// well-formed <dynamicresults> with contest, call, class, score and timestamp,
// for a DTD or an entity other than XML's own, and for texts and numbers out of
// bounds (server_limits.h). Reads UTF-8, or the encoding the declaration names.
ScorePost ReadScorePost(std::string_view document);

// The call in upper case when it is one (letters, figures and '/', of a length
// server_limits.h allows), else empty.
std::string NormalizedCall(std::string_view text);
