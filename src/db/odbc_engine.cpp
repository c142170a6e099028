#include "db/odbc_engine.h"

#include <QSqlQuery>

#include <algorithm>
#include <climits>

#include "db/db_errors.h"

namespace tanka {

namespace {

// "Lock request time out period exceeded."
constexpr std::int32_t kLockTimeout = 1222;

} // namespace

OdbcEngine::OdbcEngine(QString driver) : m_driver(std::move(driver)) {}

QString OdbcEngine::connectOptions(int loginTimeout) {
    const int seconds = loginTimeout > 0 ? loginTimeout : 15;
    return QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(seconds);
}

void OdbcEngine::open(QSqlDatabase& db, const ConnectionParams& params, int loginTimeout,
                      int commandTimeout) {
    db.setDatabaseName(odbcConnectionString(m_driver, params));
    db.setConnectOptions(connectOptions(loginTimeout));
    if (!db.open())
        throw error(db.lastError());
    run(db, QStringLiteral("SET NOCOUNT OFF"));
    setCommandTimeout(db, commandTimeout);
}

void OdbcEngine::setCommandTimeout(QSqlDatabase& db, int seconds) {
    // Milliseconds; -1 waits without limit, as a command timeout of 0 does.
    const qint64 ms = seconds > 0 ? std::min<qint64>(qint64{seconds} * 1000, INT_MAX) : -1;
    run(db, QStringLiteral("SET LOCK_TIMEOUT %1").arg(ms));
}

void OdbcEngine::run(QSqlDatabase& db, const QString& sql) const {
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw error(query.lastError());
}

QString OdbcEngine::diagnosticText(const QSqlError& e) {
    const QString text = e.databaseText().trimmed();
    return text.isEmpty() ? e.driverText().trimmed() : text;
}

RunError OdbcEngine::error(const QSqlError& e) const {
    // The driver's native number; none (0 or -1) is E_FAIL.
    std::int32_t number = e.nativeErrorCode().toInt();
    if (number == 0 || number == -1)
        number = dberr::Fail;
    if (number == kLockTimeout)
        number = dberr::Timeout;
    QString text = diagnosticText(e);
    if (text.isEmpty())
        text = QStringLiteral("[%1] The operation failed.").arg(m_driver);
    return RunError(number, text.toStdString());
}

} // namespace tanka
