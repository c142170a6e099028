#include "ui/main_window/layout_table.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

namespace tanka {
namespace {

using enum ControlId;

constexpr Rgb Cyan = rgb(192, 255, 255);
constexpr Rgb Green = rgb(192, 255, 192);
constexpr Rgb Cream = rgb(255, 255, 192);
constexpr Rgb Lilac = rgb(192, 192, 255);
constexpr Rgb Salmon = rgb(255, 128, 128);
constexpr Rgb Red = rgb(255, 0, 0);

constexpr LayoutEntry button(ControlRef ref, const char* legacy, const char* caption,
                             TwipsRect rect, Rgb back, double points, bool bold = false) {
    return {.ref = ref,
            .legacy = legacy,
            .kind = ControlKind::Button,
            .caption = caption,
            .rect = rect,
            .back = ColorSource::Rgb,
            .backColor = back,
            .points = points,
            .bold = bold};
}

constexpr LayoutEntry checkBox(ControlRef ref, const char* legacy, TwipsRect rect) {
    return {.ref = ref,
            .legacy = legacy,
            .kind = ControlKind::CheckBox,
            .rect = rect,
            .back = ColorSource::Rgb,
            .backColor = Cyan};
}

// A framed label on a coloured ground.
constexpr LayoutEntry box(ControlRef ref, const char* legacy, const char* caption, TwipsRect rect,
                          Rgb back, double points = 9) {
    return {.ref = ref,
            .legacy = legacy,
            .caption = caption,
            .rect = rect,
            .back = ColorSource::Rgb,
            .backColor = back,
            .points = points,
            .centred = true,
            .framed = true};
}

// A transparent label of explanatory text, 12 pt bold.
constexpr LayoutEntry text(ControlRef ref, const char* legacy, const char* caption,
                           TwipsRect rect) {
    return {
        .ref = ref, .legacy = legacy, .caption = caption, .rect = rect, .points = 12, .bold = true};
}

// An explanatory text ending in the formula the program computes.
constexpr LayoutEntry formulaText(ControlRef ref, const char* legacy, const char* caption,
                                  const char* formula, TwipsRect rect) {
    LayoutEntry e = text(ref, legacy, caption, rect);
    e.formula = formula;
    return e;
}

// A label showing a slot in large type ("技術単価Ａ"); its ground is the
// system's highlight-text colour.
constexpr LayoutEntry slotLabel(ControlRef ref, const char* legacy, const char* caption,
                                TwipsRect rect) {
    return {.ref = ref,
            .legacy = legacy,
            .caption = caption,
            .rect = rect,
            .back = ColorSource::HighlightText,
            .points = 18,
            .centred = true};
}

// A red, centred line over a slot: the slot the store uses.
constexpr LayoutEntry inUse(ControlRef ref, const char* legacy, TwipsRect rect) {
    return {.ref = ref,
            .legacy = legacy,
            .caption = "使用中単価Ａ",
            .rect = rect,
            .points = 14.25,
            .bold = true,
            .text = ColorSource::Rgb,
            .textColor = Red,
            .centred = true,
            .visible = false};
}

constexpr LayoutEntry inPanel(LayoutEntry e) {
    e.inPanel = true;
    return e;
}
constexpr LayoutEntry hidden(LayoutEntry e) {
    e.visible = false;
    return e;
}
constexpr LayoutEntry disabled(LayoutEntry e) {
    e.enabled = false;
    return e;
}
constexpr LayoutEntry redText(LayoutEntry e) {
    e.text = ColorSource::Rgb;
    e.textColor = Red;
    return e;
}

// The window, front to back: one line per control with its name here, its
// name in the window designer, design caption and position (left, top,
// width, height in twips). previewButton has no designer counterpart: it sits
// in space no other control uses, below executeButton.
// clang-format off
constexpr std::array Table{
    disabled(button({previewButton},          "",              "確認",         {10410, 7530, 1305, 525}, Lilac, 18)),
    LayoutEntry{.ref = {forcePanel}, .legacy = "SSPanel1", .kind = ControlKind::Panel, .rect = {8250, 870, 3525, 3285}, .back = ColorSource::Rgb, .backColor = rgb(255, 224, 192)},
    inPanel(button({forceButton},             "SSCommand7",    "強制実行",     {780, 2610, 2055, 525},   Salmon, 18)),
    inPanel(button({cancelForceButton},       "SSCommand8",    "取消",         {0, 0, 945, 525},         Lilac, 18)),
    inPanel(text({forcePanelText},            "Label15",       "",             {180, 750, 3225, 1695})),
    button({storeButton},                     "Command2",      "店舗選択",     {7980, 7530, 2355, 525},  rgb(255, 192, 128), 18),
    button({roundingUnitButtons, 2},          "SSCommand6(2)", "１００円未満", {6360, 6660, 1695, 555},  Green, 12, true),
    checkBox({roundingUnitChecks, 2},         "Check2(2)",                     {8130, 6750, 255, 375}),
    hidden(button({busyBanner},               "Command1",      "処理中です",   {2460, 2190, 6255, 3015}, Salmon, 27.75)),
    checkBox({conversionKindChecks, 3},       "Check1(3)",                     {7710, 3600, 285, 315}),
    checkBox({conversionKindChecks, 2},       "Check1(2)",                     {7710, 2250, 285, 315}),
    checkBox({conversionKindChecks, 1},       "Check1(1)",                     {3840, 3600, 285, 315}),
    checkBox({conversionKindChecks, 0},       "Check1(0)",                     {3840, 2250, 285, 315}),
    checkBox({roundingMethodChecks, 2},       "Check3(2)",                     {10050, 6780, 255, 315}),
    checkBox({roundingMethodChecks, 1},       "Check3(1)",                     {10050, 5940, 255, 315}),
    checkBox({roundingMethodChecks, 0},       "Check3(0)",                     {10050, 5100, 255, 315}),
    checkBox({roundingUnitChecks, 1},         "Check2(1)",                     {8130, 5910, 255, 375}),
    checkBox({roundingUnitChecks, 0},         "Check2(0)",                     {8130, 5100, 255, 375}),
    LayoutEntry{.ref = {blinkTimer}, .legacy = "Timer1", .kind = ControlKind::Timer, .enabled = false},
    button({roundingMethodButtons, 0},        "SSCommand3(0)", "切り捨て",     {8550, 4980, 1425, 555},  Green, 14.25, true),
    button({roundingMethodButtons, 1},        "SSCommand3(1)", "切り上げ",     {8580, 5820, 1395, 555},  Green, 14.25, true),
    button({roundingMethodButtons, 2},        "SSCommand3(2)", "四捨五入",     {8580, 6660, 1395, 555},  Green, 14.25, true),
    disabled(button({executeButton},          "SSCommand4",    "実行",         {10410, 4740, 1305, 2715}, rgb(255, 128, 255), 18)),
    button({roundingUnitButtons, 1},          "SSCommand6(1)", "１０円未満",   {6360, 5820, 1695, 555},  Green, 14.25, true),
    button({roundingUnitButtons, 0},          "SSCommand6(0)", "１円未満",     {6360, 5010, 1695, 555},  Green, 14.25, true),
    button({destinationButtons, 1},           "SSCommand2(1)", "店販単価Ｂ",   {3780, 6690, 2145, 495},  Lilac, 18),
    button({destinationButtons, 0},           "SSCommand2(0)", "技術単価Ｂ",   {1020, 6690, 2145, 495},  Lilac, 18),
    button({conversionKindButtons, 3},        "SSCommand1(3)", "店販を変更",   {4500, 3450, 2925, 675},  Green, 18),
    button({conversionKindButtons, 2},        "SSCommand1(2)", "店販を変更",   {4500, 2070, 2925, 675},  Green, 18),
    button({conversionKindButtons, 1},        "SSCommand1(1)", "技術を変更",   {690, 3450, 2925, 675},   Green, 18),
    button({conversionKindButtons, 0},        "SSCommand1(0)", "技術を変更",   {690, 2070, 2925, 675},   Green, 18),
    button({exitButton},                      "SSCommand5",    "終了",         {150, 90, 1395, 705},     Lilac, 18),
    inUse({retailInUseLabel},                 "Label16",                       {3570, 5460, 2655, 375}),
    inUse({technicalInUseLabel},              "Label14",                       {780, 5460, 2655, 375}),
    box({roundingMethodBox},                  "Label10",       "",             {8460, 4740, 1875, 2745}, Cyan),
    box({roundingHeading},                    "Label12",       "端数処理",     {6300, 4290, 4035, 435},  Cream, 18),
    box({roundingUnitBox},                    "Label13",       "",             {6300, 4740, 2145, 2745}, Cyan),
    box({slotBoxes, 3},                       "Label9(3)",     "",             {3510, 6330, 2745, 1155}, Cyan),
    box({slotBoxes, 2},                       "Label9(2)",     "",             {750, 6330, 2745, 1155},  Cyan),
    box({rowHeadings, 1},                     "Label8(1)",     "変更後",       {240, 6330, 495, 1155},   Cream, 18),
    box({arrows, 1},                          "Label11(1)",    "↓",            {3510, 5910, 2745, 405},  Cyan, 18),
    slotLabel({retailSourceLabel},            "SSPanel8",      "店販単価Ａ",   {3810, 5040, 2085, 375}),
    box({slotBoxes, 1},                       "Label9(1)",     "",             {3510, 4740, 2745, 1155}, Cyan),
    box({arrows, 0},                          "Label11(0)",    "↓",            {240, 5910, 3255, 405},   Cyan, 18),
    slotLabel({technicalSourceLabel},         "SSPanel6",      "技術単価Ａ",   {1050, 5040, 2085, 375}),
    box({slotBoxes, 0},                       "Label9(0)",     "",             {750, 4740, 2745, 1155},  Cyan),
    box({rowHeadings, 0},                     "Label8(0)",     "変更前",       {240, 4740, 495, 1155},   Cream, 18),
    box({priceMoveHeading},                   "Label7",        "単価移動",     {240, 4290, 6015, 435},   Cream, 18),
    formulaText({kind2Text},                  "Label3",        "２．内税の８％単価を外税（税抜き）単価に変更。\r\n　　計算式：", TaxExcludedFormulaText, {210, 2850, 11475, 525}),
    redText(text({warningLabel},              "Label4",        "",             {360, 7560, 11475, 405})),
    formulaText({kind1Text},                  "Label2",        "１．内税の８％単価を１０％単価に変更。\r\n　　計算式：", TenPercentFormulaText, {180, 1440, 11475, 525}),
    text({introText},                         "Label1",        "※技術及び店販メニューの現行単価を変更します。\r\n　下記１・２のいずれかを選択して下さい。", {180, 870, 11475, 525}),
    LayoutEntry{.ref = {workArea}, .legacy = "Label6", .rect = {120, 840, 11685, 7245}, .back = ColorSource::Rgb, .backColor = Cyan},
    LayoutEntry{.ref = {titleBanner}, .legacy = "Label5", .caption = "単価変更", .rect = {1560, 90, 10215, 675}, .back = ColorSource::Rgb, .backColor = rgb(0, 0, 255), .points = 27.75, .italic = true, .text = ColorSource::HighlightText, .centred = true, .framed = true},
};
// clang-format on

// The names of ControlId, in its order.
constexpr const char* IdNames[] = {
    "previewButton",
    "forcePanel",
    "forceButton",
    "cancelForceButton",
    "forcePanelText",
    "storeButton",
    "roundingUnitButtons",
    "roundingUnitChecks",
    "busyBanner",
    "conversionKindChecks",
    "roundingMethodChecks",
    "blinkTimer",
    "roundingMethodButtons",
    "executeButton",
    "destinationButtons",
    "conversionKindButtons",
    "exitButton",
    "retailInUseLabel",
    "technicalInUseLabel",
    "roundingMethodBox",
    "roundingHeading",
    "roundingUnitBox",
    "slotBoxes",
    "rowHeadings",
    "arrows",
    "retailSourceLabel",
    "technicalSourceLabel",
    "priceMoveHeading",
    "kind2Text",
    "warningLabel",
    "kind1Text",
    "introText",
    "workArea",
    "titleBanner",
};
static_assert(std::size(IdNames) == static_cast<std::size_t>(titleBanner) + 1);

constexpr ControlRef TabOrder[] = {
    {exitButton},
    {conversionKindButtons, 0},
    {conversionKindButtons, 1},
    {conversionKindButtons, 2},
    {conversionKindButtons, 3},
    {destinationButtons, 0},
    {destinationButtons, 1},
    {roundingUnitButtons, 0},
    {roundingUnitButtons, 1},
    {executeButton},
    {roundingMethodButtons, 2},
    {roundingMethodButtons, 1},
    {roundingMethodButtons, 0},
    {busyBanner},
    {conversionKindChecks, 0},
    {conversionKindChecks, 1},
    {conversionKindChecks, 2},
    {conversionKindChecks, 3},
    {roundingUnitChecks, 0},
    {roundingUnitChecks, 1},
    {roundingMethodChecks, 0},
    {roundingMethodChecks, 1},
    {roundingMethodChecks, 2},
    {roundingUnitChecks, 2},
    {roundingUnitButtons, 2},
    {storeButton},
    {forceButton},
    {cancelForceButton},
    {previewButton},
};

} // namespace

std::span<const LayoutEntry> layoutTable() {
    return Table;
}

std::string controlName(ControlRef ref) {
    std::string name = IdNames[static_cast<std::size_t>(ref.id)];
    // Elements of a control array carry their index, as in the designer.
    if (std::string_view(layoutOf(ref).legacy).find('(') != std::string_view::npos)
        name += '(' + std::to_string(ref.index) + ')';
    return name;
}

const LayoutEntry& layoutOf(ControlRef ref) {
    const auto it = std::find_if(Table.begin(), Table.end(),
                                 [ref](const LayoutEntry& e) { return e.ref == ref; });
    if (it == Table.end())
        throw std::out_of_range("no such control in the main window");
    return *it;
}

std::span<const ControlRef> tabOrder() {
    return TabOrder;
}

} // namespace tanka
