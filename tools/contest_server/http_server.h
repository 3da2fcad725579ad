// contest-server's HTTP side over cpp-httplib. Its handlers only translate: each
// reads the request, calls one portable function (take a post, build the
// scoreboard) and writes what that returns as text, HTML or JSON.
//
//   POST /post               a live score post: text/xml with Basic auth (user the
//                            call, password the key), or a form with xml= (and key=,
//                            or ?key= in the address)
//   GET  /                   the scoreboard page
//   GET  /scores.json        the scoreboard as JSON
//   GET  /station?call=C     a station's latest post with its breakdown (also station.json)
//   GET  /health             "ok", for a proxy or a script that waits for the start
//   GET  /upload             the form that sends a log
//   POST /upload             a log: multipart field "log" (curl -F log=@SM5XYZ.cbr), or the
//                            file as the body; the receipt as text, HTML or JSON (by Accept,
//                            or ?format=text|html|json)
//   GET  /log/TOKEN          an upload's private page: its receipt and its checking report
//   GET  /results.html       the results of the last check (also results.csv)
//   GET  /sponsor            the sponsor's page (Basic auth, the password a sponsor key):
//                            logs by category, missing logs, "check now", late permits
//   POST /sponsor/check      checks the latest logs and publishes the results
//   POST /sponsor/late       call=CALL: lets the station send after the deadline
//   GET  /sponsor/report?call=C, /sponsor/verdicts.csv   the last check's files
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "contest_check.h"
#include "contest_config.h"
#include "log_intake.h"
#include "log_vault.h"
#include "logs/cty_dat.h"
#include "post_intake.h"
#include "score_store.h"

class HttpListener;
namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

class HttpServer {
public:
    // The logs go in the data folder's logs/, the check's files in its checked/;
    // the country file is read here. Throws StoreError or ConfigError.
    HttpServer(ScoreStore& store, const ContestConfig& config);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Takes the address; port 0 takes any free one. Returns the port, or -1 when
    // the address cannot be had.
    int Bind(const std::string& host, int port);
    // Serves until Stop(); false when it could not.
    bool Run();
    // From any thread: no new request is taken, and Run returns.
    void Stop();

private:
    // A scoreboard is built at most once a second, however many look at it; the
    // page says which second it shows.
    struct CachedPage {
        std::mutex lock;
        UtcSeconds at = -1;
        std::string body;
    };
    std::string Cached(CachedPage& page, const std::function<std::string(UtcSeconds)>& build);
    void Route();
    void RouteLogs();
    // True for a request with a sponsor's key; otherwise answers 401 (or 403 for
    // a form sent from another site's page).
    bool Sponsor(const httplib::Request& req, httplib::Response& res, bool changes);

    ScoreStore& store_;
    const ContestConfig& config_;
    PostIntake intake_;
    CountryFile cty_;
    LogVault vault_;
    LogIntake logs_;
    ContestCheck check_;
    std::unique_ptr<HttpListener> http_;
    CachedPage html_, json_;
};
