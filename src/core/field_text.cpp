#include "core/field_text.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace tanka {

QString trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin).toString();
}

QString fieldText(const QVariant& value) {
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 15).toUpper();
    case QMetaType::QDate:
        return value.toDate().toString(u"yyyy/MM/dd");
    case QMetaType::QTime:
        return value.toTime().toString(u"H:mm:ss");
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(u"yyyy/MM/dd");
        return dt.toString(u"yyyy/MM/dd H:mm:ss");
    }
    default:
        return value.toString();
    }
}

} // namespace tanka
