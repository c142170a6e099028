// The connection pieces: whatever the four values hold, the ODBC connection
// string read back by the ODBC rules gives exactly those values, so no value
// can end its attribute or add one of its own.
#include <vector>

#include <QStringList>

#include "db/connection_string.h"
#include "fuzz_input.h"

using namespace tanka;

namespace {

struct Attribute {
    QString key;
    QString value;
};

// "KEY=value;" or "KEY={value with }} for }};" as an ODBC driver manager reads them.
std::vector<Attribute> readOdbc(const QString& text) {
    std::vector<Attribute> attributes;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype eq = text.indexOf(u'=', i);
        fuzz::require(eq > i);
        Attribute a{text.mid(i, eq - i), {}};
        i = eq + 1;
        if (i < text.size() && text[i] == u'{') {
            ++i;
            for (;;) {
                fuzz::require(i < text.size());
                if (text[i] == u'}') {
                    if (i + 1 < text.size() && text[i + 1] == u'}') {
                        a.value += u'}';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                a.value += text[i++];
            }
            fuzz::require(i < text.size() && text[i] == u';');
            ++i;
        } else {
            const qsizetype end = text.indexOf(u';', i);
            fuzz::require(end >= 0);
            a.value = text.mid(i, end - i);
            i = end + 1;
        }
        attributes.push_back(a);
    }
    return attributes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList parts = fuzz::textOf(data, size).split(QChar(u'\n'));
    ConnectionParams p;
    QString* fields[] = {&p.server, &p.uid, &p.pwd, &p.database};
    for (qsizetype k = 0; k < 4 && k < parts.size(); ++k)
        *fields[k] = parts[k];
    for (const QString* value : fields) {
        const bool plain = !value->contains(u';') && !value->contains(u'"') &&
                           !value->contains(u'{') && !value->contains(u'}') &&
                           !value->contains(u'=');
        fuzz::require(isSafeConnectionValue(*value) == plain);
    }
    const auto attributes = readOdbc(odbcConnectionString(QStringLiteral("FreeTDS"), p));
    fuzz::require(attributes.size() == 6);
    fuzz::require(attributes[1].value ==
                  (p.server.isEmpty() ? QStringLiteral("(local)") : p.server));
    fuzz::require(attributes[2].value == p.uid);
    fuzz::require(attributes[3].value == p.pwd);
    fuzz::require(attributes[4].value == p.database);
    return 0;
}
