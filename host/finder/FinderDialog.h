#pragma once

#include <QDialog>
#include <QLocale>
#include <QString>

#include "host/finder/OutboundDocument.h"

class QDateEdit;
class QItemSelection;
class QLabel;
class QLineEdit;

namespace xhook::host {

class DocumentFilter;
class DocumentTable;
class OutboundDocumentModel;

// The host's lookup over sales outbound documents: one row per document with its number, date,
// customer, amount and line count, a search field that narrows the list as one types, a date
// range, sorting by every column, several documents choosable, and a line telling how many
// documents are shown and chosen, or why none is shown. A choice is kept while a search hides
// its row. Enter chooses (in the search field, the first row listed when none is chosen yet),
// Esc cancels.
// Widgets, named for tests: "searchField", "dateFrom", "dateTo", "documentList", "statusLine".
class FinderDialog : public QDialog {
  public:
    explicit FinderDialog(QWidget* parent = nullptr);

    // Lists the documents, amounts written in `locale`; the date range becomes theirs.
    void setDocuments(const OutboundDocuments& documents, const QLocale& locale = QLocale());
    // The internal ids of the chosen documents separated by ",": those listed in the order
    // listed, then those that the search hides in document number order.
    QString selectedIds() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLayout* makeSearchRow();
    void makeList();
    void describeForAccessibility();
    void applySearch(const QString& text);
    void applyDateRange();
    void takeSelection(const QItemSelection& selected, const QItemSelection& deselected);
    void markChosen(const QItemSelection& rows, bool chosen);
    void restoreSelection();
    void fitColumns();
    void showStatus();

    OutboundDocumentModel* documents_;
    DocumentFilter* filter_;
    QLineEdit* search_;
    QDateEdit* from_;
    QDateEdit* to_;
    DocumentTable* list_;
    QLabel* status_;
    QLocale locale_;
    // Set while the filter lists its rows anew: the selection's changes then are not the user's.
    bool restoringSelection_ = false;
};

}  // namespace xhook::host
