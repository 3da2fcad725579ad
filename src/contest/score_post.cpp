#include "contest/score_post.h"

#include <algorithm>
#include <cstdio>

#include "base/utf8_text.h"
#include "contest/contest_rules.h"
#include "contest/header.h"
#include "contest/writer.h"

namespace {

// The post's name of a contest band: its metres without the "m".
std::string PostBand(int bandIndex) {
    std::string name = kBandFacts[bandIndex].name;
    name.pop_back();
    return name;
}

int BandIndexIgnoringCase(std::string_view band) {
    for (int i = 0; i < kBandCount; ++i)
        if (EqualsIgnoringCase(band, kBandFacts[i].name)) return i;
    return -1;
}

// Text as XML character data or an attribute value.
std::string XmlText(std::string_view text) {
    std::string out;
    for (char c : Utf8Only(text, "?")) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c;
        }
    }
    return out;
}

void Element(std::string& out, const char* name, std::string_view text) {
    out += '<';
    out += name;
    out += '>';
    out += XmlText(text);
    out += "</";
    out += name;
    out += ">\n";
}

// <kind band="..." mode="..." [type="..."]>value</kind>
void Entry(std::string& out, const char* kind, std::string_view band, const char* mode, const char* type,
           std::int64_t value) {
    out += '<';
    out += kind;
    out += " band=\"";
    out += band;
    out += "\" mode=\"";
    out += mode;
    out += '"';
    if (type) {
        out += " type=\"";
        out += type;
        out += '"';
    }
    out += '>';
    out += std::to_string(value);
    out += "</";
    out += kind;
    out += ">\n";
}

std::string Timestamp(const CalendarTime& t) {
    const auto clamp = [](int v, int lo, int hi) { return std::min(std::max(v, lo), hi); };
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", clamp(t.year, 0, 9999), clamp(t.month, 1, 12),
                  clamp(t.day, 1, 31), clamp(t.hour, 0, 23), clamp(t.minute, 0, 59), clamp(t.second, 0, 59));
    return text;
}

}  // namespace

ClaimedFigures ClaimedScoreOf(const ScoreSheet& sheet) {
    ClaimedBand byIndex[kBandCount];
    for (const BandFigures& f : sheet.bands) {
        const int i = BandIndexIgnoringCase(f.band);
        if (i < 0) continue;  // the intake stores no other band
        byIndex[i].qsos += f.qsos;
        byIndex[i].points += f.points;
        byIndex[i].exchangeMults += f.exchangeMults;
        byIndex[i].prefixMults += f.prefixMults;
    }
    ClaimedFigures claimed;
    for (int i = 0; i < kBandCount; ++i) {
        ClaimedBand& b = byIndex[i];
        if (b.qsos == 0 && b.points == 0 && b.exchangeMults == 0 && b.prefixMults == 0) continue;
        b.band = PostBand(i);
        claimed.bands.push_back(std::move(b));
    }
    claimed.qsos = sheet.qsos;
    claimed.points = sheet.points;
    claimed.exchangeMults = sheet.exchangeMults;
    claimed.prefixMults = sheet.prefixMults;
    claimed.score = sheet.score;
    return claimed;
}

std::string ScorePostXml(const ClaimedFigures& score, const CabrilloHeaderFields& header, std::string_view call,
                         const CalendarTime& utc) {
    CabrilloHeaderFields offered;
    SetDefaultCategories(offered);
    const auto category = [](const std::string& given, const std::string& fallback) {
        return XmlText(given.empty() ? fallback : given);
    };

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dynamicresults>\n";
    Element(out, "contest", kCabrilloContestName);
    Element(out, "call", call);
    if (!header.operators.empty()) Element(out, "ops", header.operators);
    if (!header.club.empty()) Element(out, "club", header.club);
    Element(out, "soft", "Stats.dll");
    Element(out, "version", STATS_VERSION);
    out += "<class ops=\"" + category(header.categoryOperator, offered.categoryOperator) +
           "\" mode=\"" + category(header.categoryMode, offered.categoryMode) +
           "\" power=\"" + category(header.categoryPower, offered.categoryPower) +
           "\" bands=\"" + category(header.categoryBand, offered.categoryBand) +
           "\" transmitter=\"" + category(header.categoryTransmitter, offered.categoryTransmitter) +
           "\" assisted=\"" + category(header.categoryAssisted, offered.categoryAssisted) +
           "\" overlay=\"" + XmlText(header.categoryOverlay) + "\"></class>\n";

    // The contest has one mode; the totals are over all of it, as the format names them.
    out += "<breakdown>\n";
    for (const ClaimedBand& b : score.bands) Entry(out, "qso", b.band, "RTTY", nullptr, b.qsos);
    Entry(out, "qso", "total", "ALL", nullptr, score.qsos);
    for (const ClaimedBand& b : score.bands) Entry(out, "point", b.band, "RTTY", nullptr, b.points);
    Entry(out, "point", "total", "ALL", nullptr, score.points);
    for (const ClaimedBand& b : score.bands) {
        Entry(out, "mult", b.band, "RTTY", kExchangeMultType, b.exchangeMults);
        Entry(out, "mult", b.band, "RTTY", kPrefixMultType, b.prefixMults);
    }
    Entry(out, "mult", "total", "ALL", kExchangeMultType, score.exchangeMults);
    Entry(out, "mult", "total", "ALL", kPrefixMultType, score.prefixMults);
    out += "</breakdown>\n";
    Element(out, "score", std::to_string(score.score));
    Element(out, "timestamp", Timestamp(utc));
    out += "</dynamicresults>\n";
    return out;
}
