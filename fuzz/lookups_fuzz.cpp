// Feeds arbitrary bytes to the three lookups. Every answer must be one the
// tables can give, and the same one a plain walk over the table would give.

#include "directory/directory.h"
#include "plain_walk.h"

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
    const directory::ProvinceSelection want = plain_walk::selectProvince(text);
    check(got.matched == want.matched && got.cityBoxEnabled == want.cityBoxEnabled);
    check(plain_walk::same(got.codeText, want.codeText));
    check(got.cities.data() == want.cities.data() && got.cities.size() == want.cities.size());
}

void checkCity(std::string_view text)
{
    const auto got = directory::codeForCity(text);
    const auto want = plain_walk::codeForCity(text);
    check(got.has_value() == want.has_value());
    if (want)
        check(plain_walk::same(*got, *want));
}

void checkCode(std::string_view text)
{
    check(directory::regionForCode(text) == plain_walk::regionForCode(text));
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
