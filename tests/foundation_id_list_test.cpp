// The id list's rules, each over a table of lists: appending, the strict and lenient checks, the
// form for an SQL in-clause, the working form of a collection, the enclosed form and its fit into
// a parameter, and the procedure's reading as numbers.
#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <QStringList>

#include "foundation/Errors.h"
#include "foundation/IdList.h"
#include "tests/support/ErrorCapture.h"

using namespace xhook;

namespace {

TEST(IdList, AppendPutsTheNewIdsAtTheEndAndTestsNothing) {
    struct Case {
        QString list, ids, expected;
    };
    const QList<Case> cases = {
        {"", "1001", "1001"},
        {"1001", "1002,1003", "1001,1002,1003"},
        {"", "", ""},                   // an empty argument on an empty list leaves it empty
        {"1001", "", "1001,"},          // and on a list, a trailing separator
        {"1001", "1001", "1001,1001"},  // no duplicate test
        {"1001", " x ", "1001, x "},    // no trimming, no test for digits
        {",", "5001", ",,5001"},        // a list left in working form is appended to as it is
    };
    for (const Case& c : cases) {
        QString list = c.list;
        appendIds(list, c.ids);
        EXPECT_EQ(list, c.expected) << c.list.toStdString() << " + " << c.ids.toStdString();
    }
}

TEST(IdList, QueryableListDropsEmptyItemsAndRefusesAnythingButIds) {
    struct Case {
        QString list;
        QString expected;  // empty: refused
        QString inMessage;
    };
    const QList<Case> cases = {
        {"1001", "1001", {}},
        {"1001,1002", "1001,1002", {}},
        {"1001,", "1001", {}},
        {",1001,,1002,", "1001,1002", {}},
        {"", {}, "为空"},
        {",", {}, "为空"},
        {",,", {}, "为空"},
        {"1001,x", {}, "\"x\""},
        {"1) or (1=1", {}, "\"1) or (1=1\""},
        {"1001, 1002", {}, "\" 1002\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list.toStdString());
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(queryableIdList(c.list), c.expected);
            continue;
        }
        const RuntimeError error = test::raisedBy<RuntimeError>([&] { queryableIdList(c.list); });
        EXPECT_EQ(error.number(), RuntimeErrorNumber::InvalidProcedureCall);
        EXPECT_TRUE(error.description().contains(c.inMessage)) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains("未查询数据库"));
    }
}

TEST(IdList, AQueryableListNamesALongListAndItemOnlyByTheirStart) {
    const QString item = QString(100, 'x');
    const RuntimeError error = test::raisedBy<RuntimeError>([&] { queryableIdList(item); });
    EXPECT_TRUE(error.description().contains(QString(80, 'x') + "…"));
    EXPECT_FALSE(error.description().contains(QString(81, 'x')));
}

TEST(IdList, WorkingFormTakesEachWholeIdOnceInTheOrderOfFirstOccurrence) {
    struct Case {
        QStringList ids;
        QString working;  // after the appends
        QString finished;
        bool any;
    };
    const QList<Case> cases = {
        {{}, ",", "", false},
        {{"1001"}, ",1001,", "1001", true},
        {{"1001", "1001", "1002"}, ",1001,1002,", "1001,1002", true},
        {{"1001", "1002", "1001"}, ",1001,1002,", "1001,1002", true},
        {{"1001", "100"}, ",1001,100,", "1001,100", true},  // whole ids only
        {{"100", "1001", "10"}, ",100,1001,10,", "100,1001,10", true},
        {{"0", "5001", "0"}, ",0,5001,", "0,5001", true},
        {{"a", "A"}, ",a,A,", "a,A", true},  // case-sensitive, taken unchanged
        {{""}, ",,", "", true},              // an empty cell is collected as an empty id
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ids.join('|').toStdString());
        QString list = kWorkingIdListStart;
        for (const QString& id : c.ids) appendIdOnce(list, id);
        EXPECT_EQ(list, c.working);
        EXPECT_EQ(finishIdList(list), c.any);
        EXPECT_EQ(list, c.finished);
    }
}

TEST(IdList, EnclosedListsAndHowManyIdsFitTheirSize) {
    struct Case {
        QString list;
        int size;
        QString enclosed;
        int idCount, fittingCount;
    };
    const QList<Case> cases = {
        {"5001", 1000, ",5001,", 1, 1},
        {"1001,1002", 1000, ",1001,1002,", 2, 2},
        {"1001,1002", 11, ",1001,1002,", 2, 2},  // exactly the size
        {"1001,1002", 10, ",1001,1002,", 2, 1},
        {"1001,1002", 5, ",1001,1002,", 2, 0},
        {"", 1000, ",,", 1, 1},  // the empty list is one empty id
        {"", 1, ",,", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list.toStdString() + " in " + std::to_string(c.size));
        EXPECT_EQ(enclosedIdList(c.list), c.enclosed);
        const IdListFit fit = fitIdList(c.list, c.size);
        EXPECT_EQ(fit.idCount, c.idCount);
        EXPECT_EQ(fit.fittingCount, c.fittingCount);
        EXPECT_EQ(fit.fits(), c.idCount == c.fittingCount);
        EXPECT_EQ(fit.excess(), c.idCount - c.fittingCount);
        EXPECT_EQ(enclosedIdList(c.list).size() <= c.size, fit.fits());
    }
}

TEST(IdList, NumbersAreReadFromAnEnclosedListOnceEach) {
    struct Case {
        QString list;
        QList<qint64> ids;
        bool valid;
        QString badItem;
    };
    const QList<Case> cases = {
        {",1001,1002,", {1001, 1002}, true, {}},
        {",5001,", {5001}, true, {}},
        {",,", {}, true, {}},
        {"", {}, true, {}},
        {",1001,,1001,1002,", {1001, 1002}, true, {}},
        {",007,7,", {7}, true, {}},  // the same number twice
        {",0,", {0}, true, {}},
        {",9223372036854775807,", {9223372036854775807LL}, true, {}},
        {",1001,9223372036854775808,", {1001}, false, "9223372036854775808"},  // beyond 64 bits
        {",1001,-1,", {1001}, false, "-1"},
        {",1001,x,1002,", {1001}, false, "x"},
        {", 1001,", {}, false, " 1001"},
        {",１２,", {}, false, "１２"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list.toStdString());
        const IdNumbers numbers = idNumbers(c.list);
        EXPECT_EQ(numbers.ids, c.ids);
        EXPECT_EQ(numbers.valid, c.valid);
        EXPECT_EQ(numbers.badItem, c.badItem);
    }
}

}  // namespace
