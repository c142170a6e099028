#include "core/code_page_932.h"

#include "core/code_page_932_platform.h"

namespace tanka::cp932 {

namespace {

bool isAscii(QStringView text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// The length of the code point that starts at i (2 for a surrogate pair).
qsizetype codePointLength(QStringView text, qsizetype i) {
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

// A lead byte of a two-byte character.
bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace

bool isAvailable() {
    return platform::isAvailable();
}

void appendEncoded(QByteArray& out, QStringView text) {
    if (isAscii(text)) {
        const qsizetype at = out.size();
        out.resize(at + text.size());
        char* p = out.data() + at;
        for (QChar c : text)
            *p++ = static_cast<char>(c.unicode());
        return;
    }
    if (platform::encodeStrict(text, out))
        return;
    // Some character has no code: one code point at a time, '?' for those.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = codePointLength(text, i);
        if (!platform::encodeStrict(text.mid(i, n), out))
            out.append(Unmappable);
        i += n;
    }
}

QByteArray encode(QStringView text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    appendEncoded(out, text);
    return out;
}

qsizetype encodedLength(QStringView text) {
    if (isAscii(text))
        return text.size();
    return encode(text).size();
}

QString decode(QByteArrayView bytes, bool* valid) {
    QString out;
    out.reserve(bytes.size());
    bool allValid = platform::decodeStrict(bytes, out);
    if (!allValid) {
        // One character at a time; each invalid one stands as U+FFFD.
        for (qsizetype i = 0; i < bytes.size();) {
            const auto lead = static_cast<unsigned char>(bytes[i]);
            const qsizetype n = isLeadByte(lead) && i + 1 < bytes.size() ? 2 : 1;
            if (!platform::decodeStrict(bytes.sliced(i, n), out))
                out.append(QChar::ReplacementCharacter);
            i += n;
        }
    }
    if (valid)
        *valid = allValid;
    return out;
}

} // namespace tanka::cp932
