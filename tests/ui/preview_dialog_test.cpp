// The "確認" button and its dialog at headquarters: enabled exactly when 実行
// is, the rows of the run listed, narrowed and saved as shown, a rounding
// taken from the comparison page onto the window's buttons, no table
// changed; a database error is shown and leaves the window as it was.

#include <algorithm>
#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include "support/gui_app.h"
#include "support/table_dump.h"
#include "ui/preview/preview_dialog.h"
#include "ui/preview/preview_model.h"
#include "ui/preview/rounding_page.h"

namespace tanka::test {
namespace {

using enum ControlId;

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(PreviewDialogTest, ListsNarrowsSavesAndTakesARoundingChangingNoTableThenShowsAnError) {
    AppOnSample a(headquartersOptions(3));
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    const auto enabledTogether = [&] {
        EXPECT_EQ(a.widget({previewButton})->isEnabled(), a.widget({executeButton})->isEnabled());
        return a.widget({previewButton})->isEnabled();
    };
    EXPECT_FALSE(enabledTogether());
    a.click({conversionKindButtons, 0});
    a.click({conversionKindButtons, 3});
    a.click({roundingMethodButtons, 0});
    EXPECT_FALSE(enabledTogether());
    a.click({roundingUnitButtons, 0});
    EXPECT_TRUE(enabledTogether());
    const QStringList before = dumpRows(a.site.mstori(), "SELECT * FROM MTGIJU") +
                               dumpRows(a.site.mstori(), "SELECT * FROM MTTENP");
    const Preview built = buildPreview(*a.app->connection(), a.g(), a.clock);
    const QString saved = a.site.path() + "/narrowed.tsv";
    const QString reference = a.site.path() + "/reference.tsv";
    bool seen = false;
    whenModal([&](QWidget* modal) {
        auto* d = qobject_cast<PreviewDialog*>(modal);
        ASSERT_NE(d, nullptr);
        seen = true;
        const Preview& p = d->model()->preview();
        EXPECT_EQ(d->model()->rowCount(), int(previewLines(built).size()));
        // A part of a technical name, typed in other case.
        const QString part = p.names[p.rows.front().name].mid(1, 2).toLower();
        ASSERT_FALSE(part.isEmpty());
        const struct {
            const char* name;
            std::function<void()> narrow;
            std::function<bool(const PreviewRow&, PreviewLine)> keep;
        } narrowings[] = {
            {"store 2", [&] { d->storeFilter()->setCurrentIndex(d->storeFilter()->findData(2)); },
             [](const PreviewRow& r, PreviewLine) { return r.store == 2; }},
            {"and name", [&] { d->nameFilter()->setText(part); },
             [&](const PreviewRow& r, PreviewLine) {
                 return r.store == 2 && p.names[r.name].contains(part, Qt::CaseInsensitive);
             }},
            {"every store, retail, changed prices",
             [&] {
                 d->storeFilter()->setCurrentIndex(0);
                 d->nameFilter()->clear();
                 d->menuFilter()->setCurrentIndex(2);
                 d->changedOnly()->setChecked(true);
             },
             [&](const PreviewRow& r, PreviewLine line) {
                 return r.menu == Menu::Retail && r.priceChanges(line.slot(), line.position());
             }},
        };
        for (const auto& n : narrowings) {
            SCOPED_TRACE(n.name);
            n.narrow();
            // The lines it must show, picked from every line by a plain test.
            std::vector<PreviewLine> expected;
            for (const PreviewLine line : previewLines(p))
                if (n.keep(p.rows[line.row()], line))
                    expected.push_back(line);
            ASSERT_FALSE(expected.empty());
            EXPECT_LT(expected.size(), d->model()->allLines().size());
            EXPECT_EQ(d->model()->rowCount(), int(expected.size()));
            EXPECT_TRUE(d->shownCount()->text().startsWith(
                QString("表示 %1 件")
                    .arg(QLocale(QLocale::Japanese).toString(qlonglong(expected.size())))))
                << d->shownCount()->text().toStdString();
            d->chooseFile = [&] { return saved; };
            d->save();
            ASSERT_TRUE(writePreviewFile(reference, p, expected));
            EXPECT_EQ(fileBytes(saved), fileBytes(reference));
        }

        // Round up to 100 yen, chosen on the comparison page.
        d->pages()->setCurrentIndex(1);
        const std::vector<RoundingFigures>& figures = d->roundingPage()->figures();
        ASSERT_EQ(figures.size(), 18u);
        const auto line = std::find_if(figures.begin(), figures.end(), [](const auto& f) {
            return f.menu == Menu::Retail &&
                   f.rounding == Rounding{RoundingMethod::Up, RoundingUnit::Yen100};
        });
        d->roundingPage()->table()->selectRow(int(line - figures.begin()));
        d->roundingPage()->applyButton()->click();
        // The list is now the one a fresh preview gives; saved whole.
        const Preview fresh = buildPreview(*a.app->connection(), a.g(), a.clock);
        d->saveScope()->setCurrentIndex(1);
        d->save();
        ASSERT_TRUE(writePreviewFile(reference, fresh, previewLines(fresh)));
        EXPECT_EQ(fileBytes(saved), fileBytes(reference));
        d->accept();
    });
    a.click({previewButton});
    EXPECT_TRUE(seen);
    EXPECT_EQ(a.g().roundingMethod, RoundingMethod::Up);
    EXPECT_EQ(a.g().roundingUnit, RoundingUnit::Yen100);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a.button({roundingMethodChecks, i})->isChecked(), i == 1);
        EXPECT_EQ(a.button({roundingUnitChecks, i})->isChecked(), i == 2);
    }
    EXPECT_TRUE(enabledTogether());
    EXPECT_EQ(a.boxes.texts(), QStringList(4, QStringLiteral("保存しました")));
    EXPECT_EQ(dumpRows(a.site.mstori(), "SELECT * FROM MTGIJU") +
                  dumpRows(a.site.mstori(), "SELECT * FROM MTTENP"),
              before);

    // A database error is shown, and the window stays as it was.
    a.boxes.shown.clear();
    a.site.sql(QStringLiteral("MSTORI"), {QStringLiteral("drop table MTTENP")});
    a.click({previewButton});
    ASSERT_EQ(a.boxes.shown.size(), 1u);
    EXPECT_TRUE(a.boxes.shown[0].text.startsWith("確認できませんでした\r\nエラー番号: "))
        << a.boxes.shown[0].text.toStdString();
    EXPECT_FALSE(a.view().unloaded());
    EXPECT_TRUE(a.widget({executeButton})->isEnabled());
}

} // namespace
} // namespace tanka::test
