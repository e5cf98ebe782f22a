#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QTimer>
#include <functional>

#include "component/HookWindow.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ResultSet.h"
#include "foundation/ComponentRegistry.h"
#include "foundation/Errors.h"
#include "foundation/VisibleText.h"
#include "host/lib/DemoData.h"
#include "host/lib/FinderRegistration.h"
#include "host/lib/GridColumnConfig.h"
#include "host/lib/HostSchema.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/TestSupport.h"
#include "window/Commands.h"
#include "window/DocumentFinderRegistry.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

using namespace xhook;

namespace {

// What the scripted finder was told and what it answers.
struct FinderScript {
    QString answer;
    QStringList accessCodes;
    QStringList filters;
    int created = 0;
    int released = 0;
};

class ScriptedFinder : public DocumentFinder {
  public:
    explicit ScriptedFinder(FinderScript& script) : script_(script) { ++script_.created; }
    ~ScriptedFinder() override { ++script_.released; }
    QString Find(QString& accessCode, QString& filter) override {
        script_.accessCodes.append(accessCode);
        script_.filters.append(filter);
        return {};
    }
    QString SelectedIds() override { return script_.answer; }

  private:
    FinderScript& script_;
};

QSet<QString> documentIdsIn(const FlexGrid& grid) {
    QSet<QString> ids;
    for (int r = 1; r < grid.RowCount() - 1; ++r) ids.insert(grid.cellText(r, 0));
    return ids;
}

// The host database with the demo data and the grids' column configuration, and an empty
// component registry of the test's own.
class LookupFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("XHOOK_COMPONENT_REGISTRY", dir.file("ComponentRegistry.ini").toUtf8());
        connectionString = "Provider=SQLite;Data Source=" + dir.file("host.db");
        data::Connection connection;
        connection.setConnectionString(connectionString + ";Mode=ReadWriteCreate");
        connection.open();
        host::createHostSchema(connection);
        host::generateDemoData(connection, {});
        host::configureGridColumns(connection, host::kInvoiceGridType);
        host::configureGridColumns(connection, host::kOutboundGridType);
        connection.close();
        SharedState& state = shared();
        state.DBConnectionString = connectionString;
        state.gOutboundIds.clear();
        state.gCustomerNumber = customerOf("5001");
    }
    void TearDown() override {
        registerDocumentFinderFactory(kDocumentFinderClsid, nullptr);
        qunsetenv("XHOOK_COMPONENT_REGISTRY");
        shared().gOutboundIds.clear();
        shared().gCustomerNumber.clear();
    }

    QStringList query(const QString& sql) {
        data::Connection connection;
        connection.setConnectionString(connectionString);
        connection.open();
        auto rows = connection.openResultSet(sql);
        QStringList values;
        for (; !rows->eof(); rows->moveNext()) values.append(rows->value(0).toString());
        return values;
    }
    QString customerOf(const QString& outboundId) {
        return query("select fcustomeridnumber from vGproductOutBill where finterid=" + outboundId)
            .value(0);
    }

    void useScriptedFinder() {
        registerDocumentFinderFactory(kDocumentFinderClsid,
                                      [this] { return std::make_unique<ScriptedFinder>(script); });
    }
    void lookUp(const QString& answer) {
        script.answer = answer;
        MenuXOutFind_Click(window);
    }

    test::TempDir dir;
    QString connectionString;
    FinderScript script;
    FrmHookResult window{reconciliationCommands()};
    test::RecordingMessages messages;
};

