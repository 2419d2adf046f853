#include "directory/directory.h"

#include "directory/exact_index.h"
#include "directory/region_tree.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace directory {
namespace {

using data::RegionEntry;
using data::regionTree;

constexpr std::size_t kDirectCodeEntries = 5;

constexpr auto kProvinceNames = [] {
    std::array<std::string_view, std::size(regionTree)> names{};
    std::ranges::transform(regionTree, names.begin(), &RegionEntry::name);
    return names;
}();

// The first five entries carry a code and no cities; the rest the reverse.
constexpr bool entryKindsInOrder()
{
    for (std::size_t i = 0; i < std::size(regionTree); ++i) {
        const RegionEntry &entry = regionTree[i];
        const bool direct = i < kDirectCodeEntries;
        if (direct != detail::isAreaCode(entry.areaCode) || direct != entry.cities.empty())
            return false;
        if (!direct && !entry.areaCode.empty())
            return false;
    }
    return true;
}

// Building it checks that the province names are distinct.
constexpr detail::ExactIndex<RegionEntry, &RegionEntry::name, 128> kProvinceIndex{regionTree};

constexpr bool noCityIsAProvinceName()
{
    return std::ranges::none_of(data::offeredCities, [](std::string_view city) { return kProvinceIndex.contains(city); });
}

static_assert(std::size(regionTree) == 32, "the province box has 32 entries");
static_assert(data::offeredCities.size() == 394, "the city lists offer 394 cities in all");
static_assert(entryKindsInOrder(), "five direct-code entries first, then city lists only");
static_assert(noCityIsAProvinceName(), "a city may not share a province-box name");

} // namespace

std::span<const std::string_view> provinceNames() noexcept
{
    return kProvinceNames;
}

ProvinceSelection selectProvince(std::string_view provinceBoxText) noexcept
{
    const RegionEntry *entry = kProvinceIndex.find(provinceBoxText);
    if (entry == nullptr)
        return {};
    return {.matched = true,
            .codeText = entry->areaCode,
            .cityBoxEnabled = !entry->cities.empty(),
            .cities = entry->cities};
}

} // namespace directory
