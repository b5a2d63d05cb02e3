// The largest exports of a busy year: 80 000 ticket lines (20 000 tickets of
// 4 lines) to FJFEJ.xls (five sheets), FJFEJ.xlsx, FjSor.txt and the inventory
// document, each read a row at a time from the database. Every export runs in
// a fresh process (peak memory is per process) and is held to a growth of its
// peak memory of at most 30 MB; the workbook read whole into a query first is
// shown beside, for comparison. Exits 1 when a target is missed.
// Usage: bench_exchange [folder]

#include "Query.h"
#include "Unit2.h"
#include "exchange/excelexport.h"
#include "exchange/inventory.h"
#include "exchange/tabletext.h"
#include "fb.h"
#include "newdb.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int kDocs = 20000;
constexpr double kGrowthMb = 30;

// Peak resident memory of this process so far, in MB.
double peakMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0; // kilobytes on Linux
}

// Resident memory now, in MB: a start-up peak above it could hide growth.
double residentMb()
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void generate(TData& d)
{
    d.ZCon1.executeImmediate(QString(R"(EXECUTE BLOCK AS
DECLARE i INTEGER = 0; DECLARE n VARCHAR(8); DECLARE k VARCHAR(5);
BEGIN
  WHILE (i < %1) DO BEGIN
    n = CAST(26000001 + i AS VARCHAR(8));
    k = LPAD(MOD(i, 3) + 1, 5, '0');
    INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, f_szja,
      f_muvktg, f_tipus) VALUES (:n, '00001', :k, DATEADD(MOD(:i, 365) DAY TO DATE '2026-01-01'),
      DATEADD(MOD(:i, 365) DAY TO DATE '2026-01-01'), DATEADD(MOD(:i, 365) DAY TO DATE '2026-01-01'),
      15, 10000, '1');
    INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, s_brutto, s_megy,
      s_ear, s_kompmerteke, s_akod) VALUES (:n, '00001', 'Búza', '1001', 0, 100 + MOD(:i, 50), 'kg', 62.5, 12, '00001');
    INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, s_brutto, s_megy,
      s_ear, s_kompmerteke, s_akod) VALUES (:n, '00002', 'Napraforgó', '1206', 2, 50, 'kg', 140, 12, '00001');
    INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, s_brutto, s_megy,
      s_ear, s_kompmerteke, s_akod) VALUES (:n, '00003', 'Őszibarack', '0809', 0, 20, 'kg', 220, 7, '00001');
    INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, s_brutto, s_megy,
      s_ear, s_kompmerteke, s_akod) VALUES (:n, '00004', 'Tojás', '0407', 0, 300, 'db', 45, 7, '00001');
    i = i + 1;
  END
END)")
                                 .arg(kDocs));
    d.ZCon1.commit();
}

double elapsedMs(const QElapsedTimer& e) { return e.nsecsElapsed() / 1e6; }

