#include "pricing/preview_list.h"

#include "core/tsv_writer.h"

#include <QLocale>
#include <QSaveFile>

namespace tanka {
namespace {

const PreviewRow& rowOf(const Preview& preview, PreviewLine line) {
    return preview.rows[line.row()];
}

QString slotLetter(int slot) {
    return slot == 0 ? QStringLiteral("A") : QStringLiteral("B");
}

QString yen(qint64 value) {
    return groupedNumber(value);
}

QString signedYen(qint64 value, CellUse use) {
    const QString digits = use == CellUse::Screen ? yen(value) : QString::number(value);
    return value > 0 ? u'+' + digits : digits;
}

QString untaxedText() {
    return QStringLiteral("そのまま（非課税）");
}

} // namespace

QString groupedNumber(qint64 value) {
    static const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    return japanese.toString(value);
}

std::vector<PreviewLine> previewLines(const Preview& preview) {
    std::vector<PreviewLine> lines;
    for (std::size_t r = 0; r < preview.rows.size(); ++r) {
        const PreviewRow& row = preview.rows[r];
        if (!row.changes)
            continue;
        for (int slot = 0; slot < 2; ++slot)
            for (int i = 0; row.after.written[slot] && i < pricePositions(row.menu); ++i)
                lines.emplace_back(r, slot, i);
    }
    return lines;
}

QString previewColumnName(PreviewColumn column) {
    static const QString names[PreviewColumnCount] = {
        QStringLiteral("区分"),   QStringLiteral("店舗"),   QStringLiteral("コード"),
        QStringLiteral("名称"),   QStringLiteral("税区分"), QStringLiteral("単価"),
        QStringLiteral("変更前"), QStringLiteral("変更後"), QStringLiteral("差額"),
        QStringLiteral("更新")};
    return names[static_cast<int>(column)];
}

std::int32_t priceBefore(const Preview& preview, PreviewLine line) {
    const PreviewRow& row = rowOf(preview, line);
    return row.current[row.sourceOf(line.slot())][line.position()];
}

std::int32_t priceAfter(const Preview& preview, PreviewLine line) {
    return rowOf(preview, line).after.prices[line.slot()][line.position()];
}

bool copiedUntaxed(const Preview& preview, PreviewLine line) {
    return !rowOf(preview, line).taxed();
}

bool lineChangesPrice(const Preview& preview, PreviewLine line) {
    return rowOf(preview, line).priceChanges(line.slot(), line.position());
}

QString previewCellText(const Preview& preview, PreviewLine line, PreviewColumn column,
                        CellUse use) {
    const PreviewRow& row = rowOf(preview, line);
    switch (column) {
    case PreviewColumn::Menu:
        return row.menu == Menu::Technical ? QStringLiteral("技術") : QStringLiteral("店販");
    case PreviewColumn::Store:
        return QString::number(row.store);
    case PreviewColumn::Code:
        return QString::number(row.id1) + u'-' + QString::number(row.id2);
    case PreviewColumn::Name:
        return preview.names[row.name];
    case PreviewColumn::TaxFlg:
        return QString::number(row.taxFlg);
    case PreviewColumn::Position:
        return row.menu == Menu::Technical ? QString::number(line.position() + 1)
                                           : QStringLiteral("店販");
    case PreviewColumn::Before: {
        const int source = row.sourceOf(line.slot());
        if (row.isNull(source, line.position()))
            return use == CellUse::Screen ? slotLetter(source) : QString::fromLatin1(NullCell);
        const qint64 value = row.current[source][line.position()];
        return use == CellUse::Screen ? slotLetter(source) + u' ' + yen(value)
                                      : QString::number(value);
    }
    case PreviewColumn::After: {
        const qint64 value = priceAfter(preview, line);
        return use == CellUse::Screen ? slotLetter(line.slot()) + u' ' + yen(value)
                                      : QString::number(value);
    }
    case PreviewColumn::Difference:
        if (!row.taxed())
            return untaxedText();
        return signedYen(qint64{priceAfter(preview, line)} - priceBefore(preview, line), use);
    case PreviewColumn::Mark:
        return row.after.mark ? QStringLiteral("○") : QString();
    }
    return {};
}

bool writePreviewFile(const QString& hostPath, const Preview& preview,
                      const std::vector<PreviewLine>& lines) {
    QSaveFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    TsvWriter out(file);
    // 変更前 and 変更後 each take two columns in the file: the slot, then the price.
    for (int c = 0; c < PreviewColumnCount; ++c) {
        const auto column = static_cast<PreviewColumn>(c);
        if (c > 0)
            out.tab();
        out.text(previewColumnName(column));
        if (column == PreviewColumn::Before || column == PreviewColumn::After) {
            out.text(QStringLiteral("単価枠"));
            out.tab();
            out.text(previewColumnName(column));
        }
    }
    if (!out.endLine())
        return false;
    for (const PreviewLine line : lines) {
        const PreviewRow& row = rowOf(preview, line);
        for (int c = 0; c < PreviewColumnCount; ++c) {
            const auto column = static_cast<PreviewColumn>(c);
            if (c > 0)
                out.tab();
            if (column == PreviewColumn::Before || column == PreviewColumn::After) {
                out.text(slotLetter(column == PreviewColumn::Before ? row.sourceOf(line.slot())
                                                                    : line.slot()));
                out.tab();
            }
            out.text(previewCellText(preview, line, column, CellUse::File));
        }
        if (!out.endLine())
            return false;
    }
    return out.flush() && file.commit();
}

} // namespace tanka
