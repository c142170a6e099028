// The connection routines: index table, connection string, opening and
// closing with results instead of errors.
#include <gtest/gtest.h>

#include "db/connect.h"
#include "db/recordset.h"
#include "sqlite_fixture.h"

namespace tanka {
namespace {

using test::SqliteServers;

Globals distinctServers() {
    Globals g;
    g.SvTori = QStringLiteral("T");
    g.SvJsho = QStringLiteral("J");
    g.SvKyak = QStringLiteral("SV01");
    g.SvUria = QStringLiteral("U");
    g.SvLocl = QStringLiteral("L");
    g.SvHonb = QStringLiteral("H");
    g.LoginID = QStringLiteral("ORBE-TLX-MEMBER");
    g.LoginPW = QStringLiteral("QDR615");
    return g;
}

TEST(GetDBName, IndexTableGivesDatabaseAndItsServer) {
    const Globals g = distinctServers();
    const struct {
        std::int32_t index;
        const char* database;
        const char* server;
    } cases[] = {
        {0, "MSTORI", "T"}, {2, "MSKYAK", "SV01"}, {5, "MSHONB", "H"},
        {1005, "Master", "H"}, {6, "", ""},        {1006, "", ""},
    };
    for (const auto& c : cases) {
        QString db = QStringLiteral("old");
        QString sv = QStringLiteral("old");
        Get_DBName(c.index, db, sv, g);
        EXPECT_EQ(db.toStdString(), c.database) << c.index;
        EXPECT_EQ(sv.toStdString(), c.server) << c.index;
    }
}

class ConnectTest : public ::testing::Test {
protected:
    void SetUp() override { test::createInstallation(servers); }
    SqliteServers servers;
    Globals g = distinctServers();
};

TEST_F(ConnectTest, OpenCNReturnsMinusOneOrTheErrorWithoutRaising) {
    const struct {
        const char* name;
        std::int32_t index;
        QString uid;
        std::int32_t number;
        const char* text;
    } cases[] = {
        {"opens", 2, "ORBE-TLX-MEMBER", -1, ""},
        {"unreachable server", 0, "ORBE-TLX-MEMBER", -2147467259,
         "[DBNETLIB]SQL Server does not exist or access denied."},
        {"empty login", 2, "", 18456, "Login failed for user ''."},
        {"no database", 1002, "ORBE-TLX-MEMBER", 4060,
         "Cannot open database \"Master\" requested by the login. The login failed."},
    };
    for (const auto& c : cases) {
        g.LoginID = c.uid;
        Connection cn;
        QString ErrMsg = QStringLiteral("old");
        std::int32_t result = 0;
        EXPECT_NO_THROW(result = Open_CN(c.index, &cn, ErrMsg, g).value()) << c.name;
        EXPECT_EQ(result, c.number) << c.name;
        EXPECT_EQ(ErrMsg.toStdString(), c.text) << c.name;
        EXPECT_EQ(cn.isOpen(), c.number == -1) << c.name;
        EXPECT_EQ(cn.connectionParams().database, Get_ConnectParams(c.index, g).database);
    }
}

TEST_F(ConnectTest, CloseCNAlwaysReleases) {
    const struct {
        const char* name;
        bool create;
        bool open;
        std::int32_t number;
    } cases[] = {
        {"open", true, true, -1},
        {"never opened", true, false, 3704},
        {"never created", false, false, 91},
    };
    for (const auto& c : cases) {
        std::unique_ptr<Connection> cn;
        if (c.create) {
            cn = std::make_unique<Connection>();
            if (c.open) {
                QString ignored;
                ASSERT_TRUE(Open_CN(2, cn.get(), ignored, g).ok());
            }
        }
        QString ErrMsg;
        std::int32_t result = 0;
        EXPECT_NO_THROW(result = Close_CN(cn, &ErrMsg).value()) << c.name;
        EXPECT_EQ(result, c.number) << c.name;
        EXPECT_EQ(ErrMsg.isEmpty(), c.number == -1) << c.name;
        EXPECT_EQ(cn, nullptr) << c.name;
        // Twice in a row raises nothing either.
        EXPECT_NO_THROW(Close_CN(cn));
        EXPECT_NO_THROW(L_End_CN(cn));
    }
}

TEST_F(ConnectTest, StartCNOpensTheCustomerDatabaseWithALongCommandTimeout) {
    std::unique_ptr<Connection> cn;
    L_Start_CN(cn, g);
    ASSERT_NE(cn, nullptr);
    EXPECT_TRUE(cn->isOpen());
    EXPECT_EQ(cn->commandTimeout(), 9999);
    Recordset rs;
    rs.open(QStringLiteral("select count(*) from MKKYAK"), *cn); // MSKYAK's own table
    EXPECT_EQ(rs.value(0).toInt(), 0);
    rs.close();
    L_End_CN(cn);
    EXPECT_EQ(cn, nullptr);
}

} // namespace
} // namespace tanka
