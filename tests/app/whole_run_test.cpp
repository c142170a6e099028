// One whole conversion through the real widgets (run once more through ODBC,
// as every test of this program is): start on a sample
// installation, choose, Execute, answer the boxes; then the database is
// checked. (What the backups of a run hold is among the backup tests.)

#include <algorithm>

#include <QFile>
#include <QProgressBar>
#include <QTest>

#include "support/gui_app.h"
#include "support/table_dump.h"

namespace tanka::test {
namespace {

using enum ControlId;

TEST(RunThroughWindow, ExecuteConvertsBacksUpAndEnds) {
    AppOnSample a;
    ASSERT_EQ(a.load(), LoadResult::Loaded);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&a.view()));
    const auto rows = [&](PriceTable table) { return readPriceRows(a.site.mstori(), table); };
    const std::vector<PriceRow> technicalBefore = rows(PriceTable::Technical);
    const std::vector<PriceRow> retailBefore = rows(PriceTable::Retail);
    int busyRounds = 0;
    bool closedMidRun = false;
    std::vector<BusyProgress> progress; // as the window showed it, repeats dropped
    // Whenever the run lets events through: watch the window, and try to
    // close it, as a user might.
    a.form().processEvents = [&, inner = a.form().processEvents] {
        inner();
        if (progress.empty() || !(progress.back() == a.model().busyProgress))
            progress.push_back(a.model().busyProgress);
        if (a.widget({busyBanner})->isVisible() && !a.view().isEnabled()) {
            ++busyRounds;
            a.view().close();
            closedMidRun = closedMidRun || a.view().unloaded();
        }
    };
    // How often the banner showed a menu's last row done, of its live rows.
    const auto finishedSteps = [&](const char* step, const std::vector<PriceRow>& before) {
        const qint64 live = std::count_if(before.begin(), before.end(), [](const PriceRow& r) {
            return r.lastUpdateFlag != QStringLiteral("9");
        });
        return std::count_if(progress.begin(), progress.end(), [&](const BusyProgress& p) {
            return p.text == QString::fromUtf8(step) && p.done == live && p.total == live;
        });
    };

    // Technical tax-exclusive, retail 10 %, round up to retail yen.
    const ControlRef choices[] = {{conversionKindButtons, 1},
                                  {conversionKindButtons, 2},
                                  {roundingMethodButtons, 1},
                                  {roundingUnitButtons, 1},
                                  {executeButton}};
    for (const ControlRef ref : choices)
        QTest::mouseClick(a.widget(ref), Qt::LeftButton);
    ASSERT_EQ(a.boxes.shown.size(), 3u) << a.boxes.texts().join(u'|').toStdString();
    EXPECT_EQ(a.boxes.shown[0].text, QStringLiteral("単価変更開始しますか？"));
    EXPECT_EQ(a.boxes.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(a.boxes.shown[0].icon, MsgIcon::Question);
    // Where the run's journal is, in the form of the work folder's path.
    EXPECT_EQ(a.boxes.shown[1].text, QStringLiteral("変更の履歴を保存しました。\r\n"
                                                    "C:\\ZEMA\\TMP\\単価変更_20190930_120000.TSV"));
    EXPECT_TRUE(QFile::exists(a.site.workFile("単価変更_20190930_120000.TSV")));
    EXPECT_EQ(a.boxes.shown[2].text, QStringLiteral("終了しました"));

    EXPECT_GT(busyRounds, 0) << "the banner was up and the window disabled during the run";
    EXPECT_FALSE(closedMidRun) << "a close during the run waits for its end";
    // Each menu's backup, then its rows up to the last, which shows once.
    EXPECT_EQ(finishedSteps("技術", technicalBefore), 1);
    EXPECT_EQ(finishedSteps("店販", retailBefore), 1);
    QStringList steps;
    for (const BusyProgress& p : progress)
        if (steps.isEmpty() || steps.back() != p.text)
            steps << p.text;
    EXPECT_EQ(steps.join(u'|'), QStringLiteral("|技術 バックアップ|技術|店販 バックアップ|店販|"));
    EXPECT_FALSE(a.view().progressBar()->isVisible());
    EXPECT_TRUE(a.view().unloaded());
    EXPECT_EQ(a.app->connection(), nullptr);

    EXPECT_GT(expectConverted(technicalBefore, rows(PriceTable::Technical), {2, 1, 1}), 0);
    EXPECT_GT(expectConverted(retailBefore, rows(PriceTable::Retail), {1, 1, 1}), 0);
}

} // namespace
} // namespace tanka::test
