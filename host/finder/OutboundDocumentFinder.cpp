#include <QApplication>
#include <QSettings>

#include "foundation/Errors.h"
#include "data/Connection.h"
#include "host/finder/FinderDialog.h"
#include "window/DocumentFinder.h"

namespace xhook::host {

namespace {

// Only callers that know this code may look documents up.
const QString kAccessCode = QStringLiteral("@#^wmzt");

// The host database as the host's own settings name it.
QString hostConnectionString() {
    const QSettings store(QSettings::IniFormat, QSettings::UserScope,
                          QStringLiteral("DuVariz2007"));
    return store.value(QStringLiteral("DBOperation/DBConnectionString")).toString();
}

// The host's document finder over sales outbound documents: Find shows the lookup dialog over the
// documents that the filter leaves, modally over the active window; SelectedIds then tells the
// documents chosen, empty after a cancel.
class OutboundDocumentFinder : public DocumentFinder {
  public:
    QString Find(QString& accessCode, QString& filter) override {
        selectedIds_.clear();
        if (accessCode != kAccessCode)
            raiseInvalidProcedureCall(QStringLiteral("单据查询的访问码不正确"));
        FinderDialog dialog(QApplication::activeWindow());
        loadDocuments(dialog, filter);
        if (dialog.exec() == QDialog::Accepted) selectedIds_ = dialog.selectedIds();
        return selectedIds_;
    }

    QString SelectedIds() override { return selectedIds_; }

  private:
    static void loadDocuments(FinderDialog& dialog, const QString& filter) {
        data::Connection connection;
        connection.setConnectionString(hostConnectionString());
        connection.setCursorLocation(3);
        connection.open();
        dialog.loadDocuments(connection, filter);
        connection.close();
    }

    QString selectedIds_;
};

}  // namespace

}  // namespace xhook::host

extern "C" Q_DECL_EXPORT xhook::DocumentFinder* xhookCreateDocumentFinder() {
    return new xhook::host::OutboundDocumentFinder;
}
