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
    case ControlId::SSPanel1:
        return single(SSPanel1, i);
    case ControlId::SSCommand7:
        return single(SSCommand7, i);
    case ControlId::SSCommand8:
        return single(SSCommand8, i);
    case ControlId::Label15:
        return single(Label15, i);
    case ControlId::Command2:
        return single(Command2, i);
    case ControlId::SSCommand6:
        return element(SSCommand6, i);
    case ControlId::Check2:
        return element(Check2, i);
    case ControlId::Command1:
        return single(Command1, i);
    case ControlId::Check1:
        return element(Check1, i);
    case ControlId::Check3:
        return element(Check3, i);
    case ControlId::Timer1:
        return single(Timer1, i);
    case ControlId::SSCommand3:
        return element(SSCommand3, i);
    case ControlId::SSCommand4:
        return single(SSCommand4, i);
    case ControlId::SSCommand2:
        return element(SSCommand2, i);
    case ControlId::SSCommand1:
        return element(SSCommand1, i);
    case ControlId::SSCommand5:
        return single(SSCommand5, i);
    case ControlId::Label16:
        return single(Label16, i);
    case ControlId::Label14:
        return single(Label14, i);
    case ControlId::Label10:
        return single(Label10, i);
    case ControlId::Label12:
        return single(Label12, i);
    case ControlId::Label13:
        return single(Label13, i);
    case ControlId::Label9:
        return element(Label9, i);
    case ControlId::Label8:
        return element(Label8, i);
    case ControlId::Label11:
        return element(Label11, i);
    case ControlId::SSPanel8:
        return single(SSPanel8, i);
    case ControlId::SSPanel6:
        return single(SSPanel6, i);
    case ControlId::Label7:
        return single(Label7, i);
    case ControlId::Label3:
        return single(Label3, i);
    case ControlId::Label4:
        return single(Label4, i);
    case ControlId::Label2:
        return single(Label2, i);
    case ControlId::Label1:
        return single(Label1, i);
    case ControlId::Label6:
        return single(Label6, i);
    case ControlId::Label5:
        return single(Label5, i);
    }
    throw std::out_of_range("unknown control");
}

void WindowModel::enableSelectors() {
    for (Control& c : SSCommand1)
        c.enabled = true;
    for (Control& c : Check1)
        c.enabled = true;
    SSCommand2[0].enabled = true;
    SSCommand2[1].enabled = true;
}

} // namespace tanka
