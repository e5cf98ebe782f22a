#include "host/finder/FinderDialog.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/finder/DocumentFilter.h"
#include "host/finder/DocumentTable.h"
#include "host/finder/OutboundDocumentModel.h"

namespace xhook::host {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

QDateEdit* makeDateEdit(const QString& name, QWidget* parent) {
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(kDateFormat);
    edit->setCalendarPopup(true);
    return edit;
}

}  // namespace

FinderDialog::FinderDialog(QWidget* parent)
    : QDialog(parent),
      documents_(new OutboundDocumentModel(this)),
      filter_(new DocumentFilter(*documents_, this)),
      search_(new QLineEdit(this)),
      from_(makeDateEdit(QStringLiteral("dateFrom"), this)),
      to_(makeDateEdit(QStringLiteral("dateTo"), this)),
      list_(new DocumentTable(this)),
      status_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("销售出库单查询"));
    makeList();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &FinderDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    status_->setObjectName(QStringLiteral("statusLine"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(makeSearchRow());
    layout->addWidget(list_, 1);
    layout->addLayout(bottom);
    describeForAccessibility();
    search_->setFocus();
    resize(760, 460);
    showStatus();
}

QLayout* FinderDialog::makeSearchRow() {
    search_->setObjectName(QStringLiteral("searchField"));
    search_->setPlaceholderText(QStringLiteral("输入单据编号、日期、客户或金额筛选"));
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(this);
    connect(search_, &QLineEdit::textChanged, this, &FinderDialog::applySearch);
    connect(from_, &QDateEdit::dateChanged, this, &FinderDialog::applyDateRange);
    connect(to_, &QDateEdit::dateChanged, this, &FinderDialog::applyDateRange);
    auto* searchLabel = new QLabel(QStringLiteral("搜索(&S):"), this);
    searchLabel->setBuddy(search_);
    auto* fromLabel = new QLabel(QStringLiteral("日期(&D):"), this);
    fromLabel->setBuddy(from_);
    auto* row = new QHBoxLayout;
    row->addWidget(searchLabel);
    row->addWidget(search_, 1);
    row->addSpacing(12);
    row->addWidget(fromLabel);
    row->addWidget(from_);
    row->addWidget(new QLabel(QStringLiteral("至"), this));
    row->addWidget(to_);
    return row;
}

void FinderDialog::makeList() {
    list_->setObjectName(QStringLiteral("documentList"));
    list_->setModel(filter_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    // The rows keep one height, so the view need not measure them.
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 8);
    // The query's order (by number) stands until a header is clicked.
    list_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    list_->setSortingEnabled(true);
    list_->horizontalHeader()->setSectionResizeMode(OutboundDocumentModel::Customer,
                                                    QHeaderView::Stretch);
    connect(list_, &QTableView::doubleClicked, this, &FinderDialog::accept);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FinderDialog::takeSelection);
    // Every search, range or sort lists the rows anew; the chosen documents are selected again.
    connect(filter_, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { restoringSelection_ = true; });
    connect(filter_, &QAbstractItemModel::modelReset, this, [this] {
        restoreSelection();
        restoringSelection_ = false;
        showStatus();
    });
}

void FinderDialog::describeForAccessibility() {
    search_->setAccessibleName(QStringLiteral("搜索"));
    search_->setAccessibleDescription(
        QStringLiteral("按单据编号、日期、客户或金额筛选单据，输入时即筛选；按向下键进入单据列表"));
    from_->setAccessibleName(QStringLiteral("起始日期"));
    from_->setAccessibleDescription(QStringLiteral("只列出此日及以后的单据"));
    to_->setAccessibleName(QStringLiteral("截止日期"));
    to_->setAccessibleDescription(QStringLiteral("只列出此日及以前的单据"));
    list_->setAccessibleName(QStringLiteral("销售出库单"));
    list_->setAccessibleDescription(
        QStringLiteral("客户未钩稽的销售出库单，可多选；回车选定，Esc 取消"));
    status_->setAccessibleName(QStringLiteral("单据数"));
    status_->setAccessibleDescription(QStringLiteral("列出的和已选的单据数"));
}

