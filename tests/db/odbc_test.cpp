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
#include "db/odbc_engine.h"
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
         {"", "", "", ""},
         "DRIVER={SQL Server};SERVER={(local)};UID={};PWD={};DATABASE={};"},
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

// A socket on 127.0.0.1 that listens (and never answers) or is closed again.
class LocalPort {
public:
    explicit LocalPort(bool listening) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        socklen_t size = sizeof addr;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &size);
        m_port = ntohs(addr.sin_port);
        if (listening)
            EXPECT_EQ(::listen(m_fd, 4), 0);
        else
            closeSocket();
    }
    ~LocalPort() { closeSocket(); }
    LocalPort(const LocalPort&) = delete;
    LocalPort& operator=(const LocalPort&) = delete;

    QString server() const { return QStringLiteral("127.0.0.1,%1").arg(m_port); }

private:
    void closeSocket() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    int m_fd = -1;
    int m_port = 0;
};

class OdbcOpenTest : public ::testing::Test {
protected:
    void SetUp() override {
        qunsetenv("TANKA_SQLITE_DIR");
        qputenv("TANKA_ODBC_DRIVER", "FreeTDS");
    }

private:
    test::ScopedEnv m_env{"TANKA_SQLITE_DIR", "TANKA_ODBC_DRIVER"};
};

TEST_F(OdbcOpenTest, RefusedConnectionGivesTheDriversNumberAndText) {
    const LocalPort closed(false);
    Connection cn;
    ConnectionParams params = test::sv01(QStringLiteral("MSKYAK"));
    params.server = closed.server();
    cn.setConnectionParams(params);
    QElapsedTimer timer;
    timer.start();
    const RunError refused = test::raised([&] { cn.open(); });
    EXPECT_LT(timer.elapsed(), 15000);
    EXPECT_NE(refused.number(), -1);
    EXPECT_NE(refused.number(), 0);
    EXPECT_FALSE(refused.description().empty());
    EXPECT_FALSE(cn.isOpen());
    // The start-up shows this same error at its first query.
    const RunError e = test::raised([&] { cn.execute(QStringLiteral("select 1")); });
    EXPECT_EQ(e.number(), refused.number());
    EXPECT_EQ(e.description(), refused.description());
}

TEST_F(OdbcOpenTest, SilentHostFailsWithinTheLoginTimeout) {
    const LocalPort silent(true);
    Connection cn;
    ConnectionParams params = test::sv01(QStringLiteral("MSKYAK"));
    params.server = silent.server();
    cn.setConnectionParams(params);
    cn.setConnectionTimeout(2);
    QElapsedTimer timer;
    timer.start();
    const RunError e = test::raised([&] { cn.open(); });
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_NE(e.number(), 0);
    EXPECT_NE(e.number(), -1);
    EXPECT_FALSE(e.description().empty());
}

#endif

} // namespace
} // namespace tanka