// One export in this process: prints "name rows size_mb ms peak_before_mb
// peak_after_mb resident_before_mb resident_after_mb"; 2 when it failed.
int runStep(const QString& step, const QString& dir)
{
    TData d;
    Data = &d;
    d.connect(QDir(dir).filePath("vadmo7.fdb"));
    const QDate from(2026, 1, 1), to(2026, 12, 31);
    const double before = peakMb(), residentBefore = residentMb();
    QElapsedTimer e;
    e.start();
    qint64 rows = 0;
    QString path, error;
    bool ok = true;
    if (step == "screen-xls" || step == "screen-xml") {
        // What the screens do: the grid's window opened on the period, the
        // row count for the progress, then the export from its own cursor
        // while the window stays open.
        TQuery grid(&d.ZCon1, "grid");
        if (step == "screen-xls") {
            const auto kind = excelexport::DateKind::Payment;
            excelexport::openTicketWindow(&grid, from, to, kind, "00001");
            const qint64 total = excelexport::count(&d.ZCon1, excelexport::ticketCount(from, to, kind, "00001"));
            path = QDir(dir).filePath("FJFEJ.xls");
            const excelexport::Result r = excelexport::write(
                &d.ZCon1, excelexport::ticketStatement(from, to, kind, "00001", &d.ZCon1), "FJFEJ",
                excelexport::ticketColumns(), excelexport::TicketBoldTo, excelexport::Format::Xls,
                path, {}, [] { return false; });
            rows = r.rows;
            ok = r.saved && total == r.rows;
            error = r.saved ? QString("count %1 differs from the rows written").arg(total) : r.error;
        } else {
            inventory::openWindow(&grid, from, to, "00001");
            const qint64 total = inventory::count(&d.ZCon1, from, to, "00001");
            path = QDir(dir).filePath(inventory::FileName);
            ok = inventory::writeDocument(&d.ZCon1, inventory::statement(from, to, "00001", &d.ZCon1), path,
                                          &error, [&](qint64 n) { rows = n; }, [] { return false; });
            if (ok && total != rows) {
                ok = false;
                error = QString("count %1 differs from the rows written").arg(total);
            }
        }
        if (grid.recordCount() > 10 * TQuery::PageRows) {
            ok = false;
            error = QString("the grid holds %1 rows").arg(grid.recordCount());
        }
    } else if (step == "xls" || step == "xlsx" || step == "xls-whole") {
        const auto f = step == "xlsx" ? excelexport::Format::Xlsx : excelexport::Format::Xls;
        path = QDir(dir).filePath(excelexport::fileName("FJFEJ", f));
        excelexport::Result r;
        if (step == "xls-whole") {
            TQuery q(&d.ZCon1, "bench");
            excelexport::collectTickets(&q, from, to, excelexport::DateKind::Payment, "00001");
            r = excelexport::write(&q, "FJFEJ", excelexport::ticketColumns(),
                                   excelexport::TicketBoldTo, f, path);
        } else {
            r = excelexport::write(&d.ZCon1,
                                   excelexport::ticketStatement(from, to,
                                                                excelexport::DateKind::Payment,
                                                                "00001", &d.ZCon1),
                                   "FJFEJ", excelexport::ticketColumns(),
                                   excelexport::TicketBoldTo, f, path);
        }
        rows = r.rows;
        ok = r.saved;
        error = r.error;
    } else if (step == "txt") {
        const auto& lines = tabletext::tables().back();
        path = QDir(dir).filePath(lines.file);
        rows = tabletext::exportTable(&d.ZCon1, lines, dir + "/");
    } else if (step == "xml") {
        path = QDir(dir).filePath(inventory::FileName);
        ok = inventory::writeDocument(&d.ZCon1, inventory::statement(from, to, "00001", &d.ZCon1), path,
                                      &error, [&](qint64 n) { rows = n; });
    } else {
        return 2;
    }
    const double ms = elapsedMs(e);
    std::printf("%s %lld %.1f %.0f %.1f %.1f %.1f %.1f\n", qPrintable(QFileInfo(path).fileName()),
                rows, QFileInfo(path).size() / 1e6, ms, before, peakMb(), residentBefore,
                residentMb());
    if (!ok)
        std::fprintf(stderr, "%s\n", qPrintable(error));
    d.disconnect();
    return ok ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == "--step")
        return runStep(args[2], args[3]);

    QTemporaryDir tmp;
    const QString dir = args.size() > 1 ? args[1] : tmp.path();
    QDir().mkpath(dir);
    QDir::setCurrent(dir);
    const QString file = QDir(dir).filePath("vadmo7.fdb");
    QFile::remove(file);
    newdb::Options o;
    o.samples = true;
    newdb::create(file, o);
    {
        TData d;
        Data = &d;
        d.connect(file);
        QElapsedTimer e;
        e.start();
        generate(d);
        std::printf("generated %d tickets, %d lines in %.1f s\n", kDocs, kDocs * 4,
                    elapsedMs(e) / 1000.0);
        d.disconnect();
        Data = nullptr;
    }

    struct Step {
        const char* name;
        const char* what;
        bool held; // to the growth target
    };
    const Step steps[] = {
        {"xls", "workbook, Excel 95 (streamed)", true},
        {"xlsx", "workbook, Excel 2007+ (streamed)", true},
        {"txt", "table text FjSor.txt (streamed)", true},
        {"xml", "inventory document (streamed)", true},
        {"screen-xls", "Excel 95 as the screen: grid window + count", true},
        {"screen-xml", "inventory as the screen: grid window + count", true},
        {"xls-whole", "workbook, Excel 95, query read whole first", false},
    };
    // Growth: of the peak, and of the resident memory the export leaves held.
    std::printf("%-44s %6s %7s %6s %11s %11s %7s  %s\n", "export", "rows", "file MB", "ms",
                "peak MB", "resident MB", "growth", "target <= 30 MB");
    int status = 0;
    for (const Step& s : steps) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QCoreApplication::applicationFilePath(), {"--step", s.name, dir});
        p.waitForFinished(-1);
        const QStringList f = QString::fromLocal8Bit(p.readAllStandardOutput()).simplified().split(' ');
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || f.size() != 8) {
            std::printf("%-44s FAILED (exit %d)\n", s.what, p.exitCode());
            status = 1;
            continue;
        }
        const double before = f[4].toDouble(), after = f[5].toDouble();
        const double residentBefore = f[6].toDouble(), residentAfter = f[7].toDouble();
        const double growth = std::max(after - before, residentAfter - residentBefore);
        const bool met = !s.held || growth <= kGrowthMb;
        if (!met)
            status = 1;
        std::printf("%-44s %6s %7s %6s %5.0f->%-5.0f %5.0f->%-5.0f %7.1f  %s\n", s.what,
                    qPrintable(f[1]), qPrintable(f[2]), qPrintable(f[3]), before, after,
                    residentBefore, residentAfter, growth,
                    !s.held ? "(comparison)" : met ? "met" : "MISSED");
    }
    std::printf("%s\n", status ? "EXPORT MEMORY TARGET MISSED" : "export memory targets met");
    return status;
}
