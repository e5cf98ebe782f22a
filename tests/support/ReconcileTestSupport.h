#pragma once

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

#include "component/HookWindow.h"
#include "data/NativeProcedures.h"
#include "data/Parameter.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/TestSupport.h"
#include "window/FrmHookResult.h"

namespace xhook {
class FlexGrid;
class HookForm;
}  // namespace xhook

namespace xhook::test {

// Fills a grid as the grid loader leaves it: the header row, one document row per id (column 0
// the id), and the totals row. An empty list leaves the header row alone.
void fillDocumentGrid(FlexGrid& grid, const QStringList& documentIds);

// A stand-in for the host's reconciliation procedure that records every call's parameters and
// answers as told. On SQLite it is registered natively under its name for the life of the object
// (the procedure registered before comes back afterwards). On a PostgreSQL database it is
// installed there as the server's sp_GS_billGJ: the calls are recorded in a table of that
// database, and the server knows the parameters by its own (lower-case) names and SQL types, not
// by their declared sizes.
class RecordingReconcileProcedure {
  public:
    RecordingReconcileProcedure();
    ~RecordingReconcileProcedure();

    // Makes the procedure the one of the PostgreSQL database at `connectionString`.
    void installOnServer(const QString& connectionString);
    // Whether the recorded parameters carry the declared sizes and the component's spelling of
    // the names (only a native procedure sees them).
    bool seesDeclarations() const { return server_.isEmpty(); }

    // Put into intReturnValue (null for a NULL output) and strReturnValue from now on.
    void setAnswer(const QVariant& answer);
    void setAnswerText(const QVariant& text);
    // When set, the procedure raises an error with this text.
    void setFailure(const std::optional<QString>& failure);

    QList<QList<data::Parameter>> calls() const;
    void clearCalls();
    // The value of a parameter of the last call, by name (without regard to case).
    QVariant lastValue(const QString& name) const;

  private:
    void tellServer() const;

    QVariant answer_ = 0;
    QVariant answerText_ = QString();
    std::optional<QString> failure_;
    QList<QList<data::Parameter>> calls_;
    QString server_;  // the PostgreSQL database it is installed in
    data::NativeProcedure previous_;
    QList<data::DeclaredParameter> previousParameters_;
};

// What the reconciliation commands find around them: the settings fields they read (the title
// kTitle, user 1, empty id lists), the window's form built but not shown, and the recorded
// messages. The host database is the derived fixtures' affair.
class ReconcileWindowFixture : public ::testing::Test {
  protected:
    static inline const QString kTitle = QStringLiteral("测试进销存");

    void SetUp() override;
    void TearDown() override;

    HookForm& form() { return window.form(); }
    // Whether the toolbar entry "钩稽" and both reconciliation menu items are enabled, or all
    // three are disabled.
    bool commandsEnabled();
    bool commandsDisabled();
    // Exactly one message was recorded, this one, with the title msgTitle.
    void expectOnlyMessage(const QString& text, int style, bool connectionOpen);
    // Exactly one message was recorded: a failure whose description holds `part`, shown with the
    // exclamation icon and msgTitle while the connection was open; the connection is closed now.
    void expectOnlyFailure(const QString& part);

    TempDir dir;
    FrmHookResult window{reconciliationCommands()};
    RecordingMessages messages;
};

// An empty database of the test's own as the host database, with the recording procedure: a
// SQLite file, or on the backend that a derived fixture names.
class ReconcileFixture : public ReconcileWindowFixture {
  protected:
    virtual Backend backend() const { return Backend::SQLite; }
    void SetUp() override;

    std::unique_ptr<ScratchDatabase> scratch;
    RecordingReconcileProcedure procedure;
};

// The recording fixture on the backend of the test's parameter.
using ReconcileBackendFixture = OnEachBackend<ReconcileFixture>;

// The stand-alone host's demo database in the test's folder (demo.db), with the host's own
// procedure; or on the backend that a derived fixture names, in a database of its own.
class DemoDatabaseFixture : public ReconcileWindowFixture {
  protected:
    virtual Backend backend() const { return Backend::SQLite; }
    void SetUp() override;

    // Lists the documents and loads the grids as the window does (the outbound grid only for a
    // list that is not empty).
    void loadWindow(const QString& invoiceIds, const QString& outboundIds);
    // The reconciliation that a sales invoice or outbound document belongs to; 0 when none.
    qint64 invoiceReconciliation(qint64 invoiceId);
    qint64 outboundReconciliation(qint64 outboundId);
    qint64 reconciliationCount();

    std::unique_ptr<ScratchDatabase> scratch;

  private:
    qint64 number(const QString& sql);
};

// The demo database fixture on the backend of the test's parameter.
using DemoDatabaseBackendFixture = OnEachBackend<DemoDatabaseFixture>;

}  // namespace xhook::test
