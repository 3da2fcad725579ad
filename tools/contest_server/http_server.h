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
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "contest_config.h"
#include "post_intake.h"
#include "score_store.h"

class HttpListener;

class HttpServer {
public:
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

    ScoreStore& store_;
    const ContestConfig& config_;
    PostIntake intake_;
    std::unique_ptr<HttpListener> http_;
    CachedPage html_, json_;
};
