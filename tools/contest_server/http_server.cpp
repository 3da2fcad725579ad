#include "http_server.h"

#include <sys/socket.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

#include <httplib.h>

#include "logs/input_error.h"
#include "log_pages.h"
#include "pages.h"
#include "post_reader.h"
#include "request_fields.h"
#include "scoreboard.h"
#include "server_limits.h"
#include "station_keys.h"
#include "web_text.h"

// cpp-httplib as Debian builds it listens with a queue of 5 connections, which a
// burst of loggers overflows into SYN retries of a second or more; the socket it
// made is taken here, after the bind, and given a longer queue.
class HttpListener : public httplib::Server {
public:
    bool LengthenQueue() { return ::listen(svr_sock_, limits::kListenBacklog) == 0; }
};

namespace {

void Text(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    res.set_content(text, "text/plain; charset=utf-8");
}

void Page(httplib::Response& res, const std::string& body, const char* type) {
    res.set_header("Cache-Control", "no-cache");
    res.set_content(body, type);
}

// The post's document and credentials, out of whichever encoding the logger
// used; empty when the body could not be read whole, with `tooLong` saying
// whether it went past the limit (the library stops reading there too).
std::optional<PostRequest> ReadPostRequest(const httplib::Request& req, const httplib::ContentReader& read,
                                           bool& tooLong) {
    PostRequest post;
    const BasicCredentials basic = ReadBasicAuthorization(req.get_header_value("Authorization"));
    post.user = basic.user;
    post.key = basic.password;
    std::string formKey;
    std::size_t received = 0;
    const auto within = [&](std::size_t n) { return (received += n) <= limits::kMaxPostBytes; };
    tooLong = req.get_header_value<std::uint64_t>("Content-Length") > limits::kMaxPostBytes;
    if (req.is_multipart_form_data()) {
        std::string* field = nullptr;
        const bool whole = read(
            [&](const httplib::MultipartFormData& part) {
                field = part.name == "xml" ? &post.document : part.name == "key" ? &formKey : nullptr;
                return true;
            },
            [&](const char* data, std::size_t n) {
                if (field) field->append(data, n);
                return within(n);
            });
        if (!whole) {
            tooLong = tooLong || received > limits::kMaxPostBytes;
            return std::nullopt;
        }
    } else {
        std::string body;
        const bool whole = read([&](const char* data, std::size_t n) {
            body.append(data, n);
            return within(n);
        });
        if (!whole) {
            tooLong = tooLong || received > limits::kMaxPostBytes;
            return std::nullopt;
        }
        FormFields fields = ReadPostBody(req.get_header_value("Content-Type"), body);
        post.document = std::move(fields.xml);
        formKey = std::move(fields.key);
    }
    if (post.key.empty()) post.key = !formKey.empty() ? formKey : req.get_param_value("key");
    return post;
}

const std::string kTooLong = "a post is at most " + std::to_string(limits::kMaxPostBytes) + " bytes\n";
const std::string kLogTooLong =
    "a log is at most " + std::to_string(limits::kMaxLogBytes / (1024 * 1024)) + " MB; nothing was kept\n";

CountryFile LoadCountryFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ConfigError("the country file " + path + " cannot be read (set [check] cty)");
    try {
        return CountryFile::Parse(std::string((std::istreambuf_iterator<char>(in)), {}), path);
    } catch (const InputError& e) {
        throw ConfigError(e.what());
    }
}

// The uploaded file: the multipart field "log" (the first file field, when a
// client names it otherwise), or the body itself. Empty with `tooLong` set when
// it went past the limit; the reading stops there.
std::optional<std::string> ReadUpload(const httplib::Request& req, const httplib::ContentReader& read, bool& tooLong) {
    std::string file;
    std::size_t received = 0;
    const auto within = [&](std::size_t n) { return (received += n) <= limits::kMaxLogBytes + limits::kMaxFormOverheadBytes; };
    tooLong = req.get_header_value<std::uint64_t>("Content-Length") > limits::kMaxLogBytes + limits::kMaxFormOverheadBytes;
    if (tooLong) return std::nullopt;
    bool whole;
    if (req.is_multipart_form_data()) {
        enum { none, taking, done } state = none;
        whole = read(
            [&](const httplib::MultipartFormData& part) {
                if (state == taking) state = done;
                if (state == none && (part.name == "log" || !part.filename.empty())) state = taking;
                return true;
            },
            [&](const char* data, std::size_t n) {
                if (state == taking) file.append(data, n);
                return within(n) && file.size() <= limits::kMaxLogBytes;
            });
    } else {
        whole = read([&](const char* data, std::size_t n) {
            file.append(data, n);
            return within(n) && file.size() <= limits::kMaxLogBytes;
        });
    }
    if (file.size() > limits::kMaxLogBytes || received > limits::kMaxLogBytes + limits::kMaxFormOverheadBytes) {
        tooLong = true;
        return std::nullopt;
    }
    if (!whole) return std::nullopt;
    return file;
}

