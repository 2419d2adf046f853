#include "qt/desktop/window_system.h"

#include <QByteArray>
#include <QtGlobal>

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)

#include <wayland-client.h>

#include <cstdint>
#include <cstring>
#include <string_view>

namespace desktop {
namespace {

bool platformChosen(int argc, char **argv)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-platform" || argument == "--platform" || argument.starts_with("-platform=")
            || argument.starts_with("--platform="))
            return true;
    }
    return false;
}

// Whether the compositor offers to draw the title bars itself
// (xdg-decoration), which is how Qt 6.4 would ask for them. Without a
// compositor to ask, nothing is to change.
bool compositorDrawsTitleBars()
{
    wl_display *display = wl_display_connect(nullptr);
    if (display == nullptr)
        return true;
    bool offered = false;
    static constexpr wl_registry_listener listener{
        [](void *offered, wl_registry *, std::uint32_t, const char *interface, std::uint32_t) {
            if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0)
                *static_cast<bool *>(offered) = true;
        },
        [](void *, wl_registry *, std::uint32_t) {},
    };
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &offered);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered || !answered;
}

} // namespace

void chooseWindowSystem(int argc, char **argv)
{
    if (platformChosen(argc, argv) || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    if (!compositorDrawsTitleBars())
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
}

} // namespace desktop

#else

namespace desktop {

// Qt 6.8 and later draw a title bar that follows the desktop's own button
// layout (GNOME's: close only), and tell the compositor which windows
// are modal dialogs: Wayland is the better choice wherever Qt picks it.
void chooseWindowSystem(int, char **) {}

} // namespace desktop

#endif
