// The real contest-server's HTTP side in the test's process, on a free port of
// 127.0.0.1, over a store in a scratch folder; and posts as loggers write them.
#pragma once

#include <httplib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "contest_config.h"
#include "http_server.h"
#include "sqlite_store.h"
#include "station_keys.h"

// The bundled sample's contest, as tools/contest_server/contest.toml gives it.
inline ContestConfig SampleContest() {
    ContestConfig c = DefaultConfig();
    c.start = ParseUtc("2021-03-06 00:00");
    c.end = ParseUtc("2021-03-07 23:59");
    return c;
}

class TestServer {
public:
    explicit TestServer(ContestConfig config = SampleContest(), const char* vfs = nullptr)
        : dir_(MakeDir()), config_(WithData(std::move(config), dir_)),
          store_(std::make_unique<SqliteStore>((dir_ / "scores.sqlite").string(), vfs)),
          server_(std::make_unique<HttpServer>(*store_, config_)) {
        port_ = server_->Bind("127.0.0.1", 0);
        thread_ = std::thread([this] { server_->Run(); });
    }
    ~TestServer() {
        server_->Stop();
        thread_.join();
        server_.reset();
        store_.reset();
        std::filesystem::remove_all(dir_);
    }

    // The station's key, made and handed to the store as the key command does.
    std::string KeyFor(const std::string& call) {
        const std::string key = "key-of-" + call;
        store_->SetKey(call, KeyHash(key));
        return key;
    }
    httplib::Client Client() const {
        httplib::Client c("127.0.0.1", port_);
        c.set_read_timeout(10);
        return c;
    }
    SqliteStore& store() { return *store_; }
    const std::filesystem::path& dir() const { return dir_; }

private:
    static ContestConfig WithData(ContestConfig c, const std::filesystem::path& dir) {
        c.dataDir = dir.string();
        return c;
    }
    static std::filesystem::path MakeDir() {
        std::string name = (std::filesystem::temp_directory_path() / "contest-server-test-XXXXXX").string();
        return mkdtemp(name.data());
    }
    std::filesystem::path dir_;
    ContestConfig config_;
    std::unique_ptr<SqliteStore> store_;
    std::unique_ptr<HttpServer> server_;
    int port_ = -1;
    std::thread thread_;
};

// A post as mbridak/not1mm's online_score_xml writes it (not1mm/lib/plugin_common.py):
// the totals alone, the class attributes in its order, a space around one "=".
inline std::string Not1mmPost(const std::string& call, long long qsos, long long points, long long mults,
                              long long score, const std::string& timestamp = "2021-03-06 12:00:00",
                              const std::string& contest = "VERDA-WW-DX CONTEST", const std::string& power = "LOW") {
    return "<?xml version=\"1.0\"?><dynamicresults><contest>" + contest + "</contest><call>" + call +
           "</call><class power=\"" + power +
           "\" assisted = \"NON-ASSISTED\" transmitter=\"ONE\" ops=\"SINGLE-OP\" bands=\"ALL\" mode=\"RTTY\" "
           "overlay=\"\"></class><club></club><soft>Not1MM</soft><version>24.3.1</version><qth><cqzone>14"
           "</cqzone><iaruzone>18</iaruzone><arrlsection>DX</arrlsection><stprvoth></stprvoth><grid6>JO89"
           "</grid6></qth><breakdown><qso band=\"total\" mode=\"ALL\">" +
           std::to_string(qsos) + "</qso><mult band=\"total\" mode=\"ALL\" type=\"exchange\">" +
           std::to_string(mults) + "</mult><point band=\"total\" mode=\"ALL\">" + std::to_string(points) +
           "</point></breakdown><score>" + std::to_string(score) + "</score><timestamp>" + timestamp +
           "</timestamp></dynamicresults>";
}
