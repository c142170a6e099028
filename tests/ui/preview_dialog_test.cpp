// The "確認" button and its dialog on a sample store: enabled exactly when
// 実行 is, the rows of the run listed, the list saved, nothing changed; a
// database error is shown and leaves the window as it was. At headquarters:
// the list narrowed and saved as shown, and a rounding taken from the
// comparison page onto the window's buttons.

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

TEST(PreviewDialogTest, ListsTheRunAndSavesChangingNothing) {
    AppOnSample a;
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    const auto enabledTogether = [&] {
        EXPECT_EQ(a.widget({previewButton})->isEnabled(), a.widget({executeButton})->isEnabled());
        return a.widget({previewButton})->isEnabled();
    };
    EXPECT_FALSE(enabledTogether());
    a.click({conversionKindButtons, 0});
    a.click({roundingMethodButtons, 2});
    EXPECT_FALSE(enabledTogether());
    a.click({roundingUnitButtons, 1});
    EXPECT_TRUE(enabledTogether());

    const QStringList before = dumpRows(a.site.mstori(), "SELECT * FROM MTGIJU") +
                               dumpRows(a.site.mstori(), "SELECT * FROM MTTENP");
    const Preview expected = buildPreview(*a.app->connection(), a.g(), a.clock);
    ASSERT_GT(expected.rows.size(), 1u);
    const QString saved = a.site.path() + "/list.tsv";
    bool seen = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<PreviewDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->model()->rowCount(), int(previewLines(expected).size()));
        dialog->chooseFile = [&] { return saved; };
        dialog->save();
        dialog->accept();
    });
    a.click({previewButton});
    EXPECT_TRUE(seen);
    EXPECT_EQ(a.boxes.texts(), QStringList{"保存しました"});
    // (The bytes of a saved list are compared at headquarters.)
    EXPECT_EQ(fileBytes(saved).count("\r\n"), qsizetype(1 + previewLines(expected).size()));
    EXPECT_EQ(dumpRows(a.site.mstori(), "SELECT * FROM MTGIJU") +
                  dumpRows(a.site.mstori(), "SELECT * FROM MTTENP"),
              before);
    EXPECT_FALSE(a.view().unloaded());
    EXPECT_TRUE(enabledTogether());
}

// The lines a narrowing must show, picked from every line by a plain test.
std::vector<PreviewLine>
linesWhere(const Preview& p, const std::function<bool(const PreviewRow&, PreviewLine)>& keep) {
    std::vector<PreviewLine> lines;
    for (const PreviewLine line : previewLines(p))
        if (keep(p.rows[line.row()], line))
            lines.push_back(line);
    return lines;
}

bool sameLines(const std::vector<PreviewLine>& a, const std::vector<PreviewLine>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](PreviewLine x, PreviewLine y) {
        return x.row() == y.row() && x.slot() == y.slot() && x.position() == y.position();
    });
}

TEST(PreviewDialogTest, NarrowsSavesWhatItShowsAndTakesARoundingFromTheComparison) {
    AppOnSample a(headquartersOptions(3));
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    a.click({conversionKindButtons, 0});
    a.click({conversionKindButtons, 3});
    a.click({roundingMethodButtons, 0});
    a.click({roundingUnitButtons, 0});
    const QString saved = a.site.path() + "/narrowed.tsv";
    const QString reference = a.site.path() + "/reference.tsv";
    bool seen = false;
    whenModal([&](QWidget* modal) {
        auto* d = qobject_cast<PreviewDialog*>(modal);
        ASSERT_NE(d, nullptr);
        seen = true;
        const Preview& p = d->model()->preview();
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
            const std::vector<PreviewLine> expected = linesWhere(p, n.keep);
            ASSERT_FALSE(expected.empty());
            EXPECT_LT(expected.size(), d->model()->allLines().size());
            EXPECT_TRUE(sameLines(d->model()->shownLines(), expected));
            EXPECT_TRUE(d->shownCount()->text().startsWith(
                QString("表示 %1 件")
                    .arg(QLocale(QLocale::Japanese).toString(qlonglong(expected.size())))))
                << d->shownCount()->text().toStdString();
            d->chooseFile = [&] { return saved; };
            d->save();
            ASSERT_TRUE(writePreviewFile(reference, p, expected));
            EXPECT_EQ(fileBytes(saved), fileBytes(reference));
            EXPECT_EQ(fileBytes(saved).count("\r\n"), qsizetype(1 + expected.size()));
        }
        d->saveScope()->setCurrentIndex(1);
        d->save();
        EXPECT_EQ(fileBytes(saved).count("\r\n"), qsizetype(1 + previewLines(p).size()));

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
        const Preview fresh = buildPreview(*a.app->connection(), a.g(), a.clock);
        EXPECT_EQ(d->model()->allLines().size(), previewLines(fresh).size());
        for (const int m : {0, 1})
            EXPECT_EQ(d->model()->preview().menus[m].toChange, fresh.menus[m].toChange);
        for (std::size_t i = 0; i < fresh.rows.size(); ++i) {
            ASSERT_EQ(d->model()->preview().rows[i].after.prices, fresh.rows[i].after.prices);
            ASSERT_EQ(d->model()->preview().rows[i].changes, fresh.rows[i].changes);
        }
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
    EXPECT_TRUE(a.widget({executeButton})->isEnabled());
}

TEST(PreviewDialogTest, ADatabaseErrorIsShownAndTheWindowStays) {
    AppOnSample a;
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    a.click({conversionKindButtons, 2});
    a.click({roundingMethodButtons, 0});
    a.click({roundingUnitButtons, 0});
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
