#include "db/recordset.h"

#include <algorithm>
#include <deque>
#include <map>
#include <unordered_map>

#include <QSqlRecord>

#include "db/connection.h"
#include "db/connection_p.h"
#include "db/db_errors.h"
#include "db/key_store.h"
#include "db/recordset_p.h"
#include "db/sql_text.h"
#include "db/sqlite_rows.h"
#include "db/value_text.h"

namespace tanka {

namespace {

// The values of another engine, kept exactly as given.
void setRow(RowData& row, const std::vector<QVariant>& values) {
    row.reset(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        row.setVariant(i, values[i]);
}

// Rows the layer made itself.
class FixedSource final : public RowSource {
public:
    explicit FixedSource(std::vector<std::vector<QVariant>> rows) : m_rows(std::move(rows)) {}
    bool fetch(RowData& row) override {
        if (m_next >= m_rows.size())
            return false;
        setRow(row, m_rows[m_next++]);
        return true;
    }

private:
    std::vector<std::vector<QVariant>> m_rows;
    std::size_t m_next = 0;
};

void readRow(const QSqlQuery& query, std::size_t count, RowData& row) {
    row.reset(count);
    for (std::size_t i = 0; i < count; ++i)
        row.setVariant(i, query.value(static_cast<int>(i)));
}

void readRow(const QSqlQuery& query, std::size_t count, std::vector<QVariant>& row) {
    row.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        row[i] = query.value(static_cast<int>(i));
}

// Steps one forward-only statement; only the current row is held.
class StreamSource final : public RowSource {
public:
    StreamSource(const ConnectionPrivate& cn, QSqlQuery query)
        : m_cn(cn), m_query(std::move(query)), m_count(m_query.record().count()) {}
    bool fetch(RowData& row) override {
        if (m_done)
            return false;
        if (!m_query.next()) {
            m_done = true;
            if (m_query.lastError().isValid())
                m_cn.raise(m_query.lastError());
            m_query.finish();
            return false;
        }
        readRow(m_query, m_count, row);
        return true;
    }
    void settle() override {}

private:
    const ConnectionPrivate& m_cn;
    QSqlQuery m_query;
    std::size_t m_count;
    bool m_done = false;
};

// An updatable result with the visiting order fixed when it opened: the first
// row comes from the statement itself (so an existence test reads one row);
// before anything else runs, the statement is read to its end keeping only the
// key of each row, and the later rows are fetched by key, a page at a time,
// with their values as they are then. A row deleted meanwhile is skipped;
// rows changed through this record set are not visited twice.
class KeyedSource final : public RowSource {
public:
    KeyedSource(const ConnectionPrivate& cn, QSqlQuery stream, std::vector<int> keyColumns,
                QString pageSelect, QStringList keyExpressions)
        : m_cn(cn), m_stream(std::move(stream)), m_count(m_stream.record().count()),
          m_keyColumns(std::move(keyColumns)), m_pageSelect(std::move(pageSelect)),
          m_keyExpressions(std::move(keyExpressions)) {}

    bool fetch(RowData& out) override {
        std::vector<QVariant> row;
        if (m_streaming && m_rows == 0) {
            if (!nextStreamRow(row))
                return false;
            m_next = 1;
            setRow(out, row);
            return true;
        }
        settle();
        while (true) {
            if (m_page.empty()) {
                if (m_next >= m_rows)
                    return false;
                loadPage();
                continue;
            }
            setRow(out, m_page.front());
            m_page.pop_front();
            return true;
        }
    }

    void settle() override {
        std::vector<QVariant> row;
        while (m_streaming && nextStreamRow(row)) {
        }
    }

private:
    // One row of the statement, its key kept; false (and the statement
    // finished) at the end.
    bool nextStreamRow(std::vector<QVariant>& row) {
        if (!m_streaming)
            return false;
        if (!m_stream.next()) {
            m_streaming = false;
            if (m_stream.lastError().isValid())
                m_cn.raise(m_stream.lastError());
            m_stream.finish();
            return false;
        }
        if (m_rows == 0) {
            readRow(m_stream, m_count, row);
            for (const int k : m_keyColumns)
                m_keys.push(row[static_cast<std::size_t>(k)]);
        } else {
            for (const int k : m_keyColumns)
                m_keys.push(m_stream.value(k));
        }
        ++m_rows;
        return true;
    }

    // The key values as one text for matching rows of a page to their keys;
    // integers match whatever integer type the driver gave them.
    static QString keyText(const std::vector<QVariant>& key) {
        QString text;
        for (const QVariant& value : key) {
            if (value.isNull())
                text += u'\x01';
            else if (isIntegerVariant(value))
                text += QStringLiteral("i:") + QString::number(value.toLongLong());
            else
                text += QString::number(value.typeId()) + u':' + value.toString();
            text += u'\x1f';
        }
        return text;
    }

    void loadPage() {
        const std::size_t width = m_keyColumns.size();
        const auto count = std::min<std::size_t>(
            static_cast<std::size_t>(std::max(1, m_cn.engine->pageSize())), m_rows - m_next);
        if (!m_pageQuery || m_pageQueryRows != count) {
            QStringList matches;
            int binds = 1;
            for (const QString& key : m_keyExpressions) {
                const NullSafeMatch match = m_cn.engine->nullSafeEquals(key);
                matches << match.text;
                binds = match.binds;
            }
            const QString group = u'(' + matches.join(QStringLiteral(" AND ")) + u')';
            QStringList groups;
            for (std::size_t i = 0; i < count; ++i)
                groups << group;
            m_pageQuery.emplace(m_cn.newQuery());
            if (!m_pageQuery->prepare(m_pageSelect + groups.join(QStringLiteral(" OR "))))
                m_cn.raise(m_pageQuery->lastError());
            m_pageQueryRows = count;
            m_binds = binds;
        }
        QSqlQuery& query = *m_pageQuery;
        std::vector<std::vector<QVariant>> pageKeys(count, std::vector<QVariant>(width));
        int position = 0;
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t k = 0; k < width; ++k) {
                pageKeys[i][k] = m_keys.at((m_next + i) * width + k);
                for (int b = 0; b < m_binds; ++b)
                    query.bindValue(position++, pageKeys[i][k]);
            }
        }
        if (!query.exec())
            m_cn.raise(query.lastError());

        std::unordered_map<QString, std::vector<QVariant>> found;
        std::vector<QVariant> row;
        std::vector<QVariant> key(width);
        while (query.next()) {
            readRow(query, m_count, row);
            for (std::size_t k = 0; k < width; ++k)
                key[k] = row[static_cast<std::size_t>(m_keyColumns[k])];
            found.emplace(keyText(key), std::move(row));
        }
        if (query.lastError().isValid())
            m_cn.raise(query.lastError());
        query.finish();
        for (const auto& expected : pageKeys) {
            const auto it = found.find(keyText(expected));
            if (it != found.end())
                m_page.push_back(std::move(it->second));
        }
        m_next += count;
    }

