#include "window/FlexGrid.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <algorithm>
#include <climits>
#include <cmath>

#include "foundation/Conversions.h"
#include "foundation/Errors.h"
#include "window/ColumnFit.h"
#include "window/GridAccessibility.h"
#include "window/GridClipboard.h"
#include "window/GridDelegate.h"
#include "window/GridModel.h"

namespace xhook {

namespace {

constexpr int kDefaultColumnWidthTwips = 1000;
constexpr int kDefaultRowHeightTwips = 255;
constexpr int kTwipsPerInch = 1440;
constexpr QRgb kOpaque = 0xff000000u;

double logicalDpi(bool horizontal) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 96.0;
    return horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
}

int twipsToPixels(int twips, bool horizontal) {
    return int(std::lround(double(twips) * logicalDpi(horizontal) / kTwipsPerInch));
}

int pixelsToTwips(int pixels, bool horizontal) {
    return int(std::lround(double(pixels) * kTwipsPerInch / logicalDpi(horizontal)));
}

// A width or height in twips as a caller passes it: -1 is the default, other negatives are no size.
int checkedTwips(int twips, int defaultTwips, const QString& what) {
    if (twips == -1) return defaultTwips;
    if (twips < 0) raiseInvalidProcedureCall(QStringLiteral("%1 = %2").arg(what).arg(twips));
    return twips;
}

int checkedAlignment(int code, const char* what) {
    if (code < 0 || code > kAlignmentGeneral)
        raiseInvalidProcedureCall(QStringLiteral("%1 = %2").arg(what).arg(code));
    return code;
}

// A colour as the host writes it: an RGB value (a QRgb, an integer or a QColor).
QRgb colorFromValue(const QVariant& value) {
    if (value.typeId() == QMetaType::UInt)  // a QRgb, as the grid's own callers pass it
        return *static_cast<const uint*>(value.constData()) | kOpaque;
    if (value.typeId() == QMetaType::QColor) return value.value<QColor>().rgb();
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok) raiseTypeMismatch(QStringLiteral("colour"));
    return QRgb(quint32(number)) | kOpaque;
}

}  // namespace

FlexGrid::FlexGrid(const QString& name, QWidget* parent)
    : QTableView(parent), model_(std::make_unique<GridModel>()) {
    GridAccessibleTable::install();
    setObjectName(name);
    setModel(model_.get());
    setItemDelegate(new GridDelegate(*model_, *this, this));
    setShowGrid(false);  // the delegate draws the grid lines under the borders
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(ContiguousSelection);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(twipsToPixelsY(kDefaultRowHeightTwips));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(twipsToPixelsX(kDefaultColumnWidthTwips));
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    accentColor_ = palette().color(QPalette::Highlight).rgb();

    syncTimer_.setSingleShot(true);
    syncTimer_.setInterval(0);
    connect(&syncTimer_, &QTimer::timeout, this, &FlexGrid::syncView);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FlexGrid::viewCurrentChanged);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FlexGrid::viewSelectionChanged);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &FlexGrid::columnResized);
}

FlexGrid::~FlexGrid() {
    setModel(nullptr);
}

QString FlexGrid::Name() const {
    return objectName();
}

// --- Index checks -------------------------------------------------------------------------------

void FlexGrid::checkRow(int row) const {
    if (row < 0 || row >= RowCount())
        raiseSubscriptOutOfRange(
            QStringLiteral("%1 row %2 of %3").arg(Name()).arg(row).arg(RowCount()));
}

void FlexGrid::checkColumn(int col) const {
    if (col < 0 || col >= ColCount())
        raiseSubscriptOutOfRange(
            QStringLiteral("%1 column %2 of %3").arg(Name()).arg(col).arg(ColCount()));
}

FlexGrid::Block FlexGrid::checkedBlock(int row1, int col1, int row2, int col2) const {
    checkRow(row1);
    checkRow(row2);
    checkColumn(col1);
    checkColumn(col2);
    return {std::min(row1, row2), std::min(col1, col2), std::max(row1, row2), std::max(col1, col2)};
}

