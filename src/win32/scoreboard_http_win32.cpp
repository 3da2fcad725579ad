#include "win32/scoreboard_http_win32.h"

#include <windows.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <stdexcept>

namespace {

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

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

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

}  // namespace

struct ScoreboardClient::Connection {
    std::wstring host, path, authorization;
    INTERNET_PORT port = 0;
    bool secure = false;
    std::unique_ptr<Handle> session;
};

ScoreboardClient::ScoreboardClient(const std::string& url, int timeoutMs, const std::string& user,
                                   const std::string& password)
    : c_(std::make_unique<Connection>()) {
    const std::wstring wide = Widen(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    wchar_t host[256], path[2048], urlUser[256], urlPassword[256];
    parts.lpszHostName = host;
    parts.dwHostNameLength = ARRAYSIZE(host);
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = ARRAYSIZE(path);
    parts.lpszUserName = urlUser;
    parts.dwUserNameLength = ARRAYSIZE(urlUser);
    parts.lpszPassword = urlPassword;
    parts.dwPasswordLength = ARRAYSIZE(urlPassword);
    if (!WinHttpCrackUrl(wide.c_str(), 0, 0, &parts))
        throw std::runtime_error(url + " is not an http:// or https:// address");
    c_->host = host;
    c_->path = parts.dwUrlPathLength ? path : L"/";
    c_->port = parts.nPort;
    c_->secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    const std::string name = user.empty() && parts.dwUserNameLength ? Utf8(urlUser) : user;
    const std::string key = password.empty() && parts.dwPasswordLength ? Utf8(urlPassword) : password;
    if (!name.empty()) c_->authorization = L"Authorization: Basic " + Widen(Base64(name + ":" + key)) + L"\r\n";
    c_->session = std::make_unique<Handle>(WinHttpOpen(L"Stats.dll", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!c_->session->get()) throw std::runtime_error("WinHTTP cannot be used here");
    WinHttpSetTimeouts(c_->session->get(), timeoutMs, timeoutMs, timeoutMs, timeoutMs);
    // The wait for a response's first line has a limit of its own, which Wine
    // leaves unbounded: a server that takes the request and never answers would
    // hold the post for ever.
    DWORD responseMs = static_cast<DWORD>(timeoutMs);
    WinHttpSetOption(c_->session->get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseMs, sizeof responseMs);
}

ScoreboardClient::~ScoreboardClient() = default;

ScoreboardAnswer ScoreboardClient::Post(const std::string& xml) const {
    Handle connection(WinHttpConnect(c_->session->get(), c_->host.c_str(), c_->port, 0));
    if (!connection.get()) return {};
    Handle request(WinHttpOpenRequest(connection.get(), L"POST", c_->path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                      WINHTTP_DEFAULT_ACCEPT_TYPES, c_->secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request.get()) return {};
    const std::wstring headers = L"Content-Type: text/xml; charset=utf-8\r\n" + c_->authorization;
    if (!WinHttpSendRequest(request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                            const_cast<char*>(xml.data()), static_cast<DWORD>(xml.size()),
                            static_cast<DWORD>(xml.size()), 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr))
        return {};
    ScoreboardAnswer answer;
    DWORD status = 0, size = sizeof status;
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    answer.status = status;
    char buffer[1024];
    for (DWORD read = 0;
         answer.text.size() < 4096 && WinHttpReadData(request.get(), buffer, sizeof buffer, &read) && read;)
        answer.text.append(buffer, read);
    while (!answer.text.empty() && (answer.text.back() == '\n' || answer.text.back() == '\r')) answer.text.pop_back();
    return answer;
}