enum class Format { text, html, json };

// ?format= first, then what the client accepts: a browser asks for HTML, curl for anything.
Format Wanted(const httplib::Request& req) {
    const std::string format = req.get_param_value("format");
    if (format == "json") return Format::json;
    if (format == "html") return Format::html;
    if (format == "text") return Format::text;
    const std::string accept = req.get_header_value("Accept");
    if (accept.find("application/json") != std::string::npos) return Format::json;
    if (accept.find("text/html") != std::string::npos) return Format::html;
    return Format::text;
}

void Refuse(httplib::Response& res, Format format, int status, const std::string& why, const std::string& contest) {
    res.status = status;
    if (format == Format::json) res.set_content("{\"error\":" + Json(why) + "}\n", "application/json");
    else if (format == Format::html) res.set_content(RefusalHtml(status, why, contest), "text/html; charset=utf-8");
    else res.set_content(why + "\n", "text/plain; charset=utf-8");
}

void Show(httplib::Response& res, Format format, const Receipt& receipt, const std::string& html) {
    // The page carries the private link: kept from caches and from the next site's Referer.
    res.set_header("Cache-Control", "no-store");
    res.set_header("Referrer-Policy", "no-referrer");
    if (format == Format::json) res.set_content(ReceiptJson(receipt), "application/json");
    else if (format == Format::html) res.set_content(html, "text/html; charset=utf-8");
    else res.set_content(ReceiptText(receipt), "text/plain; charset=utf-8");
}

}  // namespace

HttpServer::HttpServer(ScoreStore& store, const ContestConfig& config)
    : store_(store), config_(config), intake_(store, config), cty_(LoadCountryFile(config.ctyFile)),
      vault_(config.dataDir + "/logs"), logs_(store, vault_, config, cty_),
      check_(store, vault_, config, cty_, config.dataDir + "/checked"), http_(std::make_unique<HttpListener>()) {
    http_->new_task_queue = [] { return new httplib::ThreadPool(limits::kWorkerThreads); };
    // A log's limit; a post's own, smaller one is held by its handler.
    http_->set_payload_max_length(limits::kMaxLogBytes + limits::kMaxFormOverheadBytes);
    http_->set_read_timeout(limits::kReadTimeoutSeconds);
    http_->set_write_timeout(limits::kWriteTimeoutSeconds);
    http_->set_keep_alive_timeout(limits::kKeepAliveSeconds);
    http_->set_keep_alive_max_count(limits::kKeepAliveRequests);
    Route();
}

HttpServer::~HttpServer() = default;

