#include "window/GridClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>

#include "window/FlexGrid.h"
#include "window/ShownColumns.h"

namespace xhook {

namespace {

const QString kLineBreaks[] = {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")};

QString plainCell(QString text) {
    for (const QString& lineBreak : kLineBreaks) text.replace(lineBreak, QStringLiteral(" "));
    return text.replace(QChar(9), QChar(' '));
}

QString htmlCell(const QString& text) {
    QString html = text.toHtmlEscaped();
    for (const QString& lineBreak : kLineBreaks) html.replace(lineBreak, QStringLiteral("<br>"));
    return html.replace(QChar(9), QStringLiteral("&#9;"));
}

// Writes the rows into both forms at once.
class CopyWriter {
  public:
    void addRow(const QStringList& cells, const QString& tag) {
        QStringList plain;
        copy_.html += QStringLiteral("<tr>");
        for (const QString& cell : cells) {
            plain.append(plainCell(cell));
            copy_.html += QStringLiteral("<%1>%2</%1>").arg(tag, htmlCell(cell));
        }
        copy_.html += QStringLiteral("</tr>\n");
        copy_.plainText += plain.join(QChar(9)) + QChar('\n');
    }

    GridCopy finish() {
        copy_.html = QStringLiteral(
                         "<html><head><meta http-equiv=\"content-type\" content=\"text/html; "
                         "charset=utf-8\"></head><body>\n<table>\n") +
                     copy_.html + QStringLiteral("</table>\n</body></html>\n");
        return copy_;
    }

  private:
    GridCopy copy_;
};

QStringList rowCells(const FlexGrid& grid, int row, const ShownColumns& columns) {
    QStringList cells;
    for (int col : columns.gridColumns()) cells.append(grid.displayText(row, col));
    return cells;
}

}  // namespace

GridCopy copyOfSelection(const FlexGrid& grid) {
    const FlexGrid::Block block = grid.selectedBlock();
    const ShownColumns columns(grid, block.col1, block.col2);
    const int firstRow = std::max(block.row1, 1);  // the header row comes first anyway
    if (columns.isEmpty() || block.row2 < firstRow) return {};
    CopyWriter writer;
    writer.addRow(rowCells(grid, 0, columns), QStringLiteral("th"));
    for (int row = firstRow; row <= block.row2; ++row)
        writer.addRow(rowCells(grid, row, columns), QStringLiteral("td"));
    return writer.finish();
}

void copySelectionToClipboard(const FlexGrid& grid) {
    const GridCopy copy = copyOfSelection(grid);
    if (copy.isEmpty()) return;
    auto* data = new QMimeData;
    data->setText(copy.plainText);
    data->setHtml(copy.html);
    QGuiApplication::clipboard()->setMimeData(data);
}

}  // namespace xhook
