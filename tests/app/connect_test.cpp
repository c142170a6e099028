// openConnection: the database of an index on its server, opened, or the error
// given back as a result instead of raised.
#include <gtest/gtest.h>

#include "app/connect.h"
#include "db/sqlite_fixture.h"

namespace tanka {
namespace {

TEST(Connect, OpenCNReturnsMinusOneOrTheErrorWithoutRaising) {
    test::SqliteServers servers;
    test::createInstallation(servers);
    Globals g = test::globalsOnSv01();
    g.servers[0] = QStringLiteral("T"); // MSTORI's: no such server
    const struct {
        const char* name;
        std::int32_t index;
        std::int32_t number;
        const char* text;
    } cases[] = {
        {"opens", 2, -1, ""},
        {"unreachable server", 0, -2147467259,
         "[DBNETLIB]SQL Server does not exist or access denied."},
        {"no database", 1002, 4060,
         "Cannot open database \"Master\" requested by the login. The login failed."},
    };
    for (const auto& c : cases) {
        Connection cn;
        QString failureText = QStringLiteral("old");
        std::int32_t result = 0;
        EXPECT_NO_THROW(result = openConnection(c.index, &cn, failureText, g).value()) << c.name;
        EXPECT_EQ(result, c.number) << c.name;
        EXPECT_EQ(failureText.toStdString(), c.text) << c.name;
        EXPECT_EQ(cn.isOpen(), c.number == -1) << c.name;
        EXPECT_EQ(cn.connectionParams().database, connectionParamsFor(c.index, g).database);
    }
}

} // namespace
} // namespace tanka
