// Implements PostLive (live_post_win32.h) over WinHTTP: one session for the
// run, one request a post, timeouts on every step, so that a scoreboard that
// never answers costs a few seconds and not the replay.
#include "live_post_win32.h"

#include <windows.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "text_files_win32.h"

namespace {

constexpr int kTimeoutMs = 5000;
constexpr DWORD kMaxPauseMs = 1000;

class Handle {
public:
    explicit Handle(HINTERNET h) : h_(h) {}
    ~Handle() {
        if (h_) WinHttpCloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return h_; }

private:
    HINTERNET h_;
};

std::string Base64(const std::string& bytes) {
    DWORD n = 0;
    const auto* data = reinterpret_cast<const BYTE*>(bytes.data());
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), flags, nullptr, &n);
    std::string out(n, '\0');
    CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), flags, out.data(), &n);
    out.resize(n);
    return out;
}

struct Answer {
    DWORD status = 0;  // 0: none came
    std::string text;
};

class Scoreboard {
public:
    explicit Scoreboard(const std::string& url) : url_(Widen(url)) {
        URL_COMPONENTS parts{};
        parts.dwStructSize = sizeof parts;
        wchar_t host[256], path[2048], user[256], password[256];
        parts.lpszHostName = host;
        parts.dwHostNameLength = ARRAYSIZE(host);
        parts.lpszUrlPath = path;
        parts.dwUrlPathLength = ARRAYSIZE(path);
        parts.lpszUserName = user;
        parts.dwUserNameLength = ARRAYSIZE(user);
        parts.lpszPassword = password;
        parts.dwPasswordLength = ARRAYSIZE(password);
        if (!WinHttpCrackUrl(url_.c_str(), 0, 0, &parts))
            throw std::runtime_error("--live " + url + " is not an http:// or https:// address");
        host_ = host;
        path_ = parts.dwUrlPathLength ? path : L"/";
        port_ = parts.nPort;
        secure_ = parts.nScheme == INTERNET_SCHEME_HTTPS;
        if (parts.dwUserNameLength)
            authorization_ = L"Authorization: Basic " +
                             Widen(Base64(Utf8(std::wstring(user)) + ":" + Utf8(std::wstring(password)))) + L"\r\n";
        session_ = std::make_unique<Handle>(
            WinHttpOpen(L"replay", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
        if (!session_->get()) throw std::runtime_error("WinHTTP cannot be used here");
        WinHttpSetTimeouts(session_->get(), kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
    }

    Answer Post(const std::string& xml) const {
        Handle connection(WinHttpConnect(session_->get(), host_.c_str(), port_, 0));
        if (!connection.get()) return {};
        Handle request(WinHttpOpenRequest(connection.get(), L"POST", path_.c_str(), nullptr, WINHTTP_NO_REFERER,
                                          WINHTTP_DEFAULT_ACCEPT_TYPES, secure_ ? WINHTTP_FLAG_SECURE : 0));
        if (!request.get()) return {};
        const std::wstring headers = L"Content-Type: text/xml; charset=utf-8\r\n" + authorization_;
        if (!WinHttpSendRequest(request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                                const_cast<char*>(xml.data()), static_cast<DWORD>(xml.size()),
                                static_cast<DWORD>(xml.size()), 0) ||
            !WinHttpReceiveResponse(request.get(), nullptr))
            return {};
        Answer answer;
        DWORD size = sizeof answer.status;
        WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &answer.status, &size, WINHTTP_NO_HEADER_INDEX);
        char buffer[1024];
        for (DWORD read = 0; answer.text.size() < 4096 && WinHttpReadData(request.get(), buffer, sizeof buffer, &read) && read;)
            answer.text.append(buffer, read);
        while (!answer.text.empty() && (answer.text.back() == '\n' || answer.text.back() == '\r')) answer.text.pop_back();
        return answer;
    }

private:
    std::wstring url_, host_, path_, authorization_;
    INTERNET_PORT port_ = 0;
    bool secure_ = false;
    std::unique_ptr<Handle> session_;
};

}  // namespace

void PostLive(const std::string& url, const std::vector<LivePost>& posts, int seconds) {
    const Scoreboard scoreboard(url);
    const DWORD pause =
        posts.empty() ? 0 : std::min<DWORD>(kMaxPauseMs, 1000u * static_cast<DWORD>(seconds) / static_cast<DWORD>(posts.size()));
    std::printf("\nPosting the claimed score as it grew: %zu posts, one every %lu ms\n", posts.size(),
                static_cast<unsigned long>(pause));
    std::fflush(stdout);
    std::size_t taken = 0;
    std::string firstRefusal;
    for (const LivePost& post : posts) {
        const Answer answer = scoreboard.Post(post.xml);
        if (answer.status == 200) ++taken;
        else if (firstRefusal.empty())
            firstRefusal = post.at + ": " + (answer.status ? "HTTP " + std::to_string(answer.status) + " " + answer.text
                                                             : std::string("no answer"));
        Sleep(pause);
    }
    std::printf("The scoreboard took %zu of %zu posts", taken, posts.size());
    if (!firstRefusal.empty()) std::printf("; the first it did not take, at %s", ToAnsi(firstRefusal).c_str());
    std::printf("\n");
    if (taken == 0 && !posts.empty()) throw std::runtime_error("the scoreboard took no post");
}
