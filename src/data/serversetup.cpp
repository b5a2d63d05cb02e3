#include "serversetup.h"

#include "fb.h"
#include "upgrades.h"

#include <QRandomGenerator>
#include <QRegularExpression>

namespace serversetup {

namespace {

const char* const kTables[] = {"ATVEVO", "FJFEJ", "FJSOR", "OSTERMELO", "SORSZAM",
                               "TERMEK", "NAVFEJ", "NAVSOR"};

qint64 count(fb::Connection* db, const QString& sql, const QString& name, const char* column)
{
    const fb::Result r = db->execute(sql, {{fb::Param::Text, name, column}});
    return r.rows.at(0).at(0).toLongLong();
}

// DDL takes no parameters: the password goes in as a quoted literal.
QString literal(const QString& text)
{
    return "'" + QString(text).replace("'", "''") + "'";
}

void run(fb::Connection* db, const QString& sql)
{
    db->executeImmediate(sql);
    db->commit();
}

} // namespace

bool validUser(const QString& user)
{
    static const QRegularExpression re("^[A-Za-z][A-Za-z0-9_]{0,30}$");
    return re.match(user).hasMatch() && user.compare("SYSDBA", Qt::CaseInsensitive) != 0;
}

QString newPassword()
{
    const QString chars = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";
    QString out;
    for (int i = 0; i < 16; ++i)
        out += chars[QRandomGenerator::system()->bounded(int(chars.size()))];
    return out;
}

QStringList run(fb::Connection* admin, const QString& user, const QString& password)
{
    if (!validUser(user))
        throw fb::Error(QString("Hibás felhasználónév: %1 (betű, majd betűk, számjegyek, \"_\"; "
                                "legfeljebb 31 karakter; nem SYSDBA)")
                            .arg(user));
    if (password.isEmpty())
        throw fb::Error("Üres jelszó.");
    QStringList warnings;
    const rec::Outcome up = upgrades::bringUpToDate(admin);
    if (up.kind == rec::Outcome::CheckFailed)
        warnings << up.message;
    else if (!up.ok())
        throw fb::Error(up.message + " " + up.dbText);

    const QString name = user.toUpper();
    const bool exists = count(admin, "SELECT COUNT(*) FROM SEC$USERS WHERE SEC$USER_NAME = ?", name,
                              "SEC$USER_NAME") > 0;
    run(admin, QString("%1 USER %2 PASSWORD %3")
                   .arg(exists ? "ALTER" : "CREATE", name, literal(password)));
    const QString role = QString::fromLatin1(Role);
    if (count(admin, "SELECT COUNT(*) FROM RDB$ROLES WHERE RDB$ROLE_NAME = ?", role,
              "RDB$ROLE_NAME") == 0)
        run(admin, "CREATE ROLE " + role);
    for (const char* table : kTables)
        run(admin, QString("GRANT SELECT, INSERT, UPDATE, DELETE ON %1 TO ROLE %2")
                       .arg(QString::fromLatin1(table), role));
    // New rows take their keys from the identity columns' generators.
    const fb::Result gens = admin->execute(
        "SELECT DISTINCT TRIM(RDB$GENERATOR_NAME) FROM RDB$RELATION_FIELDS "
        "WHERE RDB$GENERATOR_NAME IS NOT NULL");
    admin->commit();
    for (const auto& row : gens.rows)
        run(admin, QString("GRANT USAGE ON GENERATOR %1 TO ROLE %2").arg(row[0].toString(), role));
    run(admin, QString("GRANT %1 TO USER %2").arg(role, name));
    return warnings;
}

} // namespace serversetup
