#include "m2008.h"
#include "safefile.h"

#include "Query.h"
#include "Unit2.h"
#include "reports/engine/Report.h"
#include "settings.h"
#include "textfile.h"
#include "values.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <cmath>
#include <iconv.h>
#include <stdexcept>

namespace m2008 {

namespace {

QString digits(const QString& dateText)
{
    // yyyy.mm.dd -> yyyymmdd
    return dateText.mid(0, 4) + dateText.mid(5, 2) + dateText.mid(8, 2);
}

// The ISO-8859-2 reading of one byte.
QChar isoChar(unsigned char b)
{
    static QHash<unsigned char, QChar> cache;
    auto it = cache.constFind(b);
    if (it != cache.constEnd())
        return *it;
    QChar out('?');
    iconv_t cd = iconv_open("UTF-8", "ISO-8859-2");
    if (cd != iconv_t(-1)) {
        char in[1] = {char(b)};
        char buf[8] = {};
        char* src = in;
        char* dst = buf;
        size_t srcLeft = 1, dstLeft = sizeof buf;
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1)) {
            const QString s = QString::fromUtf8(buf, int(dst - buf));
            if (s.size() == 1)
                out = s[0];
        }
        iconv_close(cd);
    }
    cache.insert(b, out);
    return out;
}

bool isoSafe(QChar c)
{
    if (c.unicode() < 0x80)
        return true;
    static QHash<ushort, bool> cache;
    auto it = cache.constFind(c.unicode());
    if (it != cache.constEnd())
        return *it;
    const QByteArray b = textfile::toWin1250(QString(c));
    const bool safe = b.size() == 1 && b[0] != '?' && isoChar(uchar(b[0])) == c;
    cache.insert(c.unicode(), safe);
    return safe;
}

void sql(TQuery* q, const QString& text)
{
    q->close();
    q->clearSql();
    q->add(text);
}

QString amountColumn(bool sumvar) { return sumvar ? "F_SUMVAR" : "F_MUVKTG"; }

void bindPeriod(TQuery* q, const rec::Context& ctx, const Period& p)
{
    q->setDate("p1", p.from);
    q->setDate("p2", p.to);
    q->setText("p3", ctx.akod);
}

Producer readProducer(TQuery* q, const QString& kod)
{
    sql(q, "SELECT * FROM ostermelo WHERE o_kod = :p1");
    q->setText("p1", kod);
    q->open();
    Producer p;
    if (q->isEmpty())
        return p;
    p.kod = q->asString("O_KOD");
    p.nev = q->asString("O_NEV");
    p.adoazon = q->asString("O_ADOAZON");
    p.neme = q->asString("O_NEME");
    p.igszam = q->asString("O_IGSZAM");
    p.csgazd = q->asString("O_CSGAZD");
    p.szulnev = q->asString("O_SZULNEV");
    p.anyja = q->asString("O_ANYJA");
    p.szulhely = q->asString("O_SZULHELY");
    p.adoszam = q->asString("O_ADOSZAM");
    p.szido = q->isNull("O_SZIDO") ? QDate() : q->asDate("O_SZIDO");
    return p;
}

Buyer readBuyer(TQuery* q, const rec::Context& ctx)
{
    sql(q, "SELECT * FROM atvevo WHERE v_akod = :p0");
    q->setText("p0", ctx.akod);
    q->open();
    Buyer b;
    if (!q->isEmpty()) {
        b.adoszam = q->asString("V_ADOSZAM");
        b.adoazon = q->asString("V_ADOAZON");
        b.neve = q->asString("V_NEVE");
    }
    return b;
}

// "kód név: mező „x”" for each unsafe field, so the user knows what to correct.
void checkField(QStringList& out, const QString& who, const QString& field, const QString& v)
{
    const QString bad = isoUnsafeChars(v);
    if (!bad.isEmpty())
        out << who + ": " + field + " (" + bad + ")";
}

} // namespace

bool sameMonth(const QString& tol, const QString& ig) { return tol.mid(5, 2) == ig.mid(5, 2); }

QString baseFolder() { return settings::winPath("C:\\VADMO7\\"); }

QString monthFolder(const QString& base, const QString& tol)
{
    QString b = base;
    if (!b.endsWith('/'))
        b += '/';
    return b + tol.mid(5, 2) + '/';
}

