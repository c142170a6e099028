#include "db/recordset.h"

#include <algorithm>

#include <QSqlRecord>

#include "db/connection.h"
#include "db/connection_p.h"
#include "db/db_errors.h"
#include "db/recordset_p.h"
#include "db/sql_text.h"
#include "db/sqlite_statement.h"
#include "db/value_text.h"

namespace tanka {

namespace {

// Rows the layer made itself.
class FixedSource final : public RowSource {
public:
    explicit FixedSource(std::vector<std::vector<QVariant>> rows) : m_rows(std::move(rows)) {}
    bool fetch(RowData& row) override {
        if (m_next >= m_rows.size())
            return false;
        const std::vector<QVariant>& values = m_rows[m_next++];
        row.reset(values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            row.setVariant(i, values[i]);
        return true;
    }

private:
    std::vector<std::vector<QVariant>> m_rows;
    std::size_t m_next = 0;
};

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
        // The values of another transport, kept exactly as given.
        row.reset(m_count);
        for (std::size_t i = 0; i < m_count; ++i)
            row.setVariant(i, m_query.value(static_cast<int>(i)));
        return true;
    }

private:
    const ConnectionPrivate& m_cn;
    QSqlQuery m_query;
    std::size_t m_count;
    bool m_done = false;
};

// Steps a statement straight on the embedded server's sqlite3 connection:
// Qt's SQLite driver costs several times the work per value (a backup reads
// every value of a table).
class SqliteSource final : public RowSource {
public:
    explicit SqliteSource(SqliteStatement statement)
        : m_statement(std::move(statement)), m_count(m_statement.columnCount()) {}
    bool fetch(RowData& row) override {
        if (m_statement.isEmpty())
            return false;
        if (!m_statement.step()) {
            m_statement = SqliteStatement(); // finished: the statement lets go at once
            return false;
        }
        row.reset(static_cast<std::size_t>(m_count));
        for (int i = 0; i < m_count; ++i)
            m_statement.read(i, row, static_cast<std::size_t>(i));
        return true;
    }

private:
    SqliteStatement m_statement;
    int m_count;
};

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
                const QVariantList& params, const TableInfo& info) {
    QSqlQuery query = c.newQuery();
    const bool ran = params.isEmpty() ? query.exec(text) : [&] {
        if (!query.prepare(text))
            return false;
        for (const QVariant& value : params)
            query.addBindValue(value);
        return query.exec();
    }();
    if (!ran)
        c.raise(query.lastError());
    const QSqlRecord record = query.record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    setColumns(d, names, info);
    d.source = std::make_unique<StreamSource>(c, std::move(query));
}

void openOnSqlite(RecordsetPrivate& d, ConnectionPrivate& c, sqlite3* handle, const QString& text,
                  const QVariantList& params, const TableInfo& info) {
    SqliteStatement statement = SqliteStatement::prepare(handle, *c.engine, text, false);
    for (int i = 0; i < params.size(); ++i)
        statement.bind(i + 1, params[i]);
    QStringList names;
    for (int i = 0; i < statement.columnCount(); ++i)
        names << statement.columnName(i);
    setColumns(d, names, info);
    d.source = std::make_unique<SqliteSource>(std::move(statement));
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
    const auto it = byName.constFind(name.toLower());
    if (it == byName.constEnd())
        dberr::raiseItemNotFound();
    return it.value();
}

void RecordsetPrivate::advance() {
    if (source->fetch(row)) {
        eof = false;
    } else {
        row.reset(0);
        eof = true;
    }
}

void RecordsetPrivate::release() {
    source.reset();
    if (cn) {
        auto& list = cn->recordsets;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        cn = nullptr;
    }
    row.reset(0);
    open = false;
    bof = eof = true;
}

Recordset::Recordset() : m_d(std::make_unique<RecordsetPrivate>()) {}

Recordset::~Recordset() {
    m_d->release();
}

void Recordset::open(const QString& sql, Connection& cn, const QVariantList& params) {
    if (m_d->open)
        dberr::raise(dberr::ObjectOpen,
                     QStringLiteral("Operation is not allowed when the object is open."));
    ConnectionPrivate* c = cn.d();
    c->requireOpen();
    ++c->statements;
    RecordsetPrivate& d = *m_d;
    d.names.clear();
    d.byName.clear();
    d.columns.clear();

    if (auto fixed = c->engine->answer(sql)) {
        d.names = fixed->columns;
        for (const QString& name : d.names)
            d.columns.push_back({name, {}});
        d.source = std::make_unique<FixedSource>(std::move(fixed->rows));
    } else {
        const QString text = c->engine->translate(sql);
        TableInfo info;
        if (c->engine->typesFromCatalogue())
            if (const auto shape = sqltext::singleTableSelect(text))
                info = c->engine->tableInfo(c->db, shape->tableParts);
        if (sqlite3* handle = c->engine->sqliteHandle(c->db))
            openOnSqlite(d, *c, handle, text, params, info);
        else
            openWithQt(d, *c, text, params, info);
    }
    for (int i = static_cast<int>(d.names.size()) - 1; i >= 0; --i)
        d.byName.insert(d.names[i].toLower(), i); // the first of equal names wins
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

const RowData& Recordset::row() const {
    m_d->requireCurrent();
    return m_d->row;
}

bool Recordset::isDateColumn(int index) const {
    m_d->requireOpen();
    if (index < 0 || index >= m_d->names.size())
        dberr::raiseItemNotFound();
    return m_d->dateColumns[static_cast<std::size_t>(index)];
}

} // namespace tanka
