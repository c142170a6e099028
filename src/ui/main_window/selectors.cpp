// The option selectors: conversion kind, rounding method, rounding unit, and
// the check boxes beside their buttons.

#include "ui/main_window/main_form.h"

namespace tanka {
namespace {

// Sets ClickFlg to 9 for the life of a selector handler, back to 0 after it
// (also when a handler raises).
class ClickGuard {
public:
    explicit ClickGuard(std::int16_t& flag) : m_flag(flag) { m_flag = 9; }
    ~ClickGuard() { m_flag = 0; }
    ClickGuard(const ClickGuard&) = delete;
    ClickGuard& operator=(const ClickGuard&) = delete;

private:
    std::int16_t& m_flag;
};

} // namespace

// A value set from code raises the box's click event, as the toolkit did,
// but only when the value changes.
void MainForm::setCheckValue(ControlId group, int index, std::int16_t value) {
    Control& box = m.at({group, index});
    if (box.value == value)
        return;
    box.value = value;
    const auto i = static_cast<std::int16_t>(index);
    if (group == ControlId::Check1)
        Check1_Click(i);
    else if (group == ControlId::Check3)
        Check3_Click(i);
    else if (group == ControlId::Check2)
        Check2_Click(i);
}

void MainForm::userClickCheck(ControlId group, std::int16_t Index) {
    Control& box = m.at({group, Index});
    setCheckValue(group, Index, box.value == 0 ? 1 : 0);
}

void MainForm::SSCommand1_Click(std::int16_t Index) {
    ClickGuard guard(ClickFlg);
    if (Index >= 0 && Index <= 3) {
        const int first = Index < 2 ? 0 : 2;
        std::int16_t& value = Index < 2 ? g.GijuMode : g.TenMode;
        const std::int16_t kind = Index % 2 == 0 ? 1 : 2;
        for (int i = first; i < first + 2; ++i) {
            m.SSCommand1[static_cast<std::size_t>(i)].backColor = colors::UnselectedButton;
            setCheckValue(ControlId::Check1, i, 0);
        }
        if (value == kind) {
            value = -1;
        } else {
            value = kind;
            m.SSCommand1[static_cast<std::size_t>(Index)].backColor = colors::SelectedButton;
            setCheckValue(ControlId::Check1, Index, 1);
        }
    }
    Check_Job();
}

namespace {

// Rounding method and unit: three buttons, no deselection.
template <typename SetCheck>
void selectRounding(std::array<Control, 3>& buttons, ControlId checks, std::int16_t Index,
                    std::int16_t& value, SetCheck setCheck) {
    for (int i = 0; i < 3; ++i) {
        buttons[static_cast<std::size_t>(i)].backColor = colors::UnselectedButton;
        setCheck(checks, i, 0);
    }
    value = Index;
    buttons[static_cast<std::size_t>(Index)].backColor = colors::SelectedButton;
    setCheck(checks, Index, 1);
}

} // namespace

void MainForm::SSCommand3_Click(std::int16_t Index) {
    ClickGuard guard(ClickFlg);
    if (Index >= 0 && Index <= 2)
        selectRounding(m.SSCommand3, ControlId::Check3, Index, g.HasuMode,
                       [this](ControlId c, int i, std::int16_t v) { setCheckValue(c, i, v); });
    Check_Job();
}

void MainForm::SSCommand6_Click(std::int16_t Index) {
    ClickGuard guard(ClickFlg);
    if (Index >= 0 && Index <= 2)
        selectRounding(m.SSCommand6, ControlId::Check2, Index, g.HasuTani,
                       [this](ControlId c, int i, std::int16_t v) { setCheckValue(c, i, v); });
    Check_Job();
}

void MainForm::Check1_Click(std::int16_t Index) {
    if (ClickFlg == 0)
        SSCommand1_Click(Index);
}

void MainForm::Check3_Click(std::int16_t Index) {
    if (ClickFlg == 0)
        SSCommand3_Click(Index);
}

void MainForm::Check2_Click(std::int16_t Index) {
    if (ClickFlg == 0)
        SSCommand6_Click(Index);
}

} // namespace tanka
