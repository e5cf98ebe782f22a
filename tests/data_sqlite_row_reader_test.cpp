// The rows of Qt's SQLite driver read through SQLite's own interface (SqliteRowReader, behind the
// streamed result sets on SQLite), held against Qt's own reading of the same databases: every
// field's type and value, the errors that end the rows, and the result set's errors around them.
#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <bit>
#include <functional>

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/SqliteRowReader.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"

using namespace xhook::data;
using xhook::test::raisedBy;

namespace {

// One sample a row, written into every column, so that each column holds several storage classes
// across its rows (the declared types' affinities convert some of them). Then texts that are no
// valid UTF-8 in a UTF-8 database, valid UTF-8 of noncharacters and beyond the basic plane.
// clang-format off
const char* const kSamples[] = {
    "0", "1", "-1", "9223372036854775807", "(-9223372036854775807 - 1)", "4294967296", "0.0",
    "-0.0", "0.1", "123456.789", "1e308", "-1e308", "1e999", "-1e999", "1e-300", "4.9e-324",
    "'plain'", "''", "'上海钩稽 1,2'", "'a' || char(9) || 'b'", "'a' || char(0) || 'b'", "char(0)",
    "'12'", "'1.5'", "' 7 '", "x''", "x'00FF10'", "zeroblob(3)", "null", "cast(x'80' as text)",
    "cast(x'41C3' as text)", "cast(x'EDA080' as text)", "cast(x'C0AF' as text)",
    "cast(x'F4908080' as text)", "cast(x'F8808080' as text)", "cast(x'FF41' as text)",
    "cast(x'00D8' as text)", "cast(x'D800' as text)", "cast(x'41FF0042' as text)",
    "cast(x'EFBFBE' as text)", "cast(x'EFBFBF' as text)", "cast(x'EFB790' as text)",
    "cast(x'F09F9880' as text)", "cast(x'F48FBFBF' as text)", "cast(x'EFBC8C' as text)"};
// clang-format on
const int kSampleCount = int(std::size(kSamples));

// The same type and value: doubles bit for bit, texts also alike in being null.
void expectSameValue(const QVariant& actual, const QVariant& expected, const QString& where) {
    ASSERT_EQ(actual.typeId(), expected.typeId()) << where.toStdString();
    EXPECT_EQ(actual.isNull(), expected.isNull()) << where.toStdString();
    if (expected.typeId() == QMetaType::Double) {
        EXPECT_EQ(std::bit_cast<quint64>(actual.toDouble()),
                  std::bit_cast<quint64>(expected.toDouble()))
            << where.toStdString();
    } else {
        EXPECT_EQ(actual, expected) << where.toStdString();
        EXPECT_EQ(actual.toString().isNull(), expected.toString().isNull()) << where.toStdString();
    }
}

struct Outcome {
    QList<QVariantList> rows;  // the rows read before the end or the error
    std::optional<DbError> error;
};

class SqliteRowReaderTest : public ::testing::Test {
  protected:
    void SetUp() override { FaultInjection::clear(); }
    void TearDown() override { FaultInjection::clear(); }

    // A fresh database of the samples, its texts kept in `encoding`: the table `samples` with a
    // column of each declared type and one without, and a view of expressions, which have none.
    void openSamples(const QString& encoding = QStringLiteral("UTF-8")) {
        path = dir.file(encoding + ".db");
        connection = std::make_unique<Connection>();
        connection->setConnectionString("Provider=SQLite;Mode=ReadWriteCreate;Data Source=" + path);
        connection->open();
        QString values = QStringLiteral("null");
        for (int i = 0; i < 9; ++i) values += QStringLiteral(", %1");
        for (const QString& sql :
             {"pragma encoding = '" + encoding + "'",
              QStringLiteral("create table samples(id integer primary key, loose, i integer, "
                             "r real, t text, b blob, n numeric, flag boolean, d date, f double)"),
              QStringLiteral("create view vsamples as select id, loose || '' as joined, -i as "
                             "negated, r * 2 as doubled, typeof(loose) as kind, hex(b) as hexed "
                             "from samples")})
            ASSERT_TRUE(QSqlQuery(connection->database()).exec(sql)) << sql.toStdString();
        for (const char* sample : kSamples)
            ASSERT_TRUE(QSqlQuery(connection->database())
                            .exec(("insert into samples values(" + values + ")").arg(sample)))
                << sample;
        QSqlQuery check = executed("pragma encoding", QSql::LowPrecisionDouble);
        ASSERT_TRUE(check.next() && check.value(0).toString() == encoding);
    }

