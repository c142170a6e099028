// The connection pieces: whatever the four values hold, the ODBC connection
// string read back by the ODBC rules gives exactly those values, so no value
// can end its attribute or add one of its own.
#include <algorithm>
#include <vector>

#include <QStringList>

#include "db/connection_string.h"
#include "fuzz_input.h"

using namespace tanka;

namespace {

// The values of "KEY=value;" or "KEY={value with }} for }};" attributes, as an
// ODBC driver manager reads them.
std::vector<QString> readOdbc(const QString& text) {
    const auto at = [&](qsizetype k) { return k < text.size() ? text[k] : QChar(); };
    std::vector<QString> values;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype eq = text.indexOf(u'=', i);
        fuzz::require(eq > i);
        i = eq + 1;
        QString value;
        if (at(i) == u'{') {
            // Up to the brace that is not doubled; "}}" stands for one.
            for (++i; at(i) != u'}' || at(i + 1) == u'}'; ++i) {
                fuzz::require(i < text.size());
                value += text[i];
                if (text[i] == u'}')
                    ++i;
            }
            ++i;
        } else {
            const qsizetype end = text.indexOf(u';', i);
            fuzz::require(end >= 0);
            value = text.mid(i, end - i);
            i = end;
        }
        fuzz::require(at(i) == u';');
        ++i;
        values.push_back(value);
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList parts = fuzz::textOf(data, size).split(QChar(u'\n'));
    ConnectionParams p;
    QString* fields[] = {&p.server, &p.uid, &p.pwd, &p.database};
    for (qsizetype k = 0; k < 4 && k < parts.size(); ++k)
        *fields[k] = parts[k];
    for (const QString* value : fields)
        fuzz::require(isSafeConnectionValue(*value) ==
                      std::ranges::none_of(QStringView(u";\"{}="),
                                           [&](QChar c) { return value->contains(c); }));
    const std::vector<QString> expected{QStringLiteral("FreeTDS"),
                                        p.server.isEmpty() ? QStringLiteral("(local)") : p.server,
                                        p.uid,
                                        p.pwd,
                                        p.database,
                                        QStringLiteral("7.4")};
    fuzz::require(readOdbc(odbcConnectionString(QStringLiteral("FreeTDS"), p)) == expected);
    return 0;
}
