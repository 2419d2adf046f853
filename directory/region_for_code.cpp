#include "directory/directory.h"

#include "directory/city_codes.h"
#include "directory/code_regions.h"
#include "directory/exact_index.h"
#include "directory/region_tree.h"

#include <algorithm>
#include <iterator>

namespace directory {
namespace {

using data::CodeRegion;
using data::codeRegions;

// Building it checks that the codes are distinct.
constexpr detail::ExactIndex<CodeRegion, &CodeRegion::areaCode, 1024> kCodeIndex{codeRegions};

// Two blanks, then text with no further blank.
constexpr bool isRegionText(std::string_view text)
{
    return text.size() > 2 && text.starts_with("  ") && text.find(' ', 2) == std::string_view::npos;
}

// Every code the region lookup shows can be looked up here: those of the
// province box's direct-code entries, and those the city table gives but the
// ones it lists as unknown to this table.
constexpr bool regionLookupCodesKnownHere()
{
    const bool directCodesKnown = std::ranges::all_of(data::regionTree, [](const data::RegionEntry &entry) {
        return entry.areaCode.empty() || kCodeIndex.contains(entry.areaCode);
    });
    return directCodesKnown && std::ranges::all_of(data::cityCodes, [](const data::CityCode &row) {
        const bool lacked = std::ranges::find(data::codesTheCodeTableLacks, row.areaCode)
                         != std::end(data::codesTheCodeTableLacks);
        return kCodeIndex.contains(row.areaCode) != lacked;
    });
}

static_assert(std::size(codeRegions) == 323, "the code table has 323 rows");
static_assert(std::ranges::all_of(codeRegions, [](const CodeRegion &row) { return detail::isAreaCode(row.areaCode); }),
              "every code is 2 to 4 ASCII digits");
static_assert(std::ranges::all_of(codeRegions, [](const CodeRegion &row) { return isRegionText(row.regionText); }),
              "every region text is two blanks and then text without blanks");
static_assert(regionLookupCodesKnownHere(), "a code of the region lookup is missing here");

} // namespace

std::string_view regionForCode(std::string_view codeBoxText) noexcept
{
    if (codeBoxText.empty())
        return data::prompt;
    if (const CodeRegion *row = kCodeIndex.find(codeBoxText))
        return row->regionText;
    return data::errorText;
}

} // namespace directory