QRgb FlexGrid::lineForFlag(QRgb color, int flag, const char* edge) {
    if (flag != 0 && flag != 1)
        raiseInvalidProcedureCall(QStringLiteral("SetRangeBorder %1 = %2").arg(edge).arg(flag));
    return flag == 1 ? color | kOpaque : 0;
}

// --- Rows and columns ---------------------------------------------------------------------------

int FlexGrid::RowCount() const {
    return 1 + model_->dataRowCount();
}

void FlexGrid::setRowCount(int rows) {
    if (rows < 1)
        raiseInvalidProcedureCall(
            QStringLiteral("%1 RowCount = %2: the header row stays").arg(Name()).arg(rows));
    {
        QScopedValueRollback ignoring(ignoringView_, true);
        if (rows < RowCount())
            model_->truncateDataRows(rows - 1);
        else
            model_->appendEmptyRows(rows - RowCount());
    }
    clampLogicalState();
    scheduleSync();
}

int FlexGrid::ColCount() const {
    return model_->columns();
}

void FlexGrid::setColCount(int cols) {
    if (cols < 0)
        raiseInvalidProcedureCall(QStringLiteral("%1 ColCount = %2").arg(Name()).arg(cols));
    const int before = ColCount();
    {
        QScopedValueRollback ignoring(ignoringView_, true);
        QScopedValueRollback setting(settingColumns_, true);
        model_->setColumnCount(cols, kDefaultColumnWidthTwips);
    }
    for (int c = before; c < cols; ++c) applyColumnWidth(c);
    clampLogicalState();
    scheduleSync();
}

void FlexGrid::AddRow(const QString& tabSeparatedCells) {
    model_->appendRow(tabSeparatedCells);
    scheduleSync();
}

void FlexGrid::AddRow(const GridRowText& cells) {
    model_->appendRow(cells);
    scheduleSync();
}

void FlexGrid::RemoveRow(int row) {
    if (row == 0)
        raiseInvalidProcedureCall(
            QStringLiteral("%1 RemoveRow(0): the header row stays").arg(Name()));
    checkRow(row);
    {
        QScopedValueRollback ignoring(ignoringView_, true);
        model_->removeDataRow(row - 1);
    }
    followRemovedRow(row);
    scheduleSync();
}

// The cursor and the selection keep to the rows they were on; a removed row's place is taken by
// the row below it.
void FlexGrid::followRemovedRow(int row) {
    const auto follow = [row](int& r) {
        if (r > row) --r;
    };
    follow(currentRow_);
    follow(selection_.row1);
    follow(selection_.row2);
    clampLogicalState();
}

void FlexGrid::clampLogicalState() {
    const int lastRow = RowCount() - 1;
    const int lastCol = std::max(ColCount() - 1, 0);
    currentRow_ = std::min(currentRow_, lastRow);
    currentCol_ = std::min(currentCol_, lastCol);
    selection_ = {std::min(selection_.row1, lastRow), std::min(selection_.col1, lastCol),
                  std::min(selection_.row2, lastRow), std::min(selection_.col2, lastCol)};
    viewStateStale_ = true;
}

// --- Cells --------------------------------------------------------------------------------------

QVariant FlexGrid::CellProperty(int selector, int row1, int col1) const {
    checkRow(row1);
    checkColumn(col1);
    switch (selector) {
        case kSelectorText:
            return cellText(row1, col1);
        case kSelectorBackColor:
            return QVariant::fromValue(cellBackground(row1, col1));
        default:
            raiseInvalidProcedureCall(QStringLiteral("CellProperty selector %1").arg(selector));
    }
}

void FlexGrid::setCellProperty(int selector, int row1, int col1, const QVariant& value) {
    setCellProperty(selector, row1, col1, row1, col1, value);
}