    const ConnectionPrivate& m_cn;
    QSqlQuery m_stream;
    std::size_t m_count;
    bool m_streaming = true;
    std::vector<int> m_keyColumns;
    QString m_pageSelect;
    QStringList m_keyExpressions;

    KeyStore m_keys; // m_rows keys of m_keyColumns.size() values each
    std::size_t m_rows = 0;
    std::size_t m_next = 0; // first key not yet fetched
    std::deque<std::vector<QVariant>> m_page;
    std::optional<QSqlQuery> m_pageQuery;
    std::size_t m_pageQueryRows = 0;
    int m_binds = 1;
};

// Primary keys of the price masters, for a server that does not report them.
QStringList knownKeys(const QString& table) {
    if (table.compare(u"MTGIJU", Qt::CaseInsensitive) == 0)
        return {QStringLiteral("GlobalID"), QStringLiteral("MiseID"), QStringLiteral("GijutuID"),
                QStringLiteral("ShumokuID")};
    if (table.compare(u"MTTENP", Qt::CaseInsensitive) == 0)
        return {QStringLiteral("GlobalID"), QStringLiteral("MiseID"), QStringLiteral("TenpanFlg"),
                QStringLiteral("TenpanID")};
    return {};
}

bool selectsAllColumns(const sqltext::SingleTableSelect& shape) {
    const QString list = shape.selectList.simplified().remove(u' ');
    return list == u"*" ||
           (!shape.alias.isEmpty() &&
            list.compare(shape.alias + QStringLiteral(".*"), Qt::CaseInsensitive) == 0);
}

// Optimistic updates through Qt SQL, one prepared statement per set of changed
// columns.
class QtRowWriter final : public RowWriter {
public:
    QtRowWriter(const ConnectionPrivate& cn, UpdateTarget target, QStringList names)
        : m_cn(cn), m_target(std::move(target)), m_names(std::move(names)) {}

