#include "pricing/journal.h"

#include <cstring>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include "core/run_error.h"
#include "pricing/conversion.h"

namespace tanka {

namespace {

// The platform's "Path/File access error".
constexpr std::int32_t FileAccessError = 75;

const QString NullText = QStringLiteral("#NULL#");
const QString Marker = QStringLiteral("単価変更履歴");

[[noreturn]] void raiseFile(const QString& text) {
    throw RunError(FileAccessError, text.toStdString());
}

QString dateText(const QDateTime& dt) {
    QString text = dt.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    if (dt.time().msec() != 0)
        text += dt.toString(QStringLiteral(".zzz"));
    return text;
}

// A text of the embedded server's stored date forms, as a date; invalid
// otherwise.
QDateTime storedDate(const QString& text) {
    for (const char* format :
         {"yyyy-MM-dd hh:mm:ss", "yyyy-MM-dd hh:mm:ss.zzz", "yyyy/MM/dd hh:mm:ss",
          "yyyy/MM/dd hh:mm:ss.zzz", "yyyy/MM/dd", "yyyy-MM-dd"}) {
        QDateTime dt = QDateTime::fromString(text, QString::fromLatin1(format));
        if (!dt.isValid() && std::strlen(format) == 10)
            dt = QDateTime(QDate::fromString(text, QString::fromLatin1(format)), QTime(0, 0));
        if (dt.isValid())
            return dt;
    }
    return {};
}

// Cells never hold a TAB or a line break: they would end the cell or line.
QString cell(QString text) {
    for (QChar& c : text)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return text;
}

QString menuTable(Menu menu) {
    return tableName(menu);
}

} // namespace

QString journalText(const QVariant& value) {
    if (value.isNull())
        return NullText;
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return dateText(value.toDateTime());
    case QMetaType::QDate:
        return dateText(QDateTime(value.toDate(), QTime(0, 0)));
    case QMetaType::Double: {
        const double d = value.toDouble();
        return d == double(qint64(d)) ? QString::number(qint64(d)) : QString::number(d, 'g', 17);
    }
    case QMetaType::QString: {
        const QString text = value.toString();
        if (const QDateTime dt = storedDate(text); dt.isValid())
            return dateText(dt);
        return cell(text);
    }
    default:
        return cell(value.toString());
    }
}

QVariant valueFromJournal(const QString& text) {
    if (text == NullText)
        return {};
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (ok)
        return n;
    if (const QDateTime dt = storedDate(text); dt.isValid())
        return dt;
    return text;
}

Journal::Journal(const QString& dir, const RunDetails& details) : m_dir(dir), m_at(details.at) {
    const QString stamp = m_at.toString(QStringLiteral("yyyyMMdd_hhmmss"));
    m_file.setFileName(QDir(dir).filePath(
        QStringLiteral("単価変更_%1_%2.tmp").arg(stamp).arg(QCoreApplication::applicationPid())));
    if (!m_encoder.isValid() || !m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        raiseFile(QStringLiteral("履歴ファイルを作成できません: %1").arg(m_file.fileName()));
    write(Marker + QStringLiteral("\t1"));
    write(QStringLiteral("日時\t") + m_at.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
    for (const auto& [name, value] : details.lines)
        write(cell(name) + u'\t' + cell(value));
    write({});
}

Journal::~Journal() {
    if (m_final.isEmpty())
        discard();
}

void Journal::write(const QString& line) {
    const QByteArray bytes = m_encoder.encode(line + QStringLiteral("\r\n"));
    if (m_file.write(bytes) != bytes.size())
        raiseFile(QStringLiteral("履歴ファイルに書き込めません: %1").arg(m_file.fileName()));
}

void Journal::add(const RowWrite& row) {
    QString line = menuTable(row.menu);
    const QStringList keys = keyColumns(row.menu);
    for (qsizetype k = 0; k < keys.size(); ++k)
        line += u'\t' + keys[k] + u'=' + journalText(row.key[std::size_t(k)]);
    for (const ColumnChange& change : row.changes)
        line += u'\t' + change.column + u'\t' + journalText(change.before) + u'\t' +
                journalText(change.after);
    write(line);
    ++m_rows;
}

QString Journal::finish() {
    if (!m_file.flush() || !m_file.isOpen())
        raiseFile(QStringLiteral("履歴ファイルに書き込めません: %1").arg(m_file.fileName()));
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        raiseFile(QStringLiteral("履歴ファイルに書き込めません: %1").arg(m_file.fileName()));
    const QString stamp = m_at.toString(QStringLiteral("yyyyMMdd_hhmmss"));
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? QStringLiteral("単価変更_%1.TSV").arg(stamp)
                                    : QStringLiteral("単価変更_%1_%2.TSV").arg(stamp).arg(n);
        const QString path = QDir(m_dir).filePath(name);
        if (QFileInfo::exists(path))
            continue;
        // rename() never replaces an existing file.
        if (m_file.rename(path)) {
            m_final = path;
            return path;
        }
    }
    raiseFile(QStringLiteral("履歴ファイルに名前を付けられません: %1").arg(m_file.fileName()));
}

void Journal::discard() {
    if (m_file.isOpen())
        m_file.close();
    m_file.remove();
    m_final.clear();
}

JournalFile readJournal(const QString& hostPath) {
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        raiseFile(QStringLiteral("履歴ファイルを読めません: %1").arg(hostPath));
    QStringDecoder decoder("CP932");
    const QString text = decoder.decode(file.readAll());
    if (decoder.hasError())
        raiseFile(QStringLiteral("履歴ファイルの文字が読めません: %1").arg(hostPath));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const auto bad = [&](qsizetype line) {
        raiseFile(QStringLiteral("履歴ファイルの形式が正しくありません (%1 行目): %2")
                      .arg(line + 1)
                      .arg(hostPath));
    };
    if (lines.isEmpty() || lines[0] != Marker + QStringLiteral("\t1"))
        bad(0);
    JournalFile journal;
    qsizetype i = 1;
    for (; i < lines.size() && !lines[i].isEmpty(); ++i) {
        const qsizetype tab = lines[i].indexOf(u'\t');
        if (tab < 0)
            bad(i);
        journal.details.append({lines[i].left(tab), lines[i].mid(tab + 1)});
    }
    for (++i; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) {
            if (i + 1 == lines.size())
                break; // the last line's CR LF
            bad(i);
        }
        const QStringList cells = lines[i].split(u'\t');
        JournalRow row;
        if (cells[0] == tableName(Menu::Giju))
            row.menu = Menu::Giju;
        else if (cells[0] == tableName(Menu::Ten))
            row.menu = Menu::Ten;
        else
            bad(i);
        const QStringList keys = keyColumns(row.menu);
        if (cells.size() < 1 + keys.size() || (cells.size() - 1 - keys.size()) % 3 != 0)
            bad(i);
        for (qsizetype k = 0; k < keys.size(); ++k) {
            const QString& key = cells[1 + k];
            if (!key.startsWith(keys[k] + u'='))
                bad(i);
            row.key.push_back(valueFromJournal(key.mid(keys[k].size() + 1)));
        }
        for (qsizetype c = 1 + keys.size(); c < cells.size(); c += 3)
            row.changes.push_back(
                {cells[c], valueFromJournal(cells[c + 1]), valueFromJournal(cells[c + 2])});
        journal.rows.push_back(std::move(row));
    }
    return journal;
}

} // namespace tanka
