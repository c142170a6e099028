// The settings reader on any file: values come back trimmed and never longer
// than the limit asked for.
#include "fuzz_input.h"
#include "install/install.h"

using namespace tanka;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::inputFile(".ini", data, size);
    if (path.isEmpty())
        return 0;
    for (const char* key : {"MsTori", "MiseID", "mskyak", ""}) {
        const QString value =
            readProfileString(path, QStringLiteral("LUMINA"), QString::fromLatin1(key), 250);
        fuzz::require(value.size() <= 250);
    }
    return 0;
}
