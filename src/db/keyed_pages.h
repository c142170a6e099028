#pragma once
// The rows a query selects from one table, read a page at a time by key:
//
//   select <keys> <from> <where>                          once, the keys only
//   select <keys>, <columns> <from> <where> and (<first key> <= key <= <last key>)
//                                                         once per page
//
// The first statement fixes which rows are visited, so every row is visited
// exactly once however the table changes meanwhile; each page then reads the
// key range from its first to its last key (in key order, written without row
// values) and keeps only the rows among its keys, as they are at that moment:
// a row added since lies in the range too and is passed over. A row that no
// longer matches the query when its page is read is skipped. Each page is read whole before it is
// handed out, so the caller may write to the table between pages.
//
// Integer keys are written into the text by the program; any other key value
// is bound.

#include <vector>

#include <QString>
#include <QStringList>
#include <QVariant>

namespace tanka {

class Connection;

class KeyedPages {
public:
    static constexpr int DefaultPageSize = 2000;

    // from: " from <table> <alias> "; where: " Where <condition>" (may be
    // empty); qualifier: the alias (or table) that names the key columns in
    // the statements, e.g. "G". Reads the keys at once.
    KeyedPages(Connection& cn, const QString& from, const QString& where, const QString& qualifier,
               QStringList keyColumns, QStringList columns, int pageSize = DefaultPageSize);

    // The same over the given keys instead of the keys a query selects (rows
    // read again by key, e.g. to take a run back). Keys are visited in key
    // order.
    KeyedPages(Connection& cn, const QString& from, const QString& where, const QString& qualifier,
               QStringList keyColumns, QStringList columns, std::vector<std::vector<QVariant>> keys,
               int pageSize = DefaultPageSize);

    // Rows the query selected when the keys were read.
    qint64 rowCount() const { return static_cast<qint64>(m_count); }

    // The next page into rows (each: the key values, then the columns'
    // values, in the order given); false when every key was read. With
    // keyIndexes, the index of each row's key among all keys (0 to
    // rowCount() - 1, key order) in the same order as rows.
    bool nextPage(std::vector<std::vector<QVariant>>& rows,
                  std::vector<std::size_t>* keyIndexes = nullptr);

    // Starts again at the first page, reading columns after the key instead:
    // the same keys in the same pages, each page by the same key range, so
    // that what was written can be read back as it was read.
    void readAgain(const QStringList& columns);

    // The key at index (as keyIndexes give it), in key column order.
    std::vector<QVariant> keyAt(std::size_t index) const;

private:
    void setColumns(const QString& qualifier, const QStringList& keyColumns,
                    const QStringList& columns);
    void selectColumns(const QStringList& columns);

    Connection& m_cn;
    QString m_from;
    QString m_where;
    QStringList m_keyColumns; // qualified, quoted
    QString m_prefix;         // "<qualifier>." or empty
    QString m_selectList;
    int m_pageSize;
    // The keys' values one after another in key order, KeysPerChunk keys to a
    // chunk: the keys of a large table are never copied whole as they grow.
    static constexpr std::size_t KeysPerChunk = 4096;
    std::vector<std::vector<QVariant>> m_keys;
    std::size_t m_count = 0;
    void addKey(const QVariant* key);
    const QVariant* key(std::size_t index) const;
    std::size_t m_next = 0;
};

} // namespace tanka