void FlexGrid::setCellProperty(int selector, int row1, int col1, int row2, int col2,
                               const QVariant& value) {
    const Block block = checkedBlock(row1, col1, row2, col2);
    switch (selector) {
        case kSelectorText:
            setBlockText(block, value);
            break;
        case kSelectorBackColor:
            setBlockBackground(block, colorFromValue(value));
            break;
        default:
            raiseInvalidProcedureCall(QStringLiteral("CellProperty selector %1").arg(selector));
    }
}

// A number whose text shows fewer digits than it has stays behind the cell's text.
void FlexGrid::setBlockText(const Block& block, const QVariant& value) {
    ValueText written;
    written.assign(value);
    const QString text = written.toString();
    for (int r = block.row1; r <= block.row2; ++r)
        for (int c = block.col1; c <= block.col2; ++c) {
            if (r == 0)
                model_->column(c).header = text;
            else
                model_->rows().setText(r - 1, c, text, written.numberBehindText());
        }
    blockChanged(block);
}

void FlexGrid::setBlockBackground(const Block& block, QRgb color) {
    for (int r = block.row1; r <= block.row2; ++r) {
        GridRowStyle& style = r == 0 ? model_->headerStyle() : model_->rows().styleToWrite(r - 1);
        style.setBackground(block.col1, block.col2, color, ColCount());
    }
    blockChanged(block);
}

// Repaints a block with the rows round it, whose lines it shares.
void FlexGrid::blockChanged(const Block& block) {
    if (block.row1 == 0) model_->headerChanged(block.col1, block.col2);
    model_->dataRowsChanged(block.row1 - 2, block.row2);
}

QString FlexGrid::cellText(int row, int col) const {
    return cellTextView(row, col).toString();
}

QStringView FlexGrid::cellTextView(int row, int col) const {
    checkRow(row);
    checkColumn(col);
    if (row == 0) return model_->column(col).header;
    return model_->rows().text(row - 1, col);
}

std::optional<double> FlexGrid::cellNumberBehind(int row, int col) const {
    checkRow(row);
    checkColumn(col);
    if (row == 0) return std::nullopt;
    return model_->rows().numberBehind(row - 1, col);
}

QString FlexGrid::displayText(int row, int col) const {
    checkRow(row);
    checkColumn(col);
    if (row == 0) return model_->column(col).header;
    return model_->displayText(row - 1, col);
}

// The colour the cell is painted in: its own, else the grid's base colour.
QRgb FlexGrid::cellBackground(int row, int col) const {
    checkRow(row);
    checkColumn(col);
    const GridRowStyle& style = row == 0 ? model_->headerStyle() : model_->rows().style(row - 1);
    const QRgb own = style.background(col);
    return own ? own : palette().color(QPalette::Base).rgb();
}

FlexGrid::CellBorders FlexGrid::cellBorders(int row, int col) const {
    checkRow(row);
    checkColumn(col);
    CellBorders borders;
    if (row == 0) {
        const QRgb below = model_->dataRowCount() > 0 ? model_->rows().style(0).lineAbove(col)
                                                      : model_->rows().belowLast().lineAbove(col);
        borders.bottom = below != 0;
        borders.color = below;
        return borders;
    }
    const GridModel::CellLines lines = model_->linesAround(row - 1, col);
    borders.left = lines.left != 0;
    borders.top = lines.top != 0;
    borders.right = lines.right != 0;
    borders.bottom = lines.bottom != 0;
    for (QRgb line : {lines.left, lines.top, lines.right, lines.bottom})
        if (!borders.color) borders.color = line;
    return borders;
}

// --- Selection and borders ----------------------------------------------------------------------

int FlexGrid::CurrentRow() const {
    return currentRow_;
}

void FlexGrid::setCurrentRow(int row) {
    checkRow(row);
    currentRow_ = row;
    selection_ = {row, currentCol_, row, currentCol_};
    viewStateStale_ = true;
    scheduleSync();
}

// Selects from the corner (row1, col1), which becomes the cursor, to (row2, col2).
void FlexGrid::SelectRange(int row1, int col1, int row2, int col2) {
    selection_ = checkedBlock(row1, col1, row2, col2);
    currentRow_ = row1;
    currentCol_ = col1;
    viewStateStale_ = true;
    scheduleSync();
}

