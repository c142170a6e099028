#pragma once
// One control of the main window as the window logic sees it: the properties
// that the logic reads and writes, nothing of its look.

#include <cstdint>

#include <QString>

namespace tanka {

// A colour as the platform's RGB() gives it: red + green * 256 + blue * 65536.
using Rgb = std::uint32_t;

constexpr Rgb rgb(int red, int green, int blue) {
    return static_cast<Rgb>(red) | (static_cast<Rgb>(green) << 8) | (static_cast<Rgb>(blue) << 16);
}
constexpr int redOf(Rgb c) {
    return static_cast<int>(c & 0xFFu);
}
constexpr int greenOf(Rgb c) {
    return static_cast<int>((c >> 8) & 0xFFu);
}
constexpr int blueOf(Rgb c) {
    return static_cast<int>((c >> 16) & 0xFFu);
}

namespace colors {
inline constexpr Rgb SelectedButton = rgb(156, 207, 255); // chosen selector, destination buttons
inline constexpr Rgb UnselectedButton =
    rgb(206, 255, 206);                              // selector after its group's first click
inline constexpr Rgb TitleBanner = rgb(0, 134, 189); // titleBanner from start-up on
} // namespace colors

struct Control {
    QString caption;
    Rgb backColor = 0;
    bool enabled = true;
    bool visible = true;
    std::int16_t value = 0; // check boxes: 0 unchecked, 1 checked

    friend bool operator==(const Control&, const Control&) = default;
};

} // namespace tanka
