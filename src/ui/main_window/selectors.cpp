// The option selectors: conversion kind, rounding method, rounding unit, and
// the check boxes beside their buttons.

#include "ui/main_window/main_form.h"

namespace tanka {
namespace {

// Sets selectorHandlerRunning for the life of a selector handler, clears it
// after (also when a handler raises).
class ClickGuard {
public:
    explicit ClickGuard(bool& flag) : m_flag(flag) { m_flag = true; }
    ~ClickGuard() { m_flag = false; }
    ClickGuard(const ClickGuard&) = delete;
    ClickGuard& operator=(const ClickGuard&) = delete;

private:
    bool& m_flag;
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
    if (group == ControlId::conversionKindChecks)
        onConversionKindCheckClicked(i);
    else if (group == ControlId::roundingMethodChecks)
        onRoundingMethodCheckClicked(i);
    else if (group == ControlId::roundingUnitChecks)
        onRoundingUnitCheckClicked(i);
}

void MainForm::userClickCheck(ControlId group, std::int16_t index) {
    Control& box = m.at({group, index});
    setCheckValue(group, index, box.value == 0 ? 1 : 0);
}

void MainForm::onConversionKindClicked(std::int16_t index) {
    ClickGuard guard(selectorHandlerRunning);
    if (index >= 0 && index <= 3) {
        const int first = index < 2 ? 0 : 2;
        ConversionKind& value = index < 2 ? g.technicalKind : g.retailKind;
        const ConversionKind kind =
            index % 2 == 0 ? ConversionKind::TenPercentIncluded : ConversionKind::TaxExcluded;
        for (int i = first; i < first + 2; ++i) {
            m.conversionKindButtons[static_cast<std::size_t>(i)].backColor =
                colors::UnselectedButton;
            setCheckValue(ControlId::conversionKindChecks, i, 0);
        }
        if (value == kind) {
            value = ConversionKind::None;
        } else {
            value = kind;
            m.conversionKindButtons[static_cast<std::size_t>(index)].backColor =
                colors::SelectedButton;
            setCheckValue(ControlId::conversionKindChecks, index, 1);
        }
    }
    updateExecuteEnabled();
}

namespace {

// Rounding method and unit: three buttons, no deselection; the button's index
// is the choice's code.
template <typename Choice, typename SetCheck>
void selectRounding(std::array<Control, 3>& buttons, ControlId checks, std::int16_t index,
                    Choice& value, SetCheck setCheck) {
    for (int i = 0; i < 3; ++i) {
        buttons[static_cast<std::size_t>(i)].backColor = colors::UnselectedButton;
        setCheck(checks, i, 0);
    }
    value = static_cast<Choice>(index);
    buttons[static_cast<std::size_t>(index)].backColor = colors::SelectedButton;
    setCheck(checks, index, 1);
}

} // namespace

void MainForm::onRoundingMethodClicked(std::int16_t index) {
    ClickGuard guard(selectorHandlerRunning);
    if (index >= 0 && index <= 2)
        selectRounding(m.roundingMethodButtons, ControlId::roundingMethodChecks, index,
                       g.roundingMethod,
                       [this](ControlId c, int i, std::int16_t v) { setCheckValue(c, i, v); });
    updateExecuteEnabled();
}

void MainForm::onRoundingUnitClicked(std::int16_t index) {
    ClickGuard guard(selectorHandlerRunning);
    if (index >= 0 && index <= 2)
        selectRounding(m.roundingUnitButtons, ControlId::roundingUnitChecks, index, g.roundingUnit,
                       [this](ControlId c, int i, std::int16_t v) { setCheckValue(c, i, v); });
    updateExecuteEnabled();
}

void MainForm::onConversionKindCheckClicked(std::int16_t index) {
    if (!selectorHandlerRunning)
        onConversionKindClicked(index);
}

void MainForm::onRoundingMethodCheckClicked(std::int16_t index) {
    if (!selectorHandlerRunning)
        onRoundingMethodClicked(index);
}

void MainForm::onRoundingUnitCheckClicked(std::int16_t index) {
    if (!selectorHandlerRunning)
        onRoundingUnitClicked(index);
}

} // namespace tanka
