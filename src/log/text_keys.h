// TextKeys: a small number for each distinct text, handed out at intake, so that
// the results can keep per-band sets of received exchanges as arrays of flags
// instead of hash tables of strings that a pass over a large log keeps pushing
// out of the cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

class TextKeys {
public:
    static constexpr std::uint32_t none = 0;  // a text that was never given a key

    // The text's key, from 1 up; a text seen for the first time gets the next one.
    std::uint32_t KeyOf(std::string_view text) {
        if (auto it = keys_.find(text); it != keys_.end()) return it->second;
        const auto key = static_cast<std::uint32_t>(keys_.size() + 1);
        keys_.emplace(std::string(text), key);
        return key;
    }
    // One more than the largest key handed out.
    std::size_t end() const { return keys_.size() + 1; }
    void Clear() { keys_ = {}; }  // a fresh map gives a large log's memory back

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> keys_;
};
