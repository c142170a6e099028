// readProfileString: the settings-file reader, following the rules of the
// platform's private-profile API for the files the point-of-sale product
// writes (CP932 text, "[Section]" headers, "Key=Value" lines).

#include <QFile>

#include "core/code_page_932.h"
#include "install/install.h"

namespace tanka {

namespace {

bool isIniSpace(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimIni(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isIniSpace(s[begin]))
        ++begin;
    while (end > begin && isIniSpace(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

// One pair of matching quotes around the whole value is dropped.
QStringView unquote(QStringView v) {
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

// A present key gives a non-null text, even when its value is empty.
QString cutValue(QStringView v, int maxChars) {
    qsizetype n = v.size();
    if (maxChars >= 0 && n > maxChars) {
        n = maxChars;
        if (n > 0 && v[n - 1].isHighSurrogate())
            --n; // never leave half of a surrogate pair
    }
    QString value = v.left(n).toString();
    return value.isNull() ? QStringLiteral("") : value;
}

} // namespace

QString readProfileString(const QString& hostFile, const QString& section, const QString& key,
                          int maxChars) {
    if (hostFile.isEmpty())
        return {};
    QFile file(hostFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = cp932::decode(file.readAll());

    // Only the first section of the name is searched, and in it the first
    // line of the key.
    bool inSection = false;
    bool sectionSeen = false;
    for (QStringView raw : QStringView(text).split(u'\n')) {
        if (raw.endsWith(u'\r'))
            raw.chop(1);
        const QStringView line = trimIni(raw);
        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            if (sectionSeen)
                return {};
            qsizetype close = line.indexOf(u']');
            if (close < 0)
                close = line.size();
            const QStringView name = trimIni(line.mid(1, close - 1));
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = inSection;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (trimIni(line.left(eq)).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        return cutValue(unquote(trimIni(line.mid(eq + 1))), maxChars);
    }
    return {};
}

} // namespace tanka