    int write(const std::vector<int>& edited, const std::vector<QVariant>& stored,
              const RowData& original, bool /*untouched*/) override {
        const Engine& engine = *m_cn.engine;
        auto it = m_statements.find(edited);
        if (it == m_statements.end()) {
            QStringList sets;
            QStringList conditions;
            for (const int c : edited)
                sets << sqltext::quoteIdentifier(m_names[c]) + QStringLiteral(" = ?");
            for (const int k : m_target.keyColumns)
                conditions << engine.nullSafeEquals(sqltext::quoteIdentifier(m_names[k])).text;
            for (const int c : edited)
                conditions << engine.nullSafeEquals(sqltext::quoteIdentifier(m_names[c])).text;
            QSqlQuery query = m_cn.newQuery();
            if (!query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                   .arg(m_target.table, sets.join(QStringLiteral(", ")),
                                        conditions.join(QStringLiteral(" AND ")))))
                m_cn.raise(query.lastError());
            it = m_statements.emplace(edited, std::move(query)).first;
        }
        const int binds = engine.nullSafeEquals(QString()).binds;

        QSqlQuery& query = it->second;
        int position = 0;
        for (const QVariant& value : stored)
            query.bindValue(position++, value);
        for (const int k : m_target.keyColumns)
            for (int b = 0; b < binds; ++b)
                query.bindValue(position++, original.value(static_cast<std::size_t>(k)));
        for (const int c : edited)
            for (int b = 0; b < binds; ++b)
                query.bindValue(position++, original.value(static_cast<std::size_t>(c)));
        if (!query.exec())
            m_cn.raise(query.lastError());
        const int affected = query.numRowsAffected();
        query.finish();
        return affected;
    }

private:
    const ConnectionPrivate& m_cn;
    UpdateTarget m_target;
    QStringList m_names;
    std::map<std::vector<int>, QSqlQuery> m_statements;
};

// How the rows of an updatable result are found again: the positions of the
// table's key columns in the result and the key columns as the statement
// names them (with its alias).
struct KeyPlan {
    std::vector<int> positions;
    QStringList expressions;
};

// The key plan of a single-table select of all columns whose table has a key
// that the result holds whole; none otherwise.
std::optional<KeyPlan> keyPlan(const QStringList& names,
                               const std::optional<sqltext::SingleTableSelect>& shape,
                               const TableInfo& info) {
    if (!shape || !selectsAllColumns(*shape))
        return std::nullopt;
    const QStringList keys =
        info.keyColumns.isEmpty() ? knownKeys(shape->tableParts.back()) : info.keyColumns;
    if (keys.isEmpty())
        return std::nullopt;
    KeyPlan plan;
    for (const QString& key : keys) {
        const auto at = std::find_if(names.begin(), names.end(), [&](const QString& n) {
            return n.compare(key, Qt::CaseInsensitive) == 0;
        });
        if (at == names.end())
            return std::nullopt;
        plan.positions.push_back(static_cast<int>(at - names.begin()));
        const QString column = sqltext::quoteIdentifier(*at);
        plan.expressions << (shape->alias.isEmpty() ? column : shape->alias + u'.' + column);
    }
    return plan;
}

void setColumns(RecordsetPrivate& d, const QStringList& names, const TableInfo& info) {
    for (const QString& name : names) {
        const auto declared =
            std::find_if(info.columns.begin(), info.columns.end(), [&](const ColumnInfo& col) {
                return col.name.compare(name, Qt::CaseInsensitive) == 0;
            });
        d.names << name;
        d.columns.push_back(
            {name, declared != info.columns.end() ? declared->declaredType : QString()});
    }
}

