#include "pricing/backup.h"

#include <array>
#include <cmath>
#include <vector>

#include <QSaveFile>

#include "core/code_page_932.h"
#include "core/date_text.h"
#include "core/field_readers.h"
#include "core/run_error.h"
#include "core/tsv_writer.h"
#include "db/recordset.h"
#include "db/row_data.h"
#include "db/value_text.h"

namespace tanka {

namespace {

// The first column of the first row of a catalogue query, trimmed; empty when
// no row comes back.
QString firstValue(Connection& cn, const QString& sql, const QString& column) {
    Recordset rs;
    rs.open(sql, cn);
    QString text;
    if (!rs.isEOF())
        text = fixedWidthText(column.isEmpty() ? rs.value(0) : rs.value(column), 0, false);
    rs.close();
    return text;
}

// Product words in order of preference: headquarters installations first.
// "ZEMAH" also contains "ZEMA", so a headquarters data file whose own TMP
// folder is missing can still find the store folder.
constexpr std::array<const char*, 6> ProductWords = {"ZEMAH", "KOTAH", "MIROH",
                                                     "ZEMA",  "KOTA",  "MIRO"};

QString candidateDir(const char* word) {
    return QStringLiteral("C:\\") + QLatin1String(word) + QStringLiteral("\\TMP");
}

// Whole numbers without a fraction, others with up to 15 significant digits
// and never in exponent form.
void putReal(TsvWriter& out, double value) {
    if (std::isfinite(value) && std::fabs(value) < 1e15 && value == std::trunc(value))
        return out.integer(static_cast<qlonglong>(value));
    QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e')) {
        text = QString::number(value, 'f', 10);
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    out.text(text);
}

// "yyyy/MM/dd hh:mm:ss" (seconds whole).
void putDate(TsvWriter& out, const DateTimeParts& p) {
    out.date(p, false);
}

void putDate(TsvWriter& out, QDate date, QTime time) {
    if (date.isValid() && date.year() >= 0 && date.year() <= 9999 && time.isValid())
        return putDate(out, {date.year(), date.month(), date.day(), time.hour(), time.minute(),
                             time.second(), 0, true});
    // Beyond four-digit years: Qt's own formatting, in UTC (no zone lookup).
    out.text(QDateTime(date, time, Qt::UTC).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
}

// Whether a stored text is a date as the server reads it; the date texts of
// a table are short ASCII, read without making a QString.
bool serverDate(QByteArrayView utf8, DateTimeParts& p) {
    char16_t units[32];
    if (utf8.size() > qsizetype(std::size(units)))
        return serverDate(QString::fromUtf8(utf8), p);
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (static_cast<unsigned char>(utf8[i]) >= 0x80)
            return serverDate(QString::fromUtf8(utf8), p);
        units[i] = static_cast<char16_t>(utf8[i]);
    }
    return serverDate(QStringView(units, utf8.size()), p);
}

// A text; in a date column, one that the server reads as a date in the date
// form.
void putText(TsvWriter& out, QStringView text, bool dateColumn) {
    if (DateTimeParts p; dateColumn && serverDate(text, p))
        return putDate(out, p);
    out.text(text);
}

// A value another transport gave as it was read.
void putVariant(TsvWriter& out, const QVariant& value, bool dateColumn) {
    if (value.isNull())
        return out.null();
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Short:
        return out.integer(value.toLongLong());
    case QMetaType::Bool:
        return out.text(value.toBool() ? u"True" : u"False");
    case QMetaType::Double:
    case QMetaType::Float:
        return putReal(out, value.toDouble());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return putDate(out, dt.date(), dt.time());
    }
    case QMetaType::QDate:
        return putDate(out, value.toDate(), QTime(0, 0));
    case QMetaType::QTime:
        return out.text(value.toTime().toString(QStringLiteral("hh:mm:ss")));
    case QMetaType::QByteArray:
        return out.text(QString::fromLatin1(value.toByteArray().toHex().toUpper()));
    case QMetaType::QString:
        return putText(out, *static_cast<const QString*>(value.constData()), dateColumn);
    default:
        return out.text(value.toString());
    }
}

// The current row of rs: its values in their plain text form, TAB between
// values; dates tells which columns are declared dates.
void putRow(TsvWriter& out, const Recordset& rs, const std::vector<bool>& dates) {
    const RowData& row = rs.row();
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0)
            out.tab();
        const bool date = dates[i];
        switch (row.kind(i)) {
        case RowData::Kind::Null:
            out.null();
            break;
        case RowData::Kind::Integer:
            out.integer(row.integer(i));
            break;
        case RowData::Kind::Real:
            putReal(out, row.real(i));
            break;
        case RowData::Kind::Text:
            if (DateTimeParts p; date && serverDate(row.text(i), p))
                putDate(out, p);
            else
                out.utf8(row.text(i));
            break;
        case RowData::Kind::Variant:
            putVariant(out, row.variant(i), date);
            break;
        }
    }
}

} // namespace

