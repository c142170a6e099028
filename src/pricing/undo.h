#pragma once
// Taking a run back from its journal: every row the journal names gets the
// values it had before the run, in one transaction, written in batches as a
// run writes them, but only when every such row still holds the values the
// run left (key and every written column, Null-safe). An undo leaves a
// journal of its own, so that it can be taken back in turn.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "db/connection.h"
#include "pricing/progress.h"

namespace tanka {

struct UndoReport {
    qint64 rows = 0;          // rows the journal names
    QStringList changedSince; // the first 20 rows that no longer hold the journal's values
    qint64 changedCount = 0;  // all such rows
    QString journalPath;      // the undo's own journal; empty unless it wrote
};

// Takes back the run recorded in the journal file journalPath (host path);
// the undo's journal goes into the host folder workDir. Opens and ends its own
// transaction on cn. When rows changed since, or with dryRun, nothing is
// written (report only). Raises RunError on a failure; nothing is changed then.
UndoReport undoJournal(Connection& cn, const QString& journalPath, const QString& workDir,
                       const QDateTime& at, bool dryRun, const Progress& progress = {});

} // namespace tanka
