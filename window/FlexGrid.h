#pragma once

#include <QRgb>
#include <QString>
#include <QTableView>
#include <QTimer>
#include <QVariant>
#include <memory>
#include <optional>

#include "data/ColumnWidths.h"

namespace xhook {

class GridModel;
class GridRowText;

// The grid control of the window, offering the grid operations by their role names. Rows and
// columns count from 0; row 0 is the only header row (the view's horizontal header). Widths and
// heights are in twips, through the screen's logical DPI. An index out of range raises
// RuntimeError "subscript out of range"; nothing here crashes on a bad index.
class FlexGrid : public QTableView, public ColumnWidths {
    Q_OBJECT

  public:
    static constexpr int kSelectorText = 0;
    static constexpr int kSelectorBackColor = 6;

    explicit FlexGrid(const QString& name, QWidget* parent = nullptr);
    ~FlexGrid() override;

    QString Name() const;

    int RowCount() const;        // header row included
    void setRowCount(int rows);  // 1 leaves only the header row
    int ColCount() const final;
    void setColCount(int cols);
    int CurrentRow() const;  // 0: no data row is selected
    void setCurrentRow(int row);

    // Selector 0: the text of cell (row1, col1), set as text or as a number. Selector 6: the
    // background colour (an RGB value) of the block row1, col1 to row2, col2.
    QVariant CellProperty(int selector, int row1, int col1) const;
    void setCellProperty(int selector, int row1, int col1, const QVariant& value);
    void setCellProperty(int selector, int row1, int col1, int row2, int col2,
                         const QVariant& value);
    QString cellText(int row, int col) const;  // CellProperty(0, row, col) as text
    // The same text without a copy, valid until the grid next changes.
    QStringView cellTextView(int row, int col) const;
    // The number a cell was set to, where its text shows fewer digits than the number has (a text
    // shows at most 15 significant digits); none for every other cell.
    std::optional<double> cellNumberBehind(int row, int col) const;
    // The text that the user sees: the stored text through the column's display format.
    QString displayText(int row, int col) const;

    void AddRow(const QString& tabSeparatedCells);
    // The same row as AddRow(cells.text()), without searching the text for its TABs again.
    void AddRow(const GridRowText& cells);
    void RemoveRow(int row);

    int ColWidth(int col) const final;  // twips
    void setColWidth(int col, int twips) final;
    // Gives each visible column whose width nobody has chosen yet (neither a caller through
    // setColWidth, as the stored layout does, nor the user by dragging or double-clicking its
    // boundary) the width that its header and its displayed texts need, at most kFitLimitTwips.
    void fitColumnsToContents();
    bool colWidthChosen(int col) const;
    static constexpr int kFitLimitTwips = 4500;
    int RowHeight(int row) const;  // twips
    void setRowHeight(int row, int twips);
    void setColAlignment(int col, int code);  // alignment codes 0..9
    int ColAlignment(int col) const;
    void setColHeaderAlignment(int col, int code);
    int ColHeaderAlignment(int col) const;
    void setColFormat(int col, const QString& format);
    QString ColFormat(int col) const;
    void setColHidden(int col, bool hidden);
    bool ColHidden(int col) const;

    // A block of cells, rows row1..row2 and columns col1..col2, each pair in order.
    struct Block {
        int row1 = 0, col1 = 0, row2 = 0, col2 = 0;
    };

    void SelectRange(int row1, int col1, int row2, int col2);
    // The selected block: the rows that the user selected (Shift with a click or an arrow key
    // extends them), or the block that SelectRange chose.
    Block selectedBlock() const { return selection_; }
    // Lines on the selected block, 1 = drawn: the four sides and the inner vertical and
    // horizontal lines, in the given colour.
    void SetRangeBorder(QRgb color, int left, int top, int right, int bottom, int vertical,
                        int horizontal);

    void setAccentColor(QRgb color);
    QRgb AccentColor() const;

    // Read access for tests and printing: the background of a cell and the borders drawn round it.
    QRgb cellBackground(int row, int col) const;
    struct CellBorders {
        bool left = false, top = false, right = false, bottom = false;
        QRgb color = 0;
    };
    CellBorders cellBorders(int row, int col) const;

    // The column whose text names each row to a screen reader, hidden or not; -1 (the default):
    // none. A column that the grid does not have (yet) names nothing.
    void setRowHeaderColumn(int col);
    int rowHeaderColumn() const { return rowHeaderColumn_; }

    static int twipsToPixelsX(int twips);
    static int twipsToPixelsY(int twips);
    static int pixelsToTwipsX(int pixels);
    static int pixelsToTwipsY(int pixels);

  Q_SIGNALS:
    // Button: 1 left, 2 right, 4 middle, or their sum; shift: 1 Shift, 2 Ctrl, 4 Alt; x, y in
    // twips.
    void mouseButtonDown(int button, int shift, int x, int y);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    // Shift with a click or an arrow key extends the selected rows from the cursor, and so does a
    // drag; every other click or key selects the one row it lands on, except a right click inside
    // the selection, which keeps it for the menu.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    // The copy key copies the selection (GridClipboard), not only the current cell.
    void keyPressEvent(QKeyEvent* event) override;
    // A screen reader hears of the cursor and the selection in the grid's own numbering of its
    // cells (GridAccessibility), which leaves out the hidden columns.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

  private:
    void checkRow(int row) const;
    void checkColumn(int col) const;
    Block checkedBlock(int row1, int col1, int row2, int col2) const;
    static QRgb lineForFlag(QRgb color, int flag, const char* edge);

    void setBlockText(const Block& block, const QVariant& value);
    void setBlockBackground(const Block& block, QRgb color);
    void blockChanged(const Block& block);

    void applyColumnWidth(int col);
    void columnResized(int col, int oldPixels, int newPixels);
    void viewCurrentChanged(const QModelIndex& current);
    void viewSelectionChanged();
    void followRemovedRow(int row);
    void clampLogicalState();

    // The view follows the store and the logical cursor and selection on the next turn of the
    // event loop, or at once where an operation needs it.
    void scheduleSync();
    void syncView();
    void applyViewState();
    int visibleColumnNear(int col) const;

    std::unique_ptr<GridModel> model_;
    QTimer syncTimer_;
    int currentRow_ = 0;
    int currentCol_ = 0;
    Block selection_;
    bool viewStateStale_ = false;
    bool ignoringView_ = false;    // the view's own changes while the grid drives it
    bool settingColumns_ = false;  // section sizes set by the grid, not dragged by the user
    int headerHeightTwips_ = -1;
    QRgb accentColor_ = 0;
    int rowHeaderColumn_ = -1;
};

}  // namespace xhook
