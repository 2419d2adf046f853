#pragma once

// The built-in area-code directory: three constant tables and the lookups over
// them. Every text is UTF-8; every result is a view of constant data that
// lives as long as the program. Lookups compare bytes exactly: nothing is
// trimmed, folded or read as a number. Any input gets an answer, and no lookup
// allocates.

#include <optional>
#include <span>
#include <string_view>

namespace directory {

// The 32 entries of the province box, in the order the box lists them.
std::span<const std::string_view> provinceNames() noexcept;

// What choosing an entry of the province box does to the city box and the
// code box. When matched is false nothing is to change.
struct ProvinceSelection {
    bool matched = false;
    std::string_view codeText;  // a direct-code entry's code, else empty
    bool cityBoxEnabled = false;
    std::span<const std::string_view> cities;
};

ProvinceSelection selectProvince(std::string_view provinceBoxText) noexcept;

// The area code of a city as the city box offers it, or nothing.
std::optional<std::string_view> codeForCity(std::string_view cityText) noexcept;

// The answer to a typed area code: the region the code serves, the prompt for
// an empty box, or the error text for a code the directory does not hold.
std::string_view regionForCode(std::string_view codeBoxText) noexcept;

} // namespace directory
