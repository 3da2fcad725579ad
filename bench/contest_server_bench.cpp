// contest-server under load, as make bench runs it: the real program started on
// 127.0.0.1 over a fresh store, 5,000 stations with keys, then a bounded number
// of posts (each station posts a few times, as a contest's loggers do over its
// first minutes) from several client threads, first over kept-alive connections
// (as a reverse proxy talks to it), then a new connection for every post (as
// loggers do without one). Then the scoreboard page and its JSON with 5,000
// stations. Then the deadline rush: 1,000 simulated logs uploaded at once, each
// on a new connection, timed to its receipt. Only loopback; every loop is
// bounded in count and in time. Last the sponsor's page and "check now" over those logs.
//
//   contest_server_bench CONTEST_SERVER WORK_DIR
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "contest_simulator.h"
#include "server_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStations = 5000;
constexpr int kPostsPerStation = 4;           // kept-alive phase: 20,000 posts
constexpr int kFreshConnectionPosts = 5000;  // one post per station, each on a new connection
constexpr int kClientThreads = 8;
constexpr int kPageLoads = 24;  // 6 of them built
constexpr auto kTimeLimit = std::chrono::seconds(180);  // for the whole run

std::string Load() {
    std::ifstream in("/proc/loadavg");
    std::string one, five;
    in >> one >> five;
    return one + " (1 min), " + five + " (5 min)";
}

std::string CallOf(int station) {
    char call[16];
    std::snprintf(call, sizeof call, "SM%dX%04d", station % 8, station);
    return call;
}

std::string NowText() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return text;
}

// A post as loggers send it, with a breakdown over six bands that adds up.
std::string Post(int station, int round, const std::string& timestamp) {
    static const char* kBands[] = {"160", "80", "40", "20", "15", "10"};
    static const char* kPower[] = {"HIGH", "LOW", "QRP"};
    std::string qso, point, mult;
    long long qsos = 0, points = 0, mults = 0;
    for (int b = 0; b < 6; ++b) {
        const long long q = (station * 7 + b * 13 + round * 5) % 90 + round, p = q * (b < 3 ? 6 : 2), m = q / 3;
        qsos += q, points += p, mults += m;
        qso += "<qso band=\"" + std::string(kBands[b]) + "\" mode=\"RTTY\">" + std::to_string(q) + "</qso>";
        point += "<point band=\"" + std::string(kBands[b]) + "\" mode=\"RTTY\">" + std::to_string(p) + "</point>";
        mult += "<mult band=\"" + std::string(kBands[b]) + "\" mode=\"RTTY\" type=\"exchange\">" + std::to_string(m) +
                "</mult>";
    }
    return "<?xml version=\"1.0\"?><dynamicresults><contest>VERDA-WW-DX CONTEST</contest><call>" + CallOf(station) +
           "</call><class ops=\"SINGLE-OP\" mode=\"RTTY\" power=\"" + kPower[station % 3] +
           "\" bands=\"ALL\" transmitter=\"ONE\" assisted=\"NON-ASSISTED\"></class><breakdown>" + qso +
           "<qso band=\"total\" mode=\"ALL\">" + std::to_string(qsos) + "</qso>" + point +
           "<point band=\"total\" mode=\"ALL\">" + std::to_string(points) + "</point>" + mult +
           "<mult band=\"total\" mode=\"ALL\" type=\"exchange\">" + std::to_string(mults) + "</mult></breakdown><score>" +
           std::to_string(points * mults) + "</score><timestamp>" + timestamp + "</timestamp></dynamicresults>";
}

std::vector<std::string> MakeStationKeys(const std::string& server, const std::string& data) {
    std::vector<std::string> keys;
    for (int first = 0; first < kStations; first += 500) {
        std::vector<std::string> calls;
        for (int s = first; s < std::min(first + 500, kStations); ++s) calls.push_back(CallOf(s));
        for (auto& [call, key] : MakeKeys(server, data, calls)) keys.push_back(key);
    }
    return keys;
}

