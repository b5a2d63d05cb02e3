#include "m2008.h"
#include "safefile.h"

#include "Query.h"
#include "masterdata/checks.h"
#include "reports/engine/Report.h"
#include "settings.h"
#include "textfile.h"
#include "values.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
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

// What the checks found, by kind; each kind is listed with its own heading.
struct Problems {
    QStringList unsafe;  // characters the form program reads differently
    QStringList control; // line breaks and other control characters
    QStringList taxIds;  // missing or wrong tax ids (they name the files)
};

// A name as the message shows it: control characters would break the message.
QString shown(const QString& s)
{
    QString out = s;
    for (QChar& c : out)
        if (checks::controlChar(QString(c)))
            c = QLatin1Char(' ');
    return out;
}

// "kód név: mező (x)" for each unsafe field, so the user knows what to correct.
void checkField(Problems& out, const QString& who, const QString& field, const QString& v)
{
    const QString bad = isoUnsafeChars(v);
    if (!bad.isEmpty())
        out.unsafe << who + ": " + field + " (" + bad + ")";
    if (const auto c = checks::controlChar(v))
        out.control << who + ": " + field + " (" + checks::controlCharName(*c) + ")";
}

QString problemText(const Problems& p)
{
    QStringList parts;
    if (!p.taxIds.isEmpty())
        parts << "Javitandó! Az adóazonosító jel adja a fájl nevét: az alábbi őstermelőknek "
                 "hiányzik vagy hibás. Nem készült fájl, a hónap könyvtára nem változott.\n" +
                     p.taxIds.join('\n');
    if (!p.control.isEmpty())
        parts << "Javitandó! Az alábbi adatokban vezérlőkarakter (pl. sortörés) van, amely "
                 "a fájlban új sort kezdene. Nem készült fájl.\n" +
                     p.control.join('\n');
    if (!p.unsafe.isEmpty())
        parts << "Javitandó! Az alábbi adatokban olyan karakter van, amelyet a "
                 "nyomtatványkitöltő program másként olvas (pl. „ ” – € Š ś). "
                 "Nem készült fájl.\n" +
                     p.unsafe.join('\n');
    return parts.join("\n\n");
}

