#pragma once

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>

#include "data/Connection.h"
#include "host/lib/DemoData.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/TestSupport.h"

namespace xhook::test {

// Every row of `sql`, each as its values in column order.
QList<QVariantList> readRows(data::Connection& connection, const QString& sql);
// The first value of every row of `sql`.
QVariantList readColumn(data::Connection& connection, const QString& sql);
// The first value of the first row of `sql` (a null value when there is no row).
QVariant readScalar(data::Connection& connection, const QString& sql);

// Every row of every table of the host database, in key order, one line each, its values as text
// joined by '|' ("NULL" for a null).
QStringList dumpAll(data::Connection& connection);

// A demo host database in a fresh folder, created by the test and opened on `connection`: a
// SQLite file (`path`), or on the backend that a derived fixture names.
class DemoDatabaseTest : public ::testing::Test {
  protected:
    virtual Backend backend() const { return Backend::SQLite; }
    host::DemoSummary createDemo(const host::DemoOptions& options = {});

    TempDir dir;
    QString path;  // SQLite only
    QString connectionString;
    std::unique_ptr<ScratchDatabase> scratch;
    data::Connection connection;
};

// The demo database on the backend of the test's parameter, made before each test.
class DemoDatabaseMadeFirst : public DemoDatabaseTest {
  protected:
    void SetUp() override { createDemo(); }
};
using DemoDatabaseBackendTest = OnEachBackend<DemoDatabaseMadeFirst>;

}  // namespace xhook::test
