#include "ui/preview/preview_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "core/run_error.h"
#include "pricing/preview_list.h"
#include "ui/main_window/japanese_ui.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_window_view.h"
#include "ui/preview/preview_model.h"
#include "ui/preview/rounding_page.h"

namespace tanka {
namespace {

QString count(qint64 n) {
    return groupedNumber(n);
}

QString errorText(const RunError& e) {
    return QStringLiteral("確認できませんでした\r\nエラー番号: ") + QString::number(e.number()) +
           QStringLiteral("\r\n") + QString::fromStdString(e.description());
}

} // namespace

QString previewTotalsText(const MenuPreview& m) {
    const QString name =
        m.menu == Menu::Technical ? QStringLiteral("技術") : QStringLiteral("店販");
    if (!m.chosen)
        return name + QStringLiteral("：変更しません");
    return name + QStringLiteral("：変更する行 %1　うち税区分により単価をそのまま写す行 %2　"
                                 "対象外の行（削除済み・他店舗）%3")
                      .arg(m.toChange)
                      .arg(m.untaxed)
                      .arg(m.leftAlone);
}

PreviewDialog::PreviewDialog(Preview preview, Rounding current, MessageBoxes& boxes, QWidget* owner)
    : QDialog(owner), m_boxes(boxes), m_model(std::make_unique<PreviewModel>(std::move(preview))),
      m_current(current) {
    setObjectName(QStringLiteral("previewDialog"));
    setWindowTitle(QStringLiteral("確認"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    setFont(windowFont(9));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("previewPages"));
    m_pages->addTab(buildListPage(), QStringLiteral("一覧"));
    m_roundingPage = new RoundingPage(this);
    m_pages->addTab(m_roundingPage, QStringLiteral("端数の比較"));
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 1)
            showComparison();
    });
    connect(m_roundingPage, &RoundingPage::applyRequested, this, &PreviewDialog::chooseRounding);

    m_saveScope = new QComboBox(this);
    m_saveScope->setObjectName(QStringLiteral("previewSaveScope"));
    m_saveScope->addItems({QStringLiteral("表示中の行"), QStringLiteral("すべての行")});
    auto* saveButton = new QPushButton(QStringLiteral("保存"), this);
    saveButton->setObjectName(QStringLiteral("previewSave"));
    auto* closeButton = new QPushButton(QStringLiteral("閉じる"), this);
    closeButton->setObjectName(QStringLiteral("previewClose"));
    connect(saveButton, &QPushButton::clicked, this, &PreviewDialog::save);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_saveScope);
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);

    // Fits a 1366 x 768 screen at 125 % (1093 x 614 points, less the task
    // bar and the title); never larger than the screen it opens on.
    QSize size(960, 540);
    if (const QScreen* screen = owner ? owner->screen() : QApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    resize(size);

    chooseFile = [this] {
        return QFileDialog::getSaveFileName(
            this, QStringLiteral("保存"), QDir::home().filePath(QStringLiteral("単価変更確認.TSV")),
            QStringLiteral("TSV (*.TSV *.tsv);;すべて (*)"));
    };
    showTotals();
    narrow();
}

PreviewDialog::~PreviewDialog() = default;

QWidget* PreviewDialog::buildListPage() {
    auto* page = new QWidget(this);
    m_totals = new QLabel(page);
    m_totals->setObjectName(QStringLiteral("previewTotals"));

    m_menuFilter = new QComboBox(page);
    m_menuFilter->setObjectName(QStringLiteral("previewMenuFilter"));
    m_menuFilter->addItem(QStringLiteral("すべて"), -1);
    m_menuFilter->addItem(QStringLiteral("技術"), static_cast<int>(Menu::Technical));
    m_menuFilter->addItem(QStringLiteral("店販"), static_cast<int>(Menu::Retail));
    m_storeFilter = new QComboBox(page);
    m_storeFilter->setObjectName(QStringLiteral("previewStoreFilter"));
    m_storeFilter->addItem(QStringLiteral("すべての店舗"), -1);
    for (const std::int16_t store : m_model->stores())
        m_storeFilter->addItem(QString::number(store), int{store});
    m_nameFilter = new QLineEdit(page);
    m_nameFilter->setObjectName(QStringLiteral("previewNameFilter"));
    m_nameFilter->setPlaceholderText(QStringLiteral("名称の一部"));
    m_nameFilter->setClearButtonEnabled(true);
    m_changedOnly = new QCheckBox(QStringLiteral("変更する単価のみ"), page);
    m_changedOnly->setObjectName(QStringLiteral("previewChangedOnly"));
    m_shownCount = new QLabel(page);
    m_shownCount->setObjectName(QStringLiteral("previewShownCount"));

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("区分"), page));
    filters->addWidget(m_menuFilter);
    // A store installation lists one store only: nothing to choose.
    const bool severalStores = m_storeFilter->count() > 2;
    auto* storeLabel = new QLabel(QStringLiteral("店舗"), page);
    storeLabel->setVisible(severalStores);
    m_storeFilter->setVisible(severalStores);
    filters->addWidget(storeLabel);
    filters->addWidget(m_storeFilter);
    filters->addWidget(new QLabel(QStringLiteral("名称"), page));
    filters->addWidget(m_nameFilter, 1);
    filters->addWidget(m_changedOnly);
    filters->addStretch();
    filters->addWidget(m_shownCount);

    connect(m_menuFilter, &QComboBox::currentIndexChanged, this, &PreviewDialog::narrow);
    connect(m_storeFilter, &QComboBox::currentIndexChanged, this, &PreviewDialog::narrow);
    connect(m_nameFilter, &QLineEdit::textChanged, this, &PreviewDialog::narrow);
    connect(m_changedOnly, &QCheckBox::toggled, this, &PreviewDialog::narrow);

    m_table = new QTableView(page);
    m_table->setObjectName(QStringLiteral("previewTable"));
    m_table->setModel(m_model.get());
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    // Fixed row heights and column widths: nothing is measured over all lines.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setDefaultSectionSize(48);
    m_table->horizontalHeader()->setStretchLastSection(true);
    const auto width = [this](PreviewColumn column, int pixels) {
        m_table->setColumnWidth(static_cast<int>(column), pixels);
    };
    width(PreviewColumn::Code, 80);
    width(PreviewColumn::Name, 210);
    width(PreviewColumn::Before, 96);
    width(PreviewColumn::After, 96);
    width(PreviewColumn::Difference, 120);
    // The run's order until the user picks a column.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_totals);
    layout->addLayout(filters);
    layout->addWidget(m_table, 1);
    return page;
}

