#include "db/connection.h"

#include <atomic>

#include "db/connection_p.h"
#include "db/db_errors.h"
#include "db/odbc_engine.h"
#include "db/recordset.h"
#include "db/recordset_p.h"
#include "db/sqlite_engine.h"

namespace tanka {

namespace {

QString uniqueConnectionName() {
    static std::atomic<unsigned> counter{0};
    return QStringLiteral("tanka-connection-%1").arg(++counter);
}

std::unique_ptr<Engine> engineForEnvironment() {
    if (qEnvironmentVariableIsSet("TANKA_SQLITE_DIR"))
        return std::make_unique<SqliteEngine>(qEnvironmentVariable("TANKA_SQLITE_DIR"));
    return std::make_unique<OdbcEngine>(odbcDriverName());
}

// A driver may repeat what it was given in its error text; the password never
// reaches the user that way.
RunError withoutPassword(const RunError& e, const QString& password) {
    if (password.isEmpty())
        return e;
    QString text = QString::fromStdString(e.description());
    if (!text.contains(password))
        return e;
    text.replace(password, QStringLiteral("****"));
    return RunError(e.number(), text.toStdString());
}

} // namespace

void ConnectionPrivate::requireOpen() const {
    if (open)
        return;
    if (openError)
        throw *openError;
    dberr::raiseClosed();
}

QSqlQuery ConnectionPrivate::newQuery() const {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    return query;
}

void ConnectionPrivate::raise(const QSqlError& e) const {
    throw engine->error(e);
}

void ConnectionPrivate::shutdown() {
    while (!recordsets.empty())
        recordsets.back()->release();
    if (db.isValid()) {
        if (open && inTransaction)
            db.rollback();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    open = false;
    inTransaction = false;
    engine.reset();
}

Connection::Connection() : m_d(std::make_unique<ConnectionPrivate>()) {
    m_d->name = uniqueConnectionName();
}

Connection::~Connection() {
    m_d->shutdown();
}

void Connection::setConnectionParams(const ConnectionParams& params) {
    if (m_d->open)
        dberr::raise(dberr::ObjectOpen,
                     QStringLiteral("Operation is not allowed when the object is open."));
    m_d->params = params;
}

const ConnectionParams& Connection::connectionParams() const {
    return m_d->params;
}

void Connection::setConnectionTimeout(int seconds) {
    m_d->connectionTimeout = seconds;
}

void Connection::setCommandTimeout(int seconds) {
    m_d->commandTimeout = seconds;
    if (m_d->open)
        m_d->engine->setCommandTimeout(m_d->db, seconds);
}

int Connection::connectionTimeout() const {
    return m_d->connectionTimeout;
}

int Connection::commandTimeout() const {
    return m_d->commandTimeout;
}

void Connection::open() {
    if (m_d->open)
        dberr::raise(dberr::ObjectOpen,
                     QStringLiteral("Operation is not allowed when the object is open."));
    m_d->shutdown();
    m_d->openError.reset();
    m_d->engine = engineForEnvironment();
    try {
        m_d->db = QSqlDatabase::addDatabase(m_d->engine->driverName(), m_d->name);
        if (!m_d->db.isValid())
            dberr::raise(dberr::Fail, QStringLiteral("Database driver %1 is not available.")
                                          .arg(m_d->engine->driverName()));
        m_d->engine->open(m_d->db, m_d->params, m_d->connectionTimeout, m_d->commandTimeout);
    } catch (const RunError& e) {
        m_d->shutdown();
        m_d->openError = withoutPassword(e, m_d->params.pwd);
        throw *m_d->openError;
    }
    m_d->open = true;
}

void Connection::close() {
    const bool wasOpen = m_d->open;
    m_d->shutdown();
    m_d->openError.reset();
    if (!wasOpen)
        dberr::raiseClosed();
}

bool Connection::isOpen() const {
    return m_d->open;
}

void Connection::execute(const QString& sql) {
    m_d->requireOpen();
    if (m_d->engine->answer(sql))
        return;
    const QString text = m_d->engine->translate(sql);
    ++m_d->statements;
    QSqlQuery query = m_d->newQuery();
    if (!query.exec(text))
        m_d->raise(query.lastError());
    query.finish();
}

std::unique_ptr<Recordset> Connection::executeQuery(const QString& sql) {
    auto rs = std::make_unique<Recordset>();
    rs->open(sql, *this, CursorType::ForwardOnly, LockType::ReadOnly);
    return rs;
}

void Connection::beginTrans() {
    m_d->requireOpen();
    if (m_d->inTransaction)
        dberr::raise(dberr::TransactionExists,
                     QStringLiteral("Only one transaction can be active on this session."));
    ++m_d->statements;
    if (!m_d->db.transaction())
        m_d->raise(m_d->db.lastError());
    m_d->inTransaction = true;
}

void Connection::commitTrans() {
    m_d->requireOpen();
    if (!m_d->inTransaction)
        dberr::raise(dberr::CommitWithoutBegin,
                     QStringLiteral("The COMMIT TRANSACTION request has no corresponding BEGIN "
                                    "TRANSACTION."));
    ++m_d->statements;
    if (!m_d->db.commit())
        m_d->raise(m_d->db.lastError());
    m_d->inTransaction = false;
}

void Connection::rollbackTrans() {
    m_d->requireOpen();
    if (!m_d->inTransaction)
        dberr::raise(dberr::RollbackWithoutBegin,
                     QStringLiteral("The ROLLBACK TRANSACTION request has no corresponding BEGIN "
                                    "TRANSACTION."));
    m_d->inTransaction = false;
    ++m_d->statements;
    if (!m_d->db.rollback())
        m_d->raise(m_d->db.lastError());
}

std::uint64_t Connection::statementCount() const {
    return m_d->statements;
}

bool Connection::inTransaction() const {
    return m_d->inTransaction;
}

} // namespace tanka
