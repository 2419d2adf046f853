#pragma once

// Inputs a little off a real key, the kind a hash index gets wrong when it
// compares too little or probes too far.

#include <string>
#include <string_view>
#include <vector>

namespace probes {

inline std::vector<std::string> around(std::string_view key)
{
    const std::string k(key);
    std::vector<std::string> out = {
        k,
        k + " ",
        " " + k,
        k + std::string(1, '\0'),
        k + k,
    };
    if (!k.empty()) {
        out.push_back(k.substr(0, k.size() - 1)); // cuts a UTF-8 sequence short
        out.push_back(k.substr(1));
        std::string flipped = k;
        flipped.back() = static_cast<char>(flipped.back() ^ 1);
        out.push_back(flipped);
    }
    return out;
}

// Far longer than any key, with a real key at the front.
inline std::string huge(std::string_view prefix)
{
    std::string text(prefix);
    text.resize(100000, '0');
    return text;
}

} // namespace probes