TEST_F(LookupFixture, ChosenIdsAreAppendedAndTheOutboundGridReloadedFromTheWholeList) {
    useScriptedFinder();
    lookUp("5001,5002");
    EXPECT_EQ(shared().gOutboundIds, "5001,5002");
    EXPECT_EQ(documentIdsIn(window.vsf2()), QSet<QString>({"5001", "5002"}));

    lookUp("5003");
    EXPECT_EQ(shared().gOutboundIds, "5001,5002,5003");
    EXPECT_EQ(documentIdsIn(window.vsf2()), QSet<QString>({"5001", "5002", "5003"}));

    // A document chosen again is listed twice and shown once.
    lookUp("5002");
    EXPECT_EQ(shared().gOutboundIds, "5001,5002,5003,5002");
    EXPECT_EQ(documentIdsIn(window.vsf2()), QSet<QString>({"5001", "5002", "5003"}));

    // Each use had a finder of its own, released afterwards, told the access code and the filter.
    EXPECT_EQ(script.created, 3);
    EXPECT_EQ(script.released, 3);
    EXPECT_EQ(script.accessCodes, QStringList(3, "@#^wmzt"));
    EXPECT_EQ(script.filters.value(0), " and fcustomeridnumber='" + shared().gCustomerNumber +
                                           "' and isnull(fhookinterid,0)=0 ");
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(LookupFixture, CancelReloadsTheGridOnlyWhenTheListHoldsIds) {
    useScriptedFinder();
    test::fillDocumentGrid(window.vsf2(), {"777"});
    lookUp("");
    EXPECT_EQ(shared().gOutboundIds, "");
    EXPECT_EQ(documentIdsIn(window.vsf2()), QSet<QString>({"777"}));  // find2 not called

    shared().gOutboundIds = "5001";
    lookUp("");
    EXPECT_EQ(shared().gOutboundIds, "5001");
    EXPECT_EQ(documentIdsIn(window.vsf2()), QSet<QString>({"5001"}));  // rows removed come back
    EXPECT_EQ(script.released, 2);
}

TEST_F(LookupFixture, QuoteInTheCustomerNumberStaysInsideTheLiteral) {
    useScriptedFinder();
    shared().gCustomerNumber = "91'3301";
    lookUp("");
    ASSERT_EQ(script.filters.size(), 1);
    EXPECT_EQ(script.filters[0], " and fcustomeridnumber='91''3301' and isnull(fhookinterid,0)=0 ");

    // With no document loaded the finder is still opened, on an empty customer number.
    shared().gCustomerNumber.clear();
    lookUp("");
    EXPECT_EQ(script.filters.value(1), " and fcustomeridnumber='' and isnull(fhookinterid,0)=0 ");
}

TEST_F(LookupFixture, AnswerThatIsNoIdListIsRefusedAndTheListKept) {
    useScriptedFinder();
    lookUp("5001");
    for (const QString& answer :
         {QString("1) or (1=1"), QString("１２"), QString("5001;drop"),
          QChar(0xfeff) + QString("5002"), QString(" 5002"), QString("-5002")}) {
        const RuntimeError error = test::raisedBy<RuntimeError>([&] { lookUp(answer); });
        EXPECT_TRUE(error.description().contains(visibleText(answer)))
            << error.description().toStdString();
        EXPECT_EQ(shared().gOutboundIds, "5001") << answer.toStdString();
    }
    EXPECT_EQ(documentIdsIn(window.vsf2()), QSet<QString>({"5001"}));
    EXPECT_EQ(script.created, script.released);

    // Through the window's menu the refusal is reported in a message box, not raised.
    script.answer = "5001;drop";
    window.form().MenuXOutFind->trigger();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].text.contains("5001;drop"));
    EXPECT_EQ(shared().gOutboundIds, "5001");
}

