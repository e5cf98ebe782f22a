// The rows of Qt's SQLite driver read through SQLite's own interface (SqliteRowReader, behind the
// streamed result sets on SQLite), held against Qt's own reading of the same databases: every
// field's type and value, the errors that end the rows, and the result set's errors around them.
#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <bit>
#include <functional>

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/ResultSet.h"
#include "data/SqliteRowReader.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"

using namespace xhook::data;
using xhook::test::raisedBy;

namespace {

// One sample a row, written into every column of the table, so that each column holds several
// storage classes across its rows (the declared types' affinities convert some of them).
const char* const kSamples[] = {
    "0", "1", "-1", "9223372036854775807", "(-9223372036854775807 - 1)", "4294967296", "0.0",
    "-0.0", "0.1", "123456.789", "1e308", "-1e308", "1e999", "-1e999", "1e-300", "4.9e-324",
    "2.2250738585072014e-308", "'plain'", "''", "'上海钩稽 1,2'", "'a' || char(9) || 'b'",
    "'a' || char(0) || 'b'", "char(0)", "'12'", "'1.5'", "' 7 '",
    // Texts that are no valid UTF-8 in a UTF-8 database, and their UTF-16 readings elsewhere.
    "cast(x'80' as text)", "cast(x'41C3' as text)", "cast(x'EDA080' as text)",
    "cast(x'C0AF' as text)", "cast(x'F4908080' as text)", "cast(x'F8808080' as text)",
    "cast(x'FF41' as text)", "cast(x'00D8' as text)", "cast(x'D800' as text)",
    "cast(x'41FF0042' as text)",
    // Valid UTF-8 of noncharacters and beyond the basic plane.
    "cast(x'EFBFBE' as text)", "cast(x'EFBFBF' as text)", "cast(x'EFB790' as text)",
    "cast(x'F09F9880' as text)", "cast(x'F48FBFBF' as text)", "cast(x'EFBC8C' as text)", "x''",
    "x'00FF10'", "zeroblob(3)", "null"};

const char* const kColumns =
    "loose, i integer, r real, t text, b blob, n numeric, flag boolean, d date, price double";
const int kSampleColumns = 9;

const QSql::NumericalPrecisionPolicy kPolicies[] = {QSql::LowPrecisionDouble, QSql::HighPrecision,
                                                    QSql::LowPrecisionInt64,
                                                    QSql::LowPrecisionInt32};

// A database of the samples in the given text encoding: the table `samples` and the view
// `vsamples` of expressions over it, whose columns have no declared type.
void createSamples(const QString& path, const QString& encoding) {
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec("pragma encoding = '" + encoding + "'"));
        ASSERT_TRUE(query.exec(QStringLiteral("create table samples(id integer primary key, ") +
                               kColumns + ")"));
        for (const char* sample : kSamples) {
            QStringList values;
            for (int i = 0; i < kSampleColumns; ++i) values << QString::fromUtf8(sample);
            ASSERT_TRUE(query.exec("insert into samples values(null, " + values.join(", ") + ")"))
                << sample << ": " << query.lastError().text().toStdString();
        }
        ASSERT_TRUE(query.exec(
            "create view vsamples as select id, loose, loose || '' as joined, -i as negated, "
            "r * 2 as doubled, typeof(loose) as kind, length(t) as size, hex(b) as hexed from "
            "samples"));
        ASSERT_TRUE(query.exec("pragma encoding") && query.next());
        ASSERT_EQ(query.value(0).toString(), encoding);
    }
    QSqlDatabase::removeDatabase(name);
}

QString sqliteString(const QString& path) {
    return "Provider=SQLite;Data Source=" + path;
}

