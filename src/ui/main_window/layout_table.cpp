#include "ui/main_window/layout_table.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace tanka {
namespace {

using enum ControlId;

constexpr Rgb Cyan = rgb(192, 255, 255);
constexpr Rgb Green = rgb(192, 255, 192);
constexpr Rgb Cream = rgb(255, 255, 192);
constexpr Rgb Lilac = rgb(192, 192, 255);
constexpr Rgb Salmon = rgb(255, 128, 128);
constexpr Rgb Red = rgb(255, 0, 0);

constexpr LayoutEntry button(ControlRef ref, const char* name, const char* caption, TwipsRect rect,
                             Rgb back, double points, bool bold = false) {
    return {.ref = ref,
            .name = name,
            .kind = ControlKind::Button,
            .caption = caption,
            .rect = rect,
            .back = ColorSource::Rgb,
            .backColor = back,
            .points = points,
            .bold = bold};
}

constexpr LayoutEntry checkBox(ControlRef ref, const char* name, TwipsRect rect) {
    return {.ref = ref,
            .name = name,
            .kind = ControlKind::CheckBox,
            .rect = rect,
            .back = ColorSource::Rgb,
            .backColor = Cyan};
}

// A framed label on a coloured ground.
constexpr LayoutEntry box(ControlRef ref, const char* name, const char* caption, TwipsRect rect,
                          Rgb back, double points = 9) {
    return {.ref = ref,
            .name = name,
            .caption = caption,
            .rect = rect,
            .back = ColorSource::Rgb,
            .backColor = back,
            .points = points,
            .centred = true,
            .framed = true};
}

// A transparent label of explanatory text, 12 pt bold.
constexpr LayoutEntry text(ControlRef ref, const char* name, const char* caption, TwipsRect rect) {
    return {.ref = ref, .name = name, .caption = caption, .rect = rect, .points = 12, .bold = true};
}

constexpr std::array Table{
    LayoutEntry{.ref = {SSPanel1},
                .name = "SSPanel1",
                .kind = ControlKind::Panel,
                .rect = {8250, 870, 3525, 3285},
                .back = ColorSource::Rgb,
                .backColor = rgb(255, 224, 192)},
    [] {
        auto e = button({SSCommand7}, "SSCommand7", "強制実行", {780, 2610, 2055, 525}, Salmon, 18);
        e.inPanel = true;
        return e;
    }(),
    [] {
        auto e = button({SSCommand8}, "SSCommand8", "取消", {0, 0, 945, 525}, Lilac, 18);
        e.inPanel = true;
        return e;
    }(),
    [] {
        auto e = text({Label15}, "Label15", "", {180, 750, 3225, 1695});
        e.inPanel = true;
        return e;
    }(),
    button({Command2}, "Command2", "店舗選択", {7980, 7530, 2355, 525}, rgb(255, 192, 128), 18),
    button({SSCommand6, 2}, "SSCommand6(2)", "１００円未満", {6360, 6660, 1695, 555}, Green, 12,
           true),
    checkBox({Check2, 2}, "Check2(2)", {8130, 6750, 255, 375}),
    [] {
        auto e =
            button({Command1}, "Command1", "処理中です", {2460, 2190, 6255, 3015}, Salmon, 27.75);
        e.visible = false;
        return e;
    }(),
    checkBox({Check1, 3}, "Check1(3)", {7710, 3600, 285, 315}),
    checkBox({Check1, 2}, "Check1(2)", {7710, 2250, 285, 315}),
    checkBox({Check1, 1}, "Check1(1)", {3840, 3600, 285, 315}),
    checkBox({Check1, 0}, "Check1(0)", {3840, 2250, 285, 315}),
    checkBox({Check3, 2}, "Check3(2)", {10050, 6780, 255, 315}),
    checkBox({Check3, 1}, "Check3(1)", {10050, 5940, 255, 315}),
    checkBox({Check3, 0}, "Check3(0)", {10050, 5100, 255, 315}),
    checkBox({Check2, 1}, "Check2(1)", {8130, 5910, 255, 375}),
    checkBox({Check2, 0}, "Check2(0)", {8130, 5100, 255, 375}),
    LayoutEntry{.ref = {Timer1}, .name = "Timer1", .kind = ControlKind::Timer, .enabled = false},
    button({SSCommand3, 0}, "SSCommand3(0)", "切り捨て", {8550, 4980, 1425, 555}, Green, 14.25,
           true),
    button({SSCommand3, 1}, "SSCommand3(1)", "切り上げ", {8580, 5820, 1395, 555}, Green, 14.25,
           true),
    button({SSCommand3, 2}, "SSCommand3(2)", "四捨五入", {8580, 6660, 1395, 555}, Green, 14.25,
           true),
    [] {
        auto e = button({SSCommand4}, "SSCommand4", "実行", {10410, 4740, 1305, 2715},
                        rgb(255, 128, 255), 18);
        e.enabled = false;
        return e;
    }(),
    button({SSCommand6, 1}, "SSCommand6(1)", "１０円未満", {6360, 5820, 1695, 555}, Green, 14.25,
           true),
    button({SSCommand6, 0}, "SSCommand6(0)", "１円未満", {6360, 5010, 1695, 555}, Green, 14.25,
           true),
    button({SSCommand2, 1}, "SSCommand2(1)", "店販単価Ｂ", {3780, 6690, 2145, 495}, Lilac, 18),
    button({SSCommand2, 0}, "SSCommand2(0)", "技術単価Ｂ", {1020, 6690, 2145, 495}, Lilac, 18),
    button({SSCommand1, 3}, "SSCommand1(3)", "店販を変更", {4500, 3450, 2925, 675}, Green, 18),
    button({SSCommand1, 2}, "SSCommand1(2)", "店販を変更", {4500, 2070, 2925, 675}, Green, 18),
    button({SSCommand1, 1}, "SSCommand1(1)", "技術を変更", {690, 3450, 2925, 675}, Green, 18),
    button({SSCommand1, 0}, "SSCommand1(0)", "技術を変更", {690, 2070, 2925, 675}, Green, 18),
    button({SSCommand5}, "SSCommand5", "終了", {150, 90, 1395, 705}, Lilac, 18),
    LayoutEntry{.ref = {Label16},
                .name = "Label16",
                .caption = "使用中単価Ａ",
                .rect = {3570, 5460, 2655, 375},
                .points = 14.25,
                .bold = true,
                .text = ColorSource::Rgb,
                .textColor = Red,
                .centred = true,
                .visible = false},
    LayoutEntry{.ref = {Label14},
                .name = "Label14",
                .caption = "使用中単価Ａ",
                .rect = {780, 5460, 2655, 375},
                .points = 14.25,
                .bold = true,
                .text = ColorSource::Rgb,
                .textColor = Red,
                .centred = true,
                .visible = false},
    box({Label10}, "Label10", "", {8460, 4740, 1875, 2745}, Cyan),
    box({Label12}, "Label12", "端数処理", {6300, 4290, 4035, 435}, Cream, 18),
    box({Label13}, "Label13", "", {6300, 4740, 2145, 2745}, Cyan),
    box({Label9, 3}, "Label9(3)", "", {3510, 6330, 2745, 1155}, Cyan),
    box({Label9, 2}, "Label9(2)", "", {750, 6330, 2745, 1155}, Cyan),
    box({Label8, 1}, "Label8(1)", "変更後", {240, 6330, 495, 1155}, Cream, 18),
    box({Label11, 1}, "Label11(1)", "↓", {3510, 5910, 2745, 405}, Cyan, 18),
    LayoutEntry{.ref = {SSPanel8},
                .name = "SSPanel8",
                .caption = "店販単価Ａ",
                .rect = {3810, 5040, 2085, 375},
                .back = ColorSource::HighlightText,
                .points = 18,
                .centred = true},
    box({Label9, 1}, "Label9(1)", "", {3510, 4740, 2745, 1155}, Cyan),
    box({Label11, 0}, "Label11(0)", "↓", {240, 5910, 3255, 405}, Cyan, 18),
    LayoutEntry{.ref = {SSPanel6},
                .name = "SSPanel6",
                .caption = "技術単価Ａ",
                .rect = {1050, 5040, 2085, 375},
                .back = ColorSource::HighlightText,
                .points = 18,
                .centred = true},
    box({Label9, 0}, "Label9(0)", "", {750, 4740, 2745, 1155}, Cyan),
    box({Label8, 0}, "Label8(0)", "変更前", {240, 4740, 495, 1155}, Cream, 18),
    box({Label7}, "Label7", "単価移動", {240, 4290, 6015, 435}, Cream, 18),
    text({Label3}, "Label3", "label3", {210, 2850, 11475, 525}),
    [] {
        auto e = text({Label4}, "Label4", "label2", {360, 7560, 11475, 405});
        e.text = ColorSource::Rgb;
        e.textColor = Red;
        return e;
    }(),
    text({Label2}, "Label2", "label2", {180, 1440, 11475, 525}),
    text({Label1}, "Label1", "label1", {180, 870, 11475, 525}),
    LayoutEntry{.ref = {Label6},
                .name = "Label6",
                .rect = {120, 840, 11685, 7245},
                .back = ColorSource::Rgb,
                .backColor = Cyan},
    LayoutEntry{.ref = {Label5},
                .name = "Label5",
                .caption = "単価変更",
                .rect = {1560, 90, 10215, 675},
                .back = ColorSource::Rgb,
                .backColor = rgb(0, 0, 255),
                .points = 27.75,
                .italic = true,
                .text = ColorSource::HighlightText,
                .centred = true,
                .framed = true},
};

constexpr ControlRef TabOrder[] = {
    {SSCommand5},    {SSCommand1, 0}, {SSCommand1, 1}, {SSCommand1, 2}, {SSCommand1, 3},
    {SSCommand2, 0}, {SSCommand2, 1}, {SSCommand6, 0}, {SSCommand6, 1}, {SSCommand4},
    {SSCommand3, 2}, {SSCommand3, 1}, {SSCommand3, 0}, {Command1},      {Check1, 0},
    {Check1, 1},     {Check1, 2},     {Check1, 3},     {Check2, 0},     {Check2, 1},
    {Check3, 0},     {Check3, 1},     {Check3, 2},     {Check2, 2},     {SSCommand6, 2},
    {Command2},      {SSCommand7},    {SSCommand8},
};

} // namespace

std::span<const LayoutEntry> layoutTable() {
    return Table;
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
