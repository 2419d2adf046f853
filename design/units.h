#pragma once

// The units the windows were drawn in: places and sizes in twips from the
// top-left corner of a window's client area, colours as red, green and blue,
// fonts by face, character set and point size.

#include <cstdint>
#include <string_view>

namespace design {

// 1/1440 inch. Kept apart from pixels by its type: a window turns twips into
// its own pixels at its own density, and only through pixels().
struct Twips {
    int value = 0;

    constexpr explicit Twips(int twips) : value(twips) {}

    friend constexpr bool operator==(Twips a, Twips b) { return a.value == b.value; }
    friend constexpr bool operator<(Twips a, Twips b) { return a.value < b.value; }
    friend constexpr bool operator>(Twips a, Twips b) { return b < a; }
};

// The density the layouts were drawn at: 15 twips to the pixel.
inline constexpr int kDesignDpi = 96;

// To the nearest pixel at dpi dots per inch, a half pixel up. At 96 dpi that
// is the design's own 15 twips to the pixel, each length rounded by itself.
constexpr int pixels(Twips length, int dpi)
{
    return (length.value * dpi + 720) / 1440;
}

struct Size {
    Twips width, height;
};

// A place on a client area: left and top from its top-left corner.
struct Rect {
    Twips left, top, width, height;

    constexpr Twips right() const { return Twips(left.value + width.value); }
    constexpr Twips bottom() const { return Twips(top.value + height.value); }
};

constexpr Size twips(int width, int height)
{
    return {Twips(width), Twips(height)};
}

constexpr Rect twips(int left, int top, int width, int height)
{
    return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

struct PixelRect {
    int left, top, width, height;
};

constexpr PixelRect pixels(const Rect &place, int dpi)
{
    return {pixels(place.left, dpi), pixels(place.top, dpi), pixels(place.width, dpi), pixels(place.height, dpi)};
}

struct Rgb {
    std::uint8_t red, green, blue;

    constexpr bool operator==(const Rgb &) const = default;
};

inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kLightYellow{255, 255, 192};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kMagenta{255, 0, 255};
inline constexpr Rgb kLightBlue{192, 192, 255};
inline constexpr Rgb kGrey{128, 128, 128};

// Windows' own numbers for the character sets.
enum class Charset : std::uint8_t { Gb2312 = 134 };

struct Font {
    std::string_view face;
    Charset charset;
    double points; // exact: 10.5 and 14.25 are sums of powers of two

    constexpr bool operator==(const Font &) const = default;
};

inline constexpr std::string_view kSong = "宋体";

constexpr Font song(double points)
{
    return {kSong, Charset::Gb2312, points};
}

// What controls without a font of their own use: 宋体 9 pt, the default of
// the Chinese desktop the layouts were drawn for.
inline constexpr Font kDefaultFont = song(9);

} // namespace design