void HttpServer::Route() {
    http_->Post("/post", [this](const httplib::Request& req, httplib::Response& res,
                                const httplib::ContentReader& read) {
        bool tooLong = false;
        const std::optional<PostRequest> post = ReadPostRequest(req, read, tooLong);
        if (!post) return Text(res, tooLong ? 413 : 400, tooLong ? kTooLong : "the body could not be read whole\n");
        const PostReply reply = intake_.Take(*post, UtcNow());
        Text(res, reply.status, reply.text);
        if (reply.status == 401) res.set_header("WWW-Authenticate", "Basic realm=\"contest-server\", charset=\"UTF-8\"");
    });
    http_->Get("/", [this](const httplib::Request&, httplib::Response& res) {
        Page(res, Cached(html_, [this](UtcSeconds now) {
                 return ScoreboardHtml(BuildScoreboard(store_.LatestPosts(), config_.Name(), now), config_.refreshSeconds);
             }), "text/html; charset=utf-8");
    });
    http_->Get("/scores.json", [this](const httplib::Request&, httplib::Response& res) {
        Page(res, Cached(json_, [this](UtcSeconds now) {
                 return ScoreboardJson(BuildScoreboard(store_.LatestPosts(), config_.Name(), now));
             }), "application/json");
    });
    for (const bool json : {false, true}) {
        http_->Get(json ? "/station.json" : "/station", [this, json](const httplib::Request& req, httplib::Response& res) {
            const std::string call = NormalizedCall(req.get_param_value("call"));
            if (call.empty()) return Text(res, 400, "station?call=CALL names a station by its call\n");
            const std::optional<PostRecord> latest = store_.LatestPost(call);
            if (!latest) return Text(res, 404, "no post from " + call + " yet\n");
            const ScorePost post = ReadScorePost(latest->xml);
            const StationView view{*latest, post, store_.PostCount(call), UtcNow()};
            if (json) Page(res, StationJson(view), "application/json");
            else Page(res, StationHtml(view, config_.refreshSeconds), "text/html; charset=utf-8");
        });
    }
    http_->Get("/health", [](const httplib::Request&, httplib::Response& res) { Text(res, 200, "ok\n"); });
    RouteLogs();

    // What the library answers by itself gets a line saying why.
    http_->set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) return;
        if (res.status == 413)
            Text(res, 413, req.path == "/upload" ? kLogTooLong : kTooLong);
        else if (res.status == 404)
            Text(res, 404, "no such page: " + req.path + "\n");
        else
            Text(res, res.status, "the request cannot be served (HTTP " + std::to_string(res.status) + ")\n");
    });
    http_->set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const StoreError& e) {
            Text(res, 503, std::string("the store cannot be read (") + e.what() + ")\n");
        } catch (const std::exception& e) {
            Text(res, 500, std::string("internal error: ") + e.what() + "\n");
        } catch (...) {
            Text(res, 500, "internal error\n");
        }
    });
    // Refusals and failures are the sponsor's to see; accepted posts would only drown them.
    http_->set_logger([](const httplib::Request& req, const httplib::Response& res) {
        if (res.status < 400) return;
        // A page or JSON says the same as its plain text would, at length.
        const bool plain = !res.body.empty() && res.get_header_value("Content-Type").starts_with("text/plain");
        std::fprintf(stderr, "%s %s %s %d %s", FormatUtc(UtcNow()).c_str(), req.remote_addr.c_str(),
                     req.path.c_str(), res.status, plain ? res.body.c_str() : "\n");
    });
}

