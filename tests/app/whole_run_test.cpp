// One whole conversion through the real widgets: start on a sample
// installation, choose, Execute, answer the boxes; then the database and the
// backup files are checked.

#include <map>
#include <vector>

#include <QAbstractButton>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include "app/app_fixture.h"
#include "pricing/keisan.h"

namespace tanka::test {
namespace {

using enum ControlId;

struct Row {
    QVariant taxFlg, deleted;
    std::vector<QVariant> a, b; // slot A and slot B prices
};
using Table = std::map<QString, Row>; // key columns joined

Table readTable(const QString& file, const QString& sql, int keys, int prices) {
    Table t;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(file);
        EXPECT_TRUE(db.open());
        QSqlQuery q(sql, db);
        while (q.next()) {
            QString key;
            for (int i = 0; i < keys; ++i)
                key += q.value(i).toString() + QLatin1Char('/');
            Row r{q.value(keys), q.value(keys + 1), {}, {}};
            for (int i = 0; i < prices; ++i) {
                r.a.push_back(q.value(keys + 2 + i));
                r.b.push_back(q.value(keys + 2 + prices + i));
            }
            t[key] = r;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return t;
}

Table technicalMenu(const QString& file) {
    return readTable(file,
                     QStringLiteral("select GlobalID, MiseID, GijutuID, ShumokuID, TaxFlg, "
                                    "SaisyuKosinFlg, TankaA1, TankaA2, TankaA3, TankaA4, TankaA5, "
                                    "TankaB1, TankaB2, TankaB3, TankaB4, TankaB5 from MTGIJU"),
                     4, 5);
}

Table retail(const QString& file) {
    return readTable(file,
                     QStringLiteral("select GlobalID, MiseID, TenpanFlg, TenpanID, TaxFlg, "
                                    "SaisyuKosinFlg, UriTankaA, UriTankaB from MTTENP"),
                     4, 1);
}

// Slot B of every live row holds slot A converted (tax-inclusive rows) or
// copied; slot A and deleted rows are untouched.
void expectConverted(const Table& before, const Table& after, std::int16_t kind,
                     std::int16_t method, std::int16_t unit) {
    ASSERT_EQ(before.size(), after.size());
    int converted = 0;
    for (const auto& [key, was] : before) {
        SCOPED_TRACE(key.toStdString());
        const Row& now = after.at(key);
        EXPECT_EQ(now.a, was.a);
        if (was.deleted.toInt() == 9) {
            EXPECT_EQ(now.b, was.b);
            continue;
        }
        for (std::size_t i = 0; i < was.a.size(); ++i) {
            const auto p = static_cast<std::int32_t>(was.a[i].toLongLong());
            const std::int32_t expected =
                was.taxFlg.toInt() == 1 ? Keisan(p, kind, method, unit) : p;
            EXPECT_EQ(now.b[i].toLongLong(), expected) << "price " << i + 1;
            converted += expected != p;
        }
    }
    EXPECT_GT(converted, 0) << "the sample should have prices that change";
}

struct RunThroughWindow : ::testing::Test {
    void SetUp() override {
        mstori = a.sample.install.databaseFile(QStringLiteral("MSTORI"));
        gijuBefore = technicalMenu(mstori);
        tenBefore = retail(mstori);
        ASSERT_EQ(a.app->Form_Load(), LoadResult::Loaded);
        a.app->view().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&a.app->view()));
        // Watch the window whenever the run lets events through.
        auto inner = a.app->form().processEvents;
        a.app->form().processEvents = [this, inner] {
            inner();
            QWidget* banner = a.app->view().widget({Command1});
            if (banner->isVisible() && !a.app->view().isEnabled())
                ++busyRounds;
        };
    }
    void click(ControlRef ref) { QTest::mouseClick(a.app->view().widget(ref), Qt::LeftButton); }
    QString workFile(const char* name) const {
        return a.sample.install.workDir + QLatin1Char('/') + QLatin1String(name);
    }

