#pragma once

// What the design says of a control and of a window. Each front-end builds
// its windows by hand and reads these facts; nothing here is interpreted.

#include "design/units.h"

#include <optional>
#include <span>
#include <string_view>

namespace design {

enum class Kind { Label, DropDownList, TextBox, Button, StatusBar, PictureBox, Line };

// The edges of its client area that a control reaches past and is cut off at.
struct Edges {
    bool right = false;
    bool bottom = false;
};

struct Control {
    std::string_view name;          // its design name
    Kind kind;
    Rect place;
    int index = -1;                 // in its control array (About's Line1), or -1
    std::string_view text = {};     // its caption, or the text it starts with
    std::string_view spokenName = {}; // for assistive tools, where its text does not say
    Font font = kDefaultFont;
    std::optional<Rgb> colour = {};     // of its text or line; none: the platform's
    std::optional<Rgb> background = {}; // none: transparent for a label, the platform's otherwise
    bool takesFocus = false;
    bool output = false;            // only the program writes into it
    bool centred = false;
    // Sized to its caption from its top-left corner; place holds the size
    // the caption has in the design's own face.
    bool sizedToCaption = false;
    Edges cutAt = {};
};

// Two controls that the design lays one over the other: where they meet,
// above is drawn over below.
struct Stack {
    const Control *below;
    const Control *above;
};

struct Window {
    std::string_view name;
    std::string_view caption;
    Size client;
    std::span<const Control *const> controls; // stacked from bottom to top
    std::span<const Stack> stacks = {};
    std::span<const Control *const> tabOrder = {}; // the first takes the focus when the window shows
};

// A command on the menu bar itself.
struct Command {
    std::string_view name;
    std::string_view text;
};

struct Panel {
    std::string_view text;
    Twips width;
};

// A picture of the resources, drawn unscaled; dense is the painting at twice
// the size for screens of higher density.
struct Picture {
    std::string_view file;
    std::string_view dense;
    int width, height; // in the plain painting's pixels
};

} // namespace design