struct Figures {
    std::size_t sent = 0, failed = 0;
    double seconds = 0, p50 = 0, p99 = 0, max = 0;  // latencies in ms
};

double Quantile(std::vector<double>& ms, double q) {
    if (ms.empty()) return 0;
    const std::size_t at = std::min(ms.size() - 1, static_cast<std::size_t>(q * static_cast<double>(ms.size())));
    std::nth_element(ms.begin(), ms.begin() + static_cast<long>(at), ms.end());
    return ms[at];
}

// `posts` posts from the client threads, station after station; each thread
// keeps its connection unless `fresh`.
Figures PostLoad(int port, const std::vector<std::string>& keys, int posts, int round, bool fresh,
                 Clock::time_point deadline) {
    std::atomic<int> next{0};
    std::atomic<std::size_t> failed{0};
    std::vector<std::vector<double>> latencies(kClientThreads);
    const std::string timestamp = NowText();
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < kClientThreads; ++t) {
        threads.emplace_back([&, t] {
            auto client = std::make_unique<httplib::Client>("127.0.0.1", port);
            for (int i; (i = next++) < posts && Clock::now() < deadline;) {
                const int station = i % kStations;
                const std::string body = Post(station, round + i / kStations, timestamp);
                if (fresh) client = std::make_unique<httplib::Client>("127.0.0.1", port);
                client->set_basic_auth(CallOf(station).c_str(), keys[station].c_str());
                const auto sent = Clock::now();
                const auto r = client->Post("/post", body, "text/xml");
                latencies[t].push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
                if (!r || r->status != 200) ++failed;
            }
        });
    }
    for (auto& t : threads) t.join();
    Figures f;
    f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<double> all;
    for (auto& l : latencies) all.insert(all.end(), l.begin(), l.end());
    f.sent = all.size();
    f.failed = failed;
    f.max = all.empty() ? 0 : *std::max_element(all.begin(), all.end());
    f.p50 = Quantile(all, 0.50);
    f.p99 = Quantile(all, 0.99);
    return f;
}

void PrintPosts(const char* what, const Figures& f) {
    const double rate = f.seconds > 0 ? static_cast<double>(f.sent) / f.seconds : 0;
    std::printf("%-36s %6zu posts in %5.2f s: %6.0f posts/s, p50 %5.2f ms, p99 %6.2f ms, max %6.1f ms, %zu refused\n",
                what, f.sent, f.seconds, rate, f.p50, f.p99, f.max, f.failed);
    std::printf("%-36s %s posts/s >= 1000, %s p99 <= 50 ms\n", "", rate >= 1000 ? "met:" : "MISSED:",
                f.p99 <= 50 ? "met:" : "MISSED:");
}

