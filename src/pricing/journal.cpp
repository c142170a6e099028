#include "pricing/journal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include "core/date_text.h"
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

// A date text of the forms the servers and the program use, read with the
// program's one date reader; invalid otherwise (a time alone is no date here).
struct DateParts {
    QDate date;
    QTime time;
    bool valid() const { return date.isValid() && time.isValid(); }
};

DateParts storedDate(QStringView text) {
    // Digits alone ("20190930") are a number here, not a date.
    DateTimeParts p;
    if (text.size() < 10 || !readDateText(text, p) || !p.dated || !p.validDate() || !p.validTime())
        return {};
    return {QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second, p.msec)};
}

void appendDigits(QString& out, int value, int width) {
    char16_t buffer[4];
    for (int i = width - 1; i >= 0; --i) {
        buffer[i] = char16_t(u'0' + value % 10);
        value /= 10;
    }
    out.append(reinterpret_cast<const QChar*>(buffer), width);
}

// "yyyy/MM/dd hh:mm:ss", with ".zzz" when the milliseconds are not 0.
QString dateText(QDate date, QTime time) {
    QString text;
    text.reserve(23);
    appendDigits(text, date.year(), 4);
    text += u'/';
    appendDigits(text, date.month(), 2);
    text += u'/';
    appendDigits(text, date.day(), 2);
    text += u' ';
    appendDigits(text, time.hour(), 2);
    text += u':';
    appendDigits(text, time.minute(), 2);
    text += u':';
    appendDigits(text, time.second(), 2);
    if (time.msec() != 0) {
        text += u'.';
        appendDigits(text, time.msec(), 3);
    }
    return text;
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
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dateText(dt.date(), dt.time());
    }
    case QMetaType::QDate:
        return dateText(value.toDate(), QTime(0, 0));
    case QMetaType::Double: {
        const double d = value.toDouble();
        return d == double(qint64(d)) ? QString::number(qint64(d)) : QString::number(d, 'g', 17);
    }
    case QMetaType::QString: {
        const QString& text = *static_cast<const QString*>(value.constData());
        if (const DateParts dt = storedDate(text); dt.valid())
            return dateText(dt.date, dt.time);
        return cell(text);
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return QString::number(value.toLongLong());
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
    if (const DateParts dt = storedDate(text); dt.valid())
        return QDateTime(dt.date, dt.time);
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
    m_buffer += m_encoder.encode(line);
    m_buffer += "\r\n";
    if (m_buffer.size() >= 1 << 16)
        writeBuffer();
}

void Journal::writeBuffer() {
    if (m_file.write(m_buffer) != m_buffer.size())
        raiseFile(QStringLiteral("履歴ファイルに書き込めません: %1").arg(m_file.fileName()));
    m_buffer.clear();
}

void Journal::add(const RowWrite& row) {
    if (m_keys[int(row.menu)].isEmpty())
        m_keys[int(row.menu)] = keyColumns(row.menu);
    const QStringList& keys = m_keys[int(row.menu)];
    m_line.clear();
    m_line += menuTable(row.menu);
    for (qsizetype k = 0; k < keys.size(); ++k) {
        m_line += u'\t';
        m_line += keys[k];
        m_line += u'=';
        m_line += journalText(row.key[std::size_t(k)]);
    }
    for (const ColumnChange& change : row.changes) {
        m_line += u'\t';
        m_line += change.column;
        m_line += u'\t';
        m_line += journalText(change.before);
        m_line += u'\t';
        m_line += journalText(change.after);
    }
    write(m_line);
    ++m_rows;
}

QString Journal::finish() {
    if (m_file.isOpen())
        writeBuffer();
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
