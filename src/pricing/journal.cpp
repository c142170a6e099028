#include "pricing/journal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSysInfo>

#include "core/code_page_932.h"
#include "core/date_text.h"
#include "core/run_error.h"
#include "pricing/conversion.h"

namespace tanka {

namespace {

const QString NullText = QString::fromLatin1(NullCell);
const QString Marker = QStringLiteral("単価変更履歴");

[[noreturn]] void raiseFile(const QString& text) {
    throw RunError(err::FileFailed, text.toStdString());
}

// The date a text of the forms the servers and the program use stands for,
// read with the program's one date reader; false otherwise (a time alone is
// no date here, nor are digits alone such as "20190930": a number here).
bool storedDate(QStringView text, DateTimeParts& p) {
    return text.size() >= 10 && readDateText(text, p) && p.dated && p.validDate() &&
           p.validTime() && p.year >= 0 && p.year <= 9999;
}

DateTimeParts partsOf(QDate date, QTime time) {
    return {date.year(),   date.month(),  date.day(),  time.hour(),
            time.minute(), time.second(), time.msec(), true};
}

// A journal text made in UTF-16 (journalText).
struct TextOut {
    QString& out;
    void ascii(const char* text, qsizetype size) { out += QLatin1StringView(text, size); }
    void null() { ascii(NullCell, sizeof NullCell - 1); }
    void integer(qint64 value) {
        char digits[24];
        ascii(digits, integerDigits(digits, value));
    }
    void date(const DateTimeParts& parts, bool milliseconds) {
        char text[MaxDateTimeChars];
        ascii(text, formatDateTime(text, parts, '/', milliseconds));
    }
    // A cell's text: TAB and line breaks become blanks (they would end the
    // cell or line).
    void cell(QStringView text) {
        const qsizetype from = out.size();
        out += text;
        for (QChar* c = out.data() + from; c != out.data() + out.size(); ++c)
            if (*c == u'\t' || *c == u'\r' || *c == u'\n')
                *c = u' ';
    }
};

QString cell(const QString& text) {
    QString out;
    TextOut{out}.cell(text);
    return out;
}

// journalText(value) appended to out.
template <typename Out> void appendJournalText(Out& out, const QVariant& value) {
    if (value.isNull())
        return out.null();
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.date().year() >= 0 && dt.date().year() <= 9999)
            return out.date(partsOf(dt.date(), dt.time()), true);
        break;
    }
    case QMetaType::QDate:
        if (const QDate d = value.toDate(); d.year() >= 0 && d.year() <= 9999)
            return out.date(partsOf(d, QTime(0, 0)), true);
        break;
    case QMetaType::Double: {
        // Whole numbers within qint64 as integers; converting a double out
        // of that range (or NaN) to qint64 is undefined, so it is checked first.
        const double d = value.toDouble();
        if (std::isfinite(d) && d >= -9.2e18 && d <= 9.2e18 && d == std::trunc(d))
            return out.integer(qint64(d));
        return out.cell(QString::number(d, 'g', 17));
    }
    case QMetaType::QString: {
        const QString& text = *static_cast<const QString*>(value.constData());
        if (DateTimeParts p; storedDate(text, p))
            return out.date(p, true);
        return out.cell(text);
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return out.integer(value.toLongLong());
    default:
        break;
    }
    out.cell(value.toString());
}

} // namespace

QString journalText(const QVariant& value) {
    QString text;
    TextOut out{text};
    appendJournalText(out, value);
    return text;
}

QVariant valueFromJournal(const QString& text) {
    if (text == NullText)
        return {};
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (ok)
        return n;
    if (DateTimeParts p; storedDate(text, p))
        return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second, p.msec));
    return text;
}

QString computerName() {
    const QString windowsName = qEnvironmentVariable("COMPUTERNAME");
    return windowsName.isEmpty() ? QSysInfo::machineHostName() : windowsName;
}

QString userName() {
    const QString windowsName = qEnvironmentVariable("USERNAME");
    return windowsName.isEmpty() ? qEnvironmentVariable("USER") : windowsName;
}