void FlexGrid::SetRangeBorder(QRgb color, int left, int top, int right, int bottom, int vertical,
                              int horizontal) {
    const QRgb leftLine = lineForFlag(color, left, "left");
    const QRgb topLine = lineForFlag(color, top, "top");
    const QRgb rightLine = lineForFlag(color, right, "right");
    const QRgb bottomLine = lineForFlag(color, bottom, "bottom");
    const QRgb innerVertical = lineForFlag(color, vertical, "vertical");
    const QRgb innerHorizontal = lineForFlag(color, horizontal, "horizontal");
    const Block block =
        checkedBlock(selection_.row1, selection_.col1, selection_.row2, selection_.col2);
    if (block.row2 < 1) return;  // the header row draws no borders
    GridRows& rows = model_->rows();
    const int columns = ColCount();
    for (int r = std::max(block.row1, 1); r <= block.row2; ++r) {
        GridRowStyle& style = rows.styleToWrite(r - 1);
        style.setLineAbove(block.col1, block.col2, r == block.row1 ? topLine : innerHorizontal,
                           columns);
        style.setVerticalLines(block.col1, block.col2, leftLine, innerVertical, rightLine, columns);
    }
    GridRowStyle& under =
        block.row2 < rows.count() ? rows.styleToWrite(block.row2) : rows.belowLastToWrite();
    under.setLineAbove(block.col1, block.col2, bottomLine, columns);
    blockChanged(block);
}

void FlexGrid::setRowHeaderColumn(int col) {
    if (col < -1)
        raiseInvalidProcedureCall(QStringLiteral("%1 row header column %2").arg(Name()).arg(col));
    rowHeaderColumn_ = col;
}

void FlexGrid::setAccentColor(QRgb color) {
    accentColor_ = color | kOpaque;
    viewport()->update();
}

QRgb FlexGrid::AccentColor() const {
    return accentColor_;
}

// --- Sizes --------------------------------------------------------------------------------------

int FlexGrid::twipsToPixelsX(int twips) {
    return twipsToPixels(twips, true);
}
int FlexGrid::twipsToPixelsY(int twips) {
    return twipsToPixels(twips, false);
}
int FlexGrid::pixelsToTwipsX(int pixels) {
    return pixelsToTwips(pixels, true);
}
int FlexGrid::pixelsToTwipsY(int pixels) {
    return pixelsToTwips(pixels, false);
}

int FlexGrid::ColWidth(int col) const {
    checkColumn(col);
    return model_->column(col).widthTwips;
}

void FlexGrid::setColWidth(int col, int twips) {
    checkColumn(col);
    GridModel::Column& column = model_->column(col);
    column.widthTwips = checkedTwips(twips, kDefaultColumnWidthTwips, "ColWidth");
    column.widthChosen = true;
    applyColumnWidth(col);
}

bool FlexGrid::colWidthChosen(int col) const {
    checkColumn(col);
    return model_->column(col).widthChosen;
}

// A cell needs its text, the margins on both sides and its boundary line; the header needs what
// the style makes of its caption.
void FlexGrid::fitColumnsToContents() {
    std::vector<int> columns;
    for (int c = 0; c < ColCount(); ++c)
        if (!model_->column(c).hidden && !model_->column(c).widthChosen) columns.push_back(c);
    if (columns.empty()) return;
    const std::vector<std::vector<int>> candidates = ColumnFit::longestTextRows(*model_, columns);
    ColumnFit::TextWidths widths(font());
    const int limit = twipsToPixelsX(kFitLimitTwips);
    for (size_t i = 0; i < columns.size(); ++i) {
        const int c = columns[i];
        const int cell = ColumnFit::widestText(*model_, c, candidates[i], widths) +
                         2 * GridDelegate::kTextMargin + 1;
        const int header = horizontalHeader()->sectionSizeHint(c);
        model_->column(c).widthTwips = pixelsToTwipsX(std::clamp(std::max(cell, header), 1, limit));
        applyColumnWidth(c);
    }
}

