#include "benchdb.h"

#include "Unit2.h"
#include "newdb.h"
#include "schema_sql.h"

#include <QCryptographicHash>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace benchdb {

QString cacheDir()
{
    QString d = qEnvironmentVariable("VADMO_BENCH_CACHE");
    if (d.isEmpty())
        d = QDir::homePath() + "/.cache/vadmo7-bench";
    QDir().mkpath(d);
    return d;
}

int producersOf(int tickets) { return tickets >= 1000000 ? 99990 : kProducers; }

QString newestNumber(int tickets) { return QString::number(10000000 + tickets); }

namespace {

// Producers with Hungarian names, accented initials included, so that name
// order has real work to do. Codes from 00004: the sample file has 00001-00003.
void producers(fb::Connection& c, int count)
{
    c.executeImmediate(QString(R"(EXECUTE BLOCK AS
DECLARE i INTEGER = 0;
DECLARE fam VARCHAR(400) = 'Arany    Árvai    Balogh   Bíró     Csizmár  Dénes    Erdős    Éles     Farkas   Gál      Horváth  Illés    Juhász   Kovács   Lakatos  Molnár   Nagy     Oláh     Ócsai    Örkényi  Őri      Papp     Rácz     Szabó    Takács   Török    Ujvári   Ürögi    Varga    Zöld     ';
DECLARE giv VARCHAR(200) = 'Anna     Béla     Csaba    Dóra     Ede      Éva      Ferenc   Gizella  István   Judit    ';
BEGIN
  WHILE (i < %1) DO BEGIN
    INSERT INTO ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, o_adoazon, o_szja, o_akod)
      VALUES (LPAD(:i + 4, 5, '0'),
        TRIM(SUBSTRING(:fam FROM MOD(:i, 30) * 9 + 1 FOR 9)) || ' ' ||
        TRIM(SUBSTRING(:giv FROM MOD(:i / 30, 10) * 9 + 1 FOR 9)) || ' ' || CAST(:i / 300 + 1 AS VARCHAR(5)),
        '6000', 'Kecskemét', 'Fő utca ' || CAST(MOD(:i, 120) + 1 AS VARCHAR(4)), '8' || LPAD(:i, 9, '0'), 15, '00001');
    i = i + 1;
  END
END)")
                           .arg(count));
}

void addTickets(fb::Connection& c, int from, int count, int total, int producerCount)
{
    // Server-side, in one statement: row by row from the client would take minutes.
    c.executeImmediate(QString(R"(EXECUTE BLOCK AS
DECLARE i INTEGER = %1; DECLARE n VARCHAR(8); DECLARE k VARCHAR(5); DECLARE d DATE;
BEGIN
  WHILE (i < %2) DO BEGIN
    n = CAST(10000001 + i AS VARCHAR(8));
    k = LPAD(MOD(i * 7919, %3) + 4, 5, '0');
    d = DATEADD(CAST(i AS BIGINT) * 3650 / %4 DAY TO DATE '2016-01-04');
    INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, f_utal,
      f_prn, f_szja, f_jarulszaz, f_levonas, f_megj, f_nyilatk, f_muvktg, f_tipus, f_sumvar)
      VALUES (:n, '00001', :k, :d, :d, :d, IIF(MOD(:i, 4) = 0, 'x', ' '), IIF(MOD(:i, 2) = 0, 'I', ' '),
      15, 2, 0, IIF(MOD(:i, 5) = 0, 'Szállítólevél ' || :i, NULL), 'Nyilatkozat szövege', 10000, '1', 12000);
    INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, s_brutto, s_megy,
      s_ear, s_kompmerteke, s_akod, s_szja) VALUES (:n, '00001', 'Búza', '1001', 0, 100 + MOD(:i, 50), 'kg', 62.5, 12, '00001', 0);
    INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, s_brutto, s_megy,
      s_ear, s_kompmerteke, s_akod, s_szja) VALUES (:n, '00002', 'Napraforgó', '1206', 2, 50, 'kg', 140, 12, '00001', 0);
    INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, s_brutto, s_megy,
      s_ear, s_kompmerteke, s_akod, s_szja) VALUES (:n, '00003', 'Őszibarack', '0809', 0, 20, 'kg', 220, 7, '00001', 0);
    INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, s_brutto, s_megy,
      s_ear, s_kompmerteke, s_akod, s_szja) VALUES (:n, '00004', 'Tojás', '0407', 0, 300, 'db', 45, 7, '00001', 0);
    i = i + 1;
  END
END)")
                           .arg(from)
                           .arg(from + count)
                           .arg(producerCount)
                           .arg(total));
}

} // namespace

QString ensureFile(const QString& dir, int tickets)
{
    // Named after the schema too: a register cached before a schema change
    // would otherwise be upgraded at every start-up the benchmark measures.
    const QString schema = QString::fromLatin1(
        QCryptographicHash::hash(QByteArray(kSchemaSql), QCryptographicHash::Md5).toHex().left(8));
    const QString file = QDir(dir).filePath(QString("tickets-%1-%2.fdb").arg(tickets).arg(schema));
    if (QFile::exists(file))
        return file;
    const QString part = file + ".part";
    QFile::remove(part);
    QElapsedTimer t;
    t.start();
    newdb::Options o;
    o.samples = true;
    newdb::create(part, o);
    {
        fb::Connection c;
        c.attach(part);
        const int producerCount = producersOf(tickets);
        producers(c, producerCount);
        c.commit();
        // The ordinary indexes of the ticket tables off while loading, built
        // once at the end by sorting: kept up row by row, a million tickets
        // spend most of their time rewriting index pages.
        QStringList off;
        for (const auto& row :
             c.execute("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE RDB$RELATION_NAME IN "
                       "('FJFEJ', 'FJSOR') AND RDB$INDEX_NAME STARTING WITH 'IX_'")
                 .rows)
            off << row[0].toString();
        c.commit();
        for (const QString& ix : off)
            c.executeImmediate("ALTER INDEX " + ix + " INACTIVE");
        c.commit();
        // Batches keep the engine's undo log small.
        for (int from = 0; from < tickets; from += 50000) {
            addTickets(c, from, std::min(50000, tickets - from), tickets, producerCount);
            c.commit();
        }
        for (const QString& ix : off) {
            c.executeImmediate("ALTER INDEX " + ix + " ACTIVE");
            c.commit();
        }
        c.executeImmediate(QString("UPDATE sorszam SET a_fjbszam = '%1' WHERE a_akod = '00001'")
                               .arg(newestNumber(tickets)));
        c.commit();
        // Fresh index statistics, as the program keeps them on a growing register.
        for (const auto& row : c.execute("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES "
                                         "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0").rows)
            c.executeImmediate("SET STATISTICS INDEX " + row[0].toString());
        c.commit();
        c.detach();
    }
    if (!QFile::rename(part, file))
        throw fb::Error("Cannot rename " + part);
    std::fprintf(stderr, "built %s (%d tickets) in %.1f s\n", qPrintable(file), tickets,
                 t.elapsed() / 1000.0);
    return file;
}

} // namespace benchdb