// The same type and value: doubles bit for bit, texts also alike in being null.
void expectSameValue(const QVariant& actual, const QVariant& expected, const std::string& where) {
    ASSERT_EQ(actual.typeId(), expected.typeId()) << where;
    EXPECT_EQ(actual.isNull(), expected.isNull()) << where;
    if (expected.typeId() == QMetaType::Double) {
        EXPECT_EQ(std::bit_cast<quint64>(actual.toDouble()),
                  std::bit_cast<quint64>(expected.toDouble()))
            << where << ": " << actual.toDouble() << " against " << expected.toDouble();
        return;
    }
    EXPECT_EQ(actual, expected) << where;
    if (expected.typeId() == QMetaType::QString) {
        EXPECT_EQ(actual.toString().isNull(), expected.toString().isNull()) << where;
    }
}

std::string placeOf(const QString& sql, int row, int field) {
    return QStringLiteral("%1, row %2, field %3").arg(sql).arg(row).arg(field).toStdString();
}

// A connection to a fresh database of the samples.
class SamplesDatabase : public ::testing::Test {
  protected:
    void openSamples(const QString& encoding) {
        path = dir.file("samples.db");
        createSamples(path, encoding);
        connection.setConnectionString(sqliteString(path));
        connection.open();
    }

    // `sql` executed forward-only, as the data layer executes a query, straight on Qt's driver.
    QSqlQuery executed(const QString& sql, QSql::NumericalPrecisionPolicy policy) {
        QSqlQuery query(connection.database());
        query.setForwardOnly(true);
        query.setNumericalPrecisionPolicy(policy);
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        return query;
    }

    xhook::test::TempDir dir;
    QString path;
    Connection connection;
};

// ---------------------------------------------------------------------------------------------
// The reader against QSqlQuery, in each of SQLite's text encodings.

class SqliteRowReaderValues : public SamplesDatabase,
                              public ::testing::WithParamInterface<const char*> {
  protected:
    void SetUp() override { openSamples(QString::fromLatin1(GetParam())); }
};