    // `sql` straight on Qt's driver, forward-only as the data layer executes a query.
    QSqlQuery executed(const QString& sql, QSql::NumericalPrecisionPolicy policy) {
        QSqlQuery query(connection->database());
        query.setForwardOnly(true);
        query.setNumericalPrecisionPolicy(policy);
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        return query;
    }

    // Every row of `sql` to the end or the error, each field read by index and by name.
    Outcome readAll(const QString& sql, RowReading reading) {
        Outcome outcome;
        try {
            auto rows = connection->openResultSet(sql, reading);
            for (; !rows->eof(); rows->moveNext()) {
                QVariantList row;
                for (int i = 0; i < rows->fieldCount(); ++i) row << rows->value(i);
                expectSameValue(rows->value(rows->fieldName(1)), row[1], "by name: " + sql);
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
        for (int row = 0; row < held.rows.size(); ++row)
            for (int field = 0; field < held.rows[row].size(); ++field)
                expectSameValue(streamed.rows[row].value(field), held.rows[row][field],
                                sql + QStringLiteral(", row %1, field %2").arg(row).arg(field));
        ASSERT_EQ(streamed.error.has_value(), held.error.has_value()) << sql.toStdString();
        if (!held.error) return;
        EXPECT_EQ(streamed.error->number(), held.error->number());
        EXPECT_EQ(streamed.error->description(), held.error->description());
    }

    xhook::test::TempDir dir;
    QString path;
    std::unique_ptr<Connection> connection;
};

TEST_F(SqliteRowReaderTest, EveryFieldIsTheDriversValueInEachEncodingAndPrecision) {
    for (const QString encoding : {"UTF-8", "UTF-16le", "UTF-16be"}) {
        openSamples(encoding);
        for (const QString sql : {"select * from samples", "select * from vsamples"}) {
            for (const auto policy : {QSql::LowPrecisionDouble, QSql::HighPrecision,
                                      QSql::LowPrecisionInt64, QSql::LowPrecisionInt32}) {
                QSqlQuery expected = executed(sql, policy);
                QSqlQuery streamed = executed(sql, policy);
                const auto reader = SqliteRowReader::of(streamed);
                ASSERT_TRUE(reader);
                int row = 0;
                for (; expected.next(); ++row) {
                    ASSERT_TRUE(reader->next());
                    for (int field = 0; field < expected.record().count(); ++field)
                        expectSameValue(reader->value(field), expected.value(field),
                                        QStringLiteral("%1 %2 policy %3, row %4, field %5")
                                            .arg(encoding, sql)
                                            .arg(policy)
                                            .arg(row)
                                            .arg(field));
                }
                EXPECT_FALSE(reader->next());
                EXPECT_FALSE(reader->lastError().isValid());
                EXPECT_EQ(row, kSampleCount);
            }
        }
    }
}

// What the comparison above covers in a UTF-8 database: the texts that Qt's UTF-8 decoder reads
// otherwise than SQLite's translation to UTF-16 does (invalid sequences, U+FFFE, U+FFFF), which
// the reader must read as UTF-16, and texts with a NUL inside.
TEST_F(SqliteRowReaderTest, TheSamplesHoldTextsThatQtsUtf8DecoderReadsOtherwise) {
    openSamples();
    QSqlQuery query = executed("select t, cast(t as blob) from samples where typeof(t) = 'text'",
                               QSql::LowPrecisionDouble);
    QStringList differing;
    int withNul = 0;
    while (query.next()) {
        const QByteArray bytes = query.value(1).toByteArray();
        if (QString::fromUtf8(bytes) != query.value(0).toString()) differing << bytes.toHex();
        withNul += query.value(0).toString().contains(QChar(0));
    }
    EXPECT_EQ(differing,
              QStringList({"80", "eda080", "c0af", "f4908080", "f8808080", "efbfbe", "efbfbf"}));
    EXPECT_EQ(withNul, 5);
}

TEST_F(SqliteRowReaderTest, StreamedResultSetsReadWhatHeldOnesRead) {
    openSamples();
    for (const QString sql :
         {"select * from samples order by id", "select * from vsamples order by id desc",
          "select id, t as Name, t from samples where id > 40", "select 1, 2 where 1 = 0"})
        expectSameOutcome(sql);
    auto streamed =
        connection->openResultSet("select id, t as Name from samples", RowReading::Streamed);
    EXPECT_EQ(streamed->fieldName(1), "Name");
    EXPECT_EQ(streamed->fieldIndex("NAME"), 1);
}

// A row whose expression fails ends the rows with the driver's error after the same rows, also at
// the first row (where the execution fails) and the second (the first that the reader steps).
// Integer overflow is SQLite's generic error, read after the statement's reset; a blob too big
// has a code of its own, read before it.
TEST_F(SqliteRowReaderTest, AFailingRowEndsTheRowsWithTheSameError) {
    openSamples();
    const struct {
        const char* expression;
        const char* code;
        const char* message;
    } failures[] = {{"abs(-9223372036854775807 - 1)", "1", "integer overflow"},
                    {"zeroblob(2000000000)", "18", "string or blob too big"},
                    {"json('{')", "1", "malformed JSON"}};
    for (const auto& failure : failures) {
        for (const int row : {1, 2, 5, kSampleCount}) {
            const QString sql =
                QStringLiteral("select id, t, case when id = %1 then %2 else i end from samples")
                    .arg(row)
                    .arg(failure.expression);
            expectSameOutcome(sql);
            const Outcome streamed = readAll(sql, RowReading::Streamed);
            EXPECT_EQ(streamed.rows.size(), row - 1) << sql.toStdString();
            ASSERT_TRUE(streamed.error) << sql.toStdString();
            EXPECT_EQ(streamed.error->nativeCode(), failure.code) << sql.toStdString();
            EXPECT_TRUE(streamed.error->description().startsWith(failure.message));
        }
    }
}

// The same errors at the end and after the close, and the fault seam sees the same calls.
TEST_F(SqliteRowReaderTest, ReadingAtTheEndOrAfterCloseRaisesAsBefore) {
    openSamples();
    const auto errorsOf = [&](RowReading reading) {
        FaultInjection::failCall(1000);  // counts the calls, fails none of them
        auto rows = connection->openResultSet("select id, t from samples where id <= 2", reading);
        rows->moveNext();
        rows->moveNext();
        QStringList errors;
        const auto collect = [&](std::initializer_list<std::function<void()>> steps) {
            for (const auto& step : steps) {
                const DbError error = raisedBy<DbError>(step);
                errors << QString::number(error.number()) + " " + error.description();
            }
        };
        collect({[&] { rows->value(0); }, [&] { rows->value("t"); }, [&] { rows->value(2); },
                 [&] { rows->value("nope"); }, [&] { rows->moveNext(); }});
        rows->close();
        collect({[&] { rows->eof(); }, [&] { rows->value(0); }, [&] { rows->moveNext(); }});
        errors << QString::number(FaultInjection::callKinds().size());
        return errors;
    };
    const QStringList held = errorsOf(RowReading::Held);
    EXPECT_EQ(errorsOf(RowReading::Streamed), held);
    EXPECT_TRUE(held[0].startsWith(QString::number(DbErrorNumber::NoCurrentRecord)));
    EXPECT_TRUE(held[5].startsWith(QString::number(DbErrorNumber::ObjectClosed)));
}

// The driver finalizes its statements when the database closes: moving on fails as it does on a
// held result set; the row's values are no longer there to read.
TEST_F(SqliteRowReaderTest, AClosedConnectionEndsTheStreamedRows) {
    openSamples();
    const auto moveAfterClose = [&](RowReading reading) {
        auto rows = connection->openResultSet("select id from samples order by id", reading);
        rows->moveNext();
        EXPECT_EQ(rows->value(0).toLongLong(), 2);
        connection->close();
        if (reading == RowReading::Streamed) {
            EXPECT_EQ(raisedBy<DbError>([&] { rows->value(0); }).number(),
                      DbErrorNumber::ObjectClosed);
        }
        const DbError error = raisedBy<DbError>([&] { rows->moveNext(); });
        connection->open();
        return QString::number(error.number()) + " " + error.description();
    };
    const QString held = moveAfterClose(RowReading::Held);
    EXPECT_EQ(moveAfterClose(RowReading::Streamed), held);
}

}  // namespace