Journal::Journal(const QString& dir, const RunDetails& details) : m_dir(dir), m_at(details.at) {
    const QString stamp = m_at.toString(QStringLiteral("yyyyMMdd_hhmmss"));
    m_file.setFileName(QDir(dir).filePath(
        QStringLiteral("単価変更_%1_%2.tmp").arg(stamp).arg(QCoreApplication::applicationPid())));
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
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
    m_out.text(line);
    endLine();
}

void Journal::endLine() {
    if (!m_out.endLine())
        raiseFile(QStringLiteral("履歴ファイルに書き込めません: %1").arg(m_file.fileName()));
}

void Journal::add(const RowWrite& row) {
    const int menu = int(row.menu);
    if (m_keys[menu].isEmpty()) {
        // "table" and "\tkey=" once per menu in the file's bytes.
        m_keys[menu] << cp932::encode(tableName(row.menu));
        for (const QString& key : keyColumns(row.menu))
            m_keys[menu] << cp932::encode(u'\t' + key + u'=');
    }
    const QByteArrayList& prefixes = m_keys[menu];
    TsvWriter& out = m_out;
    out.ascii(prefixes[0].constData(), prefixes[0].size());
    for (std::size_t k = 0; k < row.key.size(); ++k) {
        const QByteArray& prefix = prefixes[qsizetype(k) + 1];
        out.ascii(prefix.constData(), prefix.size());
        appendJournalText(out, row.key[k]);
    }
    for (const ColumnChange& change : row.changes) {
        out.ascii("\t", 1);
        out.cell(change.column);
        out.ascii("\t", 1);
        appendJournalText(out, change.before);
        out.ascii("\t", 1);
        appendJournalText(out, change.after);
    }
    endLine();
    ++m_rows;
}

QString Journal::finish() {
    if (m_file.isOpen() && !m_out.flush())
        raiseFile(QStringLiteral("履歴ファイルに書き込めません: %1").arg(m_file.fileName()));
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
    bool valid = false;
    const QString text = cp932::decode(file.readAll(), &valid);
    if (!valid)
        raiseFile(QStringLiteral("履歴ファイルの文字が読めません: %1").arg(hostPath));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const auto bad = [&](qsizetype line) {
        raiseFile(QStringLiteral("履歴ファイルの形式が正しくありません (%1 行目): %2")
                      .arg(line + 1)
                      .arg(hostPath));
    };
    const auto refuse = [&](qsizetype line, const QString& why) {
        raiseFile(
            QStringLiteral("履歴ファイルの %1 行目は単価変更が書く行ではないため、取り消しません"
                           "（%2）: %3")
                .arg(line + 1)
                .arg(why, hostPath));
    };
    QSet<QString> rowsSeen;
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
        if (cells[0] == tableName(Menu::Technical))
            row.menu = Menu::Technical;
        else if (cells[0] == tableName(Menu::Retail))
            row.menu = Menu::Retail;
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
        // Only a column a run writes into the table, each once, and by the
        // program's own name: a name from the file never reaches a statement.
        const QStringList writable = writableColumns(row.menu);
        for (qsizetype c = 1 + keys.size(); c < cells.size(); c += 3) {
            const qsizetype at = writable.indexOf(cells[c]);
            if (at < 0)
                refuse(
                    i,
                    QStringLiteral("列「%1」は単価変更が書き込む列ではありません").arg(cells[c]));
            for (const ColumnChange& change : row.changes)
                if (change.column == writable[at])
                    refuse(i, QStringLiteral("列「%1」が2度あります").arg(cells[c]));
            row.changes.push_back(
                {writable[at], valueFromJournal(cells[c + 1]), valueFromJournal(cells[c + 2])});
        }
        // A run writes each row once.
        QString rowKey = cells[0];
        for (const QVariant& value : row.key)
            rowKey += u'\t' + journalText(value);
        if (rowsSeen.contains(rowKey))
            refuse(i, QStringLiteral("同じ行が2度あります"));
        rowsSeen.insert(rowKey);
        journal.rows.push_back(std::move(row));
    }
    return journal;
}

} // namespace tanka