void HttpServer::RouteLogs() {
    http_->Get("/upload", [this](const httplib::Request&, httplib::Response& res) {
        Page(res, UploadHtml(config_, UtcNow()), "text/html; charset=utf-8");
    });
    http_->Post("/upload", [this](const httplib::Request& req, httplib::Response& res,
                                  const httplib::ContentReader& read) {
        const Format format = Wanted(req);
        bool tooLong = false;
        const std::optional<std::string> file = ReadUpload(req, read, tooLong);
        if (!file) {
            if (tooLong) return Refuse(res, format, 413, kLogTooLong.substr(0, kLogTooLong.size() - 1), config_.Name());
            return Refuse(res, format, 400, "the upload could not be read whole; nothing was kept", config_.Name());
        }
        const LogReply reply = logs_.Take(*file, UtcNow());
        if (!reply.receipt) return Refuse(res, format, reply.status, reply.text, config_.Name());
        Show(res, format, *reply.receipt, ReceiptHtml(*reply.receipt, config_.Name()));
    });
    http_->Get(R"(/log/([^/]*))", [this](const httplib::Request& req, httplib::Response& res) {
        const Format format = Wanted(req);
        const auto found = logs_.OfToken(req.matches[1].str());
        if (!found)
            return Refuse(res, format, 404, "no log has this link: check it against your receipt", config_.Name());
        bool current = false;
        for (const LogRecord& r : store_.CurrentLogs()) current = current || r.id == found->record.id;
        const std::optional<std::string> report = current ? check_.ReportOf(found->record.call) : std::nullopt;
        res.set_header("X-Robots-Tag", "noindex");
        Show(res, format, found->receipt, PrivateHtml(found->receipt, current, report, config_.Name()));
    });
    for (const char* name : {"results.html", "results.csv"}) {
        http_->Get(std::string("/") + name, [this, name](const httplib::Request&, httplib::Response& res) {
            const std::optional<std::string> file = check_.Published(name);
            if (!file) return Text(res, 404, "no results yet: the sponsor has not checked the logs\n");
            Page(res, *file, std::string(name).ends_with(".html") ? "text/html; charset=utf-8" : "text/csv; charset=utf-8");
        });
    }

    http_->Get("/sponsor", [this](const httplib::Request& req, httplib::Response& res) {
        if (!Sponsor(req, res, false)) return;
        Page(res, SponsorHtml(check_.Overview(), store_.LatePermits(), config_, check_.Published("results.html").has_value(), ""),
             "text/html; charset=utf-8");
    });
    http_->Post("/sponsor/check", [this](const httplib::Request& req, httplib::Response& res) {
        if (!Sponsor(req, res, true)) return;
        const std::string summary = check_.CheckNow();
        if (Wanted(req) != Format::html) return Text(res, 200, summary);
        Page(res, SponsorHtml(check_.Overview(), store_.LatePermits(), config_, check_.Published("results.html").has_value(),
                              summary),
             "text/html; charset=utf-8");
    });
    http_->Post("/sponsor/late", [this](const httplib::Request& req, httplib::Response& res) {
        if (!Sponsor(req, res, true)) return;
        httplib::Params fields;
        httplib::detail::parse_query_text(req.body, fields);
        const auto given = fields.find("call");
        const std::string call = NormalizedCall(given == fields.end() ? req.get_param_value("call") : given->second);
        if (call.empty()) return Text(res, 400, "call=CALL names the station to let in late\n");
        store_.SetLatePermit(call);
        if (Wanted(req) != Format::html) return Text(res, 200, call + " may send its log after the deadline\n");
        res.set_redirect("/sponsor", 303);
    });
    http_->Get("/sponsor/report", [this](const httplib::Request& req, httplib::Response& res) {
        if (!Sponsor(req, res, false)) return;
        const std::string call = NormalizedCall(req.get_param_value("call"));
        const std::optional<std::string> report = call.empty() ? std::nullopt : check_.ReportOf(call);
        if (!report) return Text(res, 404, "no checking report of \"" + call + "\": check the logs first\n");
        Text(res, 200, *report);
    });
    http_->Get("/sponsor/verdicts.csv", [this](const httplib::Request& req, httplib::Response& res) {
        if (!Sponsor(req, res, false)) return;
        const std::optional<std::string> file = check_.Published("verdicts.csv");
        if (!file) return Text(res, 404, "no verdicts yet: check the logs first\n");
        Page(res, *file, "text/csv; charset=utf-8");
    });
}

bool HttpServer::Sponsor(const httplib::Request& req, httplib::Response& res, bool changes) {
    const BasicCredentials basic = ReadBasicAuthorization(req.get_header_value("Authorization"));
    if (basic.password.empty() || !store_.IsSponsorKey(KeyHash(basic.password))) {
        Text(res, 401, "the sponsor's pages need a sponsor key (contest-server sponsor key makes one)\n");
        res.set_header("WWW-Authenticate", "Basic realm=\"contest-server sponsor\", charset=\"UTF-8\"");
        return false;
    }
    // A browser sends the credentials with a form another site's page submits.
    const std::string origin = req.get_header_value("Origin");
    const std::string host = req.get_header_value("Host");
    if (changes && !origin.empty() && origin != "http://" + host && origin != "https://" + host) {
        Text(res, 403, "a change on the sponsor's pages comes from the sponsor's page itself\n");
        return false;
    }
    return true;
}

std::string HttpServer::Cached(CachedPage& page, const std::function<std::string(UtcSeconds)>& build) {
    const UtcSeconds now = UtcNow();
    {
        std::lock_guard lock(page.lock);
        if (page.at == now) return page.body;
    }
    std::string body = build(now);
    std::lock_guard lock(page.lock);
    page.at = now;
    page.body = body;
    return body;
}

int HttpServer::Bind(const std::string& host, int port) {
    const int bound = port == 0 ? http_->bind_to_any_port(host) : (http_->bind_to_port(host, port) ? port : -1);
    if (bound < 0 || !http_->LengthenQueue()) return -1;
    return bound;
}

bool HttpServer::Run() { return http_->listen_after_bind(); }

void HttpServer::Stop() { http_->stop(); }
