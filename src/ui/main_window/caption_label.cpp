#include "ui/main_window/caption_label.h"

#include <algorithm>

#include <QPainter>
#include <QTextLayout>

namespace tanka {

void CaptionLabel::paintEvent(QPaintEvent*) {
    // The background comes with the style sheet; the border is the frame's.
    QPainter painter(this);
    drawFrame(&painter);

    const QRect area = contentsRect();
    const int lineStep = font().pixelSize() > 0 ? font().pixelSize() : fontMetrics().height();
    QTextOption textOption(alignment() & Qt::AlignHorizontal_Mask);
    textOption.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.setPen(palette().color(foregroundRole()));

    qreal y = area.top();
    for (const QString& paragraph : text().split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font());
        layout.setTextOption(textOption);
        layout.beginLayout();
        int lines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(area.width());
            line.setPosition(QPointF(0, lineStep * lines));
            ++lines;
        }
        layout.endLayout();
        layout.draw(&painter, QPointF(area.left(), y));
        y += lineStep * std::max(lines, 1);
    }
}

} // namespace tanka
