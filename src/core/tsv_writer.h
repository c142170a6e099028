#pragma once
// The program's one writer of TAB-separated text files in code page 932
// (backups, journals, preview lists): CR LF after every line, "#NULL#" for a
// Null value, whole numbers as plain decimal digits. The bytes are made
// straight in a buffer and written a block at a time: ASCII is copied as it
// is (code page 932 writes it as itself); every other run of characters goes
// through the converter, a whole run at a time, so a run never splits a
// surrogate pair.

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QStringView>

#include "core/date_text.h"

namespace tanka {

// The text of a Null value in every file the program writes.
inline constexpr char NullCell[] = "#NULL#";

class TsvWriter {
public:
    explicit TsvWriter(QIODevice& file);

    // Digits, dates and separators the program writes itself.
    void ascii(const char* text, qsizetype size);
    // A text as it is.
    void text(QStringView text);
    // A text as one cell: TAB and line breaks become blanks (they would end
    // the cell or the line).
    void cell(QStringView text);
    // A text as the server stored it, in UTF-8.
    void utf8(QByteArrayView text);
    void tab() { ascii("\t", 1); }
    void null() { ascii(NullCell, sizeof NullCell - 1); }
    void integer(qint64 value);
    // "yyyy/MM/dd hh:mm:ss", with ".zzz" when asked for and the
    // milliseconds are not 0.
    void date(const DateTimeParts& parts, bool milliseconds);

    // Ends a line; false when a full block could not be written.
    bool endLine();
    // Writes what is buffered; false when it could not be written.
    bool flush();

private:
    char* room(qsizetype size);

    static constexpr qsizetype BlockBytes = 64 * 1024;
    QIODevice& m_file;
    QByteArray m_bytes;
    qsizetype m_used = 0;
};

// A whole number's decimal digits written into buffer; returns their count.
int integerDigits(char (&buffer)[24], qint64 value);

} // namespace tanka
