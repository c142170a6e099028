#include "core/tsv_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include <QString>

#include "core/code_page_932.h"

namespace tanka {

namespace {

// Code page 932 writes every ASCII character as its own byte.
bool copiedStraight(char16_t c) {
    return c < 0x80;
}

bool endsCell(char16_t c) {
    return c == u'\t' || c == u'\r' || c == u'\n';
}

} // namespace

int integerDigits(char (&buffer)[24], qint64 value) {
    return int(std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
}

TsvWriter::TsvWriter(QIODevice& file) : m_file(file) {
    m_bytes.resize(BlockBytes + 8192);
}

char* TsvWriter::room(qsizetype size) {
    if (m_used + size > m_bytes.size())
        m_bytes.resize(std::max(2 * m_bytes.size(), m_used + size + 8192));
    return m_bytes.data() + m_used;
}

void TsvWriter::ascii(const char* text, qsizetype size) {
    std::memcpy(room(size), text, std::size_t(size));
    m_used += size;
}

void TsvWriter::text(QStringView text) {
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        qsizetype end = i;
        while (end < size && copiedStraight(in[end]))
            ++end;
        char* out = room(end - i);
        for (qsizetype k = i; k < end; ++k)
            *out++ = static_cast<char>(in[k]);
        m_used += end - i;
        if (end == size)
            break;
        i = end;
        while (end < size && !copiedStraight(in[end]))
            ++end;
        const QByteArray encoded = cp932::encode(text.mid(i, end - i));
        ascii(encoded.constData(), encoded.size());
        i = end;
    }
}

void TsvWriter::cell(QStringView text) {
    if (std::none_of(text.utf16(), text.utf16() + text.size(), endsCell))
        return this->text(text);
    QString cleaned = text.toString();
    for (QChar& c : cleaned)
        if (endsCell(c.unicode()))
            c = u' ';
    this->text(cleaned);
}

void TsvWriter::utf8(QByteArrayView text) {
    for (const char c : text)
        if (!copiedStraight(static_cast<unsigned char>(c)))
            return this->text(QString::fromUtf8(text));
    ascii(text.data(), text.size());
}

void TsvWriter::integer(qint64 value) {
    char digits[24];
    ascii(digits, integerDigits(digits, value));
}

void TsvWriter::date(const DateTimeParts& parts, bool milliseconds) {
    char text[MaxDateTimeChars];
    ascii(text, formatDateTime(text, parts, '/', milliseconds));
}

bool TsvWriter::endLine() {
    ascii("\r\n", 2);
    return m_used < BlockBytes || flush();
}

bool TsvWriter::flush() {
    const bool written = m_used == 0 || m_file.write(m_bytes.constData(), m_used) == m_used;
    m_used = 0;
    return written;
}

} // namespace tanka
