// A busy buyer's year: 8 000 tickets of 10 lines (80 000 lines). Collects the
// itemized list and prepares "FjLista4.frf" over every line, then the
// per-product list, and runs the data check over the lines; prints the time
// per 1 000 rows (target: 100 ms) and writes the PDFs. Usage: bench_lists
// [folder] (default: temporary; the templates are read from build/prog).

#include "Unit2.h"
#include "newdb.h"
#include "reports/engine/Report.h"
#include "masterdata/datacheck.h"
#include "reports/lists.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kTickets = 8000;
constexpr int kLines = 10;

void generate(TData& d)
{
    d.ZCon1.executeImmediate(QString(R"(EXECUTE BLOCK AS
DECLARE i INTEGER = 0; DECLARE j INTEGER; DECLARE n VARCHAR(8); DECLARE dt DATE;
BEGIN
  WHILE (i < %1) DO BEGIN
    n = CAST(20260001 + i AS VARCHAR(8));
    dt = DATEADD(MOD(i, 365) DAY TO DATE '2026-01-01');
    INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, f_utal,
      f_prn, f_szja, f_jarulszaz, f_levonas, f_muvktg, f_tipus, f_sumvar)
      VALUES (:n, '00001', LPAD(MOD(:i, 3) + 1, 5, '0'), :dt, :dt, :dt,
      IIF(MOD(:i, 4) = 0, 'x', ' '), 'I', 15, 0, 0, 10000, '1', 12000);
    j = 0;
    WHILE (j < %2) DO BEGIN
      INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, s_brutto, s_megy,
        s_ear, s_kompmerteke, s_akod, s_szja)
        VALUES (:n, '00001', DECODE(MOD(:i + :j, 4), 0, 'Búza', 1, 'Napraforgó', 2, 'Őszibarack',
        'Étkezési alma, válogatott, kézzel szedett'), '1001', 0, 100 + MOD(:i + :j, 50), 'kg',
        62.5 + MOD(:j, 3), IIF(MOD(:j, 2) = 0, 12, 7), '00001', 0);
      j = j + 1;
    END
    i = i + 1;
  END
END)")
                                 .arg(kTickets)
                                 .arg(kLines));
    d.ZCon1.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString prog = QCoreApplication::applicationDirPath() + "/../prog";
    QTemporaryDir tmp;
    const QString dir = argc > 1 ? QString(argv[1]) : tmp.path();
    QDir().mkpath(dir);
    QDir::setCurrent(dir);
    for (const char* t : {"FjLista4.frf", "FjLista5.frf"}) {
        QFile::remove(t);
        if (!QFile::copy(prog + "/" + t, t)) {
            std::fprintf(stderr, "template %s not found in %s\n", t, qPrintable(prog));
            return 1;
        }
    }
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
    std::printf("generated %d lines in %.1f s\n", kTickets * kLines, gen.elapsed() / 1000.0);

    rec::Context ctx;
    ctx.db = &d.ZCon1;
    ctx.akod = "00001";
    ctx.today = QDate(2026, 12, 31);
    const QDate from(2026, 1, 1), to(2026, 12, 31);

    QElapsedTimer t;
    t.start();
    const QString total =
        lists::collectItemized(ctx, d.ZQ20, from, to, lists::ItemOrder::Ostermelo);
    const double collect = t.nsecsElapsed() / 1e6;
    const int rows = d.ZQ20->recordCount();
    t.restart();
    if (!lists::printItemized(*d.frNyomtat, ctx, d.ZQ60, from, to, lists::ItemOrder::Ostermelo,
                              total)) {
        std::fprintf(stderr, "FjLista4: %s\n", qPrintable(d.frNyomtat->errorText()));
        return 1;
    }
    const double prepare = t.nsecsElapsed() / 1e6;
    const double preparePer1000 = prepare / (rows / 1000.0);
    std::printf("itemized list: %d rows, %zu pages; collect %.0f ms, prepare %.0f ms\n", rows,
                d.frNyomtat->pages().size(), collect, prepare);
    std::printf("  preparation %.1f ms per 1 000 rows (target <= 100); with the collection %.1f\n",
                preparePer1000, (collect + prepare) / (rows / 1000.0));
    t.restart();
    d.frNyomtat->exportPdf(QDir(dir).filePath("FjLista4.pdf"));
    std::printf("  PDF written in %.0f ms\n", t.nsecsElapsed() / 1e6);

    t.restart();
    const lists::Period p{from, to, false};
    const QString t2 = lists::collectPerProduct(ctx, d.ZQ80, d.ZQ20, d.ZQ21, p);
    if (!lists::printPerProduct(*d.frNyomtat, ctx, d.ZQ60, d.ZQ20, d.ZQ21, p, t2)) {
        std::fprintf(stderr, "FjLista5: %s\n", qPrintable(d.frNyomtat->errorText()));
        return 1;
    }
    const double grouped = t.nsecsElapsed() / 1e6;
    std::printf("per-product list: %d lines, %zu pages in %.0f ms, %.1f ms per 1 000 rows\n", rows,
                d.frNyomtat->pages().size(), grouped, grouped / (rows / 1000.0));

    // The data check run over the same year's lines.
    t.restart();
    datacheck::collectTickets(ctx, d.ZQ20, from, to);
    const double dcCollect = t.nsecsElapsed() / 1e6;
    t.restart();
    const datacheck::Run run = datacheck::checkTickets(d.ZQ20);
    std::printf("data check: %d lines collected in %.0f ms, 20 sections in %.0f ms, %lld log lines%s\n",
                d.ZQ20->recordCount(), dcCollect, t.nsecsElapsed() / 1e6,
                qint64(run.lines.size()), run.ok() ? "" : " (stopped)");
    d.ZCon1.commit();
    d.ZCon1.detach();
    const bool met = preparePer1000 <= 100.0;
    std::printf("%s\n", met ? "itemized list target met" : "ITEMIZED LIST TARGET MISSED");
    return met ? 0 : 1;
}