void openWithQt(RecordsetPrivate& d, ConnectionPrivate& c, const QString& text,
                const std::optional<sqltext::SingleTableSelect>& shape, const TableInfo& info,
                bool wantsUpdate) {
    QSqlQuery query = c.newQuery();
    if (!query.exec(text))
        c.raise(query.lastError());
    const QSqlRecord record = query.record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    setColumns(d, names, info);

    if (wantsUpdate) {
        if (auto plan = keyPlan(d.names, shape, info)) {
            d.target = UpdateTarget{shape->table, plan->positions};
            d.writer = std::make_unique<QtRowWriter>(c, *d.target, d.names);
            const QString pageSelect = QStringLiteral("SELECT %1 FROM %2 %3 WHERE ")
                                           .arg(shape->selectList, shape->table, shape->alias);
            d.source = std::make_unique<KeyedSource>(c, std::move(query), plan->positions,
                                                     pageSelect, plan->expressions);
            return;
        }
    }
    d.source = std::make_unique<StreamSource>(c, std::move(query));
}

// Whether writing a row of the table (parts as translate() left them) by rowid
// changes that row alone: no trigger names the table and foreign key actions
// are off.
bool rowsStayPut(sqlite3* handle, const Engine& engine, const QStringList& parts) {
    if (parts.size() != 2)
        return false;
    const QString schema = sqltext::quoteIdentifier(parts.front());
    SqliteStatement triggers = SqliteStatement::tryPrepare(
        handle, engine,
        QStringLiteral("SELECT count(*) FROM (SELECT tbl_name FROM %1.sqlite_schema WHERE type = "
                       "'trigger' UNION ALL SELECT tbl_name FROM temp.sqlite_schema WHERE type = "
                       "'trigger') WHERE tbl_name = ? COLLATE NOCASE")
            .arg(schema),
        false);
    SqliteStatement foreignKeys =
        SqliteStatement::tryPrepare(handle, engine, QStringLiteral("PRAGMA foreign_keys"), false);
    if (triggers.isEmpty() || foreignKeys.isEmpty())
        return false;
    triggers.bind(1, parts.back());
    return triggers.step() && triggers.int64(0) == 0 && foreignKeys.step() &&
           foreignKeys.int64(0) == 0;
}

