#include "startupreason.h"

namespace startup {

QString reason(const QString& t)
{
    const auto has = [&](const char* s) { return t.contains(QLatin1String(s), Qt::CaseInsensitive); };
    if (has("already opened with engine instance") || has("lock time-out") ||
        has("file is in use") || has("database is in use"))
        return "Az adatbázist egy másik program vagy ennek a programnak egy másik ablaka "
               "már megnyitotta. Zárja be azt, majd indítsa újra a programot.";
    if (has("Permission denied"))
        return "Nincs jogosultsága az adatbázisfájl olvasásához vagy írásához.";
    if (has("No such file or directory"))
        return "Az adatbázisfájl (vadmo7.fdb) nem található a program mappájában.";
    if (has("Is a directory"))
        return "Az adatbázis helyén egy mappa van, nem adatbázisfájl.";
    if (has("is not a valid database") || has("File size is less than expected") ||
        has("unsupported on-disk structure") || has("database file appears corrupt") ||
        has("wrong page type"))
        return "A fájl nem adatbázis, vagy megsérült. Töltse vissza a legutóbbi mentést.";
    if (has("Table unknown"))
        return "Az adatbázisból hiányzik a program egyik táblája.";
    return {};
}

QString failureMessage(const QString& engineText)
{
    QString msg = NoDatabase;
    const QString why = reason(engineText);
    const QString engine = engineText.trimmed();
    if (!why.isEmpty())
        msg += "\n\n" + why;
    if (!engine.isEmpty())
        msg += "\n\n(" + engine + ")";
    return msg;
}

QString serverReason(const QString& t, const QString& server, const QString& path)
{
    const auto has = [&](const char* s) { return t.contains(QLatin1String(s), Qt::CaseInsensitive); };
    const QString name = "„" + server + "”";
    if (has("user name and password are not defined") ||
        has("Install incomplete") || has("no permission for"))
        return "A(z) " + name + " kiszolgáló elutasította a bejelentkezést: hibás a felhasználónév "
               "vagy a jelszó, vagy a felhasználónak nincs joga az adatbázishoz. A vadmo7.ini "
               "[Adatbazis] szakaszának Felhasznalo és Jelszo kulcsát ellenőrizze.";
    if (has("Failed to locate host") || has("Name or service not known") ||
        has("unknown host") || has("Temporary failure in name resolution"))
        return "A(z) " + name + " kiszolgálót nem találja a hálózaton: ellenőrizze a gép nevét "
               "a vadmo7.ini [Adatbazis] Utvonal kulcsában.";
    if (has("Unable to complete network request") || has("Failed to establish a connection") ||
        has("Connection refused") || has("No route to host") || has("timed out") ||
        has("Error reading data from the connection") || has("Connection reset"))
        return "A(z) " + name + " kiszolgáló nem érhető el: nem fut rajta a Firebird "
               "kiszolgáló, rossz a port, vagy tűzfal zárja el. Ellenőrizze, hogy a gép be van-e "
               "kapcsolva és elérhető-e a hálózaton.";
    if (has("No such file or directory") || has("I/O error during \"open\""))
        return "A(z) " + name + " kiszolgálón nem található az adatbázis (" + path +
               "). Ellenőrizze a vadmo7.ini [Adatbazis] Utvonal kulcsát.";
    if (has("Permission denied"))
        return "A(z) " + name + " kiszolgálón a Firebird kiszolgálónak nincs joga az "
               "adatbázisfájl olvasásához vagy írásához (" + path + ").";
    return {};
}

QString failureMessage(const QString& engineText, const QString& server, const QString& path)
{
    if (server.isEmpty())
        return failureMessage(engineText);
    QString msg = NoDatabase;
    msg += "\n\nKiszolgáló: " + server + "\nAdatbázis: " + path;
    QString why = serverReason(engineText, server, path);
    if (why.isEmpty())
        why = reason(engineText);
    if (!why.isEmpty())
        msg += "\n\n" + why;
    const QString engine = engineText.trimmed();
    if (!engine.isEmpty())
        msg += "\n\n(" + engine + ")";
    return msg;
}

} // namespace startup
