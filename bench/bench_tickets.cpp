// 50 000 tickets of 4 lines: opening the ticket list, a search keystroke and a
// ticket's totals, beside the bare list query of the database layer and of
// isql-fb on the same file. Usage: bench_tickets [folder] (default: temporary).

#include "QueryModel.h"
#include "Unit2.h"
#include "newdb.h"
#include "tickets/payable.h"
#include "tickets/ticketlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTickets = 50000;
const char* kListSql = "SELECT * FROM FjFej LEFT JOIN ostermelo ON FjFej.f_ostermkod = "
                       "Ostermelo.o_kod WHERE f_akod = '00001' ORDER BY f_Bszam";

template <class F>
double best(int runs, F&& f)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer e;
        e.start();
        f();
        t.push_back(e.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2]; // median
}

void generate(TData& d)
{
    // Server-side, in one statement: row by row from the client would take minutes.
    d.ZCon1.executeImmediate(QString(R"(EXECUTE BLOCK AS
DECLARE i INTEGER = 0; DECLARE n VARCHAR(8); DECLARE k VARCHAR(5);
BEGIN
  WHILE (i < %1) DO BEGIN
    n = CAST(20260001 + i AS VARCHAR(8));
    k = LPAD(MOD(i, 3) + 1, 5, '0');
    INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, f_utal,
      f_prn, f_szja, f_jarulszaz, f_levonas, f_megj, f_nyilatk, f_muvktg, f_tipus, f_sumvar)
      VALUES (:n, '00001', :k, DATEADD(MOD(:i, 365) DAY TO DATE '2026-01-01'),
      DATEADD(MOD(:i, 365) DAY TO DATE '2026-01-01'), DATEADD(MOD(:i, 365) DAY TO DATE '2026-01-01'),
      IIF(MOD(:i, 4) = 0, 'x', ' '), IIF(MOD(:i, 2) = 0, 'I', NULL), 15, 2, 0,
      'Megjegyzés', 'Nyilatkozat szövege', 10000, '1', 12000);
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
                                 .arg(kTickets));
    d.ZCon1.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = argc > 1 ? QString(argv[1]) : tmp.path();
    QDir().mkpath(dir);
    QDir::setCurrent(dir);
    const QString file = QDir(dir).filePath("vadmo7.fdb");
    QFile::remove(file);
    QElapsedTimer gen;
    gen.start();
    newdb::Options o;
    o.samples = true;
    newdb::create(file, o);
    TData d;
    Data = &d;
    d.connect(file);
    generate(d);
    std::printf("generated %d tickets, %d lines in %.1f s\n", kTickets, kTickets * 4,
                gen.elapsed() / 1000.0);
    G.akod = "00001";
    G.aktBszam = "20285000";

    d.ZCon1.execute(kListSql); // warm the page cache first
    // The database layer alone: prepare, execute, fetch every row.
    const double bare = best(5, [&] { d.ZCon1.execute(kListSql); });
    // The list as the screen opens it: query, positioning, and a model reset.
    QueryModel model;
    model.setQuery(d.ZQ10, {{"F_BSZAM", "Bszám"}, {"O_NEV", "Név"}, {"F_KELT", "Dátum"}});
    const double list = best(5, [&] {
        ticketlist::requery();
        (void)model.rowCount();
    });
    // The engine alone: the same query walked inside the server, no rows sent.
    const QString countSql = QString("SELECT count(*) FROM (%1)").arg(kListSql);
    const double engine = best(5, [&] { d.ZCon1.execute(countSql); });
    std::printf("ticket list: %.1f ms (layer fetch %.1f ms; engine alone %.1f ms, ratio %.2f; "
                "target <= 2)\n",
                list, bare, engine, list / engine);

    // A keystroke in "Bizonylat:": the list stays in number order, only the prefix moves.
    const QStringList prefixes = {"2", "20", "202", "2026", "20264", "202649", "2026499", "20264999"};
    int p = 0;
    const double search = best(41, [&] { d.ZQ10->locatePrefix("F_BSZAM", prefixes[p++ % 8]); });
    // The worst case: no ticket matches, every row is compared.
    const double miss = best(11, [&] { d.ZQ10->locatePrefix("F_BSZAM", "3"); });
    std::printf("search keystroke: %.2f ms median, %.2f ms without a match (target < 30)\n",
                search, miss);

    // A ticket's totals: the sums query and the payable amount.
    TQuery* s = d.ZQ21;
    int t = 0;
    const double totals = best(41, [&] {
        s->close();
        s->clearSql();
        s->add("SELECT s_bszam, SUM(s_Felvar) AS far, SUM(s_Kompfelar) AS kar, SUM(s_Vetelar) AS var");
        s->add("  FROM Fjsor WHERE s_Bszam = :p1 GROUP BY s_Bszam");
        s->setText("p1", QString::number(20260001 + (t++ * 997) % kTickets));
        s->open();
        payable::Input in;
        in.purchasePrice = s->asFloat("var");
        in.purchaseValue = s->asFloat("far");
        in.taxPercent = 15;
        in.contributionPercent = 2;
        payable::compute(in);
    });
    std::printf("ticket totals: %.2f ms (target < 10)\n", totals);
    d.disconnect();

    // isql-fb on the same file, rows written to nowhere (includes its start-up).
    QProcess isql;
    isql.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer e;
    e.start();
    isql.start("isql-fb", {"-user", "SYSDBA", "-password", "tollvirag", "-q", file});
    if (isql.waitForStarted(5000)) {
        isql.write(QByteArray(kListSql) + ";\nquit;\n");
        isql.closeWriteChannel();
        isql.waitForFinished(120000);
        std::printf("isql-fb list query: %.1f ms\n", e.nsecsElapsed() / 1e6);
    }
    return 0;
}