QString monthFolderText(const QString& base, const QString& tol)
{
    return QDir::toNativeSeparators(monthFolder(base, tol));
}

QString formatAmount(double v)
{
    // A sum of many amounts carries binary noise (1234.4999999998 for 1234.5):
    // settle it at a millionth before the half-way rule decides.
    const double settled = std::round(v * 1e6) / 1e6;
    const double r = std::round(settled); // halves away from zero
    if (r == 0)
        return "0";
    return QString::number(r, 'f', 0);
}

bool amountFromSumvar(const QString& form9IniPath)
{
    const settings::IniFile ini(form9IniPath);
    return ini.readString("Form9", "Edit15Visible", "0") == "1";
}

QStringList importLines(const Buyer& b, const Producer& p, const QString& amount,
                        const Period& period)
{
    QString nev1, nev2, szn1, szn2, any1, any2;
    TData::ujnev(p.nev, nev1, nev2);
    TData::ujnev(p.szulnev, szn1, szn2);
    TData::ujnev(p.anyja, any1, any2);
    // The register's null date is 1899.12.30 (day zero of the original platform).
    const QString szido = p.szido.isValid() ? p.szido.toString("yyyyMMdd") : "18991230";
    return {
        "$ny_azon=2008M",
        "$sorok_száma=26",
        "$d_lapok_száma=0",
        "$info=" + p.kod + "_" + p.nev + "_" + p.adoazon,
        "13841=" + b.adoszam,
        "13842=" + b.adoazon,
        "13843=" + b.neve,
        "17428=",
        "17429=",
        "17430=",
        "13844=" + p.adoazon,
        "13845=" + p.neme,
        "13846=HU",
        "13848=" + p.igszam,
        "13849=" + p.csgazd,
        "14807=" + nev1,
        "14808=" + nev2,
        "17052=" + szn1,
        "17053=" + szn2,
        "17054=" + any1,
        "17055=" + any2,
        "13854=" + p.szulhely,
        "13855=" + szido,
        "16697=" + digits(period.tol),
        "16698=" + digits(period.ig),
        "24804=" + amount,
        "24805=1",
        "13847=" + p.adoszam,
    };
}

QString importFileName(const QString& folder, const QString& tol, const QString& adoazon)
{
    return folder + "2008M" + tol.mid(0, 4) + tol.mid(5, 2) + "_" + adoazon + ".imp";
}

QString listFileName(const QString& folder, const QString& tol, const QString& ig)
{
    return folder + "2008M_" + digits(tol) + "_" + ig.mid(5, 2) + ig.mid(8, 2) + ".txt";
}

QString isoUnsafeChars(const QString& text)
{
    QString out;
    for (QChar c : text)
        if (!isoSafe(c) && !out.contains(c))
            out += c;
    return out;
}

void writeFile(const QString& path, const QStringList& lines)
{
    QByteArray data;
    for (const QString& l : lines) {
        data += textfile::toWin1250(l);
        data += "\r\n";
    }
    if (const int e = safefile::writeAll(path, data))
        throw std::runtime_error(
            ("Hiba113! Nem sikerült a fájl írása: " + QDir::toNativeSeparators(path) + " (" +
             safefile::reason(e) + ")")
                .toStdString());
}

