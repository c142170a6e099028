// The settings reader on any file: values come back trimmed and never longer
// than the limit asked for.
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "fuzz_input.h"
#include "install/install.h"

using namespace tanka;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path =
        QDir::temp().filePath(QStringLiteral("tanka-fuzz-%1.ini").arg(::getpid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    for (const char* key : {"MsTori", "MiseID", "mskyak", ""}) {
        const QString value =
            readProfileString(path, QStringLiteral("LUMINA"), QString::fromLatin1(key), 250);
        fuzz::require(value.size() <= 250);
    }
    return 0;
}
