#include "post_reader.h"

#include <charconv>
#include <cstring>

#include <pugixml.hpp>

#include "server_limits.h"

namespace {

std::string_view Trim(std::string_view s) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = s.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool StartsIgnoringCase(std::string_view text, std::size_t at, std::string_view word) {
    if (at + word.size() > text.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        char c = text[at + i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != word[i]) return false;
    }
    return true;
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.' || c == ':';
}

// Before the parser sees it: no DTD (which could declare entities that expand
// without end) and no reference to an entity other than XML's five. A lone '&'
// that references nothing is left to the parser, which keeps it as text, as some
// loggers send a club's name unescaped.
void RefuseDtdAndEntities(std::string_view doc) {
    if (doc.find('\0') != std::string_view::npos)
        throw PostRefused(400, "malformed XML: a NUL byte (a post is UTF-8 or ISO-8859-1 text)");
    for (std::size_t at = doc.find("<!"); at != std::string_view::npos; at = doc.find("<!", at + 2))
        if (StartsIgnoringCase(doc, at + 2, "DOCTYPE") || StartsIgnoringCase(doc, at + 2, "ENTITY"))
            throw PostRefused(400, "malformed XML: a DTD is refused");
    for (std::size_t at = doc.find('&'); at != std::string_view::npos; at = doc.find('&', at + 1)) {
        std::size_t end = at + 1;
        if (end < doc.size() && doc[end] == '#') continue;
        while (end < doc.size() && IsNameChar(doc[end])) ++end;
        if (end == at + 1 || end >= doc.size() || doc[end] != ';') continue;
        const std::string_view name = doc.substr(at + 1, end - at - 1);
        if (name != "lt" && name != "gt" && name != "amp" && name != "apos" && name != "quot")
            throw PostRefused(400, "malformed XML: the entity &" + std::string(name) + "; is refused");
    }
}

std::string Checked(std::string_view text, const std::string& what, std::size_t max) {
    if (text.size() > max)
        throw PostRefused(400, what + " is longer than " + std::to_string(max) + " bytes");
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            throw PostRefused(400, what + " holds a control character");
    return std::string(text);
}

std::string ElementText(pugi::xml_node parent, const char* name, bool required, std::size_t max) {
    const pugi::xml_node node = parent.child(name);
    if (!node) {
        if (required) throw PostRefused(400, std::string("missing <") + name + ">");
        return {};
    }
    return Checked(Trim(node.text().get()), std::string("<") + name + ">", max);
}

std::string AttributeText(pugi::xml_node node, const char* name, std::size_t max) {
    return Checked(Trim(node.attribute(name).value()), std::string(node.name()) + " " + name, max);
}

std::int64_t Count(std::string_view text, const std::string& what) {
    std::int64_t value = -1;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < 0)
        throw PostRefused(400, what + " \"" + std::string(text.substr(0, 24)) + "\" is not a whole number of 0 or more");
    return value;
}

std::string CheckedCall(std::string_view text) {
    std::string call = NormalizedCall(text);
    if (call.empty())
        throw PostRefused(400, "<call> \"" + Upper(text.substr(0, 24)) + "\" is not a call: " +
                                   std::to_string(limits::kMinCallBytes) + " to " +
                                   std::to_string(limits::kMaxCallBytes) + " letters, figures and /");
    return call;
}

void ReadBreakdown(pugi::xml_node breakdown, ScorePost& post) {
    for (pugi::xml_node entry : breakdown.children()) {
        if (entry.type() != pugi::node_element) continue;
        BreakdownEntry e;
        if (std::strcmp(entry.name(), "qso") == 0) e.kind = BreakdownKind::qso;
        else if (std::strcmp(entry.name(), "point") == 0) e.kind = BreakdownKind::point;
        else if (std::strcmp(entry.name(), "mult") == 0) e.kind = BreakdownKind::mult;
        else continue;  // not ours to judge
        if (post.breakdown.size() == limits::kMaxBreakdownEntries)
            throw PostRefused(400, "<breakdown> has more than " + std::to_string(limits::kMaxBreakdownEntries) +
                                       " entries");
        e.band = Lower(AttributeText(entry, "band", limits::kMaxTextBytes));
        e.mode = Upper(AttributeText(entry, "mode", limits::kMaxTextBytes));
        e.type = Lower(AttributeText(entry, "type", limits::kMaxTextBytes));
        const std::string what = std::string("<") + entry.name() + " band=\"" + e.band + "\">";
        e.value = Count(Checked(Trim(entry.text().get()), what, limits::kMaxTextBytes), what);
        post.breakdown.push_back(std::move(e));
    }
}

}  // namespace

std::string NormalizedCall(std::string_view text) {
    std::string call = Upper(text);
    if (call.size() < limits::kMinCallBytes || call.size() > limits::kMaxCallBytes) return {};
    for (char c : call)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/')) return {};
    return call;
}

ScorePost ReadScorePost(std::string_view document) {
    if (document.size() > limits::kMaxPostBytes)
        throw PostRefused(413, "a post is at most " + std::to_string(limits::kMaxPostBytes) + " bytes");
    RefuseDtdAndEntities(document);
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(document.data(), document.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed)
        throw PostRefused(400, std::string("malformed XML: ") + parsed.description() + " at byte " +
                                   std::to_string(parsed.offset));
    const pugi::xml_node root = doc.document_element();
    if (std::strcmp(root.name(), "dynamicresults") != 0)
        throw PostRefused(400, std::string("the document is <") + root.name() + ">, not <dynamicresults>");

    ScorePost post;
    post.contest = ElementText(root, "contest", true, limits::kMaxTextBytes);
    post.call = CheckedCall(ElementText(root, "call", true, limits::kMaxTextBytes));
    post.ops = ElementText(root, "ops", false, limits::kMaxTextBytes * 4);
    post.club = ElementText(root, "club", false, limits::kMaxTextBytes);
    post.soft = ElementText(root, "soft", false, limits::kMaxTextBytes);
    post.version = ElementText(root, "version", false, limits::kMaxTextBytes);

    const pugi::xml_node category = root.child("class");
    if (!category) throw PostRefused(400, "missing <class>");
    ScoreClass& c = post.category;
    c.ops = Upper(AttributeText(category, "ops", limits::kMaxTextBytes));
    c.mode = Upper(AttributeText(category, "mode", limits::kMaxTextBytes));
    c.power = Upper(AttributeText(category, "power", limits::kMaxTextBytes));
    c.bands = Upper(AttributeText(category, "bands", limits::kMaxTextBytes));
    c.transmitter = Upper(AttributeText(category, "transmitter", limits::kMaxTextBytes));
    c.assisted = Upper(AttributeText(category, "assisted", limits::kMaxTextBytes));
    c.overlay = Upper(AttributeText(category, "overlay", limits::kMaxTextBytes));

    post.score = Count(ElementText(root, "score", true, limits::kMaxTextBytes), "<score>");
    const std::string timestamp = ElementText(root, "timestamp", true, limits::kMaxTextBytes);
    const auto at = ParseUtc(timestamp);
    if (!at) throw PostRefused(400, "<timestamp> \"" + timestamp + "\" is not yyyy-mm-dd hh:mm:ss");
    post.timestamp = *at;
    ReadBreakdown(root.child("breakdown"), post);
    return post;
}