QString findWorkFolder(Connection& cn, const DriveMap& drive) {
    const QString version = firstValue(cn, QStringLiteral("select @@version"), {});
    QString dataFile;
    if (version.contains(QStringLiteral("2000")) || version.contains(QStringLiteral("2005")))
        dataFile = firstValue(
            cn, QStringLiteral("select * FROM master.dbo.sysdatabases  where name = 'mskyak' "),
            QStringLiteral("filename"));
    else
        dataFile = firstValue(cn, QStringLiteral("select * FROM mskyak.sys.database_files"),
                              QStringLiteral("physical_name"));

    for (const char* word : ProductWords) {
        if (dataFile.contains(QLatin1String(word)) && drive.dirExists(candidateDir(word)))
            return candidateDir(word);
    }
    for (const char* word : ProductWords) {
        if (drive.dirExists(candidateDir(word)))
            return candidateDir(word);
    }
    return {};
}

QString backupFileName(Menu menu) {
    return menu == Menu::Technical ? QStringLiteral("MTGIJU10%.CSV")
                                   : QStringLiteral("MTTENP10%.CSV");
}

QString backupQuery(Menu menu) {
    return QStringLiteral("SELECT * From ") + qualifiedName(menu) + QStringLiteral("  ORDER BY ") +
           keyColumns(menu).join(QStringLiteral(", "));
}

bool writeBackupFile(const QString& hostPath, Recordset& rs, const Progress& progress, qint64 total,
                     RunError* cause) {
    RunError ignored(0, {});
    RunError& failure = cause ? *cause : ignored;
    // QSaveFile writes to a temporary file beside hostPath and renames it on
    // commit; without a commit the temporary file is removed.
    QSaveFile file(hostPath);
    const auto fileFailed = [&] {
        failure = RunError(err::FileFailed, file.errorString().toStdString());
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fileFailed();
    TsvWriter out(file);
    try {
        QStringList header;
        std::vector<bool> dates;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            header << rs.fieldName(i);
            dates.push_back(rs.isDateColumn(i));
        }
        out.text(header.join(u'\t'));
        if (!out.endLine())
            return fileFailed();
        qint64 done = 0;
        while (!rs.isEOF()) {
            putRow(out, rs, dates);
            if (!out.endLine())
                return fileFailed();
            rs.moveNext();
            if (progress)
                progress(++done, std::max(total, done));
        }
    } catch (const RunError& e) {
        failure = e;
        return false;
    }
    if (!out.flush() || !file.commit())
        return fileFailed();
    return true;
}

bool backupTable(Menu menu, Connection& cn, const QString& tmpDir, const DriveMap& drive,
                 MessageBoxes& boxes, const Progress& progress) {
    const QString path = tmpDir + u'\\' + backupFileName(menu);
    if (drive.fileExists(path))
        return true;
    qint64 total = 0;
    if (progress) {
        Recordset count;
        count.open(QStringLiteral("SELECT count(*) From ") + qualifiedName(menu), cn);
        total = readInteger(count.value(0));
        count.close();
        progress(0, total);
    }
    Recordset rs;
    rs.open(backupQuery(menu), cn);
    RunError cause(0, {});
    const bool written = writeBackupFile(drive.hostPath(path), rs, progress, total, &cause);
    rs.close();
    if (!written) {
        boxes.show(backupFileName(menu) + QStringLiteral("の作成に失敗しました\r\nエラー番号: ") +
                       QString::number(cause.number()) + QStringLiteral("\r\n") +
                       QString::fromStdString(cause.description()) +
                       QStringLiteral("\r\n単価は変更されていません。"),
                   MsgButtons::Ok, MsgIcon::Critical);
    }
    return written;
}

bool backupTechnicalMenu(Connection& cn, const QString& tmpDir, const DriveMap& drive,
                         MessageBoxes& boxes, const Progress& progress) {
    return backupTable(Menu::Technical, cn, tmpDir, drive, boxes, progress);
}

bool backupRetailProducts(Connection& cn, const QString& tmpDir, const DriveMap& drive,
                          MessageBoxes& boxes, const Progress& progress) {
    return backupTable(Menu::Retail, cn, tmpDir, drive, boxes, progress);
}

} // namespace tanka
