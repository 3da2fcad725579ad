// contest-server: the contest's live scoreboard and its log robot. Takes live
// score posts from any logger and the logs after the contest, keeps them in one
// SQLite file and a folder of logs, shows the scores by category, and checks the
// logs for the sponsor.
//
//   contest-server [--config FILE] [--data DIR] [--listen ADDRESS] [--port N]
//   contest-server key add|remove CALL... | key list   [--config FILE] [--data DIR]
//   contest-server sponsor key | late add|remove CALL... | late list
//
// Exit status: 0 done (or stopped by SIGINT/SIGTERM), 1 the store or the address
// could not be had, 2 bad arguments or a bad contest file.
#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "contest_config.h"
#include "http_server.h"
#include "post_reader.h"
#include "sqlite_store.h"
#include "station_keys.h"

namespace {

constexpr const char* kUsage =
    "usage: contest-server [--config FILE] [--data DIR] [--listen ADDRESS] [--port N]\n"
    "         serves the live scoreboard and takes the logs (without --config: VERDA-WW-DX,\n"
    "         no contest period or deadline, 127.0.0.1:8080, the store in ./contest-data)\n"
    "       contest-server key add CALL...     makes each station a key and prints \"CALL KEY\"\n"
    "       contest-server key remove CALL...  takes the stations' keys away\n"
    "       contest-server key list            lists the stations that have a key\n"
    "       contest-server sponsor key         makes a key for the sponsor's pages and prints it\n"
    "       contest-server late add CALL...    lets the stations send their logs after the deadline\n"
    "       contest-server late remove CALL... | late list\n"
    "         (each with --config FILE and --data DIR as the server is started)\n";

struct Arguments {
    std::string configFile, dataDir, listen;
    int port = -1;
    std::vector<std::string> words;  // the command and its calls
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Arguments Parse(int argc, char** argv) {
    Arguments a;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw UsageError(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--config") a.configFile = value();
        else if (arg == "--data") a.dataDir = value();
        else if (arg == "--listen") a.listen = value();
        else if (arg == "--port") {
            const std::string port = value();
            try {
                a.port = std::stoi(port);
            } catch (const std::exception&) {
                a.port = -1;
            }
            if (a.port < 0 || a.port > 65535 || port.find_first_not_of("0123456789") != std::string::npos)
                throw UsageError("--port " + port + " is not a port number");
        } else if (arg == "--help" || arg == "-h") {
            a.words = {"help"};
            return a;
        } else if (!arg.empty() && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            a.words.push_back(arg);
        }
    }
    return a;
}

ContestConfig LoadConfig(const Arguments& a) {
    ContestConfig config = DefaultConfig();
    if (!a.configFile.empty()) {
        std::ifstream in(a.configFile, std::ios::binary);
        if (!in) throw ConfigError(a.configFile + ": cannot be read");
        std::ostringstream text;
        text << in.rdbuf();
        config = ReadConfig(text.str(), a.configFile);
    }
    if (!a.dataDir.empty()) config.dataDir = a.dataDir;
    if (!a.listen.empty()) config.listen = a.listen;
    if (a.port >= 0) config.port = a.port;
    return config;
}

// The store's file, in a folder made for it; its name is ours, never a client's.
std::string StorePath(const ContestConfig& config) {
    std::error_code error;
    std::filesystem::create_directories(config.dataDir, error);
    if (error) throw StoreError(config.dataDir + ": cannot be made (" + error.message() + ")");
    return (std::filesystem::path(config.dataDir) / "scores.sqlite").string();
}

std::vector<std::string> Calls(const Arguments& a) {
    std::vector<std::string> calls;
    for (std::size_t i = 2; i < a.words.size(); ++i) {
        const std::string call = NormalizedCall(a.words[i]);
        if (call.empty()) throw UsageError("\"" + a.words[i] + "\" is not a call");
        calls.push_back(call);
    }
    return calls;
}

int Keys(const Arguments& a, ScoreStore& store) {
    const std::string command = a.words.size() > 1 ? a.words[1] : "";
    if (command == "list" && a.words.size() == 2) {
        for (const std::string& call : store.CallsWithKeys()) std::printf("%s\n", call.c_str());
        return 0;
    }
    if ((command != "add" && command != "remove") || a.words.size() < 3)
        throw UsageError("key add CALL..., key remove CALL... or key list");
    int status = 0;
    for (const std::string& call : Calls(a)) {
        if (command == "add") {
            const std::string key = MakeStationKey();
            store.SetKey(call, KeyHash(key));
            std::printf("%s %s\n", call.c_str(), key.c_str());
        } else if (!store.RemoveKey(call)) {
            std::fprintf(stderr, "contest-server: %s has no key\n", call.c_str());
            status = 1;
        }
    }
    return status;
}

int Sponsor(const Arguments& a, ScoreStore& store) {
    if (a.words.size() != 2 || a.words[1] != "key") throw UsageError("the sponsor's command is \"sponsor key\"");
    const std::string key = MakeStationKey();
    store.AddSponsorKey(KeyHash(key));
    std::printf("%s\n", key.c_str());
    return 0;
}

int Late(const Arguments& a, ScoreStore& store) {
    const std::string command = a.words.size() > 1 ? a.words[1] : "";
    if (command == "list" && a.words.size() == 2) {
        for (const std::string& call : store.LatePermits()) std::printf("%s\n", call.c_str());
        return 0;
    }
    if ((command != "add" && command != "remove") || a.words.size() < 3)
        throw UsageError("late add CALL..., late remove CALL... or late list");
    int status = 0;
    for (const std::string& call : Calls(a)) {
        if (command == "add") {
            store.SetLatePermit(call);
        } else if (!store.RemoveLatePermit(call)) {
            std::fprintf(stderr, "contest-server: %s was not let in late\n", call.c_str());
            status = 1;
        }
    }
    return status;
}

int Serve(const ContestConfig& config, ScoreStore& store, const std::string& storePath) {
    // SIGINT and SIGTERM are taken by one thread, which stops the server; every
    // other thread, the server's included, is started with them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    HttpServer server(store, config);
    const int port = server.Bind(config.listen, config.port);
    if (port < 0) {
        std::fprintf(stderr, "contest-server: cannot listen on %s port %d\n", config.listen.c_str(), config.port);
        return 1;
    }
    std::printf("contest-server: %s", config.Name().c_str());
    if (config.start)
        std::printf(", %s to %s UTC\n", FormatUtc(*config.start).c_str(), FormatUtc(*config.end).c_str());
    else
        std::printf(", no contest period given: timestamps are held only against this server's clock\n");
    const std::string base = "http://" + config.listen + ":" + std::to_string(port);
    std::printf("  scoreboard  %s/\n  posts to    %s/post\n  logs to     %s/upload\n  sponsor     %s/sponsor\n"
                "  store       %s\n",
                base.c_str(), base.c_str(), base.c_str(), base.c_str(), storePath.c_str());
    if (config.deadline) std::printf("  deadline    %s UTC\n", FormatUtc(*config.deadline).c_str());
    std::fflush(stdout);

    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.Stop();
    });
    const bool served = server.Run();
    // Run can also end without a signal (the socket failed): wake the stopper so it can be joined.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    std::printf("contest-server: stopped\n");
    return served ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    ContestConfig config;
    try {
        args = Parse(argc, argv);
        if (!args.words.empty() && args.words[0] == "help") {
            std::printf("%s", kUsage);
            return 0;
        }
        if (!args.words.empty() && args.words[0] != "key" && args.words[0] != "sponsor" && args.words[0] != "late")
            throw UsageError("unknown command " + args.words[0]);
        config = LoadConfig(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "contest-server: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const ConfigError& e) {
        std::fprintf(stderr, "contest-server: %s\n", e.what());
        return 2;
    }
    try {
        const std::string path = StorePath(config);
        SqliteStore store(path);
        if (!args.words.empty() && args.words[0] == "sponsor") return Sponsor(args, store);
        if (!args.words.empty() && args.words[0] == "late") return Late(args, store);
        if (!args.words.empty()) return Keys(args, store);
        return Serve(config, store, path);
    } catch (const ConfigError& e) {  // the country file the contest's file names
        std::fprintf(stderr, "contest-server: %s\n", e.what());
        return 2;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "contest-server: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contest-server: %s\n", e.what());
        return 1;
    }
}