Result collect(const rec::Context& ctx, TQuery* grid, const Period& period,
               const QString& folder, bool sumvar)
{
    Result res;
    TQuery aux(ctx.db, "m2008aux");
    const QString col = amountColumn(sumvar);

    const Buyer buyer = readBuyer(&aux, ctx);

    sql(&aux, "SELECT F_AKOD, sum(" + col + ") AS m_osszesen FROM FjFej "
              "WHERE (F_FIZKELT BETWEEN :p1 AND :p2) AND (F_AKOD = :p3) GROUP BY F_AKOD");
    bindPeriod(&aux, ctx, period);
    aux.open();
    res.total = formatAmount(aux.isEmpty() ? 0.0 : aux.asFloat("M_OSSZESEN"));

    sql(grid, "SELECT F_OSTERMKOD, sum(" + col + ") AS kifizetett FROM FjFej "
              "WHERE (F_FIZKELT BETWEEN :p1 AND :p2) AND (F_AKOD = :p3) "
              "GROUP BY F_OSTERMKOD ORDER BY F_OSTERMKOD");
    bindPeriod(grid, ctx, period);
    grid->open();

    // One file per tax id: records sharing it are one person to the authority,
    // so their amounts are added; the personal lines come from the record with
    // the highest code (the last one in code order).
    struct File {
        Producer p;
        double amount = 0;
    };
    QMap<QString, File> byName;
    QStringList order; // file names in the order of their first producer
    QStringList unsafe;
    checkField(unsafe, "Átvevő", "adószám", buyer.adoszam);
    checkField(unsafe, "Átvevő", "adóazonosító", buyer.adoazon);
    checkField(unsafe, "Átvevő", "név", buyer.neve);
    const int keep = grid->recNo();
    for (grid->first(); !grid->eof(); grid->next()) {
        const QString kod = grid->asString("F_OSTERMKOD");
        const Producer p = readProducer(&aux, kod);
        const QString who = "Őstermelő " + kod + " " + p.nev;
        const struct {
            const char* field;
            const QString& v;
        } fields[] = {{"kód", p.kod},           {"név", p.nev},
                      {"adóazonosító", p.adoazon}, {"neme", p.neme},
                      {"igazolványszám", p.igszam}, {"családi gazdaság", p.csgazd},
                      {"születési név", p.szulnev}, {"anyja neve", p.anyja},
                      {"születési hely", p.szulhely}, {"adószám", p.adoszam}};
        for (const auto& f : fields)
            checkField(unsafe, who, QString::fromUtf8(f.field), f.v);
        const QString name = importFileName(folder, period.tol, p.adoazon);
        if (!byName.contains(name))
            order << name;
        File& file = byName[name];
        file.p = p;
        file.amount += grid->asFloat("KIFIZETETT");
    }
    if (keep >= 0)
        grid->moveTo(keep);
    else
        grid->first();

    if (!unsafe.isEmpty()) {
        res.message = "Javitandó! Az alábbi adatokban olyan karakter van, amelyet a "
                      "nyomtatványkitöltő program másként olvas (pl. „ ” – € Š ś). "
                      "Nem készült fájl.\n" +
                      unsafe.join('\n');
        return res;
    }

    try {
        // A missing month folder is made: the user was told where the files go.
        if (!QDir().mkpath(folder))
            throw std::runtime_error(("Hiba113! Nem hozható létre a könyvtár: " +
                                      QDir::toNativeSeparators(folder))
                                         .toStdString());
        // DeleteTempFiles: the month folder holds only this run's files.
        QDir dir(folder);
        for (const QFileInfo& fi : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System |
                                                     QDir::NoDotAndDotDot))
            QFile::remove(fi.absoluteFilePath()); // one that cannot go is skipped

        for (const QString& name : order) {
            const File& f = byName[name];
            writeFile(name, importLines(buyer, f.p, formatAmount(f.amount), period));
            res.files << name;
        }
        res.listFile = listFileName(folder, period.tol, period.ig);
        writeFile(res.listFile, res.files);
    } catch (const std::runtime_error& e) {
        // The files written so far are whole; the list file is not written.
        res.message = QString::fromUtf8(e.what());
        res.listFile.clear();
        return res;
    }
    res.ok = true;
    return res;
}

void preparePrint(const rec::Context& ctx, TQuery* rows, TQuery* buyer, const Period& period,
                  bool sumvar, const QString& total)
{
    sql(rows, "SELECT F_OSTERMKOD, sum(" + amountColumn(sumvar) + ") AS m_vetelar, "
              "O_NEV, O_IGSZAM, O_ADOAZON FROM FjFej LEFT JOIN Ostermelo ON F_OSTERMKOD = O_KOD "
              "WHERE (F_FIZKELT BETWEEN :p1 AND :p2) AND (F_AKOD = :p3) "
              "GROUP BY F_OSTERMKOD, O_NEV, O_IGSZAM, O_ADOAZON");
    bindPeriod(rows, ctx, period);
    rows->open();
    readBuyer(buyer, ctx);
    rep::setVariable("v_osszesen", total);
    rep::setVariable("v_tol", period.tol);
    rep::setVariable("v_ig", period.ig);
}

} // namespace m2008
