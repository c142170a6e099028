#pragma once
// Turning fuzzer bytes into texts: UTF-8 (invalid sequences become U+FFFD) or,
// when the first byte is odd, raw UTF-16 code units, lone surrogates included.

#include <cstddef>
#include <cstdint>

#include <QString>

namespace tanka::fuzz {

inline QString textOf(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return {};
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const qsizetype rest = static_cast<qsizetype>(size - 1);
    if (data[0] & 1) {
        QString text(rest / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] =
                QChar(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                            static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
        return text;
    }
    return QString::fromUtf8(bytes, rest);
}

// Stops the run with the fuzzer's report when an invariant does not hold.
inline void require(bool holds) {
    if (!holds)
        __builtin_trap();
}

} // namespace tanka::fuzz
