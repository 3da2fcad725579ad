#include "pages.h"

#include "breakdown.h"
#include "server_limits.h"
#include "web_text.h"

namespace {

constexpr const char* kStyle =
    "body{font-family:system-ui,sans-serif;margin:0 auto;max-width:60em;padding:0 .6em;color:#111}"
    "h1{font-size:1.4em}h2{font-size:1.1em;margin-top:1.4em}"
    ".scroll{overflow-x:auto}table{border-collapse:collapse;width:100%}"
    "th,td{padding:.3em .5em;text-align:right;border-bottom:1px solid #ddd;white-space:nowrap}"
    "th{background:#f3f3f3}.call{text-align:left}"
    ".quiet{color:#888}.flag{color:#b00000}nav a{margin-right:.8em}"
    "@media (max-width:32em){body{font-size:.9em}th,td{padding:.25em .3em}}";

std::string Head(const std::string& title, int refreshSeconds) { return PageHead(title, refreshSeconds); }

std::string Figure(const std::optional<std::int64_t>& n) { return n ? Grouped(*n) : "&ndash;"; }
std::string JsonNumber(const std::optional<std::int64_t>& n) { return n ? std::to_string(*n) : "null"; }

std::string StationRow(std::size_t rank, const PostRecord& p, UtcSeconds now) {
    const bool quiet = now - p.received > limits::kQuietAfterSeconds;
    std::string row = quiet ? "<tr class=\"quiet\">" : "<tr>";
    row += "<td>" + std::to_string(rank) + "</td><td class=\"call\"><a href=\"" + StationLink(p.call, false) + "\">" +
           Html(p.call) + "</a></td><td>" + Grouped(p.score);
    if (!p.flag.empty()) row += "<span class=\"flag\">*</span>";
    row += "</td><td>" + Figure(p.qsos) + "</td><td>" + Figure(p.mults) + "</td><td>" + Age(now - p.received) +
           " ago</td></tr>\n";
    return row;
}

std::string RecordJson(const PostRecord& p, UtcSeconds now) {
    return "\"call\":" + Json(p.call) + ",\"score\":" + std::to_string(p.score) + ",\"qsos\":" + JsonNumber(p.qsos) +
           ",\"points\":" + JsonNumber(p.points) + ",\"mults\":" + JsonNumber(p.mults) +
           ",\"timestamp\":" + Json(FormatUtc(p.timestamp)) + ",\"received\":" + Json(FormatUtc(p.received)) +
           ",\"age_seconds\":" + std::to_string(now - p.received) +
           ",\"flag\":" + (p.flag.empty() ? std::string("null") : Json(p.flag));
}

}  // namespace

std::string PageHead(const std::string& title, int refreshSeconds) {
    const std::string refresh =
        refreshSeconds > 0 ? "<meta http-equiv=\"refresh\" content=\"" + std::to_string(refreshSeconds) + "\">" : "";
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">" +
           refresh + "<title>" + Html(title) + "</title><style>" + kStyle + "</style></head><body>\n";
}

std::string StationLink(const std::string& call, bool json) {
    std::string link = json ? "station.json?call=" : "station?call=";
    for (char c : call) {
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) link += c;
        else if (c == '/') link += "%2F";
    }
    return link;
}

std::string ScoreboardHtml(const Scoreboard& board, int refreshSeconds) {
    std::string out = Head(board.contest + ": live scores", refreshSeconds);
    out += "<h1>" + Html(board.contest) + ": live scores</h1>\n<p>Claimed scores of " +
           std::to_string(board.stations) + (board.stations == 1 ? " station" : " stations") +
           " as their loggers post them, ranked by category. As of " + FormatUtc(board.now) +
           " UTC; the page reloads every " + std::to_string(refreshSeconds) +
           " s. Also as <a href=\"scores.json\">JSON</a>.</p>\n";
    if (board.categories.size() > 1) {
        out += "<nav>";
        for (std::size_t i = 0; i < board.categories.size(); ++i)
            out += "<a href=\"#c" + std::to_string(i + 1) + "\">" + Html(board.categories[i].name) + "</a>";
        out += "</nav>\n";
    }
    out.reserve(out.size() + board.stations * 200);
    bool flagged = false;
    for (std::size_t i = 0; i < board.categories.size(); ++i) {
        const ScoreboardCategory& c = board.categories[i];
        out += "<h2 id=\"c" + std::to_string(i + 1) + "\">" + Html(c.name) + "</h2>\n<div class=\"scroll\"><table>"
               "<thead><tr><th>#</th><th class=\"call\">Call</th><th>Score</th><th>QSOs</th><th>Mults</th>"
               "<th>Last post</th></tr></thead><tbody>\n";
        for (std::size_t rank = 0; rank < c.stations.size(); ++rank) {
            out += StationRow(rank + 1, c.stations[rank], board.now);
            flagged = flagged || !c.stations[rank].flag.empty();
        }
        out += "</tbody></table></div>\n";
    }
    if (flagged)
        out += "<p><span class=\"flag\">*</span> Flagged: the post's breakdown does not add up (its station's "
               "page says how).</p>\n";
    if (board.stations == 0) out += "<p>No station has posted yet.</p>\n";
    out += "</body></html>\n";
    return out;
}

