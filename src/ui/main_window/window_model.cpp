#include "ui/main_window/window_model.h"

#include <stdexcept>

namespace tanka {
namespace {

template <std::size_t N> Control& element(std::array<Control, N>& arr, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N)
        throw std::out_of_range("control array index out of range");
    return arr[static_cast<std::size_t>(index)];
}

Control& single(Control& c, int index) {
    if (index != 0)
        throw std::out_of_range("not a control array");
    return c;
}

} // namespace

WindowModel::WindowModel() : caption(QString::fromUtf8(WindowCaption)) {
    for (const LayoutEntry& e : layoutTable()) {
        Control& c = at(e.ref);
        c.caption = QString::fromUtf8(e.caption);
        if (e.formula)
            c.caption += QString::fromUtf8(e.formula);
        c.backColor = e.back == ColorSource::Rgb ? e.backColor : 0;
        c.enabled = e.enabled;
        c.visible = e.visible;
        c.value = 0;
    }
}

const Control& WindowModel::at(ControlRef ref) const {
    return const_cast<WindowModel*>(this)->at(ref);
}

Control& WindowModel::at(ControlRef ref) {
    const int i = ref.index;
    switch (ref.id) {
    case ControlId::previewButton:
        return single(previewButton, i);
    case ControlId::forcePanel:
        return single(forcePanel, i);
    case ControlId::forceButton:
        return single(forceButton, i);
    case ControlId::cancelForceButton:
        return single(cancelForceButton, i);
    case ControlId::forcePanelText:
        return single(forcePanelText, i);
    case ControlId::storeButton:
        return single(storeButton, i);
    case ControlId::roundingUnitButtons:
        return element(roundingUnitButtons, i);
    case ControlId::roundingUnitChecks:
        return element(roundingUnitChecks, i);
    case ControlId::busyBanner:
        return single(busyBanner, i);
    case ControlId::conversionKindChecks:
        return element(conversionKindChecks, i);
    case ControlId::roundingMethodChecks:
        return element(roundingMethodChecks, i);
    case ControlId::blinkTimer:
        return single(blinkTimer, i);
    case ControlId::roundingMethodButtons:
        return element(roundingMethodButtons, i);
    case ControlId::executeButton:
        return single(executeButton, i);
    case ControlId::destinationButtons:
        return element(destinationButtons, i);
    case ControlId::conversionKindButtons:
        return element(conversionKindButtons, i);
    case ControlId::exitButton:
        return single(exitButton, i);
    case ControlId::retailInUseLabel:
        return single(retailInUseLabel, i);
    case ControlId::technicalInUseLabel:
        return single(technicalInUseLabel, i);
    case ControlId::roundingMethodBox:
        return single(roundingMethodBox, i);
    case ControlId::roundingHeading:
        return single(roundingHeading, i);
    case ControlId::roundingUnitBox:
        return single(roundingUnitBox, i);
    case ControlId::slotBoxes:
        return element(slotBoxes, i);
    case ControlId::rowHeadings:
        return element(rowHeadings, i);
    case ControlId::arrows:
        return element(arrows, i);
    case ControlId::retailSourceLabel:
        return single(retailSourceLabel, i);
    case ControlId::technicalSourceLabel:
        return single(technicalSourceLabel, i);
    case ControlId::priceMoveHeading:
        return single(priceMoveHeading, i);
    case ControlId::kind2Text:
        return single(kind2Text, i);
    case ControlId::warningLabel:
        return single(warningLabel, i);
    case ControlId::kind1Text:
        return single(kind1Text, i);
    case ControlId::introText:
        return single(introText, i);
    case ControlId::workArea:
        return single(workArea, i);
    case ControlId::titleBanner:
        return single(titleBanner, i);
    }
    throw std::out_of_range("unknown control");
}

void WindowModel::enableSelectors() {
    for (Control& c : conversionKindButtons)
        c.enabled = true;
    for (Control& c : conversionKindChecks)
        c.enabled = true;
    destinationButtons[0].enabled = true;
    destinationButtons[1].enabled = true;
}

} // namespace tanka
