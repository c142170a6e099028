#include "db/sqlite_engine.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>

#include <climits>

#include "db/db_errors.h"
#include "db/odbc_engine.h"
#include "db/sql_text.h"
#include "db/value_text.h"
#include "install/drive_map.h"

namespace tanka {

namespace {

const QString kFileSuffix = QStringLiteral(".sqlite");
// The fixed login of the point-of-sale installation.
const QString kLogin = QStringLiteral("ORBE-TLX-MEMBER");
const QString kPassword = QStringLiteral("QDR615");

// The entry of dir named name without regard to case (an exact match first);
// empty when there is none.
QString findEntry(const QString& dir, const QString& name, QDir::Filters filters) {
    const QStringList entries = QDir(dir).entryList(filters | QDir::NoDotAndDotDot, QDir::Name);
    if (entries.contains(name))
        return name;
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return {};
}

[[noreturn]] void raiseNoServer() {
    dberr::raise(dberr::Fail,
                 QStringLiteral("[DBNETLIB]SQL Server does not exist or access denied."));
}

// The folder of server, or raises as an unreachable server does.
QString serverFolder(const QString& root, const QString& server) {
    if (root.isEmpty() || !QFileInfo(root).isDir())
        raiseNoServer();
    const QStringList parts =
        server.isEmpty() ? QStringList{QStringLiteral("(local)")} : server.split(u'\\');
    QString dir = root;
    for (const QString& part : parts) {
        if (part.isEmpty() || part == u"." || part == u".." || part.contains(u'/'))
            raiseNoServer();
        const QString entry = findEntry(dir, part, QDir::Dirs | QDir::Hidden);
        if (entry.isEmpty())
            raiseNoServer();
        dir += u'/' + entry;
    }
    return dir;
}

// SQLite's default limit of attached databases.
constexpr int kAttachLimit = 10;

int busyMilliseconds(int seconds) {
    // 0 waits without limit, as a command timeout of 0 does.
    if (seconds <= 0 || seconds >= INT_MAX / 1000)
        return INT_MAX;
    return seconds * 1000;
}

void runPragma(QSqlDatabase& db, const QString& text) {
    QSqlQuery query(db);
    query.exec(text);
    query.finish();
}

} // namespace

SqliteEngine::SqliteEngine(QString root)
    : m_root(std::move(root)), m_odbc(qEnvironmentVariableIsSet("TANKA_SQLITE_VIA_ODBC")) {}

QString SqliteEngine::driverName() const {
    return m_odbc ? QStringLiteral("QODBC") : QStringLiteral("QSQLITE");
}

void SqliteEngine::connect(QSqlDatabase& db, const QString& file, int loginTimeout,
                           int commandTimeout) {
    if (!m_odbc) {
        db.setDatabaseName(file);
        db.setConnectOptions(
            QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyMilliseconds(commandTimeout)));
        if (!db.open())
            throw RunError(dberr::Fail, db.lastError().text().toStdString());
        return;
    }
    // The driver's lock wait ("Timeout", milliseconds) stands for the command
    // timeout; integers as 64-bit numbers, as the file holds them; a file that
    // vanished since the folder was listed is not created again.
    const QString driver = qEnvironmentVariableIsSet("TANKA_SQLITE_ODBC_DRIVER")
                               ? qEnvironmentVariable("TANKA_SQLITE_ODBC_DRIVER")
                               : QStringLiteral("SQLite3");
    // The driver takes the file name as it stands (braces would become part
    // of it), so a name that would end the attribute early is refused.
    if (file.contains(u';') || file.startsWith(u'{'))
        dberr::raise(dberr::Fail,
                     QStringLiteral("The file %1 cannot be named to the ODBC driver.").arg(file));
    db.setDatabaseName(
        QStringLiteral("DRIVER=%1;DATABASE=%2;Timeout=%3;BigInt=1;StepAPI=1;NoCreat=1;")
            .arg(odbcQuote(driver), file)
            .arg(busyMilliseconds(commandTimeout)));
    db.setConnectOptions(OdbcEngine::connectOptions(loginTimeout));
    if (!db.open()) {
        const QString text = OdbcEngine::diagnosticText(db.lastError());
        throw RunError(dberr::Fail,
                       text.isEmpty() ? "The ODBC connection failed." : text.toStdString());
    }
}

