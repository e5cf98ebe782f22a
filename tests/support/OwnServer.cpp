#include "tests/support/OwnServer.h"

#include <QFile>
#include <cstdlib>

namespace xhook::test {

namespace {

const QString kScript = QStringLiteral(XHOOK_SOURCE_DIR "/scripts/pg-test-server");

}  // namespace

OwnServer::OwnServer() {
    started_ = run("start") == 0;
}

OwnServer::~OwnServer() {
    run("stop");
}

QString OwnServer::connectionString() const {
    QFile file(folder_.filePath("connection-string"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

void OwnServer::crash() const {
    run("crash");
}

void OwnServer::stop() const {
    run("stop");
}

bool OwnServer::resume() const {
    return run("resume") == 0;
}

int OwnServer::logCount(const QString& text) const {
    QFile log(folder_.filePath("server.log"));
    if (!log.open(QIODevice::ReadOnly)) return 0;
    return int(QString::fromUtf8(log.readAll()).count(text));
}

int OwnServer::run(const char* action) const {
    const QByteArray command =
        (kScript + ' ' + action + " '" + folder_.path() + "' >/dev/null").toLocal8Bit();
    return std::system(command.constData());
}

}  // namespace xhook::test
