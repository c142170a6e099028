// The field readers on any text: they give their default or raise Overflow,
// and a text cut to a width never exceeds it.
#include "core/field_readers.h"
#include "core/run_error.h"
#include "fuzz_input.h"

using namespace tanka;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const auto width = static_cast<std::int16_t>(data[0] >> 2); // 0..63 bytes
    const bool pad = (data[0] & 2) != 0;
    const QString text = fuzz::textOf(data, size);
    const auto valueOrOverflow = [&](auto read) {
        try {
            read(text);
        } catch (const RunError& e) {
            fuzz::require(e.number() == err::Overflow);
        }
    };
    valueOrOverflow(readShortInteger);
    valueOrOverflow(readInteger);
    formatFieldDate(text, QStringLiteral("yyyy/mm/dd"));
    const QString cut = fixedWidthText(text, width, pad);
    if (width > 0)
        fuzz::require(codePage932Length(cut) <= width);
    return 0;
}
