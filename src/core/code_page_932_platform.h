#pragma once
// The system's code page 932 conversion, strict: each call either converts
// all of its input or fails. code_page_932.cpp builds the replacement rules
// on top of these, so they are the same on every system.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tanka::cp932::platform {

bool isAvailable();
// Appends text to out; false (out as it was) when a character has no code.
bool encodeStrict(QStringView text, QByteArray& out);
// Appends bytes to out; false (out as it was) when a sequence is invalid.
bool decodeStrict(QByteArrayView bytes, QString& out);

} // namespace tanka::cp932::platform
