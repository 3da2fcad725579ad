// The contest-server program taking logs while it is killed, and on a full
// disk: every log it acknowledged is there byte for byte, none half-written,
// and it starts again.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "contest_simulator.h"
#include "server_process.h"
#include "sqlite_store.h"

namespace fs = std::filesystem;

namespace {

std::string ScratchDir(const char* what) {
    std::string name = (fs::temp_directory_path() / (std::string("contest-server-") + what + "-XXXXXX")).string();
    return mkdtemp(name.data());
}

// The "sha256" of a JSON receipt; empty when it is none.
std::string ShaOf(const std::string& receipt) {
    const std::size_t at = receipt.find("\"sha256\":\"");
    return at == std::string::npos ? "" : receipt.substr(at + 10, 64);
}

// sha256sum's word on every file of the folder, by name.
std::map<std::string, std::string> HashesOnDisk(const std::string& folder) {
    std::map<std::string, std::string> hashes;
    FILE* out = popen(("cd '" + folder + "' && sha256sum -- * 2>/dev/null").c_str(), "r");
    char sha[65], name[256];
    while (out && std::fscanf(out, "%64s %255s", sha, name) == 2) hashes[name] = sha;
    if (out) pclose(out);
    return hashes;
}

// Each acknowledged log against the store and the disk: its row, and its file
// whole. Returns how many were not so.
std::size_t Lost(const std::string& dir, const std::vector<std::string>& acknowledged) {
    const auto onDisk = HashesOnDisk(dir + "/logs");
    SqliteStore store(dir + "/scores.sqlite");
    std::map<std::string, std::string> fileOfSha;
    for (const LogRecord& r : store.AllLogs()) fileOfSha[r.sha256] = r.file;
    std::size_t lost = 0;
    for (const std::string& sha : acknowledged) {
        const auto row = fileOfSha.find(sha);
        const auto file = row == fileOfSha.end() ? onDisk.end() : onDisk.find(row->second);
        lost += file == onDisk.end() || file->second != sha ? 1 : 0;
    }
    return lost;
}

// Senders upload the simulator's logs, each its own share, until told to stop or refused.
struct Rush {
    std::mutex lock;
    std::vector<std::string> acknowledged;
    std::vector<std::string> refusals;
    std::atomic<bool> stop{false};

    // False when the server is gone.
    bool Send(httplib::Client& c, const std::pair<std::string, std::string>& file) {
        const httplib::MultipartFormDataItems items{{"log", file.second, file.first, ""}};
        const auto r = c.Post("/upload", {{"Accept", "application/json"}}, items);
        std::lock_guard hold(lock);
        if (r && r->status == 200) acknowledged.push_back(ShaOf(r->body));
        else if (r) refusals.push_back(std::to_string(r->status) + " " + r->body);
        return r || !stop;
    }

    void Run(int port, const SimContest& sim, int senders, std::chrono::seconds bound) {
        const auto client = [port] {
            auto c = std::make_unique<httplib::Client>("127.0.0.1", port);
            c->set_connection_timeout(1);
            c->set_read_timeout(5);
            return c;
        };
        // The first from this thread: the libraries' statics are made before the senders meet them.
        Send(*client(), sim.files[0]);
        std::vector<std::thread> threads;
        const auto until = std::chrono::steady_clock::now() + bound;
        for (int t = 0; t < senders; ++t)
            threads.emplace_back([&, t] {
                const auto c = client();
                for (std::size_t i = 1 + static_cast<std::size_t>(t); i < sim.files.size() && !stop; i += senders)
                    if (std::chrono::steady_clock::now() > until || !Send(*c, sim.files[i])) return;
            });
        for (auto& t : threads) t.join();
    }
};

SimContest SmallContest() {
    SimSettings s;
    s.logs = 600;
    s.silent = 100;
    return SimulateContest(s);
}

TEST(LogUploadProcess, KilledDuringARushLosesNoAcknowledgedLogAndRestarts) {
    const std::string dir = ScratchDir("upload-kill");
    const SimContest sim = SmallContest();
    auto server = StartServer(CONTEST_SERVER, dir);
    ASSERT_GT(server->port(), 0);
    Rush rush;
    // Killed a third of the way through, whatever the machine's speed.
    std::thread killer([&] {
        const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            {
                std::lock_guard hold(rush.lock);
                if (rush.acknowledged.size() >= sim.files.size() / 3) break;
            }
            if (std::chrono::steady_clock::now() > bound) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        server->Signal(SIGKILL);
        rush.stop = true;
    });
    rush.Run(server->port(), sim, 4, std::chrono::seconds(20));
    killer.join();
    ASSERT_GT(rush.acknowledged.size(), 20u) << "too few logs before the kill to say anything";
    ASSERT_LT(rush.acknowledged.size(), sim.files.size()) << "the kill came after the rush";
    EXPECT_EQ(Lost(dir, rush.acknowledged), 0u) << "of " << rush.acknowledged.size() << " acknowledged logs";
    std::printf("%zu logs acknowledged before the kill\n", rush.acknowledged.size());

    const auto again = StartServer(CONTEST_SERVER, dir);
    ASSERT_GT(again->port(), 0);
    for (const auto& e : fs::directory_iterator(dir + "/logs"))
        EXPECT_FALSE(e.path().filename().string().ends_with(".part")) << "left half-written: " << e.path();
    httplib::Client c("127.0.0.1", again->port());
    const auto r = c.Post("/upload", {{"Accept", "application/json"}},
                          httplib::MultipartFormDataItems{{"log", sim.files.back().second, "x.log", ""}});
    EXPECT_EQ(r->status, 200) << r->body;
    EXPECT_EQ(WEXITSTATUS(again->Signal(SIGTERM)), 0);
    fs::remove_all(dir);
}

TEST(LogUploadProcess, AFullDiskRefusesTheLogSayingSoAndLosesNoneAcknowledged) {
    const std::string dir = ScratchDir("upload-full");
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=1536k") != 0) {
        fs::remove_all(dir);
        GTEST_SKIP() << "no small tmpfs can be mounted here (not root?)";
    }
    const SimContest sim = SmallContest();
    Rush rush;
    {
        auto server = StartServer(CONTEST_SERVER, dir);
        ASSERT_GT(server->port(), 0);
        rush.Run(server->port(), sim, 2, std::chrono::seconds(30));
        ASSERT_FALSE(rush.refusals.empty()) << "the disk never filled";
        for (const std::string& refusal : rush.refusals) {
            EXPECT_EQ(refusal.substr(0, 4), "507 ");
            EXPECT_NE(refusal.find("the server's disk is full: your log was not kept"), std::string::npos) << refusal;
        }
        std::printf("%zu logs taken, then %zu refused as the disk was full\n", rush.acknowledged.size(),
                    rush.refusals.size());
        httplib::Client c("127.0.0.1", server->port());
        EXPECT_EQ(c.Get("/health")->status, 200);
        EXPECT_EQ(WEXITSTATUS(server->Signal(SIGTERM)), 0);
    }
    // Read where there is room: opening the store writes to it.
    const std::string copy = ScratchDir("upload-full-copy");
    fs::copy(dir, copy, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    umount2(dir.c_str(), MNT_DETACH);
    fs::remove_all(dir);
    EXPECT_EQ(Lost(copy, rush.acknowledged), 0u) << "of " << rush.acknowledged.size() << " acknowledged logs";
    fs::remove_all(copy);
}

}  // namespace
