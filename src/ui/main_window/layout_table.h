#pragma once
// The main window's design: every control with its kind, design caption,
// position, colours and font, listed front to back (where two controls
// overlap, the one listed first covers the other), and the keyboard focus
// order. Positions are twips (1/1440 inch); at 96 dpi 15 twips make a pixel.
// The three controls inside forcePanel are placed relative to the panel.
// Each control also carries the name it had in the window designer
// ("SSCommand4"), for whoever compares the window with its design.

#include <cstdint>
#include <span>
#include <string>

#include "pricing/price_formula.h"
#include "ui/main_window/control.h"

namespace tanka {

// The controls, front to back; the table in layout_table.cpp says what each
// one is.
enum class ControlId {
    previewButton,
    forcePanel,
    forceButton,
    cancelForceButton,
    forcePanelText,
    storeButton,
    roundingUnitButtons,
    roundingUnitChecks,
    busyBanner,
    conversionKindChecks,
    roundingMethodChecks,
    blinkTimer,
    roundingMethodButtons,
    executeButton,
    destinationButtons,
    conversionKindButtons,
    exitButton,
    retailInUseLabel,
    technicalInUseLabel,
    roundingMethodBox,
    roundingHeading,
    roundingUnitBox,
    slotBoxes,
    rowHeadings,
    arrows,
    retailSourceLabel,
    technicalSourceLabel,
    priceMoveHeading,
    kind2Text,
    warningLabel,
    kind1Text,
    introText,
    workArea,
    titleBanner,
};

// One element of the window: a control, or an element of a control array.
struct ControlRef {
    ControlId id;
    int index = 0;
    friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

enum class ControlKind { Panel, Button, CheckBox, Label, Timer };

// Where a colour comes from: none (transparent, or the default text colour),
// the given RGB value, or the system's highlight-text colour.
enum class ColorSource { None, Rgb, HighlightText };

struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct LayoutEntry {
    ControlRef ref;
    const char* legacy = ""; // name in the window designer: "SSCommand1(2)"
    ControlKind kind = ControlKind::Label;
    const char* caption = "";      // design caption, UTF-8
    const char* formula = nullptr; // appended to the caption: a formula the program computes
    TwipsRect rect{};
    bool inPanel = false;                 // positioned inside forcePanel
    ColorSource back = ColorSource::None; // None: transparent (draws only its text)
    Rgb backColor = 0;
    double points = 9; // font size; the font is always the window font
    bool bold = false;
    bool italic = false;
    ColorSource text = ColorSource::None; // None: the system's window or button text colour
    Rgb textColor = 0;
    bool centred = false; // labels; buttons always centre their caption
    bool framed = false;  // single-line border
    bool visible = true;
    bool enabled = true;
};

inline constexpr int TwipsPerPixel = 15;
inline constexpr int ClientWidthTwips = 11880;
inline constexpr int ClientHeightTwips = 8265;
inline constexpr Rgb WindowBackColor = rgb(0, 128, 128);
inline constexpr int BlinkIntervalMs = 800;
// The window font; where it is missing the view substitutes a Japanese gothic.
inline constexpr const char* WindowFontFamily = "ＭＳ ゴシック";
inline constexpr const char* WindowCaption = "単価変更";

// Texts the window shows while it runs (the design captions are in the
// layout table): the offer of forced execution, and the slot a store's
// switch flag says is in use.
inline constexpr const char* ForceOfferText =
    "単価はA/B共に設定済みです\r\n\r\n強制的に実行する場合は\r\nご利用状況を確認の上\r\n\r\n"
    "こちらを押してから\r\n 実行してください";
inline constexpr const char* InUseAText = "(使用中単価:Ａ)";
inline constexpr const char* InUseBText = "(使用中単価:Ｂ)";

// Front to back.
std::span<const LayoutEntry> layoutTable();
// "executeButton", or "conversionKindButtons(2)" for an element of an array.
std::string controlName(ControlRef ref);
// The entry of one control; every ControlRef of the window has one.
const LayoutEntry& layoutOf(ControlRef ref);
// Keyboard focus order of the controls that can take the focus.
std::span<const ControlRef> tabOrder();

constexpr int twipsToPixels(int twips) {
    return twips / TwipsPerPixel;
}

} // namespace tanka
