#pragma once
// A label that lays its caption out as the window's labels always did: lines
// wrapped to the label's width, one line every em (the font's pixel size),
// from the top. Fonts substituted for "ＭＳ ゴシック" are taller than its
// cell, and with their own line spacing multi-line captions would no longer
// fit the layout's boxes.

#include <QLabel>

namespace tanka {

class CaptionLabel final : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tanka
