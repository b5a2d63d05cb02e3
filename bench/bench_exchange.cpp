// The largest exports of a busy year: 80 000 ticket lines (20 000 tickets of
// 4 lines) to FJFEJ.xls (five sheets), FJFEJ.xlsx, FjSor.txt and the inventory
// document. Times and the process's peak memory after each step.
// Usage: bench_exchange [folder]

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
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kDocs = 20000;

// Peak resident memory so far, in MB.
double peakMb()
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmHWM:"))
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

template <class F>
double timed(F&& f)
{
    QElapsedTimer e;
    e.start();
    f();
    return e.nsecsElapsed() / 1e6;
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
    newdb::Options o;
    o.samples = true;
    newdb::create(file, o);
    TData d;
    Data = &d;
    d.connect(file);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const double gen = timed([&] { generate(d); });
    std::printf("generated %d tickets, %d lines in %.1f s; peak memory %.0f MB\n", kDocs,
                kDocs * 4, gen / 1000.0, peakMb());

    TQuery q(&d.ZCon1, "bench");
    const double collect = timed([&] {
        excelexport::collectTickets(&q, QDate(2026, 1, 1), QDate(2026, 12, 31),
                                    excelexport::DateKind::Payment, "00001");
    });
    std::printf("collection: %d rows in %.0f ms; peak memory %.0f MB\n", q.recordCount(), collect,
                peakMb());
    for (auto f : {excelexport::Format::Xls, excelexport::Format::Xlsx}) {
        const QString path = QDir(dir).filePath(excelexport::fileName("FJFEJ", f));
        excelexport::Result r;
        const double ms = timed([&] {
            r = excelexport::write(&q, "FJFEJ", excelexport::ticketColumns(),
                                   excelexport::TicketBoldTo, f, path);
        });
        std::printf("%s: %lld rows, %d sheet(s), %.1f MB in %.0f ms (%s); peak memory %.0f MB\n",
                    qPrintable(QFileInfo(path).fileName()), r.rows, r.sheets,
                    QFileInfo(path).size() / 1e6, ms, r.saved ? "saved" : qPrintable(r.error),
                    peakMb());
    }
    const auto& lines = tabletext::tables().back();
    qint64 n = 0;
    const double text = timed([&] { n = tabletext::exportTable(&d.ZCon1, lines, dir + "/"); });
    std::printf("FjSor.txt: %lld lines in %.0f ms; peak memory %.0f MB\n", n, text, peakMb());
    TQuery inv(&d.ZCon1, "inventory");
    QString error;
    const double invQuery = timed(
        [&] { inventory::runQuery(&inv, QDate(2026, 1, 1), QDate(2026, 12, 31), "00001"); });
    std::printf("inventory query: %d rows in %.0f ms\n", inv.recordCount(), invQuery);
    const double xml = timed(
        [&] { inventory::writeDocument(&inv, QDir(dir).filePath(inventory::FileName), &error); });
    std::printf("%s: %d records, %.1f MB in %.0f ms; peak memory %.0f MB\n", inventory::FileName,
                inv.recordCount(), QFileInfo(QDir(dir).filePath(inventory::FileName)).size() / 1e6,
                xml, peakMb());
    d.disconnect();
    return 0;
}
