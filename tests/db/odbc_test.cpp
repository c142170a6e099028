// SQL Server through ODBC: the translated connection string, and real opens
// through the FreeTDS driver that fail (nothing but 127.0.0.1 is contacted).
#include <QElapsedTimer>

#ifndef _WIN32
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/connection_string.h"
#include "sqlite_fixture.h"

namespace tanka {
namespace {

TEST(OdbcConnectionString, EveryValueIsBraceQuotedSoNoSettingAddsAttributes) {
    const struct {
        const char* driver;
        ConnectionParams params;
        const char* expected;
    } cases[] = {
        {"FreeTDS",
         {"SV01", "ORBE-TLX-MEMBER", "QDR615", "MSKYAK"},
         "DRIVER={FreeTDS};SERVER={SV01};UID={ORBE-TLX-MEMBER};PWD={QDR615};DATABASE={MSKYAK};"
         "TDS_Version=7.4;"},
        {"SQL Server",
         {"h;Trusted_Connection=yes", "{u}", "}}", "x=y"},
         "DRIVER={SQL Server};SERVER={h;Trusted_Connection=yes};UID={{u}}};PWD={}}}}};"
         "DATABASE={x=y};"},
        {"My}Driver", {}, "DRIVER={My}}Driver};SERVER={(local)};UID={};PWD={};DATABASE={};"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(odbcConnectionString(QString::fromUtf8(c.driver), c.params),
                  QString::fromUtf8(c.expected));
}

// The opens through FreeTDS listen on a raw socket. Not in the Windows build:
// there the driver would be the system's SQL Server driver, which a test
// under Wine cannot reach (Wine hands ODBC to the host's FreeTDS, which the
// Linux run already covers).
#ifndef _WIN32

// Binds fd to a free port of 127.0.0.1 and listens there, never answering;
// the server name of that port.
QString listenLocally(int fd) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof addr;
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), size), 0);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &size);
    EXPECT_EQ(::listen(fd, 4), 0);
    return QStringLiteral("127.0.0.1,%1").arg(ntohs(addr.sin_port));
}

// A refused connection fails at once, a silent host within the login
// timeout; either way with the driver's own number and text, which a
// statement on the unopened connection raises again (the start-up shows the
// error at its first query).
TEST(OdbcOpen, FailsWithTheDriversNumberAndTextInTime) {
    const test::ScopedEnv env{"TANKA_SQLITE_DIR", "TANKA_ODBC_DRIVER"};
    qunsetenv("TANKA_SQLITE_DIR");
    qputenv("TANKA_ODBC_DRIVER", "FreeTDS");
    for (const bool refused : {true, false}) {
        Connection cn;
        ConnectionParams params = test::sv01(QStringLiteral("MSKYAK"));
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        params.server = listenLocally(fd);
        if (refused)
            ::close(fd); // and the default login timeout of 15 seconds
        else
            cn.setConnectionTimeout(2);
        cn.setConnectionParams(params);
        QElapsedTimer timer;
        timer.start();
        const RunError e = test::raised([&] { cn.open(); });
        EXPECT_LT(timer.elapsed(), refused ? 15000 : 20000);
        EXPECT_NE(e.number(), -1) << refused;
        EXPECT_NE(e.number(), 0) << refused;
        EXPECT_FALSE(e.description().empty());
        EXPECT_FALSE(cn.isOpen());
        const RunError again = test::raised([&] { cn.execute(QStringLiteral("select 1")); });
        EXPECT_EQ(again.number(), e.number());
        EXPECT_EQ(again.description(), e.description());
        if (!refused)
            ::close(fd);
    }
}

#endif

} // namespace
} // namespace tanka
