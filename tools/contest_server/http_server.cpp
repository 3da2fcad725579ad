#include "http_server.h"

#include <sys/socket.h>

#include <cstdint>
#include <cstdio>
#include <optional>

#include <httplib.h>

#include "pages.h"
#include "post_reader.h"
#include "request_fields.h"
#include "scoreboard.h"
#include "server_limits.h"

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

}  // namespace

HttpServer::HttpServer(ScoreStore& store, const ContestConfig& config)
    : store_(store), config_(config), intake_(store, config), http_(std::make_unique<HttpListener>()) {
    http_->new_task_queue = [] { return new httplib::ThreadPool(limits::kWorkerThreads); };
    http_->set_payload_max_length(limits::kMaxPostBytes);
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

    // What the library answers by itself gets a line saying why.
    http_->set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) return;
        if (res.status == 413)
            Text(res, 413, kTooLong);
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
        std::fprintf(stderr, "%s %s %s %d %s", FormatUtc(UtcNow()).c_str(), req.remote_addr.c_str(),
                     req.path.c_str(), res.status, res.body.empty() ? "\n" : res.body.c_str());
    });
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
