#pragma once
// A private Firebird server for the tests of several computers on one
// register: its own configuration, security database and loopback port in a
// temporary folder, started as a child process and ended with the object.
// The system's own Firebird server (if any) is never touched.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    // Sets up and starts the server; false with the reason in `why` (e.g. the
    // server package is not installed).
    bool start(QString* why);
    bool running() const { return proc_.state() == QProcess::Running; }
    int port() const { return port_; }
    // The connection string of a database file in the server's folder.
    QString url(const QString& fileName) const;
    // A file path in the server's folder (what the server sees).
    QString path(const QString& fileName) const;
    QString host() const { return QString("127.0.0.1/%1").arg(port_); }
    // The built-in login of the program, set for SYSDBA on this server.
    static QString password() { return "tollvirag"; }
    // Ends the server, as a crash or a power cut would (tests of refusals).
    void kill();

private:
    QTemporaryDir dir_;
    QProcess proc_;
    int port_ = 0;
};
