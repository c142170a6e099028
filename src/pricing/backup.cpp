#include "pricing/backup.h"

#include <array>

#include <QSaveFile>
#include <QStringEncoder>

#include "core/field_readers.h"
#include "core/run_error.h"
#include "db/recordset.h"

namespace tanka {

namespace {

// The first column of the first row of a catalogue query, trimmed; empty when
// no row comes back.
QString firstValue(Connection& cn, const QString& sql, const QString& column) {
    Recordset rs;
    rs.open(sql, cn);
    QString text;
    if (!rs.isEOF())
        text = Get_FixStr(column.isEmpty() ? rs.value(0) : rs.value(column), 0, false);
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

// Lines encoded as they come and written a block at a time. Characters the
// converter gives back as the same single byte (ASCII, apart from the few
// control characters code page 932 exchanges) are copied straight; every other
// run of characters goes through the converter. Whole lines only, so a run
// never splits a surrogate pair.
class BlockWriter {
public:
    BlockWriter(QIODevice& file, QStringEncoder& encoder) : m_file(file), m_encoder(encoder) {
        m_bytes.reserve(BlockBytes + 8192);
        QString ascii;
        for (char16_t c = 0; c < 0x80; ++c)
            ascii += QChar(c);
        QStringEncoder probe(m_encoder.name());
        const QByteArray bytes = probe.encode(ascii);
        for (std::size_t c = 0; c < m_same.size(); ++c)
            m_same[c] = bytes.size() == ascii.size() &&
                        static_cast<unsigned char>(bytes[static_cast<qsizetype>(c)]) == c;
    }
    bool put(QStringView line) {
        const char16_t* in = line.utf16();
        const qsizetype size = line.size();
        qsizetype used = m_bytes.size();
        m_bytes.resize(used + size);
        char* out = m_bytes.data();
        qsizetype i = 0;
        while (i < size) {
            qsizetype straight = i;
            while (straight < size && copiedStraight(in[straight]))
                ++straight;
            for (; i < straight; ++i)
                out[used++] = static_cast<char>(in[i]);
            if (i == size)
                break;
            qsizetype end = i + 1;
            while (end < size && !copiedStraight(in[end]))
                ++end;
            const QStringView run = line.mid(i, end - i);
            m_bytes.resize(used + m_encoder.requiredSpace(run.size()) + (size - end));
            out = m_bytes.data();
            used = m_encoder.appendToBuffer(out + used, run) - out;
            i = end;
        }
        m_bytes.resize(used);
        return used < BlockBytes || flush();
    }
    bool flush() {
        const qsizetype size = m_bytes.size();
        const bool written = size == 0 || m_file.write(m_bytes.constData(), size) == size;
        m_bytes.resize(0); // keeps the capacity
        return written;
    }

private:
    bool copiedStraight(char16_t c) const { return c < 0x80 && m_same[c]; }

    static constexpr qsizetype BlockBytes = 64 * 1024;
    QIODevice& m_file;
    QStringEncoder& m_encoder;
    std::array<bool, 0x80> m_same{};
    QByteArray m_bytes;
};

} // namespace

QString Get_TmpDir(Connection& cn, const DriveMap& drive) {
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
    return menu == Menu::Giju ? QStringLiteral("MTGIJU10%.CSV") : QStringLiteral("MTTENP10%.CSV");
}

QString backupQuery(Menu menu) {
    if (menu == Menu::Giju)
        return QStringLiteral("SELECT * From MSTORI.dbo.MTGIJU ") +
               QStringLiteral(" ORDER BY GlobalID, MiseID, GijutuID, ShumokuID");
    return QStringLiteral("SELECT * From MSTORI.dbo.MTTENP ") +
           QStringLiteral(" ORDER BY GlobalID, MiseID, TenpanFlg, TenpanID");
}

bool Write_RsFile(const QString& hostPath, Recordset& rs, const Progress& progress, qint64 total,
                  RunError* cause) {
    RunError ignored(0, {});
    RunError& failure = cause ? *cause : ignored;
    QStringEncoder encoder("CP932");
    if (!encoder.isValid()) {
        failure = RunError(err::FileFailed, "CP932 encoder not available");
        return false;
    }
    // QSaveFile writes to a temporary file beside hostPath and renames it on
    // commit; without a commit the temporary file is removed.
    QSaveFile file(hostPath);
    const auto fileFailed = [&] {
        failure = RunError(err::FileFailed, file.errorString().toStdString());
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fileFailed();
    BlockWriter out(file, encoder);
    try {
        QString header;
        const int count = rs.fieldCount();
        for (int i = 0; i < count; ++i) {
            header += rs.fieldName(i);
            if (i + 1 < count)
                header += u'\t';
        }
        if (!out.put(header + QStringLiteral("\r\n")))
            return fileFailed();
        const QString columnSep = QStringLiteral("\t");
        const QString rowSep = QStringLiteral("\r\n");
        const QString nullText = QStringLiteral("#NULL#");
        qint64 done = 0;
        while (!rs.isEOF()) {
            if (!out.put(rs.getString(columnSep, rowSep, nullText)))
                return fileFailed();
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
        count.open(QStringLiteral("SELECT count(*) From MSTORI.dbo.") + tableName(menu), cn);
        total = Get_LngVal(count.value(0));
        count.close();
        progress(0, total);
    }
    Recordset rs;
    rs.open(backupQuery(menu), cn);
    RunError cause(0, {});
    const bool written = Write_RsFile(drive.hostPath(path), rs, progress, total, &cause);
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

bool Backup_MTGIJU(Connection& cn, const QString& tmpDir, const DriveMap& drive,
                   MessageBoxes& boxes, const Progress& progress) {
    return backupTable(Menu::Giju, cn, tmpDir, drive, boxes, progress);
}

bool Backup_MTTENP(Connection& cn, const QString& tmpDir, const DriveMap& drive,
                   MessageBoxes& boxes, const Progress& progress) {
    return backupTable(Menu::Ten, cn, tmpDir, drive, boxes, progress);
}

} // namespace tanka
