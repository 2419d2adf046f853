#include "directory/code_regions.h"
#include "directory/directory.h"
#include "lookup_probes.h"
#include "plain_walk.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using directory::regionForCode;

constexpr std::string_view kPrompt = directory::data::prompt;
constexpr std::string_view kError = directory::data::errorText;

struct CodeCase {
    const char *rowName;
    std::string code;
    std::string_view answer;
};

class CodeQuery : public testing::TestWithParam<CodeCase> {};

TEST_P(CodeQuery, AnswersTheTypedTextExactly)
{
    EXPECT_EQ(regionForCode(GetParam().code), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Directory, CodeQuery,
    testing::Values(
        CodeCase{"EmptyBoxGetsThePrompt", "", kPrompt},
        CodeCase{"ABlankIsNotEmpty", " ", kError},
        CodeCase{"Beijing", "010", "  北京"},
        CodeCase{"TaipeiTwoDigits", "02", "  台湾省台北"},
        CodeCase{"SuzhouOfTheTypicalRequest", "0512", "  江苏省苏州&吴江"},
        CodeCase{"LeadingBlank", " 010", kError},
        CodeCase{"TrailingBlank", "010 ", kError},
        CodeCase{"LeadingZeroDropped", "10", kError},
        CodeCase{"LeadingZeroAdded", "0010", kError},
        CodeCase{"FullWidthDigits", "０１０", kError},
        CodeCase{"HongKong", "852", "  香港"},
        CodeCase{"ZeroBeforeHongKongIsZunyi", "0852", "  贵州省遵义"},
        CodeCase{"ZiyangNotNeijiang", "0832", "  四川省资阳"},
        CodeCase{"MeishanNotLeshan", "0833", "  四川省眉山"},
        CodeCase{"LiangshanNotXichang", "0834", "  四川省凉山"},
        CodeCase{"HengyangNotXuchang", "0734", "  湖南省衡阳"},
        CodeCase{"ChenzhouNotPingdingshan", "0735", "  湖南省郴州"},
        CodeCase{"ChaohuUnderLuansCode", "0564", "  安徽省巢湖"},
        CodeCase{"ChaohusOwnCodeUnknown", "0565", kError},
        CodeCase{"HuzhouWithoutDeqing", "0572", "  浙江省湖州"},
        CodeCase{"NingboWithoutYuyao", "0574", "  浙江省宁波&象山&宁海&奉化&慈溪"},
        CodeCase{"GutianTwice", "0593", "  福建省宁德&建阳&古田&古田"},
        CodeCase{"SpellingAsStored", "0558", "  安徽省阜阳&毫州"},
        CodeCase{"TwoPlaceItems", "0571", "  浙江省杭州&余杭&肖山&富阳&建德、淳安&临安"},
        CodeCase{"Xigaze", "0892", "  西藏日咯则"},
        CodeCase{"Huangshan", "0559", "  安徽省黄山市"},
        CodeCase{"Hengshui", "0218", "  河北省衡水"},
        CodeCase{"EmbeddedNul", std::string("010\0", 4), kError},
        CodeCase{"LoneNul", std::string(1, '\0'), kError},
        CodeCase{"InvalidUtf8", "\x80\x30", kError},
        CodeCase{"HundredThousandBytes", probes::huge("010"), kError}),
    [](const auto &info) { return std::string(info.param.rowName); });

TEST(RegionForCode, AnswersAsAWalkOverTheTableNearEveryCode)
{
    for (const auto &row : directory::data::codeRegions)
        for (const std::string &text : probes::around(row.areaCode))
            ASSERT_EQ(regionForCode(text), plain_walk::regionForCode(text)) << text;
}

} // namespace