// The finder's answer is held to the rule of every id list: empty items name nothing and are
// taken as hookBill's are, the answer appended as it came.
TEST_F(LookupFixture, AnAnswerWithEmptyItemsIsAnIdListAsHookBillsArgumentIs) {
    useScriptedFinder();
    const struct {
        QString answer;
        QString list;
    } answers[] = {{"5001,,5002", "5001,,5002"},
                   {"5003,", "5001,,5002,5003,"},
                   {",5001", "5001,,5002,5003,,,5001"}};
    for (const auto& a : answers) {
        SCOPED_TRACE(a.answer.toStdString());
        lookUp(a.answer);
        EXPECT_EQ(shared().gOutboundIds, a.list);
    }
    EXPECT_EQ(documentIdsIn(window.vsf2()), QSet<QString>({"5001", "5002", "5003"}));
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(LookupFixture, FinderThatCannotBeCreatedRaisesCannotCreateObject) {
    auto expectCannotCreate = [&](const char* situation) {
        const RuntimeError error = test::raisedBy<RuntimeError>([&] { lookUp("5009"); });
        EXPECT_EQ(error.number(), RuntimeErrorNumber::CannotCreateObject) << situation;
        EXPECT_TRUE(error.description().contains(kDocumentFinderClsid))
            << situation << ": " << error.description().toStdString();
        EXPECT_EQ(shared().gOutboundIds, "") << situation;
    };
    expectCannotCreate("not registered");

    ClassRegistration missing;
    missing.clsid = kDocumentFinderClsid;
    missing.progId = "Test.Finder";
    missing.libraryPath = dir.file("libnothing.so");
    registerClass(missing);
    expectCannotCreate("library missing");

    // A file that is no library, and a library that exports no finder.
    missing.libraryPath = dir.file("ComponentRegistry.ini");
    registerClass(missing);
    expectCannotCreate("no library");
    missing.libraryPath = "libc.so.6";
    registerClass(missing);
    expectCannotCreate("no factory symbol");

    // A factory registered in the process comes first; removing it falls back to the registry.
    useScriptedFinder();
    lookUp("5009");
    EXPECT_EQ(shared().gOutboundIds, "5009");
    registerDocumentFinderFactory(kDocumentFinderClsid, nullptr);
    shared().gOutboundIds.clear();
    expectCannotCreate("factory removed");

    // The class identifier compares without regard to case and surrounding blanks, both ways.
    registerDocumentFinderFactory(" " + QString(kDocumentFinderClsid).toLower() + " ",
                                  [this] { return std::make_unique<ScriptedFinder>(script); });
    lookUp("5010");
    EXPECT_EQ(shared().gOutboundIds, "5010");
    registerDocumentFinderFactory(QString(kDocumentFinderClsid).toLower(), nullptr);
    shared().gOutboundIds.clear();
    expectCannotCreate("factory removed by its lower-case identifier");
}

// The stand-alone host's finder plugin, loaded through the registry and driven through its dialog.
class FinderPluginTest : public LookupFixture {
  protected:
    void SetUp() override {
        LookupFixture::SetUp();
        const QString plugin = host::demoFinderPluginPath();
        ASSERT_FALSE(plugin.isEmpty())
            << "build the xhookfinder target: no libxhookfinder.so found";
        host::registerDemoFinder(plugin);
        test::writeSetting("DBOperation", "DBConnectionString", connectionString);
    }
    void TearDown() override {
        test::clearSettings();
        LookupFixture::TearDown();
    }

    // Runs `drive` on the finder's dialog as soon as it shows; it ends the dialog.
    void whenDialogShows(std::function<void(QDialog&, QTableView&)> drive) {
        QTimer::singleShot(0, [this, drive] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no finder dialog shown";
                return;
            }
            auto* list = dialog->findChild<QTableView*>("documentList");
            if (!list) {
                ADD_FAILURE() << "the dialog has no document list";
                dialog->reject();
                return;
            }
            listed = columnTexts(*list, 0);
            drive(*dialog, *list);
        });
    }
    static QStringList columnTexts(const QTableView& list, int column) {
        QStringList texts;
        for (int r = 0; r < list.model()->rowCount(); ++r)
            texts.append(list.model()->index(r, column).data().toString());
        return texts;
    }
    static void clickOk(QDialog& dialog) {
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }
    static void selectRows(QTableView& list, const QList<int>& rows) {
        list.clearSelection();
        for (int row : rows)
            list.selectionModel()->select(list.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // The document's amount put on its first line, the other lines made 0.
    void setDocumentAmount(const QString& id, int amount) {
        data::Connection connection;
        connection.setConnectionString(connectionString);
        connection.open();
        connection.execute("update icstockbillentry set famount=0 where finterid=" + id);
        connection.execute(QString("update icstockbillentry set famount=%1 where finterid=%2 and "
                                   "fentryid=(select min(fentryid) from icstockbillentry where "
                                   "finterid=%2)")
                               .arg(amount)
                               .arg(id));
    }

    QStringList listed;  // document numbers the dialog listed
};

TEST_F(FinderPluginTest, ListsTheUnreconciledDocumentsOfTheCustomerAndReturnsTheChosenOnes) {
    const QString customer = shared().gCustomerNumber;
    const QStringList ids =
        query("select finterid from vGproductOutBill where fcustomeridnumber='" + customer +
              "' and coalesce(fhookinterid,0)=0 order by fbillno");
    ASSERT_GE(ids.size(), 3);
    // Amounts whose texts sort otherwise than their values.
    setDocumentAmount(ids[0], 9);
    setDocumentAmount(ids[1], 80);
    setDocumentAmount(ids[2], 700);
    for (const QString& id : ids.mid(3)) setDocumentAmount(id, 1);
    const QStringList numbers = query("select fbillno from vGproductOutBill where finterid in (" +
                                      ids.join(',') + ") order by fbillno");

    // Sorted by amount, largest first, the top two rows are chosen.
    whenDialogShows([](QDialog& dialog, QTableView& list) {
        list.sortByColumn(3, Qt::DescendingOrder);
        selectRows(list, {0, 1});
        clickOk(dialog);
    });
    MenuXOutFind_Click(window);
    EXPECT_EQ(listed, numbers);
    EXPECT_EQ(shared().gOutboundIds, ids[2] + "," + ids[1]);
    EXPECT_EQ(documentIdsIn(window.vsf2()), QSet<QString>({ids[2], ids[1]}));

    // A cancel chooses nothing, whatever was selected.
    const QString before = shared().gOutboundIds;
    whenDialogShows([](QDialog& dialog, QTableView& list) {
        selectRows(list, {2});
        dialog.reject();
    });
    MenuXOutFind_Click(window);
    EXPECT_EQ(shared().gOutboundIds, before);
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(FinderPluginTest, RefusesAWrongAccessCodeWithoutShowingTheDialog) {
    std::unique_ptr<DocumentFinder> finder = createDocumentFinder(kDocumentFinderClsid);
    QString code = "wrong";
    QString filter = " and 1=1 ";
    bool shown = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            shown = true;
            dialog->reject();
        }
    });
    const RuntimeError error = test::raisedBy<RuntimeError>([&] { finder->Find(code, filter); });
    EXPECT_FALSE(error.description().isEmpty());
    EXPECT_EQ(finder->SelectedIds(), "");
    QCoreApplication::processEvents();
    EXPECT_FALSE(shown);
}

}  // namespace
