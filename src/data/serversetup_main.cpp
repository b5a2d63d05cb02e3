// vadmo7-server-setup: on a register on a Firebird server, the program's own
// user and role (see serversetup.h); prints the settings for vadmo7.ini.
#include "cmdline.h"
#include "fb.h"
#include "serversetup.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QStringList>
#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

// Read without echo when typed at a terminal.
QString askPassword(const char* prompt)
{
    std::fprintf(stderr, "%s", prompt);
    termios old{};
    const bool tty = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        termios quiet = old;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (tty) {
        tcsetattr(STDIN_FILENO, TCSANOW, &old);
        std::fprintf(stderr, "\n");
    }
    return QString::fromStdString(line);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const char* usage = "Használat: vadmo7-server-setup KISZOLGALO:ADATBAZIS [FELHASZNALO]\n"
                        "  A SYSDBA (vagy ISC_USER) jelszava: ISC_PASSWORD, különben bekéri.\n"
                        "  Az új felhasználó jelszava: VADMO7_JELSZO, különben véletlen jelszó.\n";
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf("%s", usage);
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::printf("%s\n", qPrintable(cmdline::versionText("vadmo7-server-setup")));
        return 0;
    }
    if (args.isEmpty() || args.size() > 2 || args[0].startsWith('-')) {
        std::fprintf(stderr, "%s", usage);
        return 2;
    }
    const QString url = args[0];
    const QString user = args.size() > 1 ? args[1] : QString("VADMO");
    if (!fb::Connection::isRemote(url)) {
        std::fprintf(stderr, "vadmo7-server-setup: nem kiszolgálós útvonal: %s\n", qPrintable(url));
        return 2;
    }
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString admin = env.value("ISC_USER", "SYSDBA");
    QString adminPassword = env.value("ISC_PASSWORD");
    if (adminPassword.isEmpty())
        adminPassword = askPassword(qPrintable(QString("A(z) %1 jelszava: ").arg(admin)));
    QString password = env.value("VADMO7_JELSZO");
    if (password.isEmpty())
        password = serversetup::newPassword();
    try {
        fb::Connection db;
        db.attach(url, admin, adminPassword);
        for (const QString& w : serversetup::run(&db, user, password))
            std::fprintf(stderr, "Figyelem: %s\n", qPrintable(w));
        db.detach();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vadmo7-server-setup: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr,
                 "Kész: a(z) %s felhasználó a(z) %s szerepkörrel dolgozhat a nyilvántartásban.\n"
                 "Az alábbi sorokat írja minden gépen a ~/.local/share/vadmo7/vadmo7.ini fájlba,\n"
                 "majd: chmod 600 ~/.local/share/vadmo7/vadmo7.ini\n\n",
                 qPrintable(user.toUpper()), serversetup::Role);
    std::printf("[Adatbazis]\nUtvonal=%s\nFelhasznalo=%s\nJelszo=%s\n", qPrintable(url),
                qPrintable(user.toUpper()), qPrintable(password));
    return 0;
}
