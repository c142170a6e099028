#include "pricing/journalled_transaction.h"

#include <cassert>
#include <exception>

namespace tanka {

void JournalledTransaction::startJournal(const QString& dir, const RunDetails& details) {
    assert(!m_journal);
    m_journal = std::make_unique<Journal>(dir, details);
}

void JournalledTransaction::begin() {
    assert(!m_begun);
    m_cn.beginTrans();
    m_begun = true;
}

Journal& JournalledTransaction::journal() {
    assert(m_journal);
    return *m_journal;
}

QString JournalledTransaction::commit() {
    // No commit without its record: the journal is complete and named first.
    assert(m_begun && m_journal);
    const QString path = m_journal->finish();
    m_cn.commitTrans();
    m_begun = false;
    m_journal.reset();
    return path;
}

void JournalledTransaction::abandon() {
    if (m_begun) {
        m_begun = false;
        try {
            if (m_cn.inTransaction())
                m_cn.rollbackTrans();
        } catch (const std::exception&) {
        }
    }
    if (m_journal) {
        m_journal->discard();
        m_journal.reset();
    }
}

} // namespace tanka
