// One live score post over WinHTTP to a contest's scoreboard, for the plug-in's
// poster and replay --live alike: POST as text/xml, HTTP Basic authentication,
// a timeout on every step, so that a scoreboard that never answers costs seconds.
#pragma once

#include <memory>
#include <string>

struct ScoreboardAnswer {
    unsigned long status = 0;  // 0: no answer (no connection, a time-out)
    std::string text;          // the start of the answer's body
};

class ScoreboardClient {
public:
    // `url`: http:// or https://, with the call and the station's key as its user
    // and password, or given apart (UTF-8). Throws std::runtime_error when the URL
    // is not one or WinHTTP cannot be used.
    ScoreboardClient(const std::string& url, int timeoutMs, const std::string& user = {},
                     const std::string& password = {});
    ~ScoreboardClient();
    ScoreboardClient(const ScoreboardClient&) = delete;
    ScoreboardClient& operator=(const ScoreboardClient&) = delete;

    ScoreboardAnswer Post(const std::string& xml) const;

private:
    struct Connection;
    std::unique_ptr<Connection> c_;
};