// Where the select list of text (a select of the shape given) begins and
// ends; none when it does not stand right after the leading SELECT.
std::optional<std::pair<qsizetype, qsizetype>>
selectListSpan(const QString& text, const sqltext::SingleTableSelect& shape) {
    const auto skipBlanks = [&](qsizetype at) {
        while (at < text.size() && text[at].isSpace())
            ++at;
        return at;
    };
    qsizetype at = skipBlanks(0);
    if (QStringView(text).mid(at, 6).compare(u"select", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    at = skipBlanks(at + 6);
    if (!QStringView(text).mid(at).startsWith(shape.selectList))
        return std::nullopt;
    return std::make_pair(at, at + shape.selectList.size());
}

// The statement an updatable walk reads: the fewest columns that serve. With
// no ORDER BY (which may count columns by position), the keys and the rowid
// instead of the select list, so that SQLite does not make every column of
// every row only for the keys to be kept; else the rows themselves with the
// rowid added last; else text as it is. A variant SQLite refuses (a table
// without rowid) gives way to the next.
SqliteWalk walkStatement(sqlite3* handle, const Engine& engine, const QString& text,
                         const sqltext::SingleTableSelect& shape, const KeyPlan& plan,
                         const QString& rowIdExpression, SqliteStatement plain) {
    const int keys = static_cast<int>(plan.positions.size());
    const int columns = plain.columnCount();
    const auto span = selectListSpan(text, shape);
    const auto replaced = [&](const QString& list) {
        return text.left(span->first) + list + text.mid(span->second);
    };
    const auto attempt = [&](const QString& sql, int expectedColumns) {
        SqliteStatement statement = SqliteStatement::tryPrepare(handle, engine, sql, false);
        if (!statement.isEmpty() && statement.columnCount() != expectedColumns)
            statement = SqliteStatement();
        return statement;
    };
    if (span && !text.contains(u"order", Qt::CaseInsensitive)) {
        const QString keyList = plan.expressions.join(QStringLiteral(", "));
        if (!rowIdExpression.isEmpty()) {
            SqliteStatement s =
                attempt(replaced(keyList + QStringLiteral(", ") + rowIdExpression), keys + 1);
            if (!s.isEmpty())
                return {std::move(s), false, keys};
        }
        SqliteStatement s = attempt(replaced(keyList), keys);
        if (!s.isEmpty())
            return {std::move(s), false, -1};
    }
    if (span && !rowIdExpression.isEmpty()) {
        SqliteStatement s = attempt(
            replaced(shape.selectList + QStringLiteral(", ") + rowIdExpression), columns + 1);
        if (!s.isEmpty())
            return {std::move(s), true, columns};
    }
    return {std::move(plain), true, -1};
}

void openOnSqlite(RecordsetPrivate& d, ConnectionPrivate& c, sqlite3* handle, const QString& text,
                  const std::optional<sqltext::SingleTableSelect>& shape, const TableInfo& info,
                  bool wantsUpdate) {
    const Engine& engine = *c.engine;
    SqliteStatement statement = SqliteStatement::prepare(handle, engine, text, false);
    QStringList names;
    for (int i = 0; i < statement.columnCount(); ++i)
        names << statement.columnName(i);
    setColumns(d, names, info);

    if (wantsUpdate) {
        if (auto plan = keyPlan(d.names, shape, info)) {
            QStringList matches;
            for (const QString& key : plan->expressions)
                matches << engine.nullSafeEquals(key).text;
            const QString from =
                QStringLiteral(" FROM %1 %2 WHERE ").arg(shape->table, shape->alias);
            const QString byKey = from + matches.join(QStringLiteral(" AND "));
            const QString rowIdName = freeRowIdName(info.columns);
            SqliteLookup lookup;
            lookup.plain = QStringLiteral("SELECT ") + shape->selectList + byKey;
            QString rowId;
            if (!rowIdName.isEmpty()) {
                rowId = (shape->alias.isEmpty() ? shape->table : shape->alias) + u'.' + rowIdName;
                lookup.byRowId = QStringLiteral("SELECT ") + shape->selectList + from + rowId +
                                 QStringLiteral(" = ?");
                lookup.withRowId =
                    QStringLiteral("SELECT %1, %2").arg(shape->selectList, rowId) + byKey;
                lookup.byRowIdRange =
                    QStringLiteral("SELECT %1, %2").arg(shape->selectList, rowId) + from + rowId +
                    QStringLiteral(" BETWEEN ? AND ? ORDER BY ") + rowId;
            }
            d.target = UpdateTarget{shape->table, plan->positions};
            auto source = std::make_unique<SqliteKeyedSource>(
                handle, engine,
                walkStatement(handle, engine, text, *shape, *plan, rowId, std::move(statement)),
                static_cast<int>(d.names.size()), plan->positions, std::move(lookup), c.activity,
                rowsStayPut(handle, engine, shape->tableParts));
            d.writer = std::make_unique<SqliteRowWriter>(handle, engine, *d.target, d.names,
                                                         rowIdName, *source);
            d.source = std::move(source);
            return;
        }
    }
    d.source = std::make_unique<SqliteStreamSource>(std::move(statement));
}

} // namespace

void RecordsetPrivate::requireOpen() const {
    if (!open)
        dberr::raiseClosed();
}

void RecordsetPrivate::requireCurrent() const {
    requireOpen();
    if (bof || eof)
        dberr::raiseNoCurrentRecord();
}

int RecordsetPrivate::indexOf(const QString& name) const {
    // Callers mostly spell a name as the result does: found without making a
    // lower-case copy.
    if (const auto exact = byExactName.constFind(name); exact != byExactName.constEnd())
        return exact.value();
    const auto it = byName.constFind(name.toLower());
    if (it == byName.constEnd())
        dberr::raiseItemNotFound();
    return it.value();
}

bool RecordsetPrivate::dirty() const {
    return std::find(changed.begin(), changed.end(), true) != changed.end();
}

void RecordsetPrivate::advance() {
    ++cn->activity;
    const bool fetched = source->fetch(row);
    readAt = cn->activity;
    if (fetched) {
        changed.assign(row.size(), false);
        pending.resize(row.size());
        eof = false;
    } else {
        row.reset(0);
        pending.clear();
        changed.clear();
        eof = true;
    }
}

void RecordsetPrivate::assign(int index, const QVariant& value) {
    requireCurrent();
    if (lockType == LockType::ReadOnly || !target)
        dberr::raise(dberr::NotUpdatable,
                     QStringLiteral("Current Recordset does not support updating. This may be a "
                                    "limitation of the provider, or of the selected locktype."));
    // The result is fixed now, before another statement may change the table.
    source->settle();
    const auto i = static_cast<std::size_t>(index);
    pending[i] = value;
    changed[i] = true;
}

void RecordsetPrivate::writeBack() {
    requireCurrent();
    if (!target)
        dberr::raise(dberr::NotUpdatable,
                     QStringLiteral("Current Recordset does not support updating. This may be a "
                                    "limitation of the provider, or of the selected locktype."));
    std::vector<int>& edited = editedColumns;
    edited.clear();
    for (std::size_t i = 0; i < changed.size(); ++i)
        if (changed[i])
            edited.push_back(static_cast<int>(i));
    if (edited.empty())
        return;
    source->settle();

    // The server's form of each assigned value. A walk assigns the same date
    // (the marking) to many rows, so the last answer of a date column is kept.
    const Engine& engine = *cn->engine;
    std::vector<QVariant>& stored = storedValues;
    stored.clear();
    lastAssigned.resize(columns.size());
    for (const int c : edited) {
        const auto i = static_cast<std::size_t>(c);
        const QVariant& value = pending[i];
        if (columns[i].kind != ValueKind::Date) {
            stored.push_back(engine.storedValue(columns[i], value));
            continue;
        }
        auto& last = lastAssigned[i];
        if (!last || last->first.typeId() != value.typeId() || last->first != value)
            last.emplace(value, engine.storedValue(columns[i], value));
        stored.push_back(last->second);
    }

    const bool untouched = cn->activity == readAt;
    ++cn->activity;
    const int affected = writer->write(edited, stored, row, untouched);
    if (affected == 0)
        dberr::raise(dberr::RowNotFound,
                     QStringLiteral("Row cannot be located for updating. Some values may have "
                                    "been changed since it was last read."));
    for (std::size_t i = 0; i < edited.size(); ++i) {
        const auto c = static_cast<std::size_t>(edited[i]);
        row.setVariant(c, stored[i]);
        changed[c] = false;
    }
}

void RecordsetPrivate::release() {
    writer.reset();
    source.reset();
    if (cn) {
        auto& list = cn->recordsets;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        cn = nullptr;
    }
    row.reset(0);
    pending.clear();
    changed.clear();
    lastAssigned.clear();
    target.reset();
    open = false;
    bof = eof = true;
}

Recordset::Recordset() : m_d(std::make_unique<RecordsetPrivate>()) {}

Recordset::~Recordset() {
    m_d->release();
}

void Recordset::setCursorLocation(CursorLocation location) {
    m_d->location = location;
}

void Recordset::open(const QString& sql, Connection& cn, CursorType type, LockType lock) {
    if (m_d->open)
        dberr::raise(dberr::ObjectOpen,
                     QStringLiteral("Operation is not allowed when the object is open."));
    ConnectionPrivate* c = cn.d();
    c->requireOpen();
    ++c->activity;
    RecordsetPrivate& d = *m_d;
    d.cursorType = type;
    d.lockType = lock;
    d.names.clear();
    d.byName.clear();
    d.byExactName.clear();
    d.columns.clear();

    if (auto fixed = c->engine->answer(sql)) {
        d.names = fixed->columns;
        for (const QString& name : d.names)
            d.columns.push_back({name, {}});
        d.source = std::make_unique<FixedSource>(std::move(fixed->rows));
    } else {
        const QString text = c->engine->translate(sql);
        const auto shape = sqltext::singleTableSelect(text);
        const bool wantsUpdate = lock == LockType::Optimistic;
        TableInfo info;
        if (shape && (wantsUpdate || c->engine->typesFromCatalogue()))
            info = c->engine->tableInfo(c->db, shape->tableParts);

        if (sqlite3* handle = c->engine->sqliteHandle(c->db))
            openOnSqlite(d, *c, handle, text, shape, info, wantsUpdate);
        else
            openWithQt(d, *c, text, shape, info, wantsUpdate);
    }
    for (int i = static_cast<int>(d.names.size()) - 1; i >= 0; --i)
        d.byName.insert(d.names[i].toLower(), i); // the first of equal names wins
    for (const QString& name : d.names)
        d.byExactName.insert(name, d.byName.value(name.toLower()));
    d.dateColumns.clear();
    for (const ColumnInfo& column : d.columns)
        d.dateColumns.push_back(isDateType(column.declaredType));

    d.cn = c;
    c->recordsets.push_back(&d);
    d.open = true;
    d.bof = false;
    try {
        d.advance();
    } catch (...) {
        d.release();
        throw;
    }
    d.bof = d.eof;
}

bool Recordset::isOpen() const {
    return m_d->open;
}

void Recordset::close() {
    m_d->requireOpen();
    m_d->release();
}

bool Recordset::isBOF() const {
    m_d->requireOpen();
    return m_d->bof;
}

bool Recordset::isEOF() const {
    m_d->requireOpen();
    return m_d->eof;
}

void Recordset::moveNext() {
    m_d->requireOpen();
    if (m_d->eof)
        dberr::raiseNoCurrentRecord();
    if (m_d->dirty())
        m_d->writeBack();
    m_d->bof = false;
    m_d->advance();
}

int Recordset::fieldCount() const {
    m_d->requireOpen();
    return static_cast<int>(m_d->names.size());
}

QString Recordset::fieldName(int index) const {
    m_d->requireOpen();
    if (index < 0 || index >= m_d->names.size())
        dberr::raiseItemNotFound();
    return m_d->names[index];
}

QVariant Recordset::value(int index) const {
    m_d->requireOpen();
    if (index < 0 || index >= m_d->names.size())
        dberr::raiseItemNotFound();
    m_d->requireCurrent();
    return m_d->currentValue(static_cast<std::size_t>(index));
}

QVariant Recordset::value(const QString& name) const {
    m_d->requireOpen();
    const int index = m_d->indexOf(name);
    m_d->requireCurrent();
    return m_d->currentValue(static_cast<std::size_t>(index));
}

void Recordset::setValue(const QString& name, const QVariant& value) {
    m_d->requireOpen();
    m_d->assign(m_d->indexOf(name), value);
}

void Recordset::setValue(int index, const QVariant& value) {
    m_d->requireOpen();
    if (index < 0 || index >= m_d->names.size())
        dberr::raiseItemNotFound();
    m_d->assign(index, value);
}

void Recordset::update() {
    m_d->writeBack();
}

QString Recordset::getString(const QString& columnSep, const QString& rowSep,
                             const QString& nullText) {
    m_d->requireOpen();
    if (m_d->eof)
        return {};
    TextLine line(m_d->lineCapacity);
    const RowData& row = m_d->row;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0)
            line.append(columnSep);
        const bool date = m_d->dateColumns[i];
        if (m_d->changed[i]) {
            line.appendValue(m_d->pending[i], date, nullText);
            continue;
        }
        switch (row.kind(i)) {
        case RowData::Kind::Null:
            line.append(nullText);
            break;
        case RowData::Kind::Integer:
            line.appendInteger(row.integer(i));
            break;
        case RowData::Kind::Real:
            line.appendReal(row.real(i));
            break;
        case RowData::Kind::Text:
            line.appendUtf8(row.text(i), date);
            break;
        case RowData::Kind::Variant:
            line.appendValue(row.variant(i), date, nullText);
            break;
        }
    }
    line.append(rowSep);
    QString text = line.take();
    m_d->lineCapacity = std::max(m_d->lineCapacity, text.size());
    moveNext();
    return text;
}

} // namespace tanka
