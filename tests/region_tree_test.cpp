#include "directory/directory.h"
#include "lookup_probes.h"
#include "plain_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using directory::ProvinceSelection;
using directory::selectProvince;

TEST(ProvinceNames, ListTheBoxInOrderAndEveryOneCanBeChosen)
{
    const auto names = directory::provinceNames();
    EXPECT_EQ(names.front(), "北京");
    EXPECT_EQ(names[4], "香港");
    EXPECT_EQ(names[5], "辽宁省");
    EXPECT_EQ(names.back(), "台湾省");
    for (const std::string_view name : names)
        EXPECT_TRUE(selectProvince(name).matched) << name;
}

struct DirectCodeCase {
    const char *rowName;
    std::string_view province;
    std::string_view code;
};

class DirectCodeEntry : public testing::TestWithParam<DirectCodeCase> {};

TEST_P(DirectCodeEntry, ShowsItsCodeAndDisablesTheEmptyCityBox)
{
    const ProvinceSelection s = selectProvince(GetParam().province);
    EXPECT_TRUE(s.matched);
    EXPECT_EQ(s.codeText, GetParam().code);
    EXPECT_FALSE(s.cityBoxEnabled);
    EXPECT_TRUE(s.cities.empty());
}

INSTANTIATE_TEST_SUITE_P(Directory, DirectCodeEntry,
    testing::Values(DirectCodeCase{"Beijing", "北京", "010"},
                    DirectCodeCase{"HongKongWithoutLeadingZero", "香港", "852"},
                    DirectCodeCase{"ChongqingLikeTheOtherMunicipalities", "重庆", "023"}),
    [](const auto &info) { return std::string(info.param.rowName); });

struct CityListCase {
    const char *rowName;
    std::string_view province;
    std::size_t count;
    std::string_view first;
    std::string_view last;
};

class CityListEntry : public testing::TestWithParam<CityListCase> {};

TEST_P(CityListEntry, EmptiesTheCodeAndOffersItsCitiesInOrder)
{
    const ProvinceSelection s = selectProvince(GetParam().province);
    EXPECT_TRUE(s.matched);
    EXPECT_TRUE(s.codeText.empty());
    EXPECT_TRUE(s.cityBoxEnabled);
    ASSERT_EQ(s.cities.size(), GetParam().count);
    EXPECT_EQ(s.cities.front(), GetParam().first);
    EXPECT_EQ(s.cities.back(), GetParam().last);
}

INSTANTIATE_TEST_SUITE_P(Directory, CityListEntry,
    testing::Values(CityListCase{"Liaoning", "辽宁省", 13, "沈阳", "葫芦岛"},
                    CityListCase{"JiangsuOfTheTypicalRequest", "江苏省", 29, "南京", "句容"},
                    CityListCase{"TaiwanWithOneCity", "台湾省", 1, "台北", "台北"},
                    CityListCase{"ZhejiangTheLongestList", "浙江省", 39, "杭州", "义乌"}),
    [](const auto &info) { return std::string(info.param.rowName); });

TEST(SelectProvince, KeepsTwoPlaceEntriesWhole)
{
    const auto cities = selectProvince("浙江省").cities;
    const auto count = std::ranges::count_if(cities, [](std::string_view c) { return c.find("、") != c.npos; });
    EXPECT_EQ(count, 4);
    EXPECT_NE(std::ranges::find(cities, "建德、淳安"), cities.end());
    EXPECT_EQ(std::ranges::find(cities, "建德"), cities.end());
}

struct NoMatchCase {
    const char *rowName;
    std::string text;
};

class NoProvince : public testing::TestWithParam<NoMatchCase> {};

TEST_P(NoProvince, ChangesNothing)
{
    const ProvinceSelection s = selectProvince(GetParam().text);
    EXPECT_FALSE(s.matched);
    EXPECT_TRUE(s.codeText.empty());
    EXPECT_FALSE(s.cityBoxEnabled);
    EXPECT_TRUE(s.cities.empty());
}

INSTANTIATE_TEST_SUITE_P(Directory, NoProvince,
    testing::Values(NoMatchCase{"RegionTextSpelling", "内蒙古"},
                    NoMatchCase{"CityRatherThanProvince", "吉林"},
                    NoMatchCase{"TrailingBlank", "辽宁省 "},
                    NoMatchCase{"LeadingBlank", " 北京"},
                    NoMatchCase{"EmptyText", ""},
                    NoMatchCase{"EmbeddedNul", std::string("北京\0", 7)},
                    NoMatchCase{"CutShortUtf8", std::string("北京").substr(0, 5)},
                    NoMatchCase{"InvalidUtf8", "\xff\xfe\x80"},
                    NoMatchCase{"HundredThousandBytes", probes::huge("北京")}),
    [](const auto &info) { return std::string(info.param.rowName); });

TEST(SelectProvince, AnswersAsAWalkOverTheTreeNearEveryName)
{
    for (const std::string_view name : directory::provinceNames()) {
        for (const std::string &text : probes::around(name)) {
            const ProvinceSelection got = selectProvince(text);
            const ProvinceSelection want = plain_walk::selectProvince(text);
            ASSERT_EQ(got.matched, want.matched) << text;
            EXPECT_EQ(got.codeText, want.codeText) << text;
            EXPECT_EQ(got.cityBoxEnabled, want.cityBoxEnabled) << text;
            EXPECT_EQ(got.cities.data(), want.cities.data()) << text;
            EXPECT_EQ(got.cities.size(), want.cities.size()) << text;
        }
    }
}

} // namespace
