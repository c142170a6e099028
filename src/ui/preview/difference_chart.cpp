#include "ui/preview/difference_chart.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

namespace tanka {

namespace {

const QColor technicalColor(70, 110, 180);
const QColor retailColor(90, 160, 110);
const QColor currentBackground(255, 236, 170);

} // namespace

DifferenceChart::DifferenceChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("differenceChart"));
    setMinimumHeight(130);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DifferenceChart::setFigures(std::vector<RoundingFigures> figures, Rounding current) {
    m_figures = std::move(figures);
    m_current = current;
    update();
}

QSize DifferenceChart::sizeHint() const {
    return {600, 160};
}

void DifferenceChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    const auto roundings = allRoundings();
    const int groups = static_cast<int>(roundings.size());

    // The scale: the largest average, either way, fills half the plot.
    double largest = 0;
    for (const RoundingFigures& f : m_figures)
        if (!f.overflow)
            largest = std::max(largest, std::abs(f.averageYen()));
    if (largest <= 0)
        largest = 1;

    const int left = fm.horizontalAdvance(QStringLiteral("+000.00円")) + 8;
    const QRect plot(left, line + 6, width() - left - 8, height() - 3 * line - 14);
    const int zeroY = plot.center().y();
    const double perYen = (plot.height() / 2.0 - 4) / largest;
    const double groupWidth = double(plot.width()) / groups;

    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(0, 0, width(), line + 4), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("1単価あたりの平均差額（円）"));
    int legendX = width() - 8;
    for (const auto& [name, color] : {std::pair{QStringLiteral("店販"), retailColor},
                                      std::pair{QStringLiteral("技術"), technicalColor}}) {
        legendX -= fm.horizontalAdvance(name) + 4;
        p.drawText(legendX, fm.ascent() + 2, name);
        legendX -= line;
        p.fillRect(QRect(legendX, 3, line - 4, line - 4), color);
        legendX -= 12;
    }

    for (int g = 0; g < groups; ++g) {
        const QRectF group(plot.left() + g * groupWidth, plot.top(), groupWidth, plot.height());
        const Rounding r = roundings[static_cast<std::size_t>(g)];
        if (r == m_current)
            p.fillRect(group.adjusted(1, -line, -1, 2 * line + 8), currentBackground);
        std::vector<const RoundingFigures*> bars;
        for (const RoundingFigures& f : m_figures)
            if (f.rounding == r)
                bars.push_back(&f);
        const double barWidth = (groupWidth - 12) / std::max<std::size_t>(bars.size(), 1);
        for (std::size_t b = 0; b < bars.size(); ++b) {
            const RoundingFigures& f = *bars[b];
            if (f.overflow)
                continue;
            const double h = f.averageYen() * perYen;
            const QRectF bar(group.left() + 6 + double(b) * barWidth, h >= 0 ? zeroY - h : zeroY,
                             barWidth - 2, std::max(std::abs(h), 1.0));
            p.fillRect(bar, f.menu == Menu::Technical ? technicalColor : retailColor);
            if (r == m_current) {
                p.setPen(QPen(palette().color(QPalette::Text), 2));
                p.drawRect(bar);
            }
        }
        p.setPen(palette().color(QPalette::Text));
        QFont font = p.font();
        font.setBold(r == m_current);
        p.setFont(font);
        p.drawText(QRectF(group.left(), plot.bottom() + 4, groupWidth, 2 * line),
                   Qt::AlignHCenter | Qt::AlignTop,
                   roundingMethodName(r.roundingMethod) + u'\n' + roundingUnitName(r.roundingUnit));
        font.setBold(false);
        p.setFont(font);
    }

    // Axis: the zero line and the scale's ends.
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(plot.left(), zeroY, plot.right(), zeroY);
    p.setPen(palette().color(QPalette::Text));
    const auto label = [&](double yen, int y) {
        p.drawText(QRect(0, y - line / 2, left - 6, line), Qt::AlignRight | Qt::AlignVCenter,
                   (yen > 0 ? QStringLiteral("+") : QString()) + QString::number(yen, 'f', 2));
    };
    label(0, zeroY);
    label(largest, zeroY - int(largest * perYen));
    label(-largest, zeroY + int(largest * perYen));
}

} // namespace tanka
