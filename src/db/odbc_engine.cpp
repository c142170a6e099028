#include "db/odbc_engine.h"

#include <QSqlQuery>

#include <algorithm>
#include <climits>

#include "db/db_errors.h"
#include "db/sql_text.h"

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
    QSqlQuery session(db);
    if (!session.exec(QStringLiteral("SET NOCOUNT OFF")))
        throw error(session.lastError());
    session.finish();
    setCommandTimeout(db, commandTimeout);
}

void OdbcEngine::setCommandTimeout(QSqlDatabase& db, int seconds) {
    // Milliseconds; -1 waits without limit, as a command timeout of 0 does.
    const qint64 ms = seconds > 0 ? std::min<qint64>(qint64{seconds} * 1000, INT_MAX) : -1;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SET LOCK_TIMEOUT %1").arg(ms)))
        throw error(query.lastError());
    query.finish();
}

TableInfo OdbcEngine::tableInfo(QSqlDatabase& db, const QStringList& parts) const {
    TableInfo info;
    if (parts.isEmpty() || parts.size() > 3)
        return info;
    const QString table = parts.back();
    const QString schema = parts.size() >= 2 && !parts[parts.size() - 2].isEmpty()
                               ? parts[parts.size() - 2]
                               : QStringLiteral("dbo");
    const QString catalog =
        parts.size() == 3 ? sqltext::quoteIdentifier(parts.front()) + u'.' : QString();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT k.COLUMN_NAME FROM %1INFORMATION_SCHEMA.TABLE_CONSTRAINTS t "
                       "JOIN %1INFORMATION_SCHEMA.KEY_COLUMN_USAGE k "
                       "ON k.CONSTRAINT_NAME = t.CONSTRAINT_NAME "
                       "AND k.CONSTRAINT_SCHEMA = t.CONSTRAINT_SCHEMA "
                       "AND k.TABLE_NAME = t.TABLE_NAME "
                       "WHERE t.CONSTRAINT_TYPE = 'PRIMARY KEY' AND t.TABLE_NAME = ? "
                       "AND t.TABLE_SCHEMA = ? ORDER BY k.ORDINAL_POSITION")
            .arg(catalog));
    query.addBindValue(table);
    query.addBindValue(schema);
    if (!query.exec())
        return info;
    while (query.next())
        info.keyColumns << query.value(0).toString();
    query.finish();
    return info;
}

OdbcEngine::Diagnostic OdbcEngine::diagnostic(const QSqlError& e) {
    Diagnostic d;
    bool ok = false;
    d.number = e.nativeErrorCode().toInt(&ok);
    if (!ok)
        d.number = 0;
    d.text = e.databaseText().trimmed();
    if (d.text.isEmpty())
        d.text = e.driverText().trimmed();
    return d;
}

RunError OdbcEngine::error(const QSqlError& e) const {
    Diagnostic d = diagnostic(e);
    if (d.number == 0 || d.number == -1)
        d.number = dberr::Fail;
    if (d.number == kLockTimeout)
        d.number = dberr::Timeout;
    if (d.text.isEmpty())
        d.text = QStringLiteral("[%1] The operation failed.").arg(m_driver);
    return RunError(d.number, d.text.toStdString());
}

} // namespace tanka
