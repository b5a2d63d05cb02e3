#include "cmdline.h"

#include <QSet>

namespace cmdline {

namespace {

// Qt's own options: the application object reads and removes them.
const QSet<QString>& qtWithValue()
{
    static const QSet<QString> s = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                    "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                    "display", "geometry", "name", "title", "style", "stylesheet"};
    return s;
}
const QSet<QString>& qtFlags()
{
    static const QSet<QString> s = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
    return s;
}

Parsed failed(const QString& why)
{
    Parsed p;
    p.action = Action::Error;
    p.error = why;
    return p;
}

// --help and --version end the reading wherever they stand.
bool answered(const QString& a, Parsed* p)
{
    if (a == "--help" || a == "-h")
        p->action = Action::Help;
    else if (a == "--version")
        p->action = Action::Version;
    else
        return false;
    return true;
}

} // namespace

Parsed parseProgram(const QStringList& args)
{
    Parsed p;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (answered(a, &p))
            return p;
        if (a == "--szerviz") {
            p.service = true;
            continue;
        }
        // Qt takes "-platform x" and "--platform x" alike, "-style=x" too.
        QString name = a.startsWith("--") ? a.mid(2) : a.startsWith('-') ? a.mid(1) : QString();
        const qsizetype eq = name.indexOf('=');
        if (name == "platform" || name.startsWith("platform="))
            p.platformGiven = true;
        if (eq > 0 && qtWithValue().contains(name.left(eq)))
            continue;
        if (name.startsWith("qmljsdebugger="))
            continue;
        if (qtWithValue().contains(name)) {
            if (i + 1 >= args.size())
                return failed(QString("a(z) %1 kapcsolóhoz érték kell").arg(a));
            ++i;
            continue;
        }
        if (qtFlags().contains(name))
            continue;
        if (a.startsWith('-'))
            return failed(QString("ismeretlen kapcsoló: %1").arg(a));
        return failed(QString("fölösleges argumentum: %1").arg(a));
    }
    return p;
}

Parsed parseNewDb(const QStringList& args)
{
    Parsed p;
    bool samples = false;
    for (const QString& a : args) {
        if (answered(a, &p))
            return p;
        if (a == "--samples")
            samples = true;
        else if (a.startsWith('-'))
            return failed(QString("ismeretlen kapcsoló: %1").arg(a));
        else
            p.rest << a;
    }
    if (p.rest.size() != 1)
        return failed(p.rest.isEmpty() ? QString("hiányzik a fájl neve")
                                       : QString("csak egy fájl adható meg"));
    if (samples)
        p.rest.prepend("--samples");
    return p;
}

QString programUsage()
{
    return "Használat: vadmo7 [--szerviz]\n"
           "Felvásárlási jegy: mezőgazdasági felvásárlók jegynyilvántartása.\n"
           "\n"
           "  --szerviz   a rejtett (szerviz) menüpontok is látszanak\n"
           "  -h, --help  ez a leírás\n"
           "  --version   a program változata\n"
           "\n"
           "A nyilvántartás (vadmo7.fdb) és a program fájljai a felhasználó\n"
           "adatmappájában vannak: $XDG_DATA_HOME/vadmo7, alapesetben\n"
           "~/.local/share/vadmo7. Bővebben: man vadmo7\n";
}

QString newDbUsage()
{
    return "Használat: vadmo7-newdb [--samples] FÁJL.fdb\n"
           "Üres nyilvántartást (adatbázisfájlt) hoz létre a megadott helyen.\n"
           "\n"
           "  --samples   mintaadatokkal (átvevő, őstermelők, termékek)\n"
           "  -h, --help  ez a leírás\n"
           "  --version   a program változata\n";
}

QString versionText(const QString& program)
{
#ifdef VADMO_VERSION_MAJOR
    const QString v = QString("%1.%2.%3.%4")
                          .arg(VADMO_VERSION_MAJOR)
                          .arg(VADMO_VERSION_MINOR)
                          .arg(VADMO_VERSION_PATCH)
                          .arg(VADMO_VERSION_BUILD);
#else
    const QString v = "?";
#endif
    return program + " " + v + "\n" +
           "Licenc: GNU GPL 3. vagy későbbi változat (GPL-3.0-or-later).\n"
           "Ez szabad szoftver, GARANCIA NÉLKÜL.\n";
}

Answer answer(const Parsed& p, const QString& program, const QString& usage)
{
    switch (p.action) {
    case Action::Run: return {};
    case Action::Help: return {usage, {}, 0};
    case Action::Version: return {versionText(program), {}, 0};
    case Action::Error: break;
    }
    return {{}, program + ": " + p.error + "\n" + usage, 2};
}

QString noDisplayReason(const QString& qpaPlatform, const QString& display,
                        const QString& waylandDisplay)
{
    if (!qpaPlatform.isEmpty() || !display.isEmpty() || !waylandDisplay.isEmpty())
        return {};
    return "nincs grafikus kijelző (sem a DISPLAY, sem a WAYLAND_DISPLAY nincs beállítva); "
           "a program ablakai nem jeleníthetők meg.";
}

} // namespace cmdline