void SqliteEngine::open(QSqlDatabase& db, const ConnectionParams& params, int loginTimeout,
                        int commandTimeout) {
    const QString folder = serverFolder(m_root, params.server);

    // SQL Server logins compare without regard to case, passwords exactly.
    if (params.uid.compare(kLogin, Qt::CaseInsensitive) != 0 || params.pwd != kPassword)
        dberr::raise(dberr::LoginFailed,
                     QStringLiteral("Login failed for user '%1'.").arg(params.uid));

    // The databases of the server, one per file, first spelling of a name wins.
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    m_files.clear();
    for (const QString& file : files) {
        if (!file.endsWith(kFileSuffix, Qt::CaseInsensitive) || file.size() == kFileSuffix.size())
            continue;
        const QString name = file.chopped(kFileSuffix.size()).toUpper();
        if (!m_files.contains(name))
            m_files.insert(name, folder + u'/' + file);
    }
    m_mainName = params.database.toUpper();
    if (params.database.isEmpty() || !m_files.contains(m_mainName))
        dberr::raise(dberr::CannotOpenDatabase,
                     QStringLiteral("Cannot open database \"%1\" requested by the login. The "
                                    "login failed.")
                         .arg(params.database));

    connect(db, m_files.value(m_mainName), loginTimeout, commandTimeout);

    // Reading the main database's schema waits for a lock another program
    // holds on it; when the wait runs out the open fails with that timeout
    // at once, instead of every database attached below waiting in turn.
    {
        QSqlQuery main(db);
        if (!main.exec(QStringLiteral("PRAGMA main.journal_mode=DELETE")))
            throw error(main.lastError());
    }
    QMap<QString, QString> reachable{{m_mainName, m_files.value(m_mainName)}};
    m_broken.clear();
    int attached = 0;
    // Past the attach limit the remaining databases are not there.
    for (auto it = m_files.cbegin(); it != m_files.cend() && attached < kAttachLimit; ++it) {
        const QString& name = it.key();
        if (name == m_mainName || name == u"MAIN" || name == u"TEMP")
            continue;
        const QString schema = sqltext::quoteIdentifier(name);
        QSqlQuery query(db);
        query.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + schema);
        query.addBindValue(it.value());
        // ATTACH may leave the file unread; its schema is read here. A lock
        // held elsewhere is no damage: the database stays, and a statement
        // meets the lock in its turn.
        const bool isAttached = query.exec();
        if (isAttached &&
            (query.exec(QStringLiteral("PRAGMA %1.journal_mode=DELETE").arg(schema)) ||
             error(query.lastError()).number() == dberr::Timeout)) {
            ++attached;
            reachable.insert(name, it.value());
            continue;
        }
        // A file SQLite cannot read: this database alone is unusable.
        const RunError cause = error(query.lastError());
        m_broken.insert(name, RunError(cause.number(),
                                       QStringLiteral("Database '%1' cannot be opened. %2")
                                           .arg(name, QString::fromStdString(cause.description()))
                                           .toStdString()));
        query.finish();
        if (isAttached)
            runPragma(db, QStringLiteral("DETACH DATABASE ") + schema);
    }
    m_files = reachable;

    QSqlQuery version(db);
    if (version.exec(QStringLiteral("select sqlite_version()")) && version.next())
        m_version = version.value(0).toString();
}

void SqliteEngine::setCommandTimeout(QSqlDatabase& db, int seconds) {
    runPragma(db, QStringLiteral("PRAGMA busy_timeout=%1").arg(busyMilliseconds(seconds)));
}

void SqliteEngine::requireDatabase(const QString& database, const QString& objectText) const {
    if (const auto it = m_broken.constFind(database); it != m_broken.cend())
        throw *it;
    if (!m_files.contains(database))
        dberr::raiseInvalidObject(objectText);
}

