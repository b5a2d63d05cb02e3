#include "upgrades.h"

#include "newdb.h"

#include <QHash>
#include <algorithm>

namespace upgrades {

namespace {
rec::Outcome addColumn(fb::Connection* db, const char* column, const char* exists,
                       const char* ddl, const char* failed, const char* other)
{
    if (columnExists(db, "OSTERMELO", column))
        return rec::Outcome::check(QString::fromUtf8(exists));
    return rec::unitOfWork(db, other, [&] {
        rec::step(failed, [&] { db->executeImmediate(QString::fromUtf8(ddl)); });
    });
}
// RDB$RELATION_TYPE of the table: 0 an ordinary table, 4 a temporary table
// whose rows last as long as the attachment; -1 when there is no such table.
int relationType(fb::Connection* db, const char* table)
{
    const fb::Result r = db->execute(
        "SELECT COALESCE(RDB$RELATION_TYPE, 0) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ?",
        {{fb::Param::Text, QString::fromLatin1(table), "RDB$RELATION_NAME"}});
    return r.rows.empty() ? -1 : r.rows[0][0].toInt();
}

// The statement of the new register's schema that begins with the head (its
// leading comments left off): an upgrade makes what a new register has.
QString schemaStatement(const QString& head)
{
    for (const QString& stmt : fb::splitScript(newdb::schemaSql())) {
        const qsizetype at = stmt.indexOf(head, 0, Qt::CaseInsensitive);
        if (at >= 0)
            return stmt.mid(at);
    }
    throw fb::Error(QString("Nincs meg a(z) „%1” leírása.").arg(head));
}

// The whole statement that names the object, its leading comment lines left off.
QString schemaStatementNaming(const QString& needle)
{
    for (const QString& stmt : fb::splitScript(newdb::schemaSql())) {
        if (!stmt.contains(needle, Qt::CaseInsensitive))
            continue;
        QStringList lines = stmt.split('\n');
        while (!lines.isEmpty() && lines.front().trimmed().startsWith("--"))
            lines.removeFirst();
        return lines.join('\n');
    }
    throw fb::Error(QString("Nincs meg a(z) „%1” leírása.").arg(needle));
}

QString createStatement(const char* table)
{
    return schemaStatement(QString("CREATE GLOBAL TEMPORARY TABLE %1 (").arg(QString::fromLatin1(table)));
}

// Which of the names the catalogue holds, in one read (start-up reads it every time).
QStringList present(fb::Connection* db, const char* catalogue, const char* column, const QStringList& names)
{
    QStringList marks;
    std::vector<fb::Param> params;
    for (const QString& n : names) {
        marks << "?";
        params.push_back({fb::Param::Text, n, column});
    }
    const fb::Result r = db->execute(QString("SELECT CAST(LIST(TRIM(%2), ',') AS VARCHAR(2000)) FROM %1 WHERE %2 IN (%3)")
                                         .arg(QString::fromLatin1(catalogue), QString::fromLatin1(column),
                                              marks.join(", ")),
                                     params);
    return r.rows.empty() ? QStringList() : r.rows[0][0].toString().split(',', Qt::SkipEmptyParts);
}

// The sort keys of the ticket list and the producer lists, in the order they
// are made: the name column, its triggers, its values, then the indexes (all
// of them there is the mark that all is done).
rec::Outcome addSortKeys(fb::Connection* db, const std::function<void(const QString&)>& longStep)
{
    const QStringList triggers = {"FJFEJ_RNEV", "OSTERMELO_RNEV"};
    // The ticket list's indexes, and the producer list's beyond the two every
    // register has had.
    QStringList indexes, ticketIndexes;
    QHash<QString, QString> columnOf; // a producer list index's column
    for (const QString& stmt : fb::splitScript(newdb::schemaSql())) {
        const QString name = stmt.section(" INDEX ", 1).section(' ', 0, 0);
        if (stmt.contains("INDEX IX_FJFEJ_AKOD_") && !stmt.contains("_BSZAM")) {
            ticketIndexes << name;
        } else if (stmt.contains(" INDEX IX_OSTERMELO_") && name != "IX_OSTERMELO_KOD" &&
                   name != "IX_OSTERMELO_NEV") {
            indexes << name;
            columnOf[name] = stmt.section('(', 1).section(' ', 0, 0).section(')', 0, 0).trimmed();
        }
    }
    indexes = ticketIndexes + indexes;
    const QStringList haveIndexes = present(db, "RDB$INDICES", "RDB$INDEX_NAME", indexes);
    const QStringList haveTriggers = present(db, "RDB$TRIGGERS", "RDB$TRIGGER_NAME", triggers);
    QStringList missing, noTrigger;
    bool ticketIndexMissing = false;
    QHash<QString, bool> hasColumn;
    for (const QString& i : indexes) {
        if (haveIndexes.contains(i))
            continue;
        // A column an older register gets only from its own upgrade screen
        // (O_MNYPTAG): its indexes wait until it is there.
        if (const QString c = columnOf.value(i); !c.isEmpty()) {
            if (!hasColumn.contains(c))
                hasColumn[c] = columnExists(db, "OSTERMELO", c);
            if (!hasColumn[c])
                continue;
        }
        missing << i;
        ticketIndexMissing = ticketIndexMissing || ticketIndexes.contains(i);
    }
    for (const QString& t : triggers)
        if (!haveTriggers.contains(t))
            noTrigger << t;
    db->commit();
    if (missing.isEmpty() && noTrigger.isEmpty())
        return rec::Outcome::saved();
    const bool column = columnExists(db, "FJFEJ", "F_RNEV");
    if (longStep)
        longStep("A nyilvántartás átalakítása: a jegylista és az őstermelők gyors rendezéséhez. Egyszeri munka, "
                 "nagy nyilvántartáson néhány percig is eltarthat. Kérem, várjon…");
    const char* const failed = "Hiba13: a rendezési kulcsok felvétele közben!";
    // Each its own unit: a new column is usable once committed.
    rec::Outcome o = rec::Outcome::saved();
    if (!column)
        o = rec::unitOfWork(db, failed, [&] {
            rec::step(failed, [&] { db->executeImmediate(schemaStatement("ALTER TABLE FJFEJ ADD F_RNEV")); });
        });
    if (o.ok() && !noTrigger.isEmpty())
        o = rec::unitOfWork(db, failed, [&] {
            rec::step(failed, [&] {
                for (const QString& t : noTrigger)
                    db->executeImmediate(schemaStatement("CREATE TRIGGER " + t + " "));
            });
        });
    // The names of the tickets made before: read again whenever the ticket
    // list's indexes are not all there, as the step may have been cut short.
    if (o.ok() && (ticketIndexMissing || !column))
        o = rec::unitOfWork(db, failed, [&] {
            rec::step(failed, [&] {
                db->executeImmediate("UPDATE FJFEJ f SET F_RNEV = (SELECT MIN(O_NEV || '') FROM OSTERMELO "
                                     "WHERE O_KOD = f.F_OSTERMKOD)");
            });
        });
    if (o.ok() && !missing.isEmpty())
        o = rec::unitOfWork(db, failed, [&] {
            rec::step(failed, [&] {
                for (const QString& i : missing)
                    db->executeImmediate(schemaStatementNaming("INDEX " + i + " "));
            });
        });
    return o;
}

struct UniqueKey {
    const char* name;
    const char* table;
    const char* columns;
    const char* label; // how the list of duplicates names a key value
};
const UniqueKey kUniqueKeys[] = {
    {"UQ_OSTERMELO_KOD", "OSTERMELO", "O_KOD", "Őstermelőkód %1"},
    {"UQ_TERMEK_KOD", "TERMEK", "T_KOD", "Termékkód %1"},
    {"UQ_FJFEJ_AKOD_BSZAM", "FJFEJ", "F_AKOD, F_BSZAM", "Átvevő %1, bizonylatszám: \"%2\""},
};

bool constraintExists(fb::Connection* db, const char* name)
{
    const fb::Result r = db->execute(
        "SELECT COUNT(*) FROM RDB$RELATION_CONSTRAINTS WHERE RDB$CONSTRAINT_NAME = ?",
        {{fb::Param::Text, QString::fromLatin1(name), "RDB$CONSTRAINT_NAME"}});
    return r.rows.at(0).at(0).toLongLong() > 0;
}

QStringList duplicatesOf(fb::Connection* db, const UniqueKey& k)
{
    // A key with an empty part is no key to the engine either.
    const QStringList cols = QString::fromLatin1(k.columns).split(", ");
    QStringList present;
    for (const QString& c : cols)
        present << c + " IS NOT NULL";
    const fb::Result r = db->execute(QString("SELECT %1, COUNT(*) FROM %2 WHERE %3 GROUP BY %1 "
                                             "HAVING COUNT(*) > 1 ORDER BY %1")
                                         .arg(QString::fromLatin1(k.columns),
                                              QString::fromLatin1(k.table), present.join(" AND ")));
    QStringList out;
    for (const auto& row : r.rows) {
        QString line = QString::fromUtf8(k.label);
        for (int i = 0; i < cols.size(); ++i)
            line = line.arg(row[i].toString().trimmed());
        out << line + QString(": %1 sor").arg(row[cols.size()].toLongLong());
    }
    return out;
}

} // namespace

QStringList duplicateKeys(fb::Connection* db)
{
    QStringList out;
    for (const UniqueKey& k : kUniqueKeys)
        out << duplicatesOf(db, k);
    return out;
}

rec::Outcome refreshStatistics(fb::Connection* db, const std::function<void(const QString&)>& longStep,
                               bool* refreshed)
{
    if (refreshed)
        *refreshed = false;
    // The tickets as the headers' and the lines' number indexes last counted
    // them: the older count decides.
    const fb::Result stat = db->execute(
        "SELECT RDB$STATISTICS FROM RDB$INDICES WHERE RDB$INDEX_NAME IN "
        "('IX_FJFEJ_AKOD_BSZAM', 'IX_FJSOR_BSZAM')");
    if (stat.rows.empty()) {
        db->commit();
        return rec::Outcome::saved();
    }
    // Not worth a pass over the table at every start where there is no generator.
    const qint64 issued = db->lastIdentity("FJFEJ", "ID_FJFEJ", false);
    double counted = -1;
    for (const auto& row : stat.rows) {
        const double selectivity = row[0].toDouble(); // 0: never taken on rows
        const double n = selectivity > 0 ? 1.0 / selectivity : 0;
        counted = counted < 0 ? n : std::min(counted, n);
    }
    db->commit();
    if (issued < 10000 || counted >= issued / 2.0)
        return rec::Outcome::saved();
    QStringList indexes;
    for (const auto& row : db->execute("SELECT TRIM(i.RDB$INDEX_NAME) FROM RDB$INDICES i JOIN RDB$RELATIONS r "
                                       "ON r.RDB$RELATION_NAME = i.RDB$RELATION_NAME "
                                       "WHERE COALESCE(i.RDB$SYSTEM_FLAG, 0) = 0 AND COALESCE(r.RDB$RELATION_TYPE, 0) = 0")
                               .rows)
        indexes << row[0].toString();
    db->commit();
    if (longStep)
        longStep("A nyilvántartás indexeinek felmérése a gyors listákhoz. Nagy nyilvántartáson néhány "
                 "másodpercig tart. Kérem, várjon…");
    const char* const failed = "Hiba14: az indexek felmérése közben!";
    const rec::Outcome o = rec::unitOfWork(db, failed, [&] {
        rec::step(failed, [&] {
            for (const QString& i : indexes)
                db->executeImmediate("SET STATISTICS INDEX \"" + QString(i).replace('"', "\"\"") + "\"");
        });
    });
    if (refreshed)
        *refreshed = o.ok();
    return o;
}

rec::Outcome bringUpToDate(fb::Connection* db, const std::function<void(const QString&)>& longStep)
{
    // The work tables first: they hold nothing worth keeping between runs.
    for (const char* table : {"NAVFEJ", "NAVSOR"}) {
        const int type = relationType(db, table);
        if (type == 4)
            continue;
        const rec::Outcome o =
            rec::unitOfWork(db, "Hiba11: a munkatáblák átalakítása közben!", [&] {
                rec::step("Hiba11: a munkatáblák átalakítása közben!", [&] {
                    if (type != -1) {
                        db->executeImmediate(QString("DROP TABLE %1").arg(QString::fromLatin1(table)));
                        db->commit(); // the name is free only once the drop is committed
                    }
                    db->executeImmediate(createStatement(table));
                });
            });
        if (!o.ok())
            return o;
    }

    {
        const rec::Outcome o = addSortKeys(db, longStep);
        if (!o.ok())
            return o;
    }

    std::vector<const UniqueKey*> missing;
    for (const UniqueKey& k : kUniqueKeys)
        if (!constraintExists(db, k.name))
            missing.push_back(&k);
    if (missing.empty()) {
        db->commit();
        return rec::Outcome::saved();
    }
    QStringList duplicates;
    for (const UniqueKey* k : missing)
        duplicates << duplicatesOf(db, *k);
    db->commit();
    if (!duplicates.isEmpty()) {
        const int shown = 20;
        QString list = QStringList(duplicates.mid(0, shown)).join("\n");
        if (duplicates.size() > shown)
            list += QString("\n… és még %1").arg(duplicates.size() - shown);
        return rec::Outcome::check(
            "Az adatbázisban ismétlődő kódok vagy bizonylatszámok vannak, ezért a program nem "
            "tudja bekapcsolni az egyediségük védelmét. Az adatbázis nem változott.\n"
            "Javítsa ki (vagy törölje) a fölösleges sorokat, majd indítsa újra a programot:\n" +
            list);
    }
    // All the keys in one unit: either every one is added or none.
    return rec::unitOfWork(db, "Hiba12: az egyedi kulcsok felvétele közben!", [&] {
        rec::step("Hiba12: az egyedi kulcsok felvétele közben!", [&] {
            for (const UniqueKey* k : missing)
                db->executeImmediate(QString("ALTER TABLE %1 ADD CONSTRAINT %2 UNIQUE (%3)")
                                         .arg(QString::fromLatin1(k->table), QString::fromLatin1(k->name),
                                              QString::fromLatin1(k->columns)));
        });
    });
}

bool columnExists(fb::Connection* db, const QString& table, const QString& column)
{
    const fb::Result r = db->execute(
        "SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = ? AND RDB$FIELD_NAME = ?",
        {{fb::Param::Text, table.toUpper(), "RDB$RELATION_NAME"},
         {fb::Param::Text, column.toUpper(), "RDB$FIELD_NAME"}});
    return r.rows.at(0).at(0).toLongLong() > 0;
}

rec::Outcome addMnyptag(fb::Connection* db)
{
    return addColumn(db, "O_MNYPTAG", "Már létezik!", "ALTER TABLE ostermelo ADD o_mnyptag VARCHAR(1)",
                     "Hiba281: ALTER TABLE az östermelöben. ",
                     "Hiba282: TRANSACTION közben az östermelöben!");
}

rec::Outcome addFelir(fb::Connection* db)
{
    return addColumn(db, "O_FELIR", "Már létezik az östermelöben!",
                     "ALTER TABLE OSTERMELO ADD O_FELIR D_BLAP COLLATE PXW_HUNDC",
                     "Hiba371: ALTER TABLE OSTERMELO ADD O_FELIR az östermelöben! ",
                     "Hiba372: ALTER TABLE OSTERMELO ADD O_FELIR az östermelöben!");
}

rec::Outcome widenKamara(fb::Connection* db)
{
    // An expression index over the column keeps the narrower type, and a longer
    // value would then be refused: the list's two are made again over the new one.
    const QStringList had =
        present(db, "RDB$INDICES", "RDB$INDEX_NAME", {"IX_OSTERMELO_KAMARA_HU", "IX_OSTERMELO_KAMARA_HU_D"});
    const rec::Outcome o = rec::unitOfWork(db, "Hiba422: Hossz: D_KAMARA az östermelöben!", [&] {
        rec::step("Hiba421: Hossz: D_KAMARA az östermelöben! ", [&] {
            for (const QString& i : had)
                db->executeImmediate("DROP INDEX " + i);
            db->executeImmediate("ALTER DOMAIN D_KAMARA TYPE VARCHAR(20) CHARACTER SET WIN1250");
        });
    });
    if (!o.ok() || had.isEmpty())
        return o;
    // Without them the list still sorts; the next start makes any not made here.
    return rec::unitOfWork(db, "Hiba422: Hossz: D_KAMARA az östermelöben!", [&] {
        rec::step("Hiba421: Hossz: D_KAMARA az östermelöben! ", [&] {
            for (const QString& i : had)
                db->executeImmediate(schemaStatementNaming("INDEX " + i + " "));
        });
    });
}

rec::Outcome markSharedTaxIds(fb::Connection* db, int* changed)
{
    int n = 0;
    const rec::Outcome o = rec::unitOfWork(db, "Hiba362: az östermelök egyesítése közben!", [&] {
        rec::step("Hiba361: UPDATE az östermelöben ", [&] {
            // Only the keys are read: a register of any size walks in one pass.
            const fb::Result rows = db->execute(
                "SELECT ID_OSTERMELO, O_ADOAZON FROM ostermelo ORDER BY o_Adoazon, o_kod");
            QVariant previous;
            bool first = true;
            for (const auto& row : rows.rows) {
                if (!first && !row.at(1).isNull() && !previous.isNull() &&
                    row.at(1).toString() == previous.toString()) {
                    const fb::Result u = db->execute(
                        "UPDATE ostermelo SET o_szja = ? WHERE ID_ostermelo = ?",
                        {{fb::Param::Integer, 1, "O_SZJA"}, {fb::Param::Integer, row.at(0), "ID_OSTERMELO"}});
                    if (u.rowsAffected != 1)
                        throw fb::Error("A módosítás nem egy sort érintett.");
                    ++n;
                }
                previous = row.at(1);
                first = false;
            }
        });
    });
    if (changed)
        *changed = o.ok() ? n : 0;
    return o;
}

} // namespace upgrades
