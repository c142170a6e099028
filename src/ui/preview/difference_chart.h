#pragma once
// A small bar chart of the average difference per price (new price minus
// the exact converted amount) for each rounding of the comparison, the
// current rounding highlighted. Painted with QPainter: bars above the zero
// line for prices rounded up, below for prices rounded down.

#include <vector>

#include <QWidget>

#include "pricing/rounding_comparison.h"

namespace tanka {

class DifferenceChart final : public QWidget {
    Q_OBJECT

public:
    explicit DifferenceChart(QWidget* parent = nullptr);

    void setFigures(std::vector<RoundingFigures> figures, Rounding current);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<RoundingFigures> m_figures;
    Rounding m_current;
};

} // namespace tanka
