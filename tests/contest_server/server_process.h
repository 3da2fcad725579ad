// The contest-server program as a process of its own, for the kill test and the
// benchmark: started on a free port of 127.0.0.1, and its station keys made by
// its own key command.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct ServerProcess {
    pid_t pid = -1;
    int port = -1;  // -1: it did not start
};

// `server` --data DIR --port 0, its port read from what it prints.
inline ServerProcess StartServer(const std::string& server, const std::string& dir) {
    int out[2];
    if (pipe(out) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(server.c_str(), server.c_str(), "--data", dir.c_str(), "--port", "0", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    FILE* printed = fdopen(out[0], "r");
    ServerProcess p{pid, -1};
    char line[512];
    while (p.port < 0 && std::fgets(line, sizeof line, printed))
        std::sscanf(line, "  scoreboard  http://127.0.0.1:%d/", &p.port);
    std::fclose(printed);
    return p;
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
