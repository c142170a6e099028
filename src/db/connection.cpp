#include "db/connection.h"

#include <atomic>

#include "db/connection_p.h"
#include "db/db_errors.h"
#include "db/odbc_engine.h"
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
    QString text = QString::fromStdString(e.description());
    if (password.isEmpty() || !text.contains(password))
        return e;
    text.replace(password, QStringLiteral("****"));
    return RunError(e.number(), text.toStdString());
}

void requireClosed(const ConnectionPrivate& d) {
    if (d.open)
        dberr::raise(dberr::ObjectOpen,
                     QStringLiteral("Operation is not allowed when the object is open."));
}

void requireTransaction(const ConnectionPrivate& d, std::int32_t number, QStringView command) {
    d.requireOpen();
    if (!d.inTransaction)
        dberr::raise(number, QStringLiteral("The %1 TRANSACTION request has no corresponding "
                                            "BEGIN TRANSACTION.")
                                 .arg(command));
}

// Begins, commits or rolls back the transaction on the server.
void transactionCommand(ConnectionPrivate& d, bool (QSqlDatabase::*command)()) {
    ++d.statements;
    if (!(d.db.*command)())
        d.raise(d.db.lastError());
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
    requireClosed(*m_d);
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

int Connection::commandTimeout() const {
    return m_d->commandTimeout;
}

void Connection::open() {
    requireClosed(*m_d);
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

void Connection::beginTrans() {
    m_d->requireOpen();
    if (m_d->inTransaction)
        dberr::raise(dberr::TransactionExists,
                     QStringLiteral("Only one transaction can be active on this session."));
    transactionCommand(*m_d, &QSqlDatabase::transaction);
    m_d->inTransaction = true;
}

void Connection::commitTrans() {
    requireTransaction(*m_d, dberr::CommitWithoutBegin, u"COMMIT");
    transactionCommand(*m_d, &QSqlDatabase::commit);
    m_d->inTransaction = false;
}

void Connection::rollbackTrans() {
    requireTransaction(*m_d, dberr::RollbackWithoutBegin, u"ROLLBACK");
    m_d->inTransaction = false; // even when the server's rollback fails
    transactionCommand(*m_d, &QSqlDatabase::rollback);
}

std::uint64_t Connection::statementCount() const {
    return m_d->statements;
}

bool Connection::inTransaction() const {
    return m_d->inTransaction;
}

} // namespace tanka