TEST_P(SqliteRowReaderValues, EveryFieldOfEveryRowIsTheDriversValue) {
    const int sampleCount = int(std::size(kSamples));
    for (const QString sql :
         {"select * from samples order by id", "select * from vsamples order by id desc"}) {
        for (const QSql::NumericalPrecisionPolicy policy : kPolicies) {
            QSqlQuery expected = executed(sql, policy);
            QSqlQuery streamed = executed(sql, policy);
            const auto reader = SqliteRowReader::of(streamed);
            ASSERT_TRUE(reader);
            const int fields = expected.record().count();
            int rows = 0;
            while (expected.next()) {
                ASSERT_TRUE(reader->next()) << placeOf(sql, rows, -1);
                for (int field = 0; field < fields; ++field)
                    expectSameValue(
                        reader->value(field), expected.value(field),
                        placeOf(sql, rows, field) + " policy " + std::to_string(int(policy)));
                ++rows;
            }
            EXPECT_FALSE(reader->next());
            EXPECT_FALSE(reader->lastError().isValid());
            EXPECT_EQ(rows, sampleCount);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, SqliteRowReaderValues,
                         ::testing::Values("UTF-8", "UTF-16le", "UTF-16be"), [](const auto& info) {
                             return QString::fromLatin1(info.param).remove('-').toStdString();
                         });

// ---------------------------------------------------------------------------------------------
// Streamed result sets (the reader) against held ones (QSqlQuery) on the same database.

struct Outcome {
    QList<QVariantList> rows;  // the rows read before the end or the error
    std::optional<DbError> error;
};

class StreamedResultSet : public SamplesDatabase {
  protected:
    void SetUp() override {
        FaultInjection::clear();
        openSamples(QStringLiteral("UTF-8"));
    }
    void TearDown() override { FaultInjection::clear(); }

    // Every row of `sql` to the end or the error, each field read by index and by name.
    Outcome readAll(const QString& sql, RowReading reading) {
        Outcome outcome;
        try {
            auto rows = connection.openResultSet(sql, reading);
            for (; !rows->eof(); rows->moveNext()) {
                QVariantList row;
                for (int i = 0; i < rows->fieldCount(); ++i) {
                    row << rows->value(i);
                    expectSameValue(rows->value(rows->fieldName(i)), row.last(), "by name");
                }
                outcome.rows << row;
            }
        } catch (const DbError& error) {
            outcome.error = error;
        }
        return outcome;
    }

    void expectSameOutcome(const QString& sql) {
        const Outcome held = readAll(sql, RowReading::Held);
        const Outcome streamed = readAll(sql, RowReading::Streamed);
        ASSERT_EQ(streamed.rows.size(), held.rows.size()) << sql.toStdString();
        for (int row = 0; row < held.rows.size(); ++row) {
            ASSERT_EQ(streamed.rows[row].size(), held.rows[row].size());
            for (int field = 0; field < held.rows[row].size(); ++field)
                expectSameValue(streamed.rows[row][field], held.rows[row][field],
                                placeOf(sql, row, field));
        }
        ASSERT_EQ(streamed.error.has_value(), held.error.has_value()) << sql.toStdString();
        if (!held.error) return;
        EXPECT_EQ(streamed.error->number(), held.error->number());
        EXPECT_EQ(streamed.error->description(), held.error->description());
        EXPECT_EQ(streamed.error->nativeCode(), held.error->nativeCode());
    }
};

// What the comparisons with the driver cover in a UTF-8 database: the texts that Qt's UTF-8 decoder
// reads otherwise than SQLite's translation to UTF-16 (invalid sequences, U+FFFE and U+FFFF), which
// the reader must therefore read as UTF-16, and texts with a NUL inside.
TEST_F(StreamedResultSet, TheSamplesHoldTextsThatQtsUtf8DecoderReadsOtherwise) {
    QSqlQuery query =
        executed("select loose, cast(loose as blob) from samples where typeof(loose) = 'text'",
                 QSql::LowPrecisionDouble);
    QStringList differing;
    int withNul = 0;
    while (query.next()) {
        const QByteArray bytes = query.value(1).toByteArray();
        if (QString::fromUtf8(bytes) != query.value(0).toString()) differing << bytes.toHex();
        if (bytes.contains('\0') && query.value(0).toString().contains(QChar(0))) ++withNul;
    }
    EXPECT_EQ(differing,
              QStringList({"80", "eda080", "c0af", "f4908080", "f8808080", "efbfbe", "efbfbf"}));
    EXPECT_EQ(withNul, 5);
}

TEST_F(StreamedResultSet, ReadsTheRowsTheHeldReadingReads) {
    for (const QString sql : {"select * from samples order by id", "select * from vsamples",
                              "select id, loose as Loose, loose from samples where id > 40",
                              "select * from samples where 1 = 0"})
        expectSameOutcome(sql);
    auto streamed =
        connection.openResultSet("select id, t as Name from samples", RowReading::Streamed);
    auto held = connection.openResultSet("select id, t as Name from samples", RowReading::Held);
    EXPECT_EQ(streamed->fieldCount(), 2);
    EXPECT_EQ(streamed->fieldName(1), held->fieldName(1));
    EXPECT_EQ(streamed->fieldIndex("NAME"), 1);
}

// A row whose expression fails ends the rows with the driver's error after the same rows, also
// at the first row (where the execution fails) and at the second (the first that the reader
// steps). Integer overflow is SQLite's generic error, read after the statement's reset; a blob
// too big has a code of its own, read before it.
TEST_F(StreamedResultSet, AFailingRowEndsTheRowsWithTheSameError) {
    const struct {
        const char* expression;
        const char* code;
        const char* message;
    } failures[] = {{"abs(-9223372036854775807 - 1)", "1", "integer overflow"},
                    {"zeroblob(2000000000)", "18", "string or blob too big"},
                    {"json('{')", "1", "malformed JSON"}};
    for (const auto& failure : failures) {
        for (const int row : {1, 2, 5, int(std::size(kSamples))}) {
            const QString sql = QStringLiteral(
                                    "select id, t, case when id = %1 then %2 else i "
                                    "end as v from samples order by id")
                                    .arg(row)
                                    .arg(QString::fromLatin1(failure.expression));
            expectSameOutcome(sql);
            const Outcome streamed = readAll(sql, RowReading::Streamed);
            EXPECT_EQ(streamed.rows.size(), row - 1) << sql.toStdString();
            ASSERT_TRUE(streamed.error) << sql.toStdString();
            EXPECT_EQ(streamed.error->nativeCode(), failure.code) << sql.toStdString();
            EXPECT_TRUE(streamed.error->description().startsWith(failure.message))
                << streamed.error->description().toStdString();
        }
    }
}

TEST_F(StreamedResultSet, ReadingAtTheEndOrAfterCloseRaisesAsBefore) {
    const auto errorsOf = [&](RowReading reading) {
        auto rows = connection.openResultSet("select id, t from samples where id <= 2", reading);
        rows->moveNext();
        rows->moveNext();
        QList<DbError> errors;
        const std::function<void()> atEnd[] = {
            [&] { rows->value(0); }, [&] { rows->value("t"); }, [&] { rows->value(2); },
            [&] { rows->value("nope"); }, [&] { rows->moveNext(); }};
        for (const auto& step : atEnd) errors << raisedBy<DbError>(step);
        rows->close();
        const std::function<void()> closed[] = {[&] { rows->eof(); }, [&] { rows->value(0); },
                                                [&] { rows->value("t"); },
                                                [&] { rows->moveNext(); }};
        for (const auto& step : closed) errors << raisedBy<DbError>(step);
        return errors;
    };
    const QList<DbError> held = errorsOf(RowReading::Held);
    const QList<DbError> streamed = errorsOf(RowReading::Streamed);
    ASSERT_EQ(streamed.size(), held.size());
    for (int i = 0; i < held.size(); ++i) {
        EXPECT_EQ(streamed[i].number(), held[i].number()) << i;
        EXPECT_EQ(streamed[i].description(), held[i].description()) << i;
    }
    EXPECT_EQ(held[0].number(), DbErrorNumber::NoCurrentRecord);
    EXPECT_EQ(held.last().number(), DbErrorNumber::ObjectClosed);
}

// The fault seam sees the same calls, and fails the same one.
TEST_F(StreamedResultSet, TheFaultSeamSeesTheSameCalls) {
    const auto callsOf = [&](RowReading reading, int failing) {
        FaultInjection::failCall(failing);
        std::optional<DbError> fault;
        try {
            auto rows =
                connection.openResultSet("select id, t from samples where id <= 3", reading);
            for (; !rows->eof(); rows->moveNext()) rows->value(1), rows->value("id");
        } catch (const DbError& error) {
            fault = error;
        }
        const QList<DbCall> calls = FaultInjection::callKinds();
        FaultInjection::clear();
        return std::make_pair(calls, fault ? fault->description() : QString());
    };
    const int never = 1000;
    for (const int failing : {never, 1, 2, 4, 5, 9}) {
        const auto held = callsOf(RowReading::Held, failing);
        EXPECT_EQ(callsOf(RowReading::Streamed, failing), held) << failing;
        EXPECT_EQ(held.second.isEmpty(), failing == never) << failing;
    }
}

// The driver finalizes its statements when the database closes: moving on fails as it does on
// a held result set; a value of the row is no longer there to read.
TEST_F(StreamedResultSet, AClosedConnectionEndsTheStreamedRows) {
    const auto moveAfterClose = [&](RowReading reading) {
        Connection own;
        own.setConnectionString(sqliteString(path));
        own.open();
        auto rows = own.openResultSet("select id from samples order by id", reading);
        rows->moveNext();
        EXPECT_EQ(rows->value(0).toLongLong(), 2);
        own.close();
        if (reading == RowReading::Streamed) {
            EXPECT_EQ(raisedBy<DbError>([&] { rows->value(0); }).number(),
                      DbErrorNumber::ObjectClosed);
        }
        return raisedBy<DbError>([&] { rows->moveNext(); });
    };
    const DbError held = moveAfterClose(RowReading::Held);
    const DbError streamed = moveAfterClose(RowReading::Streamed);
    EXPECT_EQ(streamed.number(), held.number());
    EXPECT_EQ(streamed.description(), held.description());
}

}  // namespace
