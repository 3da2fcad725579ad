#include "log_pages.h"

#include "pages.h"
#include "server_limits.h"
#include "web_text.h"

std::string UploadHtml(const ContestConfig& config, UtcSeconds now) {
    std::string h = PageHead(config.Name() + ": send your log");
    h += "<h1>" + Html(config.Name()) + ": send your log</h1>\n";
    if (config.deadline) {
        h += now > *config.deadline ? "<p class=\"flag\">The deadline, " + Html(FormatUtc(*config.deadline)) +
                                          " UTC, has passed: only stations the sponsor lets in late can send.</p>\n"
                                    : "<p>Logs are taken until " + Html(FormatUtc(*config.deadline)) + " UTC.</p>\n";
    }
    h += "<p>Your Cabrillo log (or ADIF), at most " + std::to_string(limits::kMaxLogBytes / (1024 * 1024)) +
         " MB. The receipt comes at once: check it, and send the log again if something is wrong. The latest "
         "log of a call is the one checked.</p>\n"
         "<form method=\"post\" action=\"/upload\" enctype=\"multipart/form-data\">\n"
         "<p><input type=\"file\" name=\"log\" id=\"log\" required></p>\n"
         "<p><button type=\"submit\" id=\"send\">Send the log</button></p>\n</form>\n"
         "<p>From a script: <code>curl -F log=@SM5XYZ.cbr http://this-server/upload</code> "
         "(add <code>-H 'Accept: application/json'</code> for the receipt as JSON).</p>\n";
    return h + "<nav><a href=\"/\">Live scores</a> <a href=\"/results.html\">Results</a></nav>\n</body></html>\n";
}

std::string PrivateHtml(const Receipt& r, bool current, const std::optional<std::string>& report,
                        const std::string& contest) {
    std::string h = ReceiptHtml(r, contest);
    h.erase(h.rfind("</body>"));
    if (!current) h += "<p class=\"flag\">A later log of " + Html(r.call) + " replaced this one for the check.</p>\n";
    if (report) h += "<h2>Your checking report</h2>\n<pre id=\"report\">" + Html(*report) + "</pre>\n";
    else h += "<p>Your checking report comes here once the sponsor has checked the logs.</p>\n";
    return h + "</body></html>\n";
}

std::string RefusalHtml(int status, const std::string& why, const std::string& contest) {
    return PageHead(contest + ": log not taken") + "<h1>Your log was not taken</h1>\n<p class=\"flag\" id=\"why\">" +
           Html(why) + "</p>\n<p>(HTTP " + std::to_string(status) +
           ")</p>\n<p><a href=\"/upload\">Send a log</a></p>\n</body></html>\n";
}

std::string SponsorHtml(const LogsOverview& o, const std::vector<std::string>& latePermits,
                        const ContestConfig& config, bool published, const std::string& message) {
    std::string h = PageHead(config.Name() + ": the sponsor's page");
    h += "<h1>" + Html(config.Name()) + ": logs received</h1>\n";
    if (!message.empty()) h += "<pre id=\"message\">" + Html(message) + "</pre>\n";
    std::size_t calls = 0;
    for (const auto& [category, logs] : o.byCategory) calls += logs.size();
    h += "<p>" + std::to_string(calls) + " stations sent logs, " + std::to_string(o.uploads) + " uploads in all.";
    if (config.deadline) h += " Deadline: " + Html(FormatUtc(*config.deadline)) + " UTC.";
    h += "</p>\n<form method=\"post\" action=\"/sponsor/check\"><button type=\"submit\" id=\"check-now\">Check now"
         "</button></form>\n";
    if (published) h += "<p><a href=\"/results.html\">Published results</a></p>\n";
    for (const auto& [category, logs] : o.byCategory) {
        h += "<h2>" + Html(category) + " (" + std::to_string(logs.size()) + ")</h2>\n<div class=\"scroll\"><table>"
             "<tr><th class=\"call\">Call</th><th>QSOs</th><th>Claimed</th><th>Upload</th><th>Received (UTC)</th>"
             "<th class=\"call\">SHA-256</th></tr>\n";
        for (const LogRecord& r : logs)
            h += "<tr><td class=\"call\"><a href=\"/sponsor/report?call=" + Html(r.call) + "\">" + Html(r.call) +
                 "</a></td><td>" + Grouped(r.qsos) + "</td><td>" + Grouped(r.claimed) + "</td><td>" +
                 std::to_string(r.version) + "</td><td>" + Html(FormatUtc(r.received)) + "</td><td class=\"call\"><code>" +
                 r.sha256.substr(0, 16) + "</code></td></tr>\n";
        h += "</table></div>\n";
    }
    h += "<h2>Missing logs (" + std::to_string(o.missing.size()) + ")</h2>\n<p>Calls worked in " +
         std::to_string(config.missingAfter) + " logs or more, or that posted live scores, and sent no log.</p>\n";
    if (!o.missing.empty()) {
        h += "<div class=\"scroll\"><table id=\"missing\"><tr><th class=\"call\">Call</th><th>In logs</th>"
             "<th>Posted live</th></tr>\n";
        for (const MissingLog& m : o.missing)
            h += "<tr><td class=\"call\">" + Html(m.call) + "</td><td>" + std::to_string(m.workedIn) + "</td><td>" +
                 (m.posted ? "yes" : "no") + "</td></tr>\n";
        h += "</table></div>\n";
    }
    h += "<h2>Let a station in late</h2>\n<form method=\"post\" action=\"/sponsor/late\"><input name=\"call\" "
         "required> <button type=\"submit\">Let in</button></form>\n";
    if (!latePermits.empty()) {
        h += "<p>Let in late:";
        for (const std::string& c : latePermits) h += " " + Html(c);
        h += "</p>\n";
    }
    return h + "</body></html>\n";
}
