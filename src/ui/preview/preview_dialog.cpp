#include "ui/preview/preview_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/run_error.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/main_window/main_form.h"
#include "ui/preview/preview_model.h"

namespace tanka {

QString previewTotalsText(const MenuPreview& m) {
    const QString name = m.menu == Menu::Giju ? QStringLiteral("技術") : QStringLiteral("店販");
    if (!m.chosen)
        return name + QStringLiteral("：変更しません");
    return name + QStringLiteral("：変更する行 %1　うち税区分により単価をそのまま写す行 %2　"
                                 "対象外の行（削除済み・他店舗）%3")
                      .arg(m.toChange)
                      .arg(m.untaxed)
                      .arg(m.leftAlone);
}

PreviewDialog::PreviewDialog(Preview preview, MessageBoxes& boxes, QWidget* owner)
    : QDialog(owner), m_boxes(boxes), m_model(std::make_unique<PreviewModel>(std::move(preview))) {
    setObjectName(QStringLiteral("previewDialog"));
    setWindowTitle(QStringLiteral("確認"));
    setFont(windowFont(9));
    resize(900, 560);

    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("previewTotals"));
    m_totals->setText(previewTotalsText(m_model->preview().menus[0]) + u'\n' +
                      previewTotalsText(m_model->preview().menus[1]));

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("previewTable"));
    m_table->setModel(m_model.get());
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    // Fixed row heights and column widths: nothing is measured over all rows.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setDefaultSectionSize(64);
    m_table->setColumnWidth(2, 90);
    m_table->setColumnWidth(3, 200);
    // The run's order until the user picks a column.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);

    auto* saveButton = new QPushButton(QStringLiteral("保存"), this);
    saveButton->setObjectName(QStringLiteral("previewSave"));
    auto* closeButton = new QPushButton(QStringLiteral("閉じる"), this);
    closeButton->setObjectName(QStringLiteral("previewClose"));
    connect(saveButton, &QPushButton::clicked, this, &PreviewDialog::save);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_totals);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);

    chooseFile = [this] {
        return QFileDialog::getSaveFileName(
            this, QStringLiteral("保存"), QDir::home().filePath(QStringLiteral("単価変更確認.TSV")),
            QStringLiteral("TSV (*.TSV *.tsv);;すべて (*)"));
    };
}

PreviewDialog::~PreviewDialog() = default;

void PreviewDialog::save() {
    const QString path = chooseFile ? chooseFile() : QString();
    if (path.isEmpty())
        return;
    if (writePreviewFile(path, m_model->preview()))
        m_boxes.show(QStringLiteral("保存しました"), MsgButtons::Ok, MsgIcon::Information);
    else
        m_boxes.show(QStringLiteral("保存できませんでした\r\n") + QDir::toNativeSeparators(path),
                     MsgButtons::Ok, MsgIcon::Critical);
}

void installPreview(MainForm& form, QWidget* window, MessageBoxes& boxes, const Clock& clock) {
    form.previewHandler = [&form, window, &boxes, &clock] {
        Preview preview;
        try {
            preview = buildPreview(form.cn(), form.globals(), clock);
        } catch (const RunError& e) {
            // Nothing has changed; the window stays usable.
            boxes.show(QStringLiteral("確認できませんでした\r\nエラー番号: ") +
                           QString::number(e.number()) + QStringLiteral("\r\n") +
                           QString::fromStdString(e.description()),
                       MsgButtons::Ok, MsgIcon::Critical);
            return;
        }
        PreviewDialog dialog(std::move(preview), boxes, window);
        dialog.exec();
    };
}

} // namespace tanka
