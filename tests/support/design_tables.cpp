// A window's design as the checks see it. As it stands this compiles; with
// one of the macros below defined it must not, and the compiler must name
// the broken rule (CTest checks both).

#include "design/checks.h"

namespace {

using namespace design;

constexpr Control kCaption{.name = "Label1", .kind = Kind::Label, .place = twips(0, 0, 1500, 375),
#if defined(PAST_THE_EDGE)
                           .cutAt = {.bottom = true}};
#else
                           .cutAt = {.right = true}};
#endif
#if defined(CONTROLS_OVERLAP)
constexpr Control kBox{.name = "Text1", .kind = Kind::TextBox, .place = twips(300, 525, 600, 300), .takesFocus = true};
#else
constexpr Control kBox{.name = "Text1", .kind = Kind::TextBox, .place = twips(300, 600, 600, 300), .takesFocus = true};
#endif
constexpr Control kButton{.name = "Command1", .kind = Kind::Button, .place = twips(600, 300, 600, 300),
                          .takesFocus = true};

constexpr const Control *kControls[] = {&kCaption, &kBox, &kButton};
// The caption is under the button where they meet.
constexpr Stack kStacks[] = {{&kCaption, &kButton}};
#if defined(LEFT_OUT_OF_THE_TAB_ORDER)
constexpr const Control *kTabOrder[] = {&kButton};
#else
constexpr const Control *kTabOrder[] = {&kBox, &kButton};
#endif
constexpr Window kWindow{.name = "test", .caption = "", .client = twips(1200, 1200), .controls = kControls,
                         .stacks = kStacks, .tabOrder = kTabOrder};

static_assert(checks::sound(kWindow));

} // namespace

int main()
{
    return 0;
}
