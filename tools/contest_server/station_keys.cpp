#include "station_keys.h"

#include <openssl/evp.h>

#include <random>
#include <stdexcept>

namespace {

std::string Hex(const unsigned char* bytes, std::size_t n) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 15];
    }
    return out;
}

}  // namespace

std::string MakeStationKey() {
    std::random_device random("/dev/urandom");
    unsigned char bytes[16];
    for (std::size_t i = 0; i < sizeof bytes; i += 4) {
        const unsigned value = random();
        for (std::size_t j = 0; j < 4; ++j) bytes[i + j] = static_cast<unsigned char>(value >> (8 * j));
    }
    return Hex(bytes, sizeof bytes);
}

std::string Sha256Hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 failed");
    return Hex(digest, length);
}
