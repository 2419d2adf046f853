#include "directory/directory.h"

#include "directory/city_codes.h"
#include "directory/exact_index.h"
#include "directory/region_tree.h"

#include <algorithm>

namespace directory {
namespace {

using data::CityCode;
using data::cityCodes;

// Building it checks that the city texts are distinct.
constexpr detail::ExactIndex<CityCode, &CityCode::city, 1024> kCityIndex{cityCodes};

constexpr bool everyRowOffered()
{
    return std::ranges::all_of(cityCodes, [](const CityCode &row) { return data::offeredCityIndex.contains(row.city); });
}

constexpr bool everyOfferedCityHasCode()
{
    return std::ranges::all_of(data::offeredCities, [](std::string_view city) { return kCityIndex.contains(city); });
}

static_assert(std::size(cityCodes) == 394, "one row for every city the city box offers");
static_assert(std::ranges::all_of(cityCodes, [](const CityCode &row) { return detail::isAreaCode(row.areaCode); }),
              "every code is 2 to 4 ASCII digits");
static_assert(everyRowOffered(), "every city of the table must be offered by a city list");
static_assert(everyOfferedCityHasCode(), "every offered city must have a code");

} // namespace

std::optional<std::string_view> codeForCity(std::string_view cityText) noexcept
{
    if (const CityCode *row = kCityIndex.find(cityText))
        return row->areaCode;
    return std::nullopt;
}

} // namespace directory