std::optional<FixedResult> SqliteEngine::answer(const QString& sql) const {
    const QString text = sqltext::normalized(sql);
    if (text == u"select @@version")
        return FixedResult{{QString()}, {{QStringLiteral("SQLite %1 (embedded)").arg(m_version)}}};

    static const QRegularExpression databaseFiles(QStringLiteral(
        "^select \\* from \\[?([^\\].]+)\\]?\\.\\[?sys\\]?\\.\\[?database_files\\]?$"));
    if (const auto m = databaseFiles.match(text); m.hasMatch()) {
        const QString name = m.captured(1).toUpper();
        requireDatabase(name, m.captured(1) + QStringLiteral(".sys.database_files"));
        const QString host = QFileInfo(m_files.value(name)).absoluteFilePath();
        const QString windows = DriveMap::fromEnvironment().windowsPath(host);
        return FixedResult{{QStringLiteral("file_id"), QStringLiteral("type_desc"),
                            QStringLiteral("name"), QStringLiteral("physical_name")},
                           {{qlonglong{1}, QStringLiteral("ROWS"), name,
                             windows.isEmpty() ? QDir::toNativeSeparators(host) : windows}}};
    }
    return std::nullopt;
}

QString SqliteEngine::translate(const QString& sql) const {
    // Names without a database mean the connected one, as on SQL Server
    // (SQLite would otherwise look through the attached databases too).
    return sqltext::replaceObjectNames(sql, [this](const sqltext::ObjectName& name) {
        if (!name.schema.isEmpty() && name.schema.compare(u"dbo", Qt::CaseInsensitive) != 0)
            dberr::raiseInvalidObject(name.text);
        const QString database = name.database.isEmpty() ? m_mainName : name.database.toUpper();
        requireDatabase(database, name.text);
        const QString schema =
            database == m_mainName ? QStringLiteral("main") : sqltext::quoteIdentifier(database);
        return schema + u'.' + sqltext::quoteIdentifier(name.object);
    });
}

TableInfo SqliteEngine::tableInfo(QSqlDatabase& db, const QStringList& parts) const {
    TableInfo info;
    if (parts.isEmpty() || parts.size() > 2)
        return info;
    const QString schema =
        parts.size() == 2 ? sqltext::quoteIdentifier(parts.front()) + u'.' : QString();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA %1table_info(%2)")
                        .arg(schema, sqltext::quoteIdentifier(parts.back()))))
        return info;
    while (query.next())
        info.columns.push_back({query.value(1).toString(), query.value(2).toString()});
    return info;
}

QVariant SqliteEngine::storedValue(const ColumnInfo& column, const QVariant& value) const {
    return serverAssignment(column.kind, column.declaredType, value);
}

sqlite3* SqliteEngine::sqliteHandle(const QSqlDatabase& db) const {
    // Qt's driver hands out its connection as a variant of type "sqlite3*"; the
    // driver links the system's libsqlite3, as this layer does.
    if (m_odbc)
        return nullptr;
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

RunError SqliteEngine::error(const QSqlError& e) const {
    QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    int code = e.nativeErrorCode().toInt();
    if (m_odbc) {
        // The SQLite ODBC driver's record: "[SQLite]message (code)".
        const QString record = OdbcEngine::diagnosticText(e);
        static const QRegularExpression shape(QStringLiteral("^\\[SQLite\\](.*) \\((\\d+)\\)$"));
        if (const auto m = shape.match(record); m.hasMatch()) {
            text = m.captured(1);
            code = m.captured(2).toInt();
        } else if (!record.isEmpty()) {
            text = record;
        }
    }
    static const QRegularExpression noTable(QStringLiteral("^no such table: (?:main\\.)?(.+)$"));
    static const QRegularExpression noColumn(QStringLiteral("^no such column: (.+)$"));
    if (const auto m = noTable.match(text); m.hasMatch())
        return RunError(
            dberr::InvalidObjectName,
            QStringLiteral("Invalid object name '%1'.").arg(m.captured(1)).toStdString());
    if (const auto m = noColumn.match(text); m.hasMatch())
        return RunError(
            dberr::InvalidColumnName,
            QStringLiteral("Invalid column name '%1'.").arg(m.captured(1)).toStdString());
    code &= 0xff;
    if (code == 5 || code == 6) // SQLITE_BUSY, SQLITE_LOCKED
        return RunError(dberr::Timeout, "Query timeout expired");
    return RunError(dberr::CommandFailed, text.toStdString());
}

} // namespace tanka