void FlexGrid::applyColumnWidth(int col) {
    QScopedValueRollback setting(settingColumns_, true);
    const int pixels = twipsToPixelsX(model_->column(col).widthTwips);
    horizontalHeader()->resizeSection(col,
                                      std::min(pixels, horizontalHeader()->maximumSectionSize()));
}

// A width the user dragged is kept in twips; the sizes the grid sets itself are not read back, so
// that a width set in twips reads back unchanged.
void FlexGrid::columnResized(int col, int /*oldPixels*/, int newPixels) {
    if (settingColumns_ || col >= ColCount() || model_->column(col).hidden) return;
    model_->column(col).widthTwips = pixelsToTwipsX(newPixels);
    model_->column(col).widthChosen = true;
}

int FlexGrid::RowHeight(int row) const {
    checkRow(row);
    if (row > 0) {
        const int twips = model_->rows().heightTwips(row - 1);
        return twips >= 0 ? twips : kDefaultRowHeightTwips;
    }
    return headerHeightTwips_ >= 0 ? headerHeightTwips_
                                   : pixelsToTwipsY(horizontalHeader()->sizeHint().height());
}

void FlexGrid::setRowHeight(int row, int twips) {
    checkRow(row);
    if (row == 0) {
        headerHeightTwips_ = checkedTwips(twips, -1, "RowHeight");
        if (headerHeightTwips_ < 0) {
            horizontalHeader()->setMinimumHeight(0);
            horizontalHeader()->setMaximumHeight(QWIDGETSIZE_MAX);
        } else {
            horizontalHeader()->setFixedHeight(twipsToPixelsY(headerHeightTwips_));
        }
        updateGeometries();
        return;
    }
    const int height = checkedTwips(twips, kDefaultRowHeightTwips, "RowHeight");
    model_->rows().setHeightTwips(row - 1, height);
    syncView();
    verticalHeader()->resizeSection(row - 1, twipsToPixelsY(height));
}

// --- Column properties --------------------------------------------------------------------------

void FlexGrid::setColAlignment(int col, int code) {
    checkColumn(col);
    model_->column(col).alignment = checkedAlignment(code, "ColAlignment");
    model_->columnChanged(col);
}

int FlexGrid::ColAlignment(int col) const {
    checkColumn(col);
    return model_->column(col).alignment;
}

void FlexGrid::setColHeaderAlignment(int col, int code) {
    checkColumn(col);
    model_->column(col).headerAlignment = checkedAlignment(code, "ColHeaderAlignment");
    model_->headerChanged(col, col);
}

int FlexGrid::ColHeaderAlignment(int col) const {
    checkColumn(col);
    return model_->column(col).headerAlignment;
}

void FlexGrid::setColFormat(int col, const QString& format) {
    checkColumn(col);
    GridModel::Column& column = model_->column(col);
    column.formatText = format;
    column.format = DisplayFormat(format);
    model_->columnChanged(col);
}

QString FlexGrid::ColFormat(int col) const {
    checkColumn(col);
    return model_->column(col).formatText;
}

void FlexGrid::setColHidden(int col, bool hidden) {
    checkColumn(col);
    model_->column(col).hidden = hidden;
    {
        QScopedValueRollback setting(settingColumns_, true);
        setColumnHidden(col, hidden);
    }
    if (!hidden) applyColumnWidth(col);
}

bool FlexGrid::ColHidden(int col) const {
    checkColumn(col);
    return model_->column(col).hidden;
}

// --- The view -----------------------------------------------------------------------------------

void FlexGrid::scheduleSync() {
    if (!syncTimer_.isActive()) syncTimer_.start();
}

void FlexGrid::syncView() {
    syncTimer_.stop();
    {
        QScopedValueRollback ignoring(ignoringView_, true);
        model_->catchUp();
    }
    if (viewStateStale_) applyViewState();
}

