#include "core/error_text.h"

namespace tanka {

QString fatalErrorText(const RunError& error) {
    return QStringLiteral("エラーが発生しました。終了します。\r\nエラー番号: %1\r\n%2")
        .arg(error.number())
        .arg(QString::fromStdString(error.description()));
}

} // namespace tanka
