// Prepares a 5 000-row period list and a master/detail list, writes both as
// PDF and prints the time per 1 000 rows: the report engine's preparation and
// Qt's PDF writing apart. Exits 1 when the preparation misses its target.
// Usage: bench_report [output folder] (the PDFs stay there for a look;
// default: a temporary folder).

#include "reports/engine/Report.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class Rows : public rep::DataSet {
public:
    Rows(const QString& name, int n) : rep::DataSet(name), n_(n) {}
    void first() override { i_ = 0; }
    bool eof() override { return i_ >= n_; }
    void next() override { ++i_; }
    bool field(const QString& f, QVariant* out) const override
    {
        const QString u = f.toUpper();
        if (u == "S_BSZAM") *out = QString("%1").arg(10000000 + i_);
        else if (u == "O_NEV") *out = QString("Őstermelő Ügyfél %1").arg(i_ % 97);
        else if (u == "S_MEGNEVEZES") *out = QStringList({"Búza", "Kukorica", "Napraforgó", "Őszi árpa", "Tűzifa"})[i_ % 5];
        else if (u == "S_NETTO") *out = 100.0 + (i_ * 37) % 5000;
        else if (u == "S_EAR") *out = 45.5 + i_ % 13;
        else if (u == "S_VETELAR") *out = (100.0 + (i_ * 37) % 5000) * (45.5 + i_ % 13);
        else if (u == "F_FIZKELT") *out = QDate(2024, 1, 1).addDays(i_ % 366);
        else return false;
        return true;
    }
    QStringList fieldNames() const override
    {
        return {"S_BSZAM", "O_NEV", "S_MEGNEVEZES", "S_NETTO", "S_EAR", "S_VETELAR", "F_FIZKELT"};
    }

private:
    int n_;
    int i_ = 0;
};

const char* kList = R"T(page A4 landscape margins=10,10,10,10
font "DejaVu Sans" 8
band pageheader height=16
  text x=0 y=0 w=277 h=7 size=12 bold align=center "Tételes lista – [v_tol] - [v_ig]"
  text x=0 y=8 w=40 h=5 bold frame=b "Bszám"
  text x=40 y=8 w=80 h=5 bold frame=b "Őstermelő"
  text x=120 y=8 w=50 h=5 bold frame=b "Termék"
  text x=170 y=8 w=25 h=5 bold frame=b "Dátum"
  text x=195 y=8 w=25 h=5 bold frame=b align=right "Mennyiség"
  text x=220 y=8 w=20 h=5 bold frame=b align=right "E.ár"
  text x=240 y=8 w=37 h=5 bold frame=b align=right "Vételár"
end
band pagefooter height=8
  text x=0 y=2 w=277 h=5 align=right "[PAGE] / [PAGES]"
end
data frDBDataSet1
  band row height=4.5
    text x=0 y=0 w=40 h=4.5 "[S_BSZAM]"
    text x=40 y=0 w=80 h=4.5 "[O_NEV]"
    text x=120 y=0 w=50 h=4.5 "[S_MEGNEVEZES]"
    text x=170 y=0 w=25 h=4.5 "[date(F_FIZKELT)]"
    text x=195 y=0 w=25 h=4.5 align=right "[fmtnum(S_NETTO, 0)]"
    text x=220 y=0 w=20 h=4.5 align=right "[fixed(S_EAR, 2)]"
    text x=240 y=0 w=37 h=4.5 align=right "[fmtnum(S_VETELAR, 2)]"
  end
  band footer height=8
    line x1=195 y1=0.5 x2=277 y2=0.5 width=0.3
    text x=195 y=1 w=82 h=5 bold align=right "Összesen: [fmtnum(sum(S_VETELAR), 2)] Ft"
  end
end
)T";

struct Timing {
    double prepare = -1; // ms per 1 000 rows
    double pdf = -1;
};

