#pragma once

// What the three lookups must answer, found the slow, obvious way: a walk
// over the table from its first row to its last. The tests and the fuzzer
// hold the indexed lookups to it.

#include "directory/city_codes.h"
#include "directory/code_regions.h"
#include "directory/directory.h"
#include "directory/region_tree.h"

#include <optional>
#include <string_view>

namespace plain_walk {

inline directory::ProvinceSelection selectProvince(std::string_view text)
{
    for (const auto &entry : directory::data::regionTree)
        if (entry.name == text)
            return {true, entry.areaCode, !entry.cities.empty(), entry.cities};
    return {};
}

inline std::optional<std::string_view> codeForCity(std::string_view text)
{
    for (const auto &row : directory::data::cityCodes)
        if (row.city == text)
            return row.areaCode;
    return std::nullopt;
}

inline std::string_view regionForCode(std::string_view text)
{
    if (text.empty())
        return directory::data::prompt;
    for (const auto &row : directory::data::codeRegions)
        if (row.areaCode == text)
            return row.regionText;
    return directory::data::errorText;
}

// The same view of the same constant data: the same text at the same place.
inline bool same(std::string_view a, std::string_view b)
{
    return a.data() == b.data() && a.size() == b.size();
}

} // namespace plain_walk
