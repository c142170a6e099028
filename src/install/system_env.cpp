#include "install/system_env.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace tanka {

QString ProcessEnv::variable(const QString& name) const {
    const QByteArray key = name.toLocal8Bit();
    if (!qEnvironmentVariableIsSet(key.constData()))
        return {};
    const QString value = qEnvironmentVariable(key.constData());
    return value.isNull() ? QStringLiteral("") : value; // set but empty is not absent
}

QString ProcessEnv::systemDirectory() const {
#ifdef Q_OS_WIN
    wchar_t buffer[MAX_PATH + 1];
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return {};
    return QString::fromWCharArray(buffer, static_cast<qsizetype>(length));
#else
    return QStringLiteral("C:\\WINDOWS\\system32");
#endif
}

} // namespace tanka
