#include "host/finder/FinderDialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "DeZuvarEDodOziv8/DocumentFinder.h"

namespace xhook::host {

namespace {

// The document-level outbound view of the host database, one row per document.
const QString kDocumentQuery = QStringLiteral(
    "select finterid, fbillno, fdate, fcustname, famount, flinecount from vGproductOutBill "
    "where 1=1");

const QStringList kHeaders = {QStringLiteral("单据编号"), QStringLiteral("日期"),
                              QStringLiteral("客户"), QStringLiteral("金额"),
                              QStringLiteral("分录数")};
constexpr int kFieldCount = 6;  // the id and the five listed fields
constexpr int kIdRole = Qt::UserRole + 1;

// A field as text: dates as the host writes them, everything else as Qt converts it.
QString fieldText(const QVariant& value) {
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return value.toString();
}

// Numbers stay numbers, so that their columns sort by value; everything else shows as text.
QStandardItem* itemFor(const QVariant& value) {
    auto* item = new QStandardItem;
    const bool numeric = value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int ||
                         value.typeId() == QMetaType::LongLong;
    item->setData(numeric ? value : QVariant(fieldText(value)), Qt::DisplayRole);
    item->setEditable(false);
    return item;
}

}  // namespace

FinderDialog::FinderDialog(QWidget* parent)
    : QDialog(parent), model_(new QStandardItemModel(this)), view_(new QTableView(this)) {
    setWindowTitle(QStringLiteral("销售出库单查询"));
    model_->setHorizontalHeaderLabels(kHeaders);
    view_->setObjectName(QStringLiteral("documentList"));
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The query's order stands until a header is clicked.
    view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view_->setSortingEnabled(true);
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->verticalHeader()->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(view_, &QTableView::doubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addWidget(buttons);
    resize(720, 420);
}

void FinderDialog::loadDocuments(DeZuvarEDodOziv8::FinderContext& context,
                                 const QString& filter) {
    model_->removeRows(0, model_->rowCount());
    const std::unique_ptr<DeZuvarEDodOziv8::DocumentRows> rows =
        context.query(kDocumentQuery + filter + " order by fbillno");
    while (rows->next()) {
        QList<QVariant> fields;
        for (int field = 0; field < kFieldCount; ++field) fields.append(rows->value(field));
        addDocumentRow(fields);
    }
    view_->resizeColumnsToContents();
}

void FinderDialog::addDocumentRow(const QList<QVariant>& fields) {
    QList<QStandardItem*> items;
    for (qsizetype i = 1; i < fields.size(); ++i) items.append(itemFor(fields[i]));
    items.first()->setData(fieldText(fields.first()), kIdRole);
    model_->appendRow(items);
}

QString FinderDialog::selectedIds() const {
    QModelIndexList selected = view_->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList ids;
    for (const QModelIndex& index : selected) ids.append(index.data(kIdRole).toString());
    return ids.join(QLatin1Char(','));
}

}  // namespace xhook::host
