#pragma once

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include "data/Connection.h"
#include "host/lib/DemoData.h"
#include "tests/support/TestSupport.h"

namespace xhook::test {

// Every row of `sql`, each as its values in column order.
QList<QVariantList> readRows(data::Connection& connection, const QString& sql);
// The first value of every row of `sql`.
QVariantList readColumn(data::Connection& connection, const QString& sql);
// The first value of the first row of `sql` (a null value when there is no row).
QVariant readScalar(data::Connection& connection, const QString& sql);

// A demo host database in a fresh folder, created by the test and opened on `connection`.
class DemoDatabaseTest : public ::testing::Test {
  protected:
    void createDemo(const host::DemoOptions& options = {});

    TempDir dir;
    QString path;
    data::Connection connection;
};

}  // namespace xhook::test
