#pragma once
// The one way a run or an undo changes the price tables: a transaction and the
// journal that records its every change, so no change is ever committed
// without its record and no record survives a change that was not.
//
//   JournalledTransaction tx(cn);
//   tx.startJournal(dir, details);  // before or after begin()
//   tx.begin();
//   ... tx.journal().add(row); write the row ...
//   const QString path = tx.commit();
//
// Anything short of commit() (a return, an exception, abandon()) rolls the
// transaction back and removes the journal.

#include <memory>

#include <QString>

#include "db/connection.h"
#include "pricing/journal.h"

namespace tanka {

class JournalledTransaction {
public:
    explicit JournalledTransaction(Connection& cn) : m_cn(cn) {}
    ~JournalledTransaction() { abandon(); }
    JournalledTransaction(const JournalledTransaction&) = delete;
    JournalledTransaction& operator=(const JournalledTransaction&) = delete;

    // Starts the journal in the host folder dir; raises RunError (Japanese
    // text) when the file cannot be created.
    void startJournal(const QString& dir, const RunDetails& details);
    void begin();
    Journal& journal();

    // Names the journal, then commits; returns the journal's host path. When
    // the commit fails the journal is removed and the error raised.
    QString commit();
    // Rolls back what is open and removes the journal. A rollback that fails
    // (the connection is gone) leaves the transaction to the server, which
    // discards it with the connection.
    void abandon();

private:
    Connection& m_cn;
    std::unique_ptr<Journal> m_journal;
    bool m_begun = false;
};

} // namespace tanka
