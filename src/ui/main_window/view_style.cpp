#include "ui/main_window/view_style.h"

namespace tanka {
namespace {

QString css(QColor c) {
    return QStringLiteral("rgb(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

QString selector(const LayoutEntry& e, const char* type) {
    return QStringLiteral("%1#%2").arg(QLatin1String(type), objectNameOf(e));
}

} // namespace

QString objectNameOf(const LayoutEntry& entry) {
    return QString::fromStdString(controlName(entry.ref))
        .replace(QLatin1Char('('), QLatin1Char('_'))
        .remove(QLatin1Char(')'));
}

QColor toQColor(Rgb c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

QString controlStyleSheet(const LayoutEntry& e, const Control& c, QColor highlightText) {
    const QColor back =
        e.back == ColorSource::HighlightText ? highlightText : toQColor(c.backColor);
    const QColor text = e.text == ColorSource::Rgb             ? toQColor(e.textColor)
                        : e.text == ColorSource::HighlightText ? highlightText
                                                               : QColor(Qt::black);
    switch (e.kind) {
    case ControlKind::Button: {
        // Raised when up, sunk when pressed; grey text when disabled.
        const QString s = selector(e, "QPushButton");
        return QStringLiteral("%1 { background-color: %2; color: %3; border: 2px outset %4; }"
                              "%1:pressed { border-style: inset; }"
                              "%1:focus { border: 2px solid rgb(0, 0, 0); }"
                              "%1:disabled { color: rgb(128, 128, 128); border: 2px outset %4; }")
            .arg(s, css(back), css(text), css(back.darker(115)));
    }
    case ControlKind::CheckBox:
        return QStringLiteral("%1 { background-color: %2; }")
            .arg(selector(e, "QCheckBox"), css(back));
    case ControlKind::Panel:
        return QStringLiteral("%1 { background-color: %2; border: 2px outset %3; }")
            .arg(selector(e, "QFrame"), css(back), css(back.darker(120)));
    case ControlKind::Label: {
        const QString ground =
            e.back == ColorSource::None ? QStringLiteral("transparent") : css(back);
        const QString border =
            e.framed ? QStringLiteral("1px solid rgb(0, 0, 0)") : QStringLiteral("none");
        return QStringLiteral("%1 { background-color: %2; color: %3; border: %4; }")
            .arg(selector(e, "QLabel"), ground, css(text), border);
    }
    case ControlKind::Timer:
        break;
    }
    return {};
}

} // namespace tanka
