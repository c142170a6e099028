#include "ui/preview/rounding_page.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "pricing/preview_list.h"
#include "ui/preview/difference_chart.h"

namespace tanka {
namespace {

const QStringList Headers = {
    QStringLiteral("区分"),         QStringLiteral("端数処理"),     QStringLiteral("単位"),
    QStringLiteral("変更する単価"), QStringLiteral("換算額と違う"), QStringLiteral("差額の合計"),
    QStringLiteral("平均差額"),     QStringLiteral("最大差額"),     QStringLiteral("末尾00"),
    QStringLiteral("末尾50"),       QStringLiteral("末尾0"),        QStringLiteral("その他")};

QString count(qint64 n) {
    return groupedNumber(n);
}

QString yen(double value) {
    static const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QString digits = japanese.toString(value, 'f', 2);
    return value > 0.004 ? u'+' + digits : digits;
}

} // namespace

QString roundingPageHeading() {
    return exactAmountText() + QStringLiteral("（端数処理の前の金額）\n") + differenceText() +
           QStringLiteral("。課税の単価のうち、実行で変わるものを数えます。");
}

RoundingPage::RoundingPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("roundingPage"));
    m_heading = new QLabel(roundingPageHeading(), this);
    m_heading->setWordWrap(true);

    m_table = new QTableWidget(0, static_cast<int>(Headers.size()), this);
    m_table->setObjectName(QStringLiteral("roundingTable"));
    m_table->setHorizontalHeaderLabels(Headers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setVisible(false);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    m_chart = new DifferenceChart(this);

    m_apply = new QPushButton(QStringLiteral("この端数処理にする"), this);
    m_apply->setObjectName(QStringLiteral("applyRounding"));
    m_apply->setEnabled(false);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &RoundingPage::updateApplyButton);
    connect(m_apply, &QPushButton::clicked, this, [this] {
        if (const auto rounding = chosenRounding())
            emit applyRequested(*rounding);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_table, 3);
    layout->addWidget(m_chart, 2);
    layout->addLayout(buttons);
}

void RoundingPage::setFigures(std::vector<RoundingFigures> figures, Rounding current) {
    m_figures = std::move(figures);
    m_filled = true;
    const int selected = m_table->currentRow();
    m_table->setRowCount(static_cast<int>(m_figures.size()));
    QFont bold = m_table->font();
    bold.setBold(true);
    for (int r = 0; r < m_table->rowCount(); ++r) {
        const RoundingFigures& f = m_figures[static_cast<std::size_t>(r)];
        QStringList cells = {f.menu == Menu::Technical ? QStringLiteral("技術")
                                                       : QStringLiteral("店販"),
                             roundingMethodName(f.rounding.roundingMethod),
                             roundingUnitName(f.rounding.roundingUnit)};
        if (f.overflow) {
            cells << QStringLiteral("桁あふれのため計算できません");
        } else {
            cells << count(f.changed) << count(f.offExact) << yen(f.sumYen()) << yen(f.averageYen())
                  << yen(f.largestYen());
            for (const qint64 n : f.endings)
                cells << count(n);
        }
        const bool isCurrent = f.rounding == current;
        for (int c = 0; c < m_table->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(c < cells.size() ? cells[c] : QString());
            item->setTextAlignment(c >= 3 ? Qt::AlignRight | Qt::AlignVCenter
                                          : Qt::AlignLeft | Qt::AlignVCenter);
            if (isCurrent) {
                item->setFont(bold);
                item->setBackground(QColor(255, 236, 170));
                item->setToolTip(QStringLiteral("いまの端数処理"));
            }
            m_table->setItem(r, c, item);
        }
    }
    if (selected >= 0 && selected < m_table->rowCount())
        m_table->selectRow(selected);
    // The current rounding's first line in sight.
    for (int r = 0; r < m_table->rowCount(); ++r)
        if (m_figures[static_cast<std::size_t>(r)].rounding == current) {
            m_table->scrollToItem(m_table->item(r, 0), QAbstractItemView::EnsureVisible);
            break;
        }
    m_chart->setFigures(m_figures, current);
    updateApplyButton();
}

std::optional<Rounding> RoundingPage::chosenRounding() const {
    const QList<QTableWidgetItem*> items = m_table->selectedItems();
    if (items.isEmpty())
        return std::nullopt;
    const auto row = static_cast<std::size_t>(items.first()->row());
    if (row >= m_figures.size() || m_figures[row].overflow)
        return std::nullopt;
    return m_figures[row].rounding;
}

void RoundingPage::updateApplyButton() {
    m_apply->setEnabled(chosenRounding().has_value());
}

} // namespace tanka
