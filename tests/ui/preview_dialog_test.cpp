// The "確認" button and its dialog on a sample store: enabled exactly when
// 実行 is, the rows of the run listed, the list saved, nothing changed; a
// database error is shown and leaves the window as it was.

#include <QFile>
#include <QLabel>

#include "support/gui_app.h"
#include "support/table_dump.h"
#include "ui/preview/preview_dialog.h"
#include "ui/preview/preview_model.h"

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
    const QString reference = a.site.path() + "/reference.tsv";
    ASSERT_TRUE(writePreviewFile(reference, expected));
    bool seen = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<PreviewDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->model()->rowCount(), int(expected.rows.size()));
        dialog->chooseFile = [&] { return saved; };
        dialog->save();
        dialog->accept();
    });
    a.click({previewButton});
    EXPECT_TRUE(seen);
    EXPECT_EQ(a.boxes.texts(), QStringList{"保存しました"});
    EXPECT_EQ(fileBytes(saved), fileBytes(reference));
    EXPECT_EQ(dumpRows(a.site.mstori(), "SELECT * FROM MTGIJU") +
                  dumpRows(a.site.mstori(), "SELECT * FROM MTTENP"),
              before);
    EXPECT_FALSE(a.view().unloaded());
    EXPECT_TRUE(enabledTogether());
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
