#pragma once
// The message shown when an error ends the program.

#include <QString>

#include "core/run_error.h"

namespace tanka {

// "エラーが発生しました。終了します。" CR LF "エラー番号: N" CR LF description.
QString fatalErrorText(const RunError& error);

} // namespace tanka
