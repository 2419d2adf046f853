#include "directory/city_codes.h"
#include "directory/directory.h"
#include "lookup_probes.h"
#include "plain_walk.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using directory::codeForCity;

struct CityCase {
    const char *rowName;
    std::string city;
    std::optional<std::string_view> code;
};

class CityCode : public testing::TestWithParam<CityCase> {};

TEST_P(CityCode, IsFoundByTheExactCityText)
{
    EXPECT_EQ(codeForCity(GetParam().city), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Directory, CityCode,
    testing::Values(
        CityCase{"SuzhouOfTheTypicalRequest", "苏州", "0512"},
        CityCase{"WuzhouSharesItsCode", "梧州", "0774"},
        CityCase{"HezhouSharesItsCode", "贺州", "0774"},
        CityCase{"GuilinHasItsOwn", "桂林", "0773"},
        CityCase{"TwoPlaceEntryWhole", "如东、如皋", "0513"},
        CityCase{"OnePlaceOfATwoPlaceEntry", "如东", std::nullopt},
        CityCase{"JilinTheCity", "吉林", "0432"},
        CityCase{"JilinTheProvinceName", "吉林省", std::nullopt},
        CityCase{"MunicipalityName", "北京", std::nullopt},
        CityCase{"AnshanNotMaanshan", "鞍山", "0412"},
        CityCase{"MaanshanNotAnshan", "马鞍山", "0555"},
        CityCase{"SpellingAsOffered", "毫州", "0558"},
        CityCase{"StandardSpellingNotOffered", "亳州", std::nullopt},
        CityCase{"XuchangWithAHunanCode", "许昌", "0734"},
        CityCase{"HengyangSameCode", "衡阳", "0734"},
        CityCase{"PingdingshanWithAHunanCode", "平顶山", "0735"},
        CityCase{"HengshuiOutsideItsGroup", "衡水", "0218"},
        CityCase{"TaipeiTwoDigits", "台北", "02"},
        CityCase{"ChaohuCodeUnknownToTheCodeQuery", "巢湖", "0565"},
        CityCase{"LuanWithChaohusRegionCode", "六安", "0564"},
        CityCase{"YuyaoInNingbosArea", "余姚", "0574"},
        CityCase{"TrailingBlank", "苏州 ", std::nullopt},
        CityCase{"EmptyText", "", std::nullopt},
        CityCase{"EmbeddedNul", std::string("苏州\0", 7), std::nullopt},
        CityCase{"InvalidUtf8", "\xe8\x8b\x8f\xff", std::nullopt},
        CityCase{"HundredThousandBytes", probes::huge("苏州"), std::nullopt}),
    [](const auto &info) { return std::string(info.param.rowName); });

TEST(CodeForCity, AnswersAsAWalkOverTheTableNearEveryCity)
{
    for (const auto &row : directory::data::cityCodes)
        for (const std::string &text : probes::around(row.city))
            ASSERT_EQ(codeForCity(text), plain_walk::codeForCity(text)) << text;
}

} // namespace
