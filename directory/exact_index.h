#pragma once

// A compile-time hash index over one of the constant tables, so that a lookup
// costs one short hash and, as a rule, one comparison instead of a walk over
// a few hundred keys. It answers exactly what a walk from the first entry to
// the last would answer: keys are distinct, and a match is byte-for-byte.
//
// The index checks its table as it is built, and it can only be built by the
// compiler: a table with a repeated key, or one the index cannot serve within
// its probe budget, does not compile. The error names the broken rule (the
// call to one of the functions below, which are deliberately not constexpr).

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace directory::detail {

// Reached only while building an index from a broken table.
void aKeyRepeatsInTheTable();
void theIndexNeedsMoreSlots();
void theIndexIsTooCrowdedGiveItMoreSlots();
void theIndexMissesAKey();

// FNV-1a over the UTF-8 bytes.
constexpr std::uint32_t hashBytes(std::string_view text) noexcept
{
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

// Entry is a table row, Key projects the row to its key (a member pointer or
// a function object such as std::identity), Slots is a power of two
// comfortably above the number of rows.
template <typename Entry, auto Key, std::size_t Slots>
class ExactIndex
{
    static_assert(Slots > 0 && (Slots & (Slots - 1)) == 0, "Slots must be a power of two");
    static constexpr std::size_t kMask = Slots - 1;

public:
    // A lookup looks at no more than this many slots.
    static constexpr std::size_t kProbeBudget = 8;

    consteval explicit ExactIndex(std::span<const Entry> entries)
        : m_entries(entries)
    {
        if (entries.size() >= Slots || entries.size() > UINT16_MAX)
            theIndexNeedsMoreSlots();
        for (std::size_t position = 0; position < entries.size(); ++position) {
            const std::string_view key = keyOf(entries[position]);
            m_longestKey = std::max(m_longestKey, key.size());
            std::size_t slot = hashBytes(key) & kMask;
            for (std::size_t probes = 1;; ++probes, slot = (slot + 1) & kMask) {
                if (m_slots[slot] == 0) {
                    m_slots[slot] = static_cast<std::uint16_t>(position + 1);
                    m_longestProbe = std::max(m_longestProbe, probes);
                    break;
                }
                if (keyOf(entries[m_slots[slot] - 1]) == key)
                    aKeyRepeatsInTheTable();
            }
        }
        if (m_longestProbe > kProbeBudget)
            theIndexIsTooCrowdedGiveItMoreSlots();
        for (std::size_t position = 0; position < entries.size(); ++position)
            if (rowOf(keyOf(entries[position])) != position)
                theIndexMissesAKey();
    }

    // The row whose key equals text, or nullptr.
    constexpr const Entry *find(std::string_view text) const noexcept
    {
        const std::size_t row = rowOf(text);
        return row == kNone ? nullptr : &m_entries[row];
    }

    // Kept free of pointer comparisons: GCC cannot evaluate those at compile
    // time under AddressSanitizer, and the tables' checks call this.
    constexpr bool contains(std::string_view text) const noexcept { return rowOf(text) != kNone; }

private:
    static constexpr std::size_t kNone = SIZE_MAX;

    // Text longer than every key is refused before it is hashed, so a huge
    // input costs nothing.
    constexpr std::size_t rowOf(std::string_view text) const noexcept
    {
        if (text.size() > m_longestKey)
            return kNone;
        std::size_t slot = hashBytes(text) & kMask;
        for (std::size_t probes = 0; probes < m_longestProbe; ++probes, slot = (slot + 1) & kMask) {
            const std::uint16_t position = m_slots[slot];
            if (position == 0)
                return kNone;
            if (keyOf(m_entries[position - 1]) == text)
                return position - 1;
        }
        return kNone;
    }

    static constexpr std::string_view keyOf(const Entry &entry) noexcept { return std::invoke(Key, entry); }

    std::span<const Entry> m_entries;
    std::array<std::uint16_t, Slots> m_slots{}; // row position + 1; 0 marks a free slot
    std::size_t m_longestKey = 0;
    std::size_t m_longestProbe = 0;
};

// The form every area code has: 2 to 4 ASCII digits.
constexpr bool isAreaCode(std::string_view code) noexcept
{
    return code.size() >= 2 && code.size() <= 4
        && std::ranges::all_of(code, [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace directory::detail