[[noreturn]] void writeFailed(const QString& path, const QString& why)
{
    throw std::runtime_error(("Hiba113! Nem sikerült a fájl írása: " +
                              QDir::toNativeSeparators(path) + " (" + why + ")")
                                 .toStdString());
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

void splitName(const QString& name, QString& first, QString& second)
{
    first = " ";
    second = " ";
    const int pos = int(name.lastIndexOf(' '));
    if (pos < 0) {
        second = name;
        return;
    }
    first = name.left(pos + 1);
    second = name.mid(pos + 1);
}

QStringList importLines(const Buyer& b, const Producer& p, const QString& amount,
                        const Period& period)
{
    QString nev1, nev2, szn1, szn2, any1, any2;
    splitName(p.nev, nev1, nev2);
    splitName(p.szulnev, szn1, szn2);
    splitName(p.anyja, any1, any2);
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
               const QString& folder, bool sumvar, const Cancelled& cancelled)
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
    Problems problems;
    checkField(problems, "Átvevő", "adószám", buyer.adoszam);
    checkField(problems, "Átvevő", "adóazonosító", buyer.adoazon);
    checkField(problems, "Átvevő", "név", buyer.neve);
    const int keep = grid->recNo();
    const qint64 count = grid->recordCount();
    qint64 done = 0;
    for (grid->first(); !grid->eof(); grid->next()) {
        const QString kod = grid->asString("F_OSTERMKOD");
        const Producer p = readProducer(&aux, kod);
        const QString who = "Őstermelő " + shown(kod) + " " + shown(p.nev);
        // The tax id names the file: one missing would put several people
        // into one nameless file, one malformed would break the path.
        if (p.adoazon.trimmed().isEmpty())
            problems.taxIds << shown(kod) + " " + shown(p.nev) + ": hiányzik az adóazonosító jel";
        else if (!checks::adoazonRendben(p.adoazon))
            problems.taxIds << shown(kod) + " " + shown(p.nev) + ": hibás adóazonosító jel (" +
                                   shown(p.adoazon) + ")";
        const struct {
            const char* field;
            const QString& v;
        } fields[] = {{"kód", p.kod},           {"név", p.nev},
                      {"adóazonosító", p.adoazon}, {"neme", p.neme},
                      {"igazolványszám", p.igszam}, {"családi gazdaság", p.csgazd},
                      {"születési név", p.szulnev}, {"anyja neve", p.anyja},
                      {"születési hely", p.szulhely}, {"adószám", p.adoszam}};
        for (const auto& f : fields)
            checkField(problems, who, QString::fromUtf8(f.field), f.v);
        const QString name = importFileName(folder, period.tol, p.adoazon);
        if (!byName.contains(name))
            order << name;
        File& file = byName[name];
        file.p = p;
        file.amount += grid->asFloat("KIFIZETETT");
        if (cancelled && cancelled(++done, count)) {
            res.cancelled = true;
            res.message = "A kigyűjtés megszakítva. Nem készült fájl, a hónap könyvtára nem "
                          "változott.";
            break;
        }
    }
    if (keep >= 0)
        grid->moveTo(keep);
    else
        grid->first();
    if (res.cancelled)
        return res;

    if (!problems.unsafe.isEmpty() || !problems.control.isEmpty() || !problems.taxIds.isEmpty()) {
        res.message = problemText(problems);
        return res;
    }

    try {
        // A missing month folder is made: the user was told where the files go.
        if (!QDir().mkpath(folder))
            throw std::runtime_error(("Hiba113! Nem hozható létre a könyvtár: " +
                                      QDir::toNativeSeparators(folder))
                                         .toStdString());
        // The new set is written whole beside the old one first: a file that
        // cannot be written leaves last run's set as it was.
        // A run cut short (power loss) may have left its staging folder.
        for (const QString& old : QDir(folder).entryList({".vadmo7-uj-*"},
                                                         QDir::Dirs | QDir::Hidden))
            QDir(folder + old).removeRecursively();
        QTemporaryDir stage(folder + ".vadmo7-uj-XXXXXX");
        if (!stage.isValid())
            writeFailed(folder, stage.errorString());
        const QString stageDir = stage.path() + '/';
        QStringList staged; // beside `order`, then the list file
        auto writeStaged = [&](const QString& target, const QStringList& lines) {
            const QString tmp = stageDir + QFileInfo(target).fileName();
            try {
                writeFile(tmp, lines);
            } catch (const std::runtime_error& e) {
                // Name the file the user knows, not the staging copy.
                throw std::runtime_error(
                    QString::fromUtf8(e.what())
                        .replace(QDir::toNativeSeparators(tmp), QDir::toNativeSeparators(target))
                        .toStdString());
            }
            staged << tmp;
        };
        for (const QString& name : order) {
            const File& f = byName[name];
            writeStaged(name, importLines(buyer, f.p, formatAmount(f.amount), period));
        }
        const QString listFile = listFileName(folder, period.tol, period.ig);
        writeStaged(listFile, order);

        // DeleteTempFiles: the month folder holds only this run's files.
        QDir dir(folder);
        for (const QFileInfo& fi : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System |
                                                     QDir::NoDotAndDotDot))
            QFile::remove(fi.absoluteFilePath()); // one that cannot go is skipped

        QStringList targets = order;
        targets << listFile;
        for (int i = 0; i < targets.size(); ++i) {
            if (std::rename(QFile::encodeName(staged[i]).constData(),
                            QFile::encodeName(targets[i]).constData()) != 0)
                writeFailed(targets[i], safefile::reason(errno));
            if (i < order.size())
                res.files << targets[i];
        }
        res.listFile = listFile;
        safefile::syncDir(folder);
    } catch (const std::runtime_error& e) {
        // The files moved so far are whole; the list file is not there.
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
    const Buyer b = readBuyer(buyer, ctx);
    // The buyer's lines as the other lists print them: the whole street line
    // (district first), and the sole trader's tax identifier only when there is one.
    QStringList street;
    for (const char* c : {"V_KERULET", "V_UTCA", "V_JELLEG", "V_HAZSZAM", "V_EPULET", "V_LEPCSO",
                          "V_SZINT", "V_AJTO"})
        if (!buyer->isEmpty() && !buyer->asString(c).trimmed().isEmpty())
            street << buyer->asString(c).trimmed();
    rep::setVariable("v_atvevoutca", street.join(' '));
    rep::setVariable("v_adoazon",
                     b.adoazon.trimmed().isEmpty() ? QString() : "Adóazonosító: " + b.adoazon.trimmed());
    rep::setVariable("v_osszesen", total);
    rep::setVariable("v_tol", period.tol);
    rep::setVariable("v_ig", period.ig);
}

QString summaryFileName(const Period& period)
{
    QString tol = period.tol, ig = period.ig;
    return "2008M_osszesito_" + tol.replace('.', '-') + "_" + ig.replace('.', '-') + ".pdf";
}

} // namespace m2008
