// The contest-server program as a process of its own, for the kill test and the
// benchmark: started on a free port of 127.0.0.1, and its station keys made by
// its own key command.
#pragma once

#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Owns the process: one that is still running when this goes is killed.
class ServerProcess {
public:
    ServerProcess(pid_t pid, int port) : pid_(pid), port_(port) {}
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ~ServerProcess() { Signal(SIGKILL); }

    int port() const { return port_; }  // -1: it did not start
    // Sends the signal and waits for the end; the exit status as waitpid gives it.
    int Signal(int signal) {
        int status = 0;
        if (pid_ > 0) {
            kill(pid_, signal);
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
        return status;
    }

private:
    pid_t pid_;
    int port_;
};

// `server` --data DIR --port 0 [--config FILE], its port read from what it prints.
inline std::unique_ptr<ServerProcess> StartServer(const std::string& server, const std::string& dir,
                                                  const std::string& config = "") {
    int out[2];
    if (pipe(out) != 0) return std::make_unique<ServerProcess>(-1, -1);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        if (config.empty())
            execl(server.c_str(), server.c_str(), "--data", dir.c_str(), "--port", "0", static_cast<char*>(nullptr));
        else
            execl(server.c_str(), server.c_str(), "--data", dir.c_str(), "--port", "0", "--config", config.c_str(),
                  static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    FILE* printed = fdopen(out[0], "r");
    int port = -1;
    char line[512];
    while (port < 0 && std::fgets(line, sizeof line, printed)) std::sscanf(line, "  scoreboard  http://127.0.0.1:%d/", &port);
    std::fclose(printed);
    return std::make_unique<ServerProcess>(pid, port);
}

// `server` --data DIR key add CALL...: each call with its key.
inline std::vector<std::pair<std::string, std::string>> MakeKeys(const std::string& server, const std::string& dir,
                                                                 const std::vector<std::string>& calls) {
    std::string command = server + " --data " + dir + " key add";
    for (const auto& call : calls) command += " " + call;
    FILE* out = popen(command.c_str(), "r");
    std::vector<std::pair<std::string, std::string>> keys;
    char call[32], key[64];
    while (out && std::fscanf(out, "%31s %63s", call, key) == 2) keys.emplace_back(call, key);
    if (out) pclose(out);
    return keys;
}
