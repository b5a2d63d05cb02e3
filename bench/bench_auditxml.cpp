// A busy buyer's year for the audit data supply: 20 000 documents of 4 lines.
// The collection, the file and its schema check, beside the engine running the
// same SQL with nothing around it. Usage: bench_auditxml [folder] [xsd]

#include "Unit2.h"
#include "fb.h"
#include "newdb.h"
#include "taxdata/auditxml.h"
#include "taxdata/xsdcheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kDocs = 20000;

template <class F>
double median(int runs, F&& f)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer e;
        e.start();
        f();
        t.push_back(e.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

void generate(TData& d)
{
    d.ZCon1.executeImmediate(QString(R"(EXECUTE BLOCK AS
DECLARE i INTEGER = 0; DECLARE n VARCHAR(8); DECLARE k VARCHAR(5);
BEGIN
  WHILE (i < %1) DO BEGIN
    n = CAST(26000001 + i AS VARCHAR(8));
    k = LPAD(MOD(i, 3) + 1, 5, '0');
    INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, f_utal,
      f_prn, f_szja, f_jarulszaz, f_levonas, f_megj, f_nyilatk, f_muvktg, f_tipus, f_sumvar)
      VALUES (:n, '00001', :k, DATEADD(MOD(:i, 365) DAY TO DATE '2026-01-01'),
      DATEADD(MOD(:i, 365) DAY TO DATE '2026-01-01'), DATEADD(MOD(:i, 365) DAY TO DATE '2026-01-01'),
      IIF(MOD(:i, 4) = 0, 'x', ' '), 'I', 15, 2, IIF(MOD(:i, 10) = 0, 500, 0),
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
                                 .arg(kDocs));
    // Every producer with a full address, so that the file is valid.
    d.ZCon1.executeImmediate("UPDATE ostermelo SET o_irszam = '6000', o_helysegnev = 'Kecskemét', "
                             "o_utca = 'Fő', o_adoszam = NULL, o_kozadoszam = NULL");
    d.ZCon1.executeImmediate("UPDATE atvevo SET v_adoszam = '12345678213', v_irszam = '6000', "
                             "v_helyseg = 'Kecskemét', v_utca = 'Fő', v_kozadoszam = NULL, "
                             "v_kisado = 'false', v_ev = 'false'");
    d.ZCon1.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = argc > 1 ? QString(argv[1]) : tmp.path();
    const QString xsd = argc > 2 ? QString(argv[2])
                                 : QDir(QCoreApplication::applicationDirPath())
                                       .filePath("../prog/23_2014_szamlasema.xsd");
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
    QElapsedTimer gen;
    gen.start();
    generate(d);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("generated %d documents, %d lines in %.1f s\n", kDocs, kDocs * 4,
                gen.elapsed() / 1000.0);

    const rec::Context ctx{&d.ZCon1, "00001", "1", "4", QDate(2026, 12, 9)};
    auditxml::Range year;
    year.from = QDate(2026, 1, 1);
    year.to = QDate(2026, 12, 31);
    const auditxml::Settings s{dir + "/szamlak.xml", "true",
                               "Papir alapon számítógéppel kiállított"};

    // The engine alone: the collection's statements, as plain text, no layers.
    const QString insert =
        "INSERT INTO NAVFEJ (FE_SZLASORSZAM, FE_SZLADATUM, FE_TELJDATUM, NE_FIZ_MOD, TE_ARENGEDM, "
        "FE_SZLATIPUS, MO_EREDETI_SORSZAM, NE_FIZ_HATARIDO, SZJA_BRUTTOAR, TAGI_BRUTTOAR, "
        "LEV_BRUTTOAR, KI_NEV, KI_IRANYITOSZAM, KI_TELEPULES, KI_KOZTERULET_NEVE, KI_ADOSZAM, "
        "NE_KIBOCSATO_BANKSZLA, KI_KERULET, KI_KOZTERULET_JELLEGE, KI_HAZSZAM, KI_EPULET, "
        "KI_LEPCSOHAZ, KI_SZINT, KI_AJTO, VE_NEV, VE_IRANYITOSZAM, VE_TELEPULES, "
        "VE_KOZTERULET_NEVE, VE_ADOSZAM, NE_BEFOGADO_BANKSZLA, VE_KERULET, VE_KOZTERULET_JELLEGE, "
        "VE_HAZSZAM, VE_EPULET, VE_LEPCSOHAZ, VE_SZINT, VE_AJTO, KI_EGYENI_VALLALKOZO, "
        "KI_EV_NYILV_TART_SZAM, KI_EV_NEVE, ZA_ONSZAMLA, NE_PENZNEM, NE_SZLA_FORMA, TE_ADOKULCS, "
        "TE_ADOERTEK, KI_KISADOZO, KI_KOZADOSZAM, VE_KOZADOSZAM) SELECT F_BSZAM, F_KELT, "
        "F_FELVKELT, F_UTAL, 0, F_TIPUS, F_ERVENYT, F_FIZKELT, -F_SZJALEVON, -F_TAGILEVON, "
        "-F_LEVONAS, V_NEVE, V_IRSZAM, V_HELYSEG, V_UTCA, V_ADOSZAM, V_BANKSZLA, V_KERULET, "
        "V_JELLEG, V_HAZSZAM, V_EPULET, V_LEPCSO, V_SZINT, V_AJTO, O_NEV, O_IRSZAM, O_HELYSEGNEV, "
        "O_UTCA, O_ADOSZAM, O_BANKSZLA, O_KERULET, O_JELLEG, O_HAZSZAM, O_EPULET, O_LEPCSO, "
        "O_SZINT, O_AJTO, V_EV, V_EVNYILV, V_EV_NEVE, 'true', 'Ft', 'Papir alapon', 0, 0, "
        "V_KISADO, V_KOZADOSZAM, O_KOZADOSZAM FROM FjFej INNER JOIN Ostermelo ON F_OSTERMKOD = "
        "O_KOD INNER JOIN Atvevo ON V_AKOD = F_AKOD WHERE (F_AKOD = '00001') AND (F_KELT BETWEEN "
        "DATE '2026-01-01' AND DATE '2026-12-31')";
    auto engineRun = [&] {
        d.ZCon1.execute("DELETE FROM NAVFEJ");
        d.ZCon1.commit();
        d.ZCon1.execute(insert);
        d.ZCon1.commit();
    };
    engineRun(); // warm the page cache
    // Taken in turns, so that the engine's clean-up of the rows each run
    // deletes weighs on both alike.
    std::vector<double> engineTimes, collectTimes;
    for (int i = 0; i < 5; ++i) {
        engineTimes.push_back(median(1, engineRun));
        collectTimes.push_back(median(1, [&] {
            const rec::Outcome out = auditxml::collect(ctx, year, s);
            if (!out.ok())
                std::printf("collection failed: %s\n", qPrintable(out.message + " " + out.dbText));
        }));
    }
    std::sort(engineTimes.begin(), engineTimes.end());
    std::sort(collectTimes.begin(), collectTimes.end());
    const double engine = engineTimes[2];
    const double collect = collectTimes[2];
    // The export's reads, by the engine alone (rows counted inside the server).
    const double engineRead = median(5, [&] {
        d.ZCon1.execute("SELECT count(*) FROM NAVFEJ");
        d.ZCon1.execute("SELECT count(*) FROM (SELECT DISTINCT FE_SZLASORSZAM FROM NAVFEJ) n "
                        "INNER JOIN FjSor ON S_BSZAM = n.FE_SZLASORSZAM");
        d.ZCon1.commit();
    });
    std::printf("collection: %.1f ms (engine alone %.1f ms, ratio %.2f; target <= 2)\n", collect,
                engine, collect / engine);

    auditxml::Options opt;
    opt.range = year;
    opt.settings = s;
    opt.today = QDate(2026, 12, 9);
    int ticks = 0;
    QByteArray xml;
    const double checks = median(3, [&] {
        (void)auditxml::stoppingCheck(&d.ZCon1);
        (void)auditxml::schemaProblems(&d.ZCon1, opt);
    });
    const double build = median(3, [&] {
        xml = auditxml::build(&d.ZCon1, opt, nullptr, [&](int, int) { ++ticks; });
    });
    const double write = median(3, [&] { auditxml::writeFile(s.hova, xml); });
    xsdcheck::Result v;
    const double validate = median(3, [&] { v = xsdcheck::validate(xml, xsd); });
    std::printf("checks before export: %.1f ms\n", checks);
    std::printf("XML built: %.1f ms (%.1f MB, %d progress ticks); engine reads %.1f ms\n", build,
                xml.size() / 1e6, ticks / 3, engineRead);
    std::printf("file written: %.1f ms; schema check: %.1f ms (%s)\n", write, validate,
                v.valid ? "valid" : qPrintable(v.problems.value(0)));
    const double whole = collect + checks + build + write + validate;
    std::printf("collection + checks + file + schema check: %.1f ms, %.2f x the engine's "
                "collection SQL (%.1f ms) and reads (%.1f ms)\n",
                whole, whole / (engine + engineRead), engine, engineRead);
    d.disconnect();
    // The collection is held to twice the engine's own time for its SQL; the
    // file and its validation are shown beside it.
    const bool met = collect <= 2 * engine;
    std::printf("%s\n", met ? "collection target met" : "COLLECTION TARGET MISSED");
    return met ? 0 : 1;
}
