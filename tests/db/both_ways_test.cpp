// Record sets on the embedded server go their own way to SQLite; the way
// through Qt SQL, which SQL Server takes, must answer alike. Each case runs
// both ways on the same installation.
#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/recordset.h"
#include "sqlite_fixture.h"

namespace tanka {
namespace {

using test::raised;
using test::SqliteServers;
using test::sv01;

class BothWaysTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam())
            qputenv("TANKA_SQLITE_VIA_QT", "1");
        test::createInstallation(servers);
        cn.setConnectionParams(sv01(QStringLiteral("MSKYAK")));
        cn.open();
    }
    QString stori() const { return servers.sv01File("MSTORI"); }
    QVariant storiValue(const QString& sql) const { return SqliteServers::scalar(stori(), sql); }

    test::ScopedEnv env{"TANKA_SQLITE_VIA_QT"};
    SqliteServers servers;
    Connection cn;
};

TEST_P(BothWaysTest, ValuesAndLinesComeAlike) {
    SqliteServers::run(stori(),
                       {QStringLiteral("CREATE TABLE V (id INTEGER PRIMARY KEY, n INTEGER, r REAL, "
                                       "t NVARCHAR(20), d DATETIME, b BLOB)"),
                        QStringLiteral("INSERT INTO V VALUES (1, -12, 0.25, 'ｶｯﾄ', "
                                       "'2019-09-30 00:00:00', x'00ff')"),
                        QStringLiteral("INSERT INTO V VALUES (2, NULL, NULL, '', 'x', NULL)")});
    Recordset rs;
    rs.open(QStringLiteral("SELECT * From MSTORI.dbo.V  ORDER BY id"), cn, CursorType::Static);
    const struct {
        const char* column;
        QMetaType::Type type;
        bool null;
    } values[] = {{"n", QMetaType::LongLong, false},
                  {"r", QMetaType::Double, false},
                  {"t", QMetaType::QString, false},
                  {"d", QMetaType::QString, false},
                  {"b", QMetaType::QByteArray, false}};
    for (const auto& v : values) {
        EXPECT_EQ(rs.value(QString::fromLatin1(v.column)).typeId(), v.type) << v.column;
        EXPECT_EQ(rs.value(QString::fromLatin1(v.column)).isNull(), v.null) << v.column;
    }
    const QString sep = QStringLiteral("\t");
    const QString end = QStringLiteral("\r\n");
    const QString null = QStringLiteral("#NULL#");
    EXPECT_EQ(rs.getString(sep, end, null),
              QStringLiteral("1\t-12\t0.25\tｶｯﾄ\t2019/09/30 00:00:00\t00FF\r\n"));
    EXPECT_TRUE(rs.value(QStringLiteral("n")).isNull());
    EXPECT_EQ(rs.value(QStringLiteral("n")).typeId(), QMetaType::QString);
    EXPECT_EQ(rs.getString(sep, end, null), QStringLiteral("2\t#NULL#\t#NULL#\t\tx\t#NULL#\r\n"));
    EXPECT_TRUE(rs.isEOF());
}

INSTANTIATE_TEST_SUITE_P(Ways, BothWaysTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "through_qt" : "direct";
                         });

} // namespace
} // namespace tanka
