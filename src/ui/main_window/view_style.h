#pragma once
// Style sheets that give the widgets the look of the layout table: background
// colours (buttons in the graphical style), borders, text colours.

#include <QColor>
#include <QString>

#include "ui/main_window/control.h"
#include "ui/main_window/layout_table.h"

namespace tanka {

QColor toQColor(Rgb c);

// The widget's object name: "conversionKindButtons(2)" becomes "conversionKindButtons_2".
QString objectNameOf(const LayoutEntry& entry);

// The style sheet of one control in its current state. highlightText is the
// system's highlight-text colour. The sheet names the widget's object name,
// so it never reaches a child.
QString controlStyleSheet(const LayoutEntry& entry, const Control& control, QColor highlightText);

} // namespace tanka
