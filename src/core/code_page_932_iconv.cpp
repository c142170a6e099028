// Code page 932 through iconv's "CP932" (glibc's conversion module), made to
// give the bytes Windows gives: glibc approximates a few characters that
// Windows, asked for no "best fit", refuses (¥ U+00A5, 〜 U+301C, ...), so a
// character's encoding counts only when its bytes read back as itself; and
// glibc lacks the five single bytes Windows maps to U+0080 and to
// private-use characters.
#ifndef _WIN32

#include "core/code_page_932_platform.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <vector>

#include <QSysInfo>

namespace tanka::cp932::platform {

namespace {

// The five single bytes Windows maps and glibc does not, both ways.
struct ByteMapping {
    unsigned char byte;
    char16_t unicode;
};
constexpr ByteMapping WindowsOnly[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};

const ByteMapping* windowsOnly(char16_t unicode, int byte) {
    for (const ByteMapping& m : WindowsOnly)
        if (m.unicode == unicode || m.byte == byte)
            return &m;
    return nullptr;
}

const char* utf16Name() {
    return QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
}

// One converter each way per thread, opened on first use.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (isOpen())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool isOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in into out (appended); false, out unchanged, if any
    // of it does not convert.
    bool convert(const char* in, std::size_t inSize, QByteArray& out, std::size_t room) {
        if (!isOpen())
            return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        const qsizetype at = out.size();
        out.resize(at + static_cast<qsizetype>(room));
        char* inPtr = const_cast<char*>(in);
        char* outPtr = out.data() + at;
        std::size_t outLeft = room;
        const std::size_t result = iconv(m_cd, &inPtr, &inSize, &outPtr, &outLeft);
        if (result == static_cast<std::size_t>(-1) || inSize != 0 ||
            iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            out.resize(at);
            return false;
        }
        out.resize(at + static_cast<qsizetype>(room - outLeft));
        return true;
    }

private:
    iconv_t m_cd;
};

Converter& encoder() {
    thread_local Converter converter("CP932", utf16Name());
    return converter;
}

Converter& decoder() {
    thread_local Converter converter(utf16Name(), "CP932");
    return converter;
}

} // namespace

bool isAvailable() {
    return encoder().isOpen() && decoder().isOpen();
}

namespace {

// What each BMP character encodes to, worked out once through iconv: 0 for
// none, a byte (0x80..0xFF) or a lead and trail byte (0x8140..0xFCFC). A
// character counts only when its bytes read back as itself, which drops
// glibc's approximations. Code page 932 has no state, so a text encodes as
// its characters one by one.
class EncodeTable {
public:
    EncodeTable() : m_codes(0x10000, 0) {
        QByteArray bytes;
        QString back;
        for (char32_t c = 0x80; c < 0x10000; ++c) {
            const auto unit = static_cast<char16_t>(c);
            if (QChar::isSurrogate(c))
                continue;
            if (const ByteMapping* special = windowsOnly(unit, -1)) {
                m_codes[c] = special->byte;
                continue;
            }
            bytes.clear();
            back.clear();
            if (!encoder().convert(reinterpret_cast<const char*>(&unit), 2, bytes, 8) ||
                !decodeStrict(bytes, back) || back.size() != 1 || back[0] != QChar(unit))
                continue;
            if (bytes.size() == 1)
                m_codes[c] = static_cast<unsigned char>(bytes[0]);
            else if (bytes.size() == 2)
                m_codes[c] = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                                        static_cast<unsigned char>(bytes[1]));
        }
    }
    std::uint16_t operator[](char16_t c) const { return m_codes[c]; }

private:
    std::vector<std::uint16_t> m_codes;
};

} // namespace

bool encodeStrict(QStringView text, QByteArray& out) {
    static const EncodeTable table;
    const qsizetype at = out.size();
    out.reserve(at + 2 * text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            out.append(static_cast<char>(c));
            continue;
        }
        const std::uint16_t code = table[c];
        if (code == 0) {
            out.resize(at);
            return false;
        }
        if (code > 0xFF)
            out.append(static_cast<char>(code >> 8));
        out.append(static_cast<char>(code & 0xFF));
    }
    return true;
}

bool decodeStrict(QByteArrayView bytes, QString& out) {
    const qsizetype at = out.size();
    QByteArray units;
    qsizetype from = 0;
    const auto flush = [&](qsizetype to) {
        if (to == from)
            return true;
        units.clear();
        if (!decoder().convert(bytes.data() + from, static_cast<std::size_t>(to - from), units,
                               static_cast<std::size_t>(to - from) * 2 + 8))
            return false;
        out.append(
            QStringView(reinterpret_cast<const char16_t*>(units.constData()), units.size() / 2));
        return true;
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80)
            continue;
        // A lead byte takes its trail byte along, whatever it is.
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
            ++i;
            continue;
        }
        const ByteMapping* special = windowsOnly(0, b);
        if (!special)
            continue;
        if (!flush(i)) {
            out.resize(at);
            return false;
        }
        out.append(QChar(special->unicode));
        from = i + 1;
    }
    if (!flush(bytes.size())) {
        out.resize(at);
        return false;
    }
    return true;
}

} // namespace tanka::cp932::platform

#endif
