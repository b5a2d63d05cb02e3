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

} // namespace startup
