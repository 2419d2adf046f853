#include "directory/directory.h"

#include "directory/city_codes.h"
#include "directory/code_regions.h"
#include "directory/exact_index.h"

#include <algorithm>

namespace directory {
namespace {

using data::CodeRegion;
using data::codeRegions;

constexpr detail::ExactIndex<CodeRegion, &CodeRegion::areaCode, 1024> kCodeIndex{codeRegions};

// Two blanks, then text with no further blank.
constexpr bool isRegionText(std::string_view text)
{
    return text.size() > 2 && text.starts_with("  ") && text.find(' ', 2) == std::string_view::npos;
}

// The city table gives 巢湖 a code this table does not hold; every other code
// it gives can be looked up here.
constexpr bool cityCodesKnownHere()
{
    return std::ranges::all_of(data::cityCodes, [](const data::CityCode &row) {
        return kCodeIndex.contains(row.areaCode) != (row.areaCode == "0565");
    });
}

static_assert(std::size(codeRegions) == 323, "the code table has 323 rows");
static_assert(kCodeIndex.fits() && kCodeIndex.keysDistinct(), "codes must be distinct");
static_assert(std::ranges::all_of(codeRegions, [](const CodeRegion &row) { return detail::isAreaCode(row.areaCode); }),
              "every code is 2 to 4 ASCII digits");
static_assert(std::ranges::all_of(codeRegions, [](const CodeRegion &row) { return isRegionText(row.regionText); }),
              "every region text is two blanks and then text without blanks");
static_assert(cityCodesKnownHere(), "a code of the city table is missing here");
static_assert(kCodeIndex.wellSpread(), "index too crowded: give it more slots");

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
