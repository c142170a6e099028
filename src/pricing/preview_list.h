#pragma once
// The preview as a list of prices: one line per price the run writes in a row
// it changes (prices 1 to 5 of a technical row, the one price of a retail
// row; in both slots when both are converted where they stand), with the
// price before, the price after and their difference side by side. Shared by
// the window's list and the list file.

#include <cstdint>
#include <vector>

#include <QString>

#include "pricing/preview.h"

namespace tanka {

// One line: a row of Preview::rows and the slot and position of the price
// written. Four bytes, so hundreds of thousands of lines stay small.
class PreviewLine {
public:
    PreviewLine() = default;
    PreviewLine(std::size_t row, int slot, int position)
        : m_bits(static_cast<std::uint32_t>(row) << 4 | static_cast<std::uint32_t>(slot) << 3 |
                 static_cast<std::uint32_t>(position)) {}
    std::size_t row() const { return m_bits >> 4; }
    int slot() const { return static_cast<int>(m_bits >> 3 & 1u); }
    int position() const { return static_cast<int>(m_bits & 7u); }

private:
    std::uint32_t m_bits = 0;
};

// Every line of the rows the run changes, in the run's order.
std::vector<PreviewLine> previewLines(const Preview& preview);

// The list's columns.
enum class PreviewColumn {
    Menu,       // 区分: 技術 / 店販
    Store,      // 店舗
    Code,       // コード: "GijutuID-ShumokuID" / "TenpanFlg-TenpanID"
    Name,       // 名称
    TaxFlg,     // 税区分
    Position,   // 単価: 1..5, 店販
    Before,     // 変更前: the slot converted from and its price as stored
    After,      // 変更後: the slot written and the price the run writes
    Difference, // 差額: after - before; "そのまま（非課税）" when copied unconverted
    Mark,       // 更新: ○ when the row gets the last-update marking
};
inline constexpr int PreviewColumnCount = 10;

// A whole number with thousands separators, as the shop writes prices and counts.
QString groupedNumber(qint64 value);

QString previewColumnName(PreviewColumn column);

// How a cell is written: for the screen (thousands separators, slot letter
// before the price, Null blank) or for the list file (plain numbers, the slot
// in its own column, "#NULL#" for a price stored as Null).
enum class CellUse { Screen, File };
QString previewCellText(const Preview& preview, PreviewLine line, PreviewColumn column,
                        CellUse use);

// The price before (Null read as 0) and after of a line, and whether the line
// is copied unconverted because its row is not taxed.
std::int32_t priceBefore(const Preview& preview, PreviewLine line);
std::int32_t priceAfter(const Preview& preview, PreviewLine line);
bool copiedUntaxed(const Preview& preview, PreviewLine line);
// Whether the run stores another value at the line's price than the one there.
bool lineChangesPrice(const Preview& preview, PreviewLine line);

// Writes the lines given (a header line of the column names, then one line
// per price; 変更前 and 変更後 each as slot and price) as text in code page
// 932, TAB between values, CR LF after every line, characters code page 932
// cannot hold replaced as in the backups. The file at hostPath is replaced
// only when complete. False when it cannot be written; no file is then left.
bool writePreviewFile(const QString& hostPath, const Preview& preview,
                      const std::vector<PreviewLine>& lines);

} // namespace tanka
