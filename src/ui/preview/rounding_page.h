#pragma once
// The "端数の比較" page of the preview dialog: the formula, a table of the
// comparison's figures (one line per chosen menu and rounding, the current
// rounding highlighted), a bar chart of the average differences, and
// "この端数処理にする", which asks for the rounding of the line chosen.

#include <optional>
#include <vector>

#include <QWidget>

#include "pricing/rounding_comparison.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace tanka {

class DifferenceChart;

class RoundingPage final : public QWidget {
    Q_OBJECT

public:
    explicit RoundingPage(QWidget* parent = nullptr);

    void setFigures(std::vector<RoundingFigures> figures, Rounding current);
    bool hasFigures() const { return m_filled; }
    const std::vector<RoundingFigures>& figures() const { return m_figures; }

    QTableWidget* table() const { return m_table; }
    QPushButton* applyButton() const { return m_apply; }
    DifferenceChart* chart() const { return m_chart; }
    // The rounding of the line chosen, if one is.
    std::optional<Rounding> chosenRounding() const;

signals:
    void applyRequested(tanka::Rounding rounding);

private:
    void updateApplyButton();

    QLabel* m_heading = nullptr;
    QTableWidget* m_table = nullptr;
    DifferenceChart* m_chart = nullptr;
    QPushButton* m_apply = nullptr;
    std::vector<RoundingFigures> m_figures;
    bool m_filled = false;
};

// The heading of the page: the exact converted amount's formula and what the
// figures count.
QString roundingPageHeading();

} // namespace tanka
