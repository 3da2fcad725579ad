#include "request_fields.h"

#include <openssl/evp.h>

#include <algorithm>
#include <vector>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// application/x-www-form-urlencoded: '+' is a blank, %XX a byte; a '%' that
// starts no such pair stays as it is.
std::string Decoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool Starts(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

FormFields ReadForm(std::string_view body) {
    FormFields fields;
    std::size_t at = 0;
    while (at <= body.size()) {
        const std::string_view rest = body.substr(at);
        if (Starts(rest, "xml=") && rest.substr(4).find_first_not_of(" \t\r\n") != std::string_view::npos &&
            rest[rest.find_first_not_of(" \t\r\n", 4)] == '<') {
            fields.xml = std::string(rest.substr(4));
            break;
        }
        const std::size_t end = std::min(body.find('&', at), body.size());
        const std::string_view field = body.substr(at, end - at);
        const std::size_t equals = field.find('=');
        const std::string name = Decoded(field.substr(0, equals));
        const std::string value = equals == std::string_view::npos ? std::string() : Decoded(field.substr(equals + 1));
        if (name == "xml") fields.xml = value;
        else if (name == "key") fields.key = value;
        at = end + 1;
    }
    return fields;
}

FormFields ReadPostBody(std::string_view contentType, std::string_view body) {
    const std::size_t first = body.find_first_not_of(" \t\r\n");
    const std::string_view start = first == std::string_view::npos ? std::string_view() : body.substr(first);
    const bool form = Starts(start, "xml=") || Starts(start, "key=") ||
                      (Starts(contentType, "application/x-www-form-urlencoded") && !Starts(start, "<"));
    return form ? ReadForm(body) : FormFields{std::string(body), {}};
}

BasicCredentials ReadBasicAuthorization(std::string_view header) {
    const std::size_t first = header.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    header.remove_prefix(first);
    if (header.size() < 6 || (header.substr(0, 6) != "Basic " && header.substr(0, 6) != "basic ")) return {};
    std::string encoded(header.substr(6));
    while (!encoded.empty() && (encoded.back() == ' ' || encoded.back() == '\t')) encoded.pop_back();
    if (encoded.empty() || encoded.size() % 4 != 0 || encoded.size() > 4096) return {};
    std::vector<unsigned char> decoded(encoded.size() / 4 * 3 + 1);
    const int n = EVP_DecodeBlock(decoded.data(), reinterpret_cast<const unsigned char*>(encoded.data()),
                                  static_cast<int>(encoded.size()));
    if (n < 0) return {};
    std::size_t length = static_cast<std::size_t>(n);
    // EVP_DecodeBlock counts the padding's bytes as decoded zeros.
    for (std::size_t i = encoded.size(); i > 0 && encoded[i - 1] == '='; --i) --length;
    const std::string text(reinterpret_cast<const char*>(decoded.data()), length);
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return {};
    return {text.substr(0, colon), text.substr(colon + 1)};
}
