// TextKeys: a small number for each distinct text. Intake hands them out for the
// received exchanges, so that the results can keep per-band sets of them as
// arrays of flags instead of hash tables of strings that a pass over a large log
// keeps pushing out of the cache; the results also use one as a set of texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TextKeys {
public:
    static constexpr std::uint32_t none = 0;  // a text that was never given a key

    // The text's key, from 1 up; a text seen for the first time gets the next one.
    std::uint32_t KeyOf(std::string_view text) {
        if ((texts_.size() + 1) * 2 > slots_.size()) Grow();
        for (std::size_t i = Hash(text) & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.key == none) {
                texts_.emplace_back(text);
                slot = SlotFor(text, static_cast<std::uint32_t>(texts_.size()));
                return slot.key;
            }
            if (Holds(slot, text)) return slot.key;
        }
    }

    std::size_t size() const { return texts_.size(); }  // texts given a key

    // Fresh tables rather than clear(): a reset after a large log gives the memory back.
    void Clear() {
        slots_ = {};
        texts_ = {};
        mask_ = 0;
    }

private:
    // Open addressing, one cache line holding four slots. A received number is a
    // few characters: it sits in its slot, so a lookup touches only the table.
    static constexpr std::size_t kInline = 11;
    struct Slot {
        std::uint32_t key = none;
        std::uint8_t size = 0;  // of the text; above kInline the text is only in texts_
        char text[kInline] = {};
    };

    static std::size_t Hash(std::string_view text) { return std::hash<std::string_view>{}(text); }

    static Slot SlotFor(std::string_view text, std::uint32_t key) {
        Slot slot;
        slot.key = key;
        if (text.size() <= kInline) {
            slot.size = static_cast<std::uint8_t>(text.size());
            if (!text.empty()) std::memcpy(slot.text, text.data(), text.size());
        } else {
            slot.size = kInline + 1;
        }
        return slot;
    }

    bool Holds(const Slot& slot, std::string_view text) const {
        if (text.size() <= kInline)
            return slot.size == text.size() && (text.empty() || std::memcmp(slot.text, text.data(), text.size()) == 0);
        return slot.size > kInline && texts_[slot.key - 1] == text;
    }

    void Grow() {
        slots_.assign(slots_.empty() ? 256 : slots_.size() * 2, Slot{});
        mask_ = slots_.size() - 1;
        for (std::size_t k = 0; k < texts_.size(); ++k) {
            std::size_t i = Hash(texts_[k]) & mask_;
            while (slots_[i].key != none) i = (i + 1) & mask_;
            slots_[i] = SlotFor(texts_[k], static_cast<std::uint32_t>(k + 1));
        }
    }

    std::vector<Slot> slots_;
    std::vector<std::string> texts_;  // by key - 1
    std::size_t mask_ = 0;
};