std::string ScoreboardJson(const Scoreboard& board) {
    std::string out = "{\"contest\":" + Json(board.contest) + ",\"generated\":" + Json(FormatUtc(board.now)) +
                      ",\"stations\":" + std::to_string(board.stations) + ",\"categories\":[";
    out.reserve(out.size() + board.stations * 220);
    for (std::size_t i = 0; i < board.categories.size(); ++i) {
        const ScoreboardCategory& c = board.categories[i];
        out += (i ? ",{" : "{") + std::string("\"category\":") + Json(c.name) + ",\"stations\":[";
        for (std::size_t rank = 0; rank < c.stations.size(); ++rank)
            out += (rank ? ",{" : "{") + std::string("\"rank\":") + std::to_string(rank + 1) + "," +
                   RecordJson(c.stations[rank], board.now) + "}";
        out += "]}";
    }
    return out + "]}\n";
}

std::string StationHtml(const StationView& v, int refreshSeconds) {
    const PostRecord& p = v.latest;
    std::string out = Head(p.call + ": live score", refreshSeconds);
    out += "<p><a href=\"./\">All stations</a></p>\n<h1>" + Html(p.call) + "</h1>\n<p>" +
           Html(CategoryName(p.category)) + "</p>\n<p>Claimed score <b>" + Grouped(p.score) + "</b>, " +
           Figure(p.qsos) + " QSOs, " + Figure(p.points) + " points, " + Figure(p.mults) +
           " multipliers. Posted at " + FormatUtc(p.timestamp) + " by the station's clock, received " +
           Age(v.now - p.received) + " ago; " + std::to_string(v.posts) + (v.posts == 1 ? " post" : " posts") +
           " in all";
    if (!v.post.soft.empty()) out += ", from " + Html(v.post.soft + (v.post.version.empty() ? "" : " " + v.post.version));
    out += ".</p>\n";
    if (!p.flag.empty()) out += "<p class=\"flag\">Flagged: " + Html(p.flag) + ".</p>\n";

    const std::vector<std::string> bands = BreakdownBands(v.post);
    const std::vector<std::string> types = MultTypes(v.post);
    if (!bands.empty()) {
        out += "<h2>Breakdown</h2>\n<div class=\"scroll\"><table><thead><tr><th class=\"call\">Band</th>"
               "<th>QSOs</th><th>Points</th>";
        for (const std::string& type : types) out += "<th>Mults " + Html(type) + "</th>";
        out += "</tr></thead><tbody>\n";
        for (const std::string& band : bands) {
            out += "<tr><td class=\"call\">" + Html(band == "total" ? "Total" : band) + "</td><td>" +
                   Figure(BreakdownValue(v.post, BreakdownKind::qso, band, nullptr)) + "</td><td>" +
                   Figure(BreakdownValue(v.post, BreakdownKind::point, band, nullptr)) + "</td>";
            for (const std::string& type : types)
                out += "<td>" + Figure(BreakdownValue(v.post, BreakdownKind::mult, band, &type)) + "</td>";
            out += "</tr>\n";
        }
        out += "</tbody></table></div>\n";
    }
    out += "<p>Also as <a href=\"" + StationLink(p.call, true) + "\">JSON</a>.</p>\n</body></html>\n";
    return out;
}

std::string StationJson(const StationView& v) {
    const ScoreClass& c = v.latest.category;
    std::string out = "{" + RecordJson(v.latest, v.now) + ",\"posts\":" + std::to_string(v.posts) +
                      ",\"category\":{\"ops\":" + Json(c.ops) + ",\"mode\":" + Json(c.mode) +
                      ",\"power\":" + Json(c.power) + ",\"bands\":" + Json(c.bands) +
                      ",\"transmitter\":" + Json(c.transmitter) + ",\"assisted\":" + Json(c.assisted) +
                      ",\"overlay\":" + Json(c.overlay) + "},\"breakdown\":[";
    for (std::size_t i = 0; i < v.post.breakdown.size(); ++i) {
        const BreakdownEntry& e = v.post.breakdown[i];
        static constexpr const char* kKinds[] = {"qso", "point", "mult"};
        out += (i ? ",{" : "{") + std::string("\"kind\":\"") + kKinds[static_cast<int>(e.kind)] +
               "\",\"band\":" + Json(e.band) + ",\"mode\":" + Json(e.mode) + ",\"type\":" + Json(e.type) +
               ",\"value\":" + std::to_string(e.value) + "}";
    }
    return out + "]}\n";
}
