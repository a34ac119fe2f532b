// The window's design in one table: every control, its caption, place in twips and tab
// order, the popup menu, and the 16x16 icon. Both front ends build the window from it.
#pragma once

#include "Version.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zelvo {

enum class ControlId {
    InputLabel,
    InputText,
    DecodeButton,
    ClearButton,
    Frame1,
    SerialLabel,
    SerialText,
    CodeTypeLabel,
    CodeTypeText,
    CodeLabel,
    CodeText,
    HideButton,
};
inline constexpr std::size_t kControlCount = 12;

enum class ControlKind { Label, InputBox, OutputBox, Button, Frame };

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct PixelRect {
    int left;
    int top;
    int width;
    int height;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct ControlRow {
    ControlId id;
    std::string_view name;
    ControlKind kind;
    std::string_view caption;           // "&" marks the access key
    std::optional<ControlId> container; // none: the window's client area
    TwipsRect twips;                    // from the top-left corner of the container
    int tabIndex;
    std::optional<ControlId> labelFor; // the box a label names, for screen readers
};

// clang-format off
inline constexpr std::array<ControlRow, kControlCount> kControls{{
    // id                        name             kind                    caption           container          left  top   width height  tab  label for
    {ControlId::InputLabel,    "InputLabel",    ControlKind::Label,     "CueCat Output:", {},                {240,  240,  1335, 255},  6,  ControlId::InputText},
    {ControlId::InputText,     "InputText",     ControlKind::InputBox,  "",               {},                {240,  480,  5055, 285},  0,  {}},
    {ControlId::DecodeButton,  "DecodeButton",  ControlKind::Button,    "&Decode",        {},                {5640, 480,  1695, 495},  1,  {}},
    {ControlId::ClearButton,   "ClearButton",   ControlKind::Button,    "&Clear",         {},                {5640, 1080, 1695, 495},  2,  {}},
    {ControlId::Frame1,        "Frame1",        ControlKind::Frame,     "Decoded Output", {},                {120,  960,  5415, 1815}, 7,  {}},
    {ControlId::SerialLabel,   "SerialLabel",   ControlKind::Label,     "Serial #:",      ControlId::Frame1, {120,  360,  1095, 255},  10, ControlId::SerialText},
    {ControlId::SerialText,    "SerialText",    ControlKind::OutputBox, "",               ControlId::Frame1, {1320, 360,  3975, 285},  3,  {}},
    {ControlId::CodeTypeLabel, "CodeTypeLabel", ControlKind::Label,     "Code Type:",     ControlId::Frame1, {120,  840,  1095, 255},  9,  ControlId::CodeTypeText},
    {ControlId::CodeTypeText,  "CodeTypeText",  ControlKind::OutputBox, "",               ControlId::Frame1, {1320, 840,  3975, 285},  4,  {}},
    {ControlId::CodeLabel,     "CodeLabel",     ControlKind::Label,     "Code:",          ControlId::Frame1, {120,  1320, 1095, 255},  8,  ControlId::CodeText},
    {ControlId::CodeText,      "CodeText",      ControlKind::OutputBox, "",               ControlId::Frame1, {1320, 1320, 3975, 285},  5,  {}},
    {ControlId::HideButton,    "HideButton",    ControlKind::Button,    "&Hide",          {},                {5640, 2160, 1695, 495},  11, {}},
}};
// clang-format on

struct WindowRow {
    std::string_view caption;
    int clientWidthTwips;
    int clientHeightTwips;
};
inline constexpr WindowRow kWindow{kCaption, 7485, 2865};

// The popup menu of the notification-area icon: a hidden top-level menu with one item.
struct MenuRow {
    std::string_view name;
    std::string_view caption;
};
inline constexpr MenuRow kIconPopup{"IconPopup", "IconPopup"};
inline constexpr MenuRow kExitItem{"Exit", "E&xit"};

// The icon: 16x16 pixels, each an entry of the standard 16-colour Windows palette.
inline constexpr int kIconSize = 16;
// clang-format off
inline constexpr std::array<std::string_view, kIconSize> kIconRows{
    "4444444444444444",
    "4477447474477444",
    "4744747474744744",
    "4744747474744744",
    "4477447474477444",
    "4444444444444444",
    "4747447744477444",
    "4747474474744744",
    "4747474474744744",
    "4747447744477444",
    "4444444444444444",
    "4477447474474744",
    "4744747474474744",
    "4744747474474744",
    "4477447474474744",
    "4444444444444444",
};
// clang-format on

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
// The standard 16-colour Windows palette.
inline constexpr std::array<Rgb, 16> kIconPalette{{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

// Twips per inch; at 96 dots per inch one pixel is 15 twips.
inline constexpr int kTwipsPerInch = 1440;

const ControlRow& Control(ControlId id);

// Controls in ascending tab index: the order of the Tab key and of creation.
std::array<const ControlRow*, kControlCount> ControlsInTabOrder();

// Twips to pixels at `dpi`, rounded to the nearest pixel.
int TwipsToPixels(int twips, int dpi);

// The control's rectangle in pixels, from the top-left corner of its container.
PixelRect ContainerPixelRect(ControlId id, int dpi);

// The control's rectangle in pixels, from the top-left corner of the window's client area;
// a control inside the frame sits at the frame's offset plus its own.
PixelRect ClientPixelRect(ControlId id, int dpi);

// The palette entry of the icon pixel at row `y`, column `x` (0-based).
int IconPaletteIndex(int x, int y);

// The icon in a `size` pixels square: the largest whole multiple of the 16x16 image that fits,
// pixel for pixel, centred. The palette entry at (x, y), or -1 where the square is transparent.
int CentredIconPaletteIndex(int size, int x, int y);

} // namespace zelvo