Timing run(rep::Report& r, const QString& pdf, int rows)
{
    QElapsedTimer t;
    t.start();
    if (!r.prepare()) {
        std::fprintf(stderr, "prepare failed: %s\n", qPrintable(r.errorText()));
        return {};
    }
    const qint64 prep = t.nsecsElapsed();
    if (!r.exportPdf(pdf)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(pdf));
        return {};
    }
    const qint64 all = t.nsecsElapsed();
    Timing out;
    out.prepare = prep / 1e6 / rows * 1000;
    out.pdf = (all - prep) / 1e6 / rows * 1000;
    std::printf("%-22s %5d rows %4d pages  prepare %7.1f ms  pdf %7.1f ms  (per 1000 rows: %.1f + %.1f ms)\n",
                qPrintable(r.templateName()), rows, int(r.pages().size()), prep / 1e6, (all - prep) / 1e6,
                out.prepare, out.pdf);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    QDir().mkpath(outDir);

    rep::setVariable("v_tol", QString("2024.01.01"));
    rep::setVariable("v_ig", QString("2024.12.31"));
    rep::DataRegistry reg;
    const int n = 5000;
    reg.add(std::make_unique<Rows>("frDBDataSet1", n));

    // master/detail: producers with their lines, and a group per product
    int mi = 0, di = 0;
    const int masters = 40;
    auto* m = reg.addUserDataSet("frUserDataset3");
    auto* d = reg.addUserDataSet("frUserDataset4");
    m->setCallbacks([&] { mi = 0; }, [&] { ++mi; }, [&] { return mi >= masters; });
    m->onField = [&](const QString& f, QVariant* out) {
        if (f.compare("O_NEV", Qt::CaseInsensitive) == 0) *out = QString("Kőműves Győző %1. őstermelő").arg(mi + 1);
        else if (f.compare("O_KOD", Qt::CaseInsensitive) == 0) *out = QString("%1").arg(mi + 1, 5, 10, QChar('0'));
        else return false;
        return true;
    };
    d->setCallbacks([&] { di = 0; }, [&] { ++di; }, [&] { return di >= 3 + mi % 9; });
    d->onField = [&](const QString& f, QVariant* out) {
        const QString u = f.toUpper();
        if (u == "S_MEGNEVEZES") *out = QStringList({"Búza", "Kukorica", "Tűzifa", "Szőlő"})[di % 4];
        else if (u == "S_NETTO") *out = 1000.0 * (di + 1) + mi;
        else if (u == "S_VETELAR") *out = (1000.0 * (di + 1) + mi) * 61.25;
        else return false;
        return true;
    };

    rep::Report list("frNyomtat", rep::Report::Kind::Print, &reg);
    list.loadFromText(kList, "FjLista4.frf");
    run(list, outDir + "/warmup.pdf", n); // fonts and caches once
    const Timing per = run(list, outDir + "/FjLista4.pdf", n);

    rep::Report md("frNyomtat", rep::Report::Kind::Print, &reg);
    md.loadFromText(R"T(page A4 portrait margins=15,12,12,12
font "DejaVu Sans" 9
band title height=14
  text x=0 y=0 w=183 h=8 size=14 bold align=center "Őstermelőnkénti lista"
  text x=0 y=8 w=183 h=5 align=center "Fizetési dátum szerint: [v_tol] - [v_ig]"
end
band pagefooter height=8
  text x=0 y=2 w=183 h=5 italic align=right "[PAGE] / [PAGES]"
end
data frUserDataset3
  band row height=8
    text x=0 y=2 w=25 h=6 bold frame=tb "[O_KOD]"
    text x=25 y=2 w=158 h=6 bold frame=tb "[O_NEV]"
  end
  data frUserDataset4
    band header height=5
      text x=10 y=0 w=70 h=5 italic "Termék"
      text x=80 y=0 w=40 h=5 italic align=right "Nettó (kg)"
      text x=120 y=0 w=63 h=5 italic align=right "Vételár (Ft)"
    end
    band row height=5
      text x=10 y=0 w=70 h=5 "[S_MEGNEVEZES]"
      text x=80 y=0 w=40 h=5 align=right "[fmtnum(S_NETTO, 0)]"
      text x=120 y=0 w=63 h=5 align=right "[fmtnum(S_VETELAR, 2)]"
    end
    band footer height=6
      line x1=80 y1=0.5 x2=183 y2=0.5
      text x=10 y=1 w=70 h=5 bold "Összesen [sum(1)] tétel"
      text x=120 y=1 w=63 h=5 bold align=right "[fmtnum(sum(S_VETELAR), 2)]"
    end
  end
end
)T", "FjLista8.frf");
    int mdRows = 0;
    for (int k = 0; k < masters; ++k)
        mdRows += 3 + k % 9;
    const Timing md8 = run(md, outDir + "/FjLista8.pdf", mdRows);
    if (per.prepare < 0 || md8.prepare < 0)
        return 2;
    std::printf("R prepare_per_1000_ms %.3f\n", std::max(per.prepare, md8.prepare));
    std::printf("R pdf_per_1000_ms %.3f\n", per.pdf);
    const bool ok = per.prepare <= 40 && md8.prepare <= 40;
    std::printf("report preparation: %.1f ms per 1000 rows (target <= 40): %s\n",
                std::max(per.prepare, md8.prepare), ok ? "ok" : "MISSED");
    return ok ? 0 : 1;
}
