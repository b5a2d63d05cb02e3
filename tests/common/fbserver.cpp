#include "fbserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <sys/prctl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char* const kServer = "/usr/sbin/firebird";
const char* const kPackageDir = "/usr/lib/x86_64-linux-gnu/firebird/3.0";

// A port nobody listens on now: bound to 0, read back, released.
int freePort()
{
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

bool accepts(int port)
{
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(quint16(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

} // namespace

PrivateServer::PrivateServer() = default;

PrivateServer::~PrivateServer() { kill(); }

void PrivateServer::kill()
{
    if (proc_.state() != QProcess::NotRunning) {
        proc_.terminate();
        if (!proc_.waitForFinished(5000)) {
            proc_.kill();
            proc_.waitForFinished(5000);
        }
    }
}

QString PrivateServer::path(const QString& fileName) const { return dir_.filePath(fileName); }

QString PrivateServer::url(const QString& fileName) const
{
    return host() + ":" + path(fileName);
}

bool PrivateServer::start(QString* why)
{
    auto fail = [why](const QString& w) {
        if (why)
            *why = w;
        return false;
    };
    if (!QFileInfo(kServer).isExecutable())
        return fail(QString("%1 hiányzik (firebird3.0-server)").arg(kServer));
    if (!dir_.isValid())
        return fail("no temporary folder");
    const QDir d(dir_.path());
    for (const char* name : {"plugins", "lib", "UDF", "firebird.msg", "plugins.conf"}) {
        const QString from = QDir(kPackageDir).filePath(name);
        if (QFileInfo::exists(from) && !QFile::link(from, d.filePath(name)))
            return fail(QString("cannot link %1").arg(name));
    }
    // The character sets' module must lie in the instance's own folder: the
    // server does not take one reached through a symbolic link, and without
    // it no connection in WIN1250 is possible.
    d.mkpath("intl");
    for (const char* name : {"libfbintl.so", "fbintl.conf"})
        if (!QFile::copy(QDir(kPackageDir).filePath(QString("intl/") + name),
                         d.filePath(QString("intl/") + name)))
            return fail(QString("cannot copy intl/%1").arg(name));
    QFile(d.filePath("databases.conf")).open(QIODevice::WriteOnly);
    d.mkpath("lock");
    port_ = freePort();
    if (!port_)
        return fail("no free port");
    {
        QFile conf(d.filePath("firebird.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return fail("cannot write firebird.conf");
        conf.write(QString("RemoteServicePort = %1\n"
                           "RemoteBindAddress = 127.0.0.1\n"
                           "SecurityDatabase = %2\n"
                           "ServerMode = Super\n")
                       .arg(port_)
                       .arg(d.filePath("security3.fdb"))
                       .toUtf8());
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FIREBIRD", d.path());
    env.insert("FIREBIRD_LOCK", d.filePath("lock"));
    env.insert("FIREBIRD_TMP", d.path());

    // The security database, made in-process under this configuration, with
    // the program's own login for SYSDBA.
    {
        QProcess isql;
        isql.setProcessEnvironment(env);
        isql.start("isql-fb", {"-q", "-user", "SYSDBA"});
        if (!isql.waitForStarted(10000))
            return fail("isql-fb does not start (firebird3.0-utils)");
        isql.write(QString("CREATE DATABASE '%1';\n"
                           "CREATE USER SYSDBA PASSWORD '%2';\n"
                           "COMMIT;\nEXIT;\n")
                       .arg(d.filePath("security3.fdb"), password())
                       .toUtf8());
        isql.closeWriteChannel();
        if (!isql.waitForFinished(30000) || isql.exitCode() != 0)
            return fail("isql-fb: " + QString::fromLocal8Bit(isql.readAllStandardError()));
    }
    proc_.setProcessEnvironment(env);
    // The server ends with the test, even when the test crashes.
    proc_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    proc_.setStandardOutputFile(d.filePath("server.out"));
    proc_.setStandardErrorFile(d.filePath("server.err"));
    proc_.start(kServer, {});
    if (!proc_.waitForStarted(10000))
        return fail("the server does not start");
    const QDeadlineTimer deadline(20000);
    while (!accepts(port_)) {
        if (proc_.state() != QProcess::Running)
            return fail("the server ended at start");
        if (deadline.hasExpired())
            return fail("the server does not answer on its port");
        QThread::msleep(50);
    }
    return true;
}
