// Code page 932 through the Windows API, the conversion every other Windows
// program uses.
#ifdef _WIN32

#include "core/code_page_932_platform.h"

#include <windows.h>

namespace tanka::cp932::platform {

namespace {
constexpr UINT CodePage = 932;
}

bool isAvailable() {
    return IsValidCodePage(CodePage) != 0;
}

bool encodeStrict(QStringView text, QByteArray& out) {
    if (text.isEmpty())
        return true;
    const auto* in = reinterpret_cast<LPCWCH>(text.utf16());
    const int inSize = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CodePage, WC_NO_BEST_FIT_CHARS, in, inSize, nullptr, 0,
                                         nullptr, &usedDefault);
    if (size <= 0 || usedDefault)
        return false;
    const qsizetype at = out.size();
    out.resize(at + size);
    WideCharToMultiByte(CodePage, WC_NO_BEST_FIT_CHARS, in, inSize, out.data() + at, size, nullptr,
                        &usedDefault);
    return true;
}

bool decodeStrict(QByteArrayView bytes, QString& out) {
    if (bytes.isEmpty())
        return true;
    const int inSize = static_cast<int>(bytes.size());
    const int size =
        MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, bytes.data(), inSize, nullptr, 0);
    if (size <= 0)
        return false;
    const qsizetype at = out.size();
    out.resize(at + size);
    MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, bytes.data(), inSize,
                        reinterpret_cast<LPWSTR>(out.data() + at), size);
    return true;
}

} // namespace tanka::cp932::platform

#endif
