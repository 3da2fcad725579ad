// Code-page conversions over MultiByteToWideChar and WideCharToMultiByte.
#include "win32/wide_text_win32.h"

#include <climits>

std::wstring WideFrom(std::string_view text, UINT codePage) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n);
    return wide;
}

std::string AnsiFrom(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string ansi(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), size, ansi.data(), n, nullptr, nullptr);
    return ansi;
}

std::wstring WideCaption(const Caption& caption) {
    return WideFrom(caption.head, CP_UTF8) + WideFrom(caption.call, CP_THREAD_ACP) + WideFrom(caption.tail, CP_UTF8);
}
