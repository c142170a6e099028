#pragma once
// Turning fuzzer bytes into texts: UTF-8 (invalid sequences become U+FFFD) or,
// when the first byte is odd, raw UTF-16 code units, lone surrogates included;
// or into a file for the readers of files.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

namespace tanka::fuzz {

inline QString textOf(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return {};
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const qsizetype rest = static_cast<qsizetype>(size - 1);
    if (data[0] & 1) {
        // Byte order as the host's (the fuzzing hosts are little-endian).
        QString text(rest / 2, Qt::Uninitialized);
        std::memcpy(text.data(), bytes, static_cast<std::size_t>(text.size()) * 2);
        return text;
    }
    return QString::fromUtf8(bytes, rest);
}

// Writes the bytes to this process's file of the given suffix in the
// temporary folder; its path, or empty when it cannot be opened.
inline QString inputFile(const char* suffix, const std::uint8_t* data, std::size_t size) {
    const QString path = QDir::temp().filePath(
        QStringLiteral("tanka-fuzz-%1%2")
            .arg(QString::number(QCoreApplication::applicationPid()), QLatin1String(suffix)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    return path;
}

// Stops the run with the fuzzer's report when an invariant does not hold.
inline void require(bool holds) {
    if (!holds)
        __builtin_trap();
}

} // namespace tanka::fuzz