void FinderDialog::setDocuments(const OutboundDocuments& documents, const QLocale& locale) {
    locale_ = locale;
    documents_->setDocuments(documents, locale);
    const bool any = documents_->rowCount() > 0;
    {
        // The range starts as the documents' own, which hides none of them.
        const QSignalBlocker blockFrom(from_);
        const QSignalBlocker blockTo(to_);
        const QDate first = any ? QDate::fromJulianDay(documents_->firstDay()) : QDate();
        const QDate last = any ? QDate::fromJulianDay(documents_->lastDay()) : QDate();
        from_->setDate(first.isValid() ? first : QDate::currentDate());
        to_->setDate(last.isValid() ? last : QDate::currentDate());
    }
    for (QWidget* control :
         {static_cast<QWidget*>(search_), static_cast<QWidget*>(from_), static_cast<QWidget*>(to_)})
        control->setEnabled(any);
    applyDateRange();
    fitColumns();
    showStatus();
}

void FinderDialog::applySearch(const QString& text) {
    filter_->setSearchText(text);
}

void FinderDialog::applyDateRange() {
    filter_->setDateRange(from_->date(), to_->date());
}

void FinderDialog::takeSelection(const QItemSelection& selected, const QItemSelection& deselected) {
    if (restoringSelection_) return;
    markChosen(deselected, false);
    markChosen(selected, true);
    showStatus();
}

void FinderDialog::markChosen(const QItemSelection& rows, bool chosen) {
    for (const QItemSelectionRange& range : rows)
        for (int row = range.top(); row <= range.bottom(); ++row)
            documents_->setChosen(filter_->sourceRow(row), chosen);
}

// Selects the listed rows of the chosen documents, each run of neighbours as one range.
void FinderDialog::restoreSelection() {
    QItemSelection selection;
    if (documents_->chosenCount() > 0) {
        const int last = filter_->columnCount() - 1;
        int runStart = -1;
        const int rows = filter_->rowCount();
        for (int row = 0; row <= rows; ++row) {
            const bool chosen = row < rows && documents_->isChosen(filter_->sourceRow(row));
            if (chosen && runStart < 0) runStart = row;
            if (!chosen && runStart >= 0) {
                selection.select(filter_->index(runStart, 0), filter_->index(row - 1, last));
                runStart = -1;
            }
        }
    }
    list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

// Each column as wide as its longest text; the customer's takes the room left.
void FinderDialog::fitColumns() {
    const QFontMetrics metrics(list_->font());
    const int padding = 2 * metrics.averageCharWidth() + 8;
    QHeaderView* header = list_->horizontalHeader();
    for (int column = 0; column < OutboundDocumentModel::ColumnCount; ++column) {
        if (column == OutboundDocumentModel::Customer) continue;
        const int content = metrics.horizontalAdvance(documents_->longestText(column)) + padding;
        header->resizeSection(column, std::max(content, header->sectionSizeHint(column)));
    }
}

void FinderDialog::showStatus() {
    const int total = documents_->rowCount();
    const int shown = filter_->rowCount();
    const QString counts = QStringLiteral("显示 %1 张，共 %2 张；已选 %3 张")
                               .arg(locale_.toString(shown), locale_.toString(total),
                                    locale_.toString(documents_->chosenCount()));
    QString why;
    if (total == 0)
        why = QStringLiteral("该客户没有未钩稽的销售出库单。");
    else if (shown == 0)
        why = QStringLiteral("没有符合搜索内容和日期范围的单据。");
    list_->setEmptyText(why);
    status_->setText(why.isEmpty() ? counts
                                   : why + QStringLiteral("（") + counts + QStringLiteral("）"));
}

QString FinderDialog::selectedIds() const {
    QStringList ids;
    QList<bool> listed(documents_->rowCount(), false);
    for (int row = 0; row < filter_->rowCount(); ++row) {
        const int source = filter_->sourceRow(row);
        listed[source] = true;
        if (documents_->isChosen(source))
            ids.append(QString::number(documents_->document(source).id));
    }
    for (int source = 0; source < documents_->rowCount(); ++source)
        if (!listed[source] && documents_->isChosen(source))
            ids.append(QString::number(documents_->document(source).id));
    return ids.join(QLatin1Char(','));
}

// In the search field, Down or Page Down goes on into the list, selecting its first row when
// nothing is chosen yet; Enter with nothing chosen takes the first row listed.
bool FinderDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != search_ || event->type() != QEvent::KeyPress || filter_->rowCount() == 0)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool noneChosen = documents_->chosenCount() == 0;
    if (key == Qt::Key_Down || key == Qt::Key_PageDown) {
        list_->setFocus();
        if (noneChosen)
            list_->selectionModel()->setCurrentIndex(
                filter_->index(0, 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && noneChosen) {
        documents_->setChosen(filter_->sourceRow(0), true);
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace xhook::host