// Puts the view's cursor and selection where the grid's are, without scrolling the view.
void FlexGrid::applyViewState() {
    viewStateStale_ = false;
    QScopedValueRollback ignoring(ignoringView_, true);
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    QItemSelectionModel* selection = selectionModel();
    const bool hasCells = ColCount() > 0 && model_->dataRowCount() > 0;
    const QModelIndex current = hasCells && currentRow_ >= 1
                                    ? model_->index(currentRow_ - 1, visibleColumnNear(currentCol_))
                                    : QModelIndex();
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    if (hasCells && selection_.row2 >= 1) {
        const QItemSelection block(model_->index(std::max(selection_.row1, 1) - 1, selection_.col1),
                                   model_->index(selection_.row2 - 1, selection_.col2));
        selection->select(block, QItemSelectionModel::ClearAndSelect);
    } else {
        selection->clearSelection();
    }
    setAutoScroll(scrolls);
}

// The column itself when it shows, else the first visible column (a cursor on a hidden column
// would take the keyboard nowhere).
int FlexGrid::visibleColumnNear(int col) const {
    if (!model_->column(col).hidden) return col;
    for (int c = 0; c < ColCount(); ++c)
        if (!model_->column(c).hidden) return c;
    return col;
}

void FlexGrid::viewCurrentChanged(const QModelIndex& current) {
    if (ignoringView_) return;
    currentRow_ = current.isValid() ? current.row() + 1 : 0;
    if (current.isValid()) currentCol_ = current.column();
}

void FlexGrid::viewSelectionChanged() {
    if (ignoringView_) return;
    const QItemSelection selected = selectionModel()->selection();
    if (selected.isEmpty()) {
        selection_ = {currentRow_, currentCol_, currentRow_, currentCol_};
        return;
    }
    Block bounds{INT_MAX, INT_MAX, -1, -1};
    for (const QItemSelectionRange& range : selected) {
        bounds.row1 = std::min(bounds.row1, range.top() + 1);
        bounds.col1 = std::min(bounds.col1, range.left());
        bounds.row2 = std::max(bounds.row2, range.bottom() + 1);
        bounds.col2 = std::max(bounds.col2, range.right());
    }
    selection_ = bounds;
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    syncView();
    const Qt::MouseButtons buttons = event->buttons();
    const int button = (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
                       (buttons & Qt::MiddleButton ? 4 : 0);
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const int shift = (modifiers & Qt::ShiftModifier ? 1 : 0) |
                      (modifiers & Qt::ControlModifier ? 2 : 0) |
                      (modifiers & Qt::AltModifier ? 4 : 0);
    const QPoint position = event->position().toPoint();
    Q_EMIT mouseButtonDown(button, shift, pixelsToTwipsX(position.x()),
                           pixelsToTwipsY(position.y()));
    QTableView::mousePressEvent(event);
}

QItemSelectionModel::SelectionFlags FlexGrid::selectionCommand(const QModelIndex& index,
                                                               const QEvent* event) const {
    const auto* input =
        event && event->isInputEvent() ? static_cast<const QInputEvent*>(event) : nullptr;
    if (!input || input->modifiers() & Qt::ShiftModifier || event->type() == QEvent::MouseMove)
        return QTableView::selectionCommand(index, event);
    if (event->type() == QEvent::MouseButtonRelease) return QItemSelectionModel::NoUpdate;
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<const QMouseEvent*>(event)->button() == Qt::RightButton &&
        selectionModel()->isSelected(index))
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelectionToClipboard(*this);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// QTableView's own versions announce the cell by Qt's numbering, which counts the hidden
// columns; the grid announces it by its own and leaves the rest to QAbstractItemView.
void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    GridAccessibleTable::announceCurrentCell(*this, current);
    QAbstractItemView::currentChanged(current, previous);
}

void FlexGrid::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    GridAccessibleTable::announceSelection(*this, selected, deselected);
    QAbstractItemView::selectionChanged(selected, deselected);
}

}  // namespace xhook
