// Time per lookup, cycling through every key of a table or through texts that
// miss it. Run with --benchmark_repetitions=N to get a median.

#include "directory/code_regions.h"
#include "directory/directory.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> offeredCities()
{
    std::vector<std::string> cities;
    for (const std::string_view province : directory::provinceNames())
        for (const std::string_view city : directory::selectProvince(province).cities)
            cities.emplace_back(city);
    return cities;
}

std::vector<std::string> codes()
{
    std::vector<std::string> out;
    for (const auto &row : directory::data::codeRegions)
        out.emplace_back(row.areaCode);
    return out;
}

// Texts of key-like length that match nothing: a blank added, a byte
// dropped, a zero put in front.
template <typename Hit>
std::vector<std::string> missesNear(const std::vector<std::string> &keys, Hit hit)
{
    std::vector<std::string> out;
    for (const std::string &key : keys)
        for (std::string text : {key + " ", key.substr(0, key.size() - 1), "0" + key})
            if (!hit(text))
                out.push_back(std::move(text));
    return out;
}

template <typename Lookup>
void cycle(benchmark::State &state, const std::vector<std::string> &texts, Lookup lookup)
{
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lookup(texts[i]));
        if (++i == texts.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

const auto kProvinces = [] {
    const auto names = directory::provinceNames();
    return std::vector<std::string>(names.begin(), names.end());
}();
const auto kCities = offeredCities();
const auto kCodes = codes();

void selectProvinceHits(benchmark::State &state) { cycle(state, kProvinces, directory::selectProvince); }
void selectProvinceMisses(benchmark::State &state)
{
    static const auto misses = missesNear(kProvinces, [](const std::string &t) { return directory::selectProvince(t).matched; });
    cycle(state, misses, directory::selectProvince);
}
void codeForCityHits(benchmark::State &state) { cycle(state, kCities, directory::codeForCity); }
void codeForCityMisses(benchmark::State &state)
{
    static const auto misses = missesNear(kCities, [](const std::string &t) { return directory::codeForCity(t).has_value(); });
    cycle(state, misses, directory::codeForCity);
}
void regionForCodeHits(benchmark::State &state) { cycle(state, kCodes, directory::regionForCode); }
void regionForCodeMisses(benchmark::State &state)
{
    static const auto misses = missesNear(kCodes, [](const std::string &t) { return directory::regionForCode(t) != directory::data::errorText; });
    cycle(state, misses, directory::regionForCode);
}

BENCHMARK(selectProvinceHits);
BENCHMARK(selectProvinceMisses);
BENCHMARK(codeForCityHits);
BENCHMARK(codeForCityMisses);
BENCHMARK(regionForCodeHits);
BENCHMARK(regionForCodeMisses);

} // namespace
