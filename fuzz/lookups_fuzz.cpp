// Feeds arbitrary bytes to the three lookups. Every answer must be one the
// tables can give, and the same one a plain walk over the table would give.

#include "directory/city_codes.h"
#include "directory/code_regions.h"
#include "directory/directory.h"
#include "directory/region_tree.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkProvince(std::string_view text)
{
    const directory::ProvinceSelection got = directory::selectProvince(text);
    const directory::data::RegionEntry *want = nullptr;
    for (const auto &entry : directory::data::regionTree)
        if (entry.name == text)
            want = &entry;
    check(got.matched == (want != nullptr));
    if (want == nullptr) {
        check(got.codeText.empty() && !got.cityBoxEnabled && got.cities.empty());
        return;
    }
    check(got.codeText.data() == want->areaCode.data() && got.codeText.size() == want->areaCode.size());
    check(got.cities.data() == want->cities.data() && got.cities.size() == want->cities.size());
    check(got.cityBoxEnabled == !want->cities.empty());
}

void checkCity(std::string_view text)
{
    const auto got = directory::codeForCity(text);
    const directory::data::CityCode *want = nullptr;
    for (const auto &row : directory::data::cityCodes)
        if (row.city == text)
            want = &row;
    check(got.has_value() == (want != nullptr));
    if (want != nullptr)
        check(got->data() == want->areaCode.data() && got->size() == want->areaCode.size());
}

void checkCode(std::string_view text)
{
    const std::string_view got = directory::regionForCode(text);
    std::string_view want = text.empty() ? directory::data::prompt : directory::data::errorText;
    for (const auto &row : directory::data::codeRegions)
        if (!text.empty() && row.areaCode == text)
            want = row.regionText;
    check(got == want);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkProvince(text);
    checkCity(text);
    checkCode(text);
    return 0;
}