// The page is built at most once a second: loads a second apart each build it,
// loads in a row are served what was built.
void PrintPage(int port, const char* path, const char* what) {
    httplib::Client client("127.0.0.1", port);
    std::vector<double> built, served;
    std::size_t bytes = 0;
    for (int i = 0; i < kPageLoads; ++i) {
        if (i % 4 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        const auto start = Clock::now();
        const auto r = client.Get(path);
        (i % 4 == 0 ? built : served).push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        bytes = r ? r->body.size() : 0;
    }
    const double max = *std::max_element(built.begin(), built.end());
    const double median = Quantile(built, 0.5);
    std::printf("%-36s %zu KB, built: median %6.2f ms, max %6.2f ms of %zu (%s <= 100 ms); served again: median %.2f ms\n",
                what, bytes / 1024, median, max, built.size(), median <= 100 ? "met:" : "MISSED:", Quantile(served, 0.5));
}

// The simulator's logs uploaded by kRushSenders at once, a new connection each,
// as operators send them in the last minutes before the deadline.
constexpr int kRushSenders = 16;
void PrintRush(int port, const std::string& data, Clock::time_point deadline) {
    const SimContest sim = SimulateContest({});
    std::atomic<std::size_t> next{0}, failed{0};
    std::vector<std::vector<double>> latencies(kRushSenders);
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < kRushSenders; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t i; (i = next++) < sim.files.size() && Clock::now() < deadline;) {
                httplib::Client client("127.0.0.1", port);
                client.set_read_timeout(30);
                const httplib::MultipartFormDataItems items{{"log", sim.files[i].second, sim.files[i].first, ""}};
                const auto sent = Clock::now();
                const auto r = client.Post("/upload", items);
                latencies[t].push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
                if (!r || r->status != 200 || r->body.find("SHA-256:") == std::string::npos) ++failed;
            }
        });
    }
    for (auto& t : threads) t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<double> all;
    for (auto& l : latencies) all.insert(all.end(), l.begin(), l.end());
    std::size_t kept = 0;
    for (const auto& e : std::filesystem::directory_iterator(data + "/logs")) kept += e.is_regular_file() ? 1 : 0;
    const double p99 = Quantile(all, 0.99), max = all.empty() ? 0 : *std::max_element(all.begin(), all.end());
    std::printf("%-36s %6zu logs in %5.2f s, %zu QSO lines: receipt p50 %6.1f ms, p99 %6.1f ms, max %6.1f ms, "
                "%zu refused, %zu files kept\n",
                "upload rush, 16 senders", all.size(), seconds, sim.lines, Quantile(all, 0.5), p99, max,
                failed.load(), kept);
    std::printf("%-36s %s p99 <= 1 s, %s every log stored and acknowledged\n", "", p99 <= 1000 ? "met:" : "MISSED:",
                failed == 0 && kept == sim.files.size() && all.size() == sim.files.size() ? "met:" : "MISSED:");
}

// What the sponsor waits for after the rush: the page of 1,000 logs (each read
// again for the missing ones) and "check now" over all of them.
void PrintSponsor(int port, const std::string& sponsorKey) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(120);
    client.set_basic_auth("sponsor", sponsorKey.c_str());
    auto start = Clock::now();
    const auto page = client.Get("/sponsor");
    const double pageMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    start = Clock::now();
    const auto check = client.Post("/sponsor/check", "", "application/x-www-form-urlencoded");
    const double checkS = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%-36s page %s in %.0f ms; check now %s in %.2f s\n", "sponsor, 1,000 logs",
                page && page->status == 200 ? "built" : "FAILED", pageMs,
                check && check->status == 200 ? "done" : "FAILED", checkS);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: contest_server_bench CONTEST_SERVER WORK_DIR\n");
        return 2;
    }
    const std::string server = argv[1], data = std::string(argv[2]) + "/data";
    std::filesystem::remove_all(data);
    const auto deadline = Clock::now() + kTimeLimit;
    std::printf("contest-server, %u cores, load %s\n", std::thread::hardware_concurrency(), Load().c_str());
    const std::vector<std::string> keys = MakeStationKeys(server, data);
    if (keys.size() != kStations) {
        std::fprintf(stderr, "contest_server_bench: %zu keys made, not %d\n", keys.size(), kStations);
        return 1;
    }
    std::string sponsorKey;
    if (FILE* out = popen((server + " --data " + data + " sponsor key").c_str(), "r")) {
        char key[64] = "";
        if (std::fscanf(out, "%63s", key) == 1) sponsorKey = key;
        pclose(out);
    }
    const auto s = StartServer(server, data);
    if (s->port() < 0) {
        std::fprintf(stderr, "contest_server_bench: the server did not start\n");
        return 1;
    }
    PrintPosts("kept-alive, 8 connections", PostLoad(s->port(), keys, kStations * kPostsPerStation, 0, false, deadline));
    PrintPosts("a new connection each, 8 at a time", PostLoad(s->port(), keys, kFreshConnectionPosts, kPostsPerStation, true, deadline));
    PrintPage(s->port(), "/", "scoreboard page, 5,000 stations");
    PrintPage(s->port(), "/scores.json", "scoreboard JSON, 5,000 stations");
    PrintRush(s->port(), data, deadline);
    PrintSponsor(s->port(), sponsorKey);
    std::printf("load at the end %s\n", Load().c_str());
    s->Signal(SIGTERM);
    return 0;
}
