#pragma once

#include <QDialog>
#include <QString>

class QStandardItemModel;
class QTableView;

namespace DeZuvarEDodOziv8 {
class FinderContext;
}

namespace xhook::host {

// The host's lookup over sales outbound documents: one row per document with its number, date,
// customer, amount and line count, sortable by every column, several rows selectable, OK and
// Cancel. The list's widget is named "documentList" so that tests can drive it.
class FinderDialog : public QDialog {
  public:
    explicit FinderDialog(QWidget* parent = nullptr);

    // Lists the documents that the filter (a condition fragment beginning with " and ") leaves,
    // read through the component's context.
    void loadDocuments(DeZuvarEDodOziv8::FinderContext& context, const QString& filter);
    // The internal ids of the selected documents, top to bottom as listed, separated by ",".
    QString selectedIds() const;

  private:
    void addDocumentRow(const QList<QVariant>& fields);

    QStandardItemModel* model_;
    QTableView* view_;
};

}  // namespace xhook::host
