// Settings files that cannot be read, that are malformed, or that hold values of the wrong kind:
// creating the class fails with a clear error (its number and a description that names the file
// or the key), or succeeds with what the file does say; it never crashes.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <iostream>
#include <optional>
#include <variant>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "component/SharedState.h"
#include "component/UserSettings.h"
#include "foundation/Errors.h"
#include "tests/support/TestSupport.h"

using namespace xhook;
using namespace xhook::test;

namespace {

struct Created {
    bool ok = false;
    long number = 0;
    QString description;
};

Created create() {
    try {
        DeZuvarEDodOziv8::clsXoutBillHook hook;
        return {true, 0, {}};
    } catch (const DeZuvarEDodOziv8::Error& error) {
        return {false, error.number(), error.description()};
    }
}

void writeFile(const QByteArray& bytes) {
    const QString path = userSettingsPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray section(const char* name, const QByteArray& key, const QByteArray& value) {
    return QByteArray("[") + name + "]\n" + key + "=" + value + "\n";
}

class SettingsFiles : public ::testing::Test {
  protected:
    void SetUp() override { removeSettingsFile(); }
    void TearDown() override { removeSettingsFile(); }
    static void removeSettingsFile() {
        const QString path = userSettingsPath();
        QFileInfo(path).isDir() ? void(QDir(path).removeRecursively()) : void(QFile::remove(path));
    }
};

TEST_F(SettingsFiles, AStoreThatCannotBeReadFailsCreationNamingTheFile) {
    ASSERT_TRUE(QDir().mkpath(userSettingsPath())) << "a folder where the file should be";
    const Created created = create();
    EXPECT_FALSE(created.ok);
    EXPECT_NE(created.number, 0);
    EXPECT_TRUE(created.description.contains(QFileInfo(userSettingsPath()).fileName()))
        << created.description.toStdString();
}

// Whatever the bytes, the settings either read (and what they hold is converted as usual) or
// creation fails with an error; a value that is read is one that the file holds.
TEST_F(SettingsFiles, MalformedFilesNeverCrashTheCreation) {
    QList<QByteArray> files = {
        QByteArray("[SystemSetup\nmsgTitle=x\n"),
        QByteArray("]SystemSetup[\ngBillLength=7\n"),
        QByteArray("=\n==\n[=]\n[]\n=value\n"),
        QByteArray("[SystemSetup]\ngBillLength\n"),
        QByteArray("[SystemSetup]\nmsgTitle=\"unterminated\n"),
        QByteArray("[SystemSetup]\nmsgTitle=\\x\\\\\\\n"),
        QByteArray("\xff\xfe[\x00S\x00]\x00", 8),
        QByteArray("[SystemSetup]\nmsgTitle=\xc3\x28\xa0\xa1\n"),  // invalid UTF-8
        QByteArray("[SystemSetup]\nmsgTitle=") + QByteArray(5 * 1024 * 1024, 'a') + "\n",
        QByteArray(1 << 20, '['),
        QByteArray("[SystemSetup]\n") + QByteArray(200000, '\n') + "gBillLength=9\n",
    };
    QRandomGenerator random(20240601);
    for (int i = 0; i < 40; ++i) {
        QByteArray bytes(int(random.bounded(1, 4000)), '\0');
        for (char& b : bytes) b = char(random.bounded(256));
        if (i % 2) bytes.prepend("[SystemSetup]\n");
        files.append(bytes);
    }
    int readAnyway = 0, refused = 0;
    for (const QByteArray& bytes : files) {
        SCOPED_TRACE(bytes.left(40).toHex().toStdString());
        writeFile(bytes);
        const Created created = create();
        if (created.ok) {
            ++readAnyway;
        } else {
            ++refused;
            EXPECT_NE(created.number, 0);
            EXPECT_FALSE(created.description.isEmpty());
        }
    }
    std::cout << "[settings files] malformed: " << files.size() << " (" << readAnyway
              << " read as far as they go, " << refused << " refused)" << std::endl;
}

// The expected reading of a numeric setting: a value, or an error number.
using Reading = std::variant<double, long>;

struct NumericCase {
    QByteArray stored;
    Reading int16;  // as a 16-bit integer key (gBillLength)
    Reading real;   // as a floating-point key (fTax1)
};

TEST_F(SettingsFiles, ValuesOfTheWrongKindFailWithTheirKeyAndError) {
    const long mismatch = RuntimeErrorNumber::TypeMismatch;
    const long overflow = RuntimeErrorNumber::Overflow;
    const QList<NumericCase> cases = {
        {"abc", mismatch, mismatch},
        {"\"\"", mismatch, mismatch},
        {"", mismatch, mismatch},
        {"1e400", overflow, overflow},
        {"nan", mismatch, mismatch},
        // The words for infinity are no numbers, as "nan" is none.
        {"inf", mismatch, mismatch},
        {"-inf", mismatch, mismatch},
        {"infinity", mismatch, mismatch},
        {"-Infinity", mismatch, mismatch},
        {"99999", overflow, 99999.0},
        {"-32769", overflow, -32769.0},
        {"32767.5", overflow, 32767.5},
        {"-32768.5", -32768.0, -32768.5},
        {"0x10", mismatch, mismatch},
        {"\xef\xbc\x91\xef\xbc\x92", mismatch, mismatch},  // fullwidth 12
        {"12abc", mismatch, mismatch},
        {"1 2", mismatch, mismatch},
        {"  12  ", 12.0, 12.0},
        {"@Rect(1 2 3 4)", mismatch, mismatch},
        {"@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x3garbage)", mismatch, mismatch},
        {"@ByteArray(12)", 12.0, 12.0},
        {"12\\0", mismatch, mismatch},
        {"\\x1b[2J", mismatch, mismatch},
        {QByteArray(10000, '9'), overflow, overflow},
        {"1;2", 1.0, 1.0},  // the store's comment sign ends the value
    };
    int tried = 0;
    for (const NumericCase& c : cases) {
        for (const auto& [key, expected] : {std::pair{QByteArray("gBillLength"), c.int16},
                                            std::pair{QByteArray("fTax1"), c.real}}) {
            SCOPED_TRACE((key + "=" + c.stored.left(60)).toStdString());
            writeFile(section("SystemSetup", key, c.stored));
            const Created created = create();
            ++tried;
            if (const long* number = std::get_if<long>(&expected)) {
                ASSERT_FALSE(created.ok) << "creation must fail";
                EXPECT_EQ(created.number, *number) << created.description.toStdString();
                EXPECT_TRUE(created.description.contains(QString::fromLatin1(key)))
                    << created.description.toStdString();
            } else {
                ASSERT_TRUE(created.ok) << created.description.toStdString();
                const double value = key == "fTax1" ? shared().fTax1 : shared().gBillLength;
                EXPECT_EQ(value, std::get<double>(expected));
            }
        }
    }
    std::cout << "[settings files] numeric values of the wrong kind: " << tried << std::endl;
}

// The text settings are texts: a value that the store would read as something else is an error
// naming its key, not an empty text.
TEST_F(SettingsFiles, TextSettingsThatAreNoTextFailClearly) {
    int tried = 0;
    for (const QByteArray& key : {QByteArray("msgTitle"), QByteArray("DBConnectionString"),
                                  QByteArray("gLoginUserId"), QByteArray("gLoginUserName")}) {
        const char* group = key == "msgTitle"             ? "SystemSetup"
                            : key == "DBConnectionString" ? "DBOperation"
                                                          : "SystemLogin";
        for (const QByteArray& value :
             {QByteArray("@Rect(1 2 3 4)"), QByteArray("@Size(3 4)"), QByteArray("@Point(1 2)"),
              QByteArray("@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x3garbage)")}) {
            SCOPED_TRACE((key + "=" + value).toStdString());
            writeFile(section(group, key, value));
            const Created created = create();
            ++tried;
            EXPECT_FALSE(created.ok);
            EXPECT_EQ(created.number, RuntimeErrorNumber::TypeMismatch);
            EXPECT_TRUE(created.description.contains(QString::fromLatin1(key)))
                << created.description.toStdString();
        }
        // Texts of any content, as a host writes them through the store, are read as they are.
        removeSettingsFile();
        const QString text = QStringLiteral("@Rect(1 2 3 4); 1) or (1=1 \x1b\t'\"\\ ");
        writeSetting(QString::fromLatin1(group), QString::fromLatin1(key), text);
        ASSERT_TRUE(create().ok);
        ++tried;
        const SharedState& state = shared();
        const QString read = key == "msgTitle"             ? state.msgTitle
                             : key == "DBConnectionString" ? state.DBConnectionString
                             : key == "gLoginUserId"       ? state.gLoginUserId
                                                           : state.gLoginUserName;
        EXPECT_EQ(read, text);
    }
    std::cout << "[settings files] text values of the wrong kind: " << tried << std::endl;
}

}  // namespace
