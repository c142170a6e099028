// Reading SQL text: any text is normalised, its object names replaced and its
// shape read without fault.
#include "db/sql_text.h"
#include "fuzz_input.h"

using namespace tanka;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString sql = fuzz::textOf(data, size);
    sqltext::normalized(sql);
    sqltext::replaceObjectNames(sql, [](const sqltext::ObjectName& name) {
        return sqltext::quoteIdentifier(name.database) + u'.' +
               sqltext::quoteIdentifier(name.object);
    });
    if (const auto select = sqltext::singleTableSelect(sql))
        fuzz::require(!select->tableParts.isEmpty());
    sqltext::unquoteIdentifier(sql);
    return 0;
}
