#include "db/sqlite_statement.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QTime>

#include <utility>

#include "db/db_errors.h"
#include "db/engine.h"
#include "db/row_data.h"

namespace tanka {

namespace {

// Null as Qt's driver binds it: a null variant, or one holding a null text or
// byte array or an invalid date or time.
bool bindsNull(const QVariant& value) {
    if (value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
        return static_cast<const QString*>(value.constData())->isNull();
    case QMetaType::QByteArray:
        return static_cast<const QByteArray*>(value.constData())->isNull();
    case QMetaType::QDateTime:
        return !value.toDateTime().isValid();
    case QMetaType::QDate:
        return !value.toDate().isValid();
    case QMetaType::QTime:
        return !value.toTime().isValid();
    default:
        return false;
    }
}

bool onlyBlanksFrom(const char* text) {
    for (; text && *text; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n' && *text != ';')
            return false;
    return true;
}

} // namespace

void SqliteStatement::Finalize::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

int SqliteStatement::prepareInto(SqliteStatement& s, const QString& sql, bool reused) {
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    sqlite3_stmt* statement = nullptr;
    const int code = sqlite3_prepare_v3(s.m_db, text.constData(), static_cast<int>(text.size() + 1),
                                        reused ? SQLITE_PREPARE_PERSISTENT : 0, &statement, &tail);
    s.m_stmt.reset(statement);
    if (code == SQLITE_OK && !onlyBlanksFrom(tail)) {
        s.m_stmt.reset();
        return SQLITE_MISUSE;
    }
    return code;
}

SqliteStatement SqliteStatement::prepare(sqlite3* db, const Engine& engine, const QString& sql,
                                         bool reused) {
    SqliteStatement s(db, engine);
    const int code = prepareInto(s, sql, reused);
    if (code == SQLITE_MISUSE && !s.m_stmt)
        dberr::raise(dberr::CommandFailed,
                     QStringLiteral("Unable to execute multiple statements at a time"));
    if (code != SQLITE_OK)
        s.raise(code);
    return s;
}

void SqliteStatement::raise(int code) const {
    const QSqlError error(QStringLiteral("Unable to execute statement"),
                          QString::fromUtf8(sqlite3_errmsg(m_db)), QSqlError::StatementError,
                          QString::number(code));
    throw m_engine->error(error);
}

void SqliteStatement::bind(int position, const QVariant& value) {
    sqlite3_stmt* statement = m_stmt.get();
    int code = SQLITE_OK;
    switch (bindsNull(value) ? QMetaType::UnknownType : value.typeId()) {
    case QMetaType::UnknownType:
        code = sqlite3_bind_null(statement, position);
        break;
    case QMetaType::LongLong: // the common kinds read in place
        code = sqlite3_bind_int64(statement, position,
                                  *static_cast<const qlonglong*>(value.constData()));
        break;
    case QMetaType::QString:
        code = bindText(position, *static_cast<const QString*>(value.constData()));
        break;
    case QMetaType::Bool:
        code = sqlite3_bind_int(statement, position, value.toBool() ? 1 : 0);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
        code = sqlite3_bind_int64(statement, position, value.toLongLong());
        break;
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        code = sqlite3_bind_int64(statement, position,
                                  static_cast<sqlite3_int64>(value.toULongLong()));
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        code = sqlite3_bind_double(statement, position, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const auto* bytes = static_cast<const QByteArray*>(value.constData());
        code = sqlite3_bind_blob(statement, position, bytes->constData(),
                                 static_cast<int>(bytes->size()), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QDateTime:
        code = bindText(position, value.toDateTime().toString(Qt::ISODateWithMs));
        break;
    case QMetaType::QTime:
        code = bindText(position, value.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
        break;
    default:
        code = bindText(position, value.toString());
        break;
    }
    if (code != SQLITE_OK)
        raise(code);
}

int SqliteStatement::bindText(int position, const QString& text) {
    // ASCII text (dates, codes) goes as UTF-8, the database's own encoding, so
    // SQLite need not convert it; other text as UTF-16.
    const qsizetype size = text.size();
    m_scratch.resize(size);
    char* out = m_scratch.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80)
            return sqlite3_bind_text16(m_stmt.get(), position, text.utf16(),
                                       static_cast<int>(size * 2), SQLITE_TRANSIENT);
        out[i] = static_cast<char>(c);
    }
    return sqlite3_bind_text(m_stmt.get(), position, out, static_cast<int>(size), SQLITE_TRANSIENT);
}

bool SqliteStatement::step() {
    const int code = sqlite3_step(m_stmt.get());
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    sqlite3_reset(m_stmt.get());
    raise(code);
}

void SqliteStatement::reset() {
    sqlite3_reset(m_stmt.get());
}

int SqliteStatement::columnCount() const {
    return sqlite3_column_count(m_stmt.get());
}

QString SqliteStatement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt.get(), column)).remove(u'"');
}

void SqliteStatement::read(int column, RowData& row, std::size_t i) const {
    // One call that takes the connection's lock per value; the value's own
    // accessors take none.
    sqlite3_value* value = sqlite3_column_value(m_stmt.get(), column);
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        row.setInteger(i, sqlite3_value_int64(value));
        break;
    case SQLITE_FLOAT:
        row.setReal(i, sqlite3_value_double(value));
        break;
    case SQLITE_NULL:
        row.setNull(i);
        break;
    case SQLITE_BLOB:
        row.setVariant(i, QByteArray(static_cast<const char*>(sqlite3_value_blob(value)),
                                     sqlite3_value_bytes(value)));
        break;
    default:
        row.setText(i, reinterpret_cast<const char*>(sqlite3_value_text(value)),
                    sqlite3_value_bytes(value));
        break;
    }
}

int SqliteStatement::changes() const {
    return sqlite3_changes(m_db);
}

} // namespace tanka
