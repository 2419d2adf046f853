#pragma once

// The four windows as they were designed: names, texts, places, colours,
// fonts, tab orders and timings. The code query's prompt and error texts are
// the Directory's answers, not the design's.

#include "design/control.h"
#include "tessaline/version.h"

#include <chrono>
#include <string_view>

namespace design {

inline constexpr Picture kIcon{"tessaline.ico", "tessaline@2x.png", 32, 32};
inline constexpr Picture kLandscape{"landscape.jpg", "landscape@2x.jpg", 400, 240};
inline constexpr Picture kStartupPicture{"startup.jpg", "startup@2x.jpg", 395, 162};

// What the two lookup windows share: caption, size, menu bar, status bar;
// the icon and the landscape as their background.
namespace lookup {

inline constexpr std::string_view kCaption = "Tessaline " TESSALINE_VERSION;
inline constexpr Size kClient = twips(4590, 1515);

inline constexpr Command kByRegion{"diquchaxun", "地区查询"};
inline constexpr Command kByCode{"quhaochaxun", "区号查询"};
inline constexpr Command kAbout{"about", "关于"};

inline constexpr Control kStatusBar{.name = "StatusBar1", .kind = Kind::StatusBar, .place = twips(0, 1260, 4590, 255)};
inline constexpr Panel kPanels[] = {
    {"Tessaline", Twips(1500)},
    {"版本:" TESSALINE_VERSION, Twips(1500)},
    {"Velmora", Twips(1600)},
};

} // namespace lookup

// Lookup by region; the window is described to assistive tools by its command.
namespace region {

inline constexpr Control kPrompt{.name = "Label3", .kind = Kind::Label, .place = twips(360, 120, 3975, 375),
                                 .text = "请选择省份和市区进行查询！", .font = song(15), .colour = kYellow};
inline constexpr Control kProvinces{.name = "Combo1", .kind = Kind::DropDownList, .place = twips(240, 720, 1455, 300),
                                    .spokenName = "省份", .takesFocus = true};
inline constexpr Control kCities{.name = "Combo2", .kind = Kind::DropDownList, .place = twips(1800, 720, 1455, 300),
                                 .spokenName = "城市", .background = kWhite, .takesFocus = true};
inline constexpr Control kCode{.name = "Text1", .kind = Kind::TextBox, .place = twips(3360, 720, 1095, 300),
                               .spokenName = "区号", .font = song(12), .colour = kBlack, .background = kWhite,
                               .output = true};

inline constexpr const Control *kControls[] = {&kPrompt, &kProvinces, &kCities, &kCode, &lookup::kStatusBar};
inline constexpr const Control *kTabOrder[] = {&kProvinces, &kCities};
inline constexpr Window kWindow{.name = "Tessaline地区", .caption = lookup::kCaption, .client = lookup::kClient,
                                .controls = kControls, .tabOrder = kTabOrder};

} // namespace region

// Lookup by code.
namespace code {

inline constexpr Control kPrompt{.name = "Label3", .kind = Kind::Label, .place = twips(720, 120, 3135, 375),
                                 .text = "请输入区号进行查询！", .font = song(15), .colour = kYellow};
inline constexpr Control kInput{.name = "Text1", .kind = Kind::TextBox, .place = twips(120, 600, 855, 330),
                                .spokenName = "区号", .font = song(12), .background = kLightYellow, .takesFocus = true};
inline constexpr Control kQuery{.name = "Command1", .kind = Kind::Button, .place = twips(1200, 480, 615, 255),
                                .text = "查询", .takesFocus = true};
inline constexpr Control kOutput{.name = "Text2", .kind = Kind::TextBox, .place = twips(2040, 480, 2415, 615),
                                 .text = "  ", .spokenName = "查询结果", .font = song(10.5), .colour = kMagenta,
                                 .background = kLightYellow, .output = true};
inline constexpr Control kClear{.name = "Command2", .kind = Kind::Button, .place = twips(1200, 840, 615, 255),
                                .text = "清除", .takesFocus = true};

// Enter presses it.
inline constexpr const Control &kDefaultButton = kQuery;
// Characters, not UTF-16 units.
inline constexpr int kInputLimit = 4;
// Said to screen readers once the boxes are emptied.
inline constexpr std::string_view kCleared = "已清除";

inline constexpr const Control *kControls[] = {&kPrompt, &kInput, &kQuery, &kOutput, &kClear, &lookup::kStatusBar};
// The caption's last line of twips lies under the buttons and the answer.
inline constexpr Stack kStacks[] = {{&kPrompt, &kQuery}, {&kPrompt, &kOutput}};
inline constexpr const Control *kTabOrder[] = {&kInput, &kQuery, &kClear};
inline constexpr Window kWindow{.name = "Tessaline区号", .caption = lookup::kCaption, .client = lookup::kClient,
                                .controls = kControls, .stacks = kStacks, .tabOrder = kTabOrder};

} // namespace code

// About: no behaviour, the user closes it through its title bar.
namespace about {

inline constexpr Control kIconBox{.name = "picIcon", .kind = Kind::PictureBox, .place = twips(120, 120, 540, 540),
                                  .spokenName = "程序图标", .background = kLightBlue};
inline constexpr Control kContact{.name = "Label1", .kind = Kind::Label, .place = twips(240, 720, 3615, 615),
                                  .text = "博客:https://velmora.example.net/blog\n"
                                          "邮箱:velmora@velmora.example.net\n"
                                          "作者:Velmora",
                                  .colour = kYellow, .cutAt = {.right = true}};
// Two rules on one height, the white over the grey, both cut off at the
// right edge.
inline constexpr Control kGreyRule{.name = "Line1", .kind = Kind::Line, .place = twips(0, 1320, 5564, 15), .index = 1,
                                   .colour = kGrey, .cutAt = {.right = true}};
inline constexpr Control kTitle{.name = "lblTitle", .kind = Kind::Label, .place = twips(960, 120, 1350, 300),
                                .text = "Tessaline", .font = song(15), .colour = kYellow, .centred = true,
                                .sizedToCaption = true};
inline constexpr Control kWhiteRule{.name = "Line1", .kind = Kind::Line, .place = twips(0, 1320, 5670, 30), .index = 0,
                                    .colour = kWhite, .cutAt = {.right = true}};
inline constexpr Control kVersion{.name = "lblVersion", .kind = Kind::Label, .place = twips(2040, 480, 1635, 255),
                                  .text = "版本：" TESSALINE_VERSION, .font = song(12), .colour = kYellow,
                                  .centred = true};
inline constexpr Control kNotice{.name = "lblDisclaimer", .kind = Kind::Label, .place = twips(480, 1440, 2895, 315),
                                 .text = "Velmora 版权所有", .font = song(14.25), .colour = kYellow,
                                 .cutAt = {.bottom = true}};

inline constexpr const Control *kControls[] = {&kIconBox, &kContact, &kGreyRule, &kTitle, &kWhiteRule, &kVersion, &kNotice};
inline constexpr Stack kStacks[] = {
    {&kContact, &kGreyRule}, {&kContact, &kWhiteRule}, {&kContact, &kVersion}, {&kGreyRule, &kWhiteRule},
};
inline constexpr Window kWindow{.name = "关于", .caption = "关于", .client = twips(3750, 1725),
                                .controls = kControls, .stacks = kStacks};

} // namespace about

// The start-up window: its picture, and no caption.
namespace startup {

inline constexpr Window kWindow{.name = "启动", .caption = "", .client = twips(5895, 2430), .controls = {}};
inline constexpr std::string_view kSpokenName = "Tessaline " TESSALINE_VERSION " Velmora"; // what its picture says
inline constexpr std::string_view kTimer = "Timer1";
inline constexpr std::chrono::milliseconds kShownFor{1500};

} // namespace startup

// The one message box: another copy runs.
namespace warning {

inline constexpr std::string_view kTitle = "提示";
inline constexpr std::string_view kText = "该程序已在运行中！";
inline constexpr std::string_view kOk = "确定"; // where the toolkit does not say OK in Chinese itself

} // namespace warning

} // namespace design