    AppOnSample a;
    QString mstori;
    Table gijuBefore, tenBefore;
    int busyRounds = 0;
};

TEST_F(RunThroughWindow, ExecuteConvertsBacksUpAndEnds) {
    click({SSCommand1, 1}); // technical: tax-exclusive
    click({SSCommand1, 2}); // retail: 10 %
    click({SSCommand3, 1}); // round up
    click({SSCommand6, 1}); // ten yen
    ASSERT_TRUE(a.app->view().widget({SSCommand4})->isEnabled());
    click({SSCommand4});

    ASSERT_GE(a.boxes.shown.size(), 2u);
    EXPECT_EQ(a.boxes.shown.front().text, QStringLiteral("単価変更開始しますか？"));
    EXPECT_EQ(a.boxes.shown.front().buttons, MsgButtons::YesNo);
    EXPECT_EQ(a.boxes.shown.front().icon, MsgIcon::Question);
    EXPECT_EQ(a.boxes.shown.back().text, QStringLiteral("終了しました"));
    EXPECT_EQ(a.boxes.shown.size(), 2u) << a.boxes.shown[1].text.toStdString();

    EXPECT_GT(busyRounds, 0) << "the banner was up and the window disabled during the run";
    EXPECT_TRUE(a.app->view().unloaded());
    EXPECT_EQ(a.app->connection(), nullptr);

    expectConverted(gijuBefore, technicalMenu(mstori), 2, 1, 1);
    expectConverted(tenBefore, retail(mstori), 1, 1, 1);

    for (const char* name : {"MTGIJU10%.CSV", "MTTENP10%.CSV"}) {
        QFile f(workFile(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = f.readAll();
        EXPECT_TRUE(bytes.startsWith("GlobalID\t")) << name;
        const std::size_t rows =
            std::string_view(name).starts_with("MTGIJU") ? gijuBefore.size() : tenBefore.size();
        EXPECT_EQ(static_cast<std::size_t>(bytes.count("\r\n")), rows + 1) << name;
    }
}

TEST_F(RunThroughWindow, AnsweringNoChangesNothing) {
    a.boxes.answers.push_back(MsgAnswer::No);
    click({SSCommand1, 0});
    click({SSCommand3, 0});
    click({SSCommand6, 0});
    click({SSCommand4});

    ASSERT_EQ(a.boxes.shown.size(), 1u);
    EXPECT_FALSE(a.app->view().unloaded());
    EXPECT_TRUE(a.app->view().isEnabled());
    EXPECT_TRUE(a.app->view().widget({SSCommand4})->isEnabled());
    EXPECT_EQ(busyRounds, 0);
    EXPECT_FALSE(QFile::exists(workFile("MTGIJU10%.CSV")));
    EXPECT_FALSE(QFile::exists(workFile("MTTENP10%.CSV")));

    const Table gijuAfter = technicalMenu(mstori);
    ASSERT_EQ(gijuAfter.size(), gijuBefore.size());
    for (const auto& [key, was] : gijuBefore)
        EXPECT_EQ(gijuAfter.at(key).b, was.b) << key.toStdString();
}

// A run that fails half way is rolled back by the engine, which shows the
// error; the window then ends the program all the same.
TEST_F(RunThroughWindow, AFailedRunChangesNothingAndEnds) {
    sample::execSql(mstori, {QStringLiteral("drop table MTTENP")});
    click({SSCommand1, 0});
    click({SSCommand1, 2});
    click({SSCommand3, 2});
    click({SSCommand6, 0});
    click({SSCommand4});

    ASSERT_EQ(a.boxes.shown.size(), 2u);
    EXPECT_TRUE(a.boxes.shown[1].text.contains(QStringLiteral("MTTENP")))
        << a.boxes.shown[1].text.toStdString();
    EXPECT_NE(a.boxes.shown[1].text, QStringLiteral("終了しました"));
    EXPECT_GT(busyRounds, 0);
    EXPECT_TRUE(a.app->view().unloaded());
    EXPECT_EQ(a.app->connection(), nullptr);

    const Table gijuAfter = technicalMenu(mstori);
    ASSERT_EQ(gijuAfter.size(), gijuBefore.size());
    for (const auto& [key, was] : gijuBefore)
        EXPECT_EQ(gijuAfter.at(key).b, was.b) << key.toStdString();
}

} // namespace
} // namespace tanka::test
