#pragma once
// Code page 932: the Japanese text encoding Windows writes (Shift_JIS with
// Microsoft's extensions). The settings file, backups, journals and preview
// lists are in it. Every reader and writer of those files goes through here.
//
// On Windows the system's own conversion does the work, so the bytes are
// those every other Windows program writes; elsewhere iconv's "CP932",
// adjusted to give the same bytes. The rules both follow:
// - a character outside code page 932 (é in "José", an emoji, a lone
//   surrogate) is written as one '?'; nothing is approximated ("best fit"),
//   so ¥ is '?', not '\';
// - a byte sequence that is not code page 932 reads as U+FFFD, one per lead
//   byte with its trail byte, and the read reports it.
// A written '?' reads back as '?', so whatever a writer writes, a reader reads.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tanka::cp932 {

// Whether this system can convert code page 932 at all (a Linux without
// glibc's conversion modules cannot); start-up refuses to go on without it.
bool isAvailable();

QByteArray encode(QStringView text);
// Appends the encoded text to out; faster than encode() for many small texts.
void appendEncoded(QByteArray& out, QStringView text);
// Bytes the text takes once encoded.
qsizetype encodedLength(QStringView text);

// valid, when given, is set to whether every byte was code page 932.
QString decode(QByteArrayView bytes, bool* valid = nullptr);

// What stands for a character that code page 932 does not have.
inline constexpr char Unmappable = '?';

} // namespace tanka::cp932
