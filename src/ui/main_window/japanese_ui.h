#pragma once
// What every window of the program needs of the toolkit: the window font
// "ＭＳ ゴシック" (a Japanese gothic stands in where it is not installed),
// Qt's own Japanese texts, and the message shown when an error ends the
// program.

#include <QFont>
#include <QString>

#include "core/error_text.h"

class QCoreApplication;

namespace tanka {

// Idempotent. Maps the window font to an installed Japanese gothic.
void installWindowFontSubstitution();
// Font substitution plus Qt's Japanese translation (qtbase_ja), when present.
void setupJapaneseUi(QCoreApplication& app);

// The window font at a size in points, measured at 96 dpi (as the layout's
// twips are) so that text keeps its proportion to the controls on any screen.
QFont windowFont(double points, bool bold = false, bool italic = false);

} // namespace tanka