void PreviewDialog::narrow() {
    PreviewFilter filter;
    filter.menu = m_menuFilter->currentData().toInt();
    filter.store = m_storeFilter->currentData().toInt();
    filter.namePart = m_nameFilter->text().trimmed();
    filter.changedOnly = m_changedOnly->isChecked();
    m_model->setFilter(filter);
    m_shownCount->setText(QStringLiteral("表示 %1 件 / 全 %2 件")
                              .arg(count(m_model->rowCount()))
                              .arg(count(qint64(m_model->allLines().size()))));
}

void PreviewDialog::showTotals() {
    m_totals->setText(previewTotalsText(m_model->preview().menus[0]) + u'\n' +
                      previewTotalsText(m_model->preview().menus[1]));
}

void PreviewDialog::save() {
    const QString path = chooseFile ? chooseFile() : QString();
    if (path.isEmpty())
        return;
    const bool everything = m_saveScope->currentIndex() == 1;
    if (writePreviewFile(path, m_model->preview(),
                         everything ? m_model->allLines() : m_model->shownLines()))
        m_boxes.show(QStringLiteral("保存しました"), MsgButtons::Ok, MsgIcon::Information);
    else
        m_boxes.show(QStringLiteral("保存できませんでした\r\n") + QDir::toNativeSeparators(path),
                     MsgButtons::Ok, MsgIcon::Critical);
}

void PreviewDialog::showComparison() {
    if (m_roundingPage->hasFigures())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        m_roundingPage->setFigures(compareRoundings(m_model->preview()), m_current);
    } catch (const RunError& e) {
        QApplication::restoreOverrideCursor();
        m_boxes.show(errorText(e), MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    QApplication::restoreOverrideCursor();
}

void PreviewDialog::chooseRounding(Rounding rounding) {
    if (!applyRounding || !applyRounding(rounding)) {
        m_boxes.show(QStringLiteral("端数処理を変更できませんでした"), MsgButtons::Ok,
                     MsgIcon::Critical);
        return;
    }
    m_current = rounding;
    try {
        m_model->setRounding(rounding.roundingMethod, rounding.roundingUnit);
    } catch (const RunError& e) {
        // The window has the new rounding but the list cannot show it.
        m_boxes.show(errorText(e), MsgButtons::Ok, MsgIcon::Critical);
        reject();
        return;
    }
    showTotals();
    narrow();
    m_roundingPage->setFigures(m_roundingPage->figures(), m_current);
}

void installPreview(MainForm& form, MainWindowView* window, MessageBoxes& boxes,
                    const Clock& clock) {
    form.previewHandler = [&form, window, &boxes, &clock] {
        Preview preview;
        try {
            preview = buildPreview(form.cn(), form.globals(), clock);
        } catch (const RunError& e) {
            // Nothing has changed; the window stays usable.
            boxes.show(errorText(e), MsgButtons::Ok, MsgIcon::Critical);
            return;
        }
        const Globals& g = form.globals();
        PreviewDialog dialog(std::move(preview), {g.roundingMethod, g.roundingUnit}, boxes, window);
        // The window's own buttons, clicked as the user would: the same
        // handlers, checks and model.
        dialog.applyRounding = [&form, window](Rounding rounding) {
            for (const ControlRef ref :
                 {ControlRef{ControlId::roundingMethodButtons, int(rounding.roundingMethod)},
                  ControlRef{ControlId::roundingUnitButtons, int(rounding.roundingUnit)}}) {
                auto* button = qobject_cast<QAbstractButton*>(window->widget(ref));
                if (!button || !button->isEnabled())
                    return false;
                button->click();
            }
            return form.globals().roundingMethod == rounding.roundingMethod &&
                   form.globals().roundingUnit == rounding.roundingUnit;
        };
        dialog.exec();
    };
}

} // namespace tanka
