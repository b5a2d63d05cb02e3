#include "auditxml.h"
#include "safefile.h"

#include "Query.h"
#include "applog.h"
#include "settings.h"
#include "textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <stdexcept>

namespace auditxml {

namespace {

const char* const kDefaultPath = "C:\\VADMO6\\szamlak.xml";
const char* const kDefaultPapir = "Papir alapon számítógéppel kiállított";

void sql(TQuery* q, const QString& text)
{
    q->close();
    q->clearSql();
    q->add(text);
}

QString mapped(const QString& path)
{
    static const QRegularExpression win("^[A-Za-z]:[\\\\/]");
    return win.match(path).hasMatch() ? settings::winPath(path) : path;
}

// The columns of the work table in the order the collection fills them, with
// what fills each.
struct Col {
    const char* name;
    const char* source;
};
const Col kColumns[] = {
    {"FE_SZLASORSZAM", "F_BSZAM"},
    {"FE_SZLADATUM", "F_KELT"},
    {"FE_TELJDATUM", "F_FELVKELT"},
    {"NE_FIZ_MOD", "F_UTAL"},
    {"TE_ARENGEDM", "0"},
    {"FE_SZLATIPUS", "F_TIPUS"},
    {"MO_EREDETI_SORSZAM", "F_ERVENYT"},
    {"NE_FIZ_HATARIDO", "F_FIZKELT"},
    {"SZJA_BRUTTOAR", "-F_SZJALEVON"},
    {"TAGI_BRUTTOAR", "-F_TAGILEVON"},
    {"LEV_BRUTTOAR", "-F_LEVONAS"},
    {"KI_NEV", "V_NEVE"},
    {"KI_IRANYITOSZAM", "V_IRSZAM"},
    {"KI_TELEPULES", "V_HELYSEG"},
    {"KI_KOZTERULET_NEVE", "V_UTCA"},
    {"KI_ADOSZAM", "V_ADOSZAM"},
    {"NE_KIBOCSATO_BANKSZLA", "V_BANKSZLA"},
    {"KI_KERULET", "V_KERULET"},
    {"KI_KOZTERULET_JELLEGE", "V_JELLEG"},
    {"KI_HAZSZAM", "V_HAZSZAM"},
    {"KI_EPULET", "V_EPULET"},
    {"KI_LEPCSOHAZ", "V_LEPCSO"},
    {"KI_SZINT", "V_SZINT"},
    {"KI_AJTO", "V_AJTO"},
    {"VE_NEV", "O_NEV"},
    {"VE_IRANYITOSZAM", "O_IRSZAM"},
    {"VE_TELEPULES", "O_HELYSEGNEV"},
    {"VE_KOZTERULET_NEVE", "O_UTCA"},
    {"VE_ADOSZAM", "O_ADOSZAM"},
    {"NE_BEFOGADO_BANKSZLA", "O_BANKSZLA"},
    {"VE_KERULET", "O_KERULET"},
    {"VE_KOZTERULET_JELLEGE", "O_JELLEG"},
    {"VE_HAZSZAM", "O_HAZSZAM"},
    {"VE_EPULET", "O_EPULET"},
    {"VE_LEPCSOHAZ", "O_LEPCSO"},
    {"VE_SZINT", "O_SZINT"},
    {"VE_AJTO", "O_AJTO"},
    {"KI_EGYENI_VALLALKOZO", "V_EV"},
    {"KI_EV_NYILV_TART_SZAM", "V_EVNYILV"},
    {"KI_EV_NEVE", "V_EV_NEVE"},
    {"ZA_ONSZAMLA", "CAST(:onszla AS VARCHAR(100))"},
    {"NE_PENZNEM", "'Ft'"},
    {"NE_SZLA_FORMA", "CAST(:papir AS VARCHAR(100))"},
    {"TE_ADOKULCS", "0"},
    {"TE_ADOERTEK", "0"},
    {"KI_KISADOZO", "V_KISADO"},
    {"KI_KOZADOSZAM", "V_KOZADOSZAM"},
    {"VE_KOZADOSZAM", "O_KOZADOSZAM"},
};

QString ticketFilter(const Range& r)
{
    switch (r.kind) {
    case RangeKind::IssueDate: return "(F_KELT BETWEEN :p1 AND :p2)";
    case RangeKind::PurchaseDate: return "(F_FELVKELT BETWEEN :p1 AND :p2)";
    case RangeKind::Number: break;
    }
    return "(F_BSZAM BETWEEN :p4 AND :p5)";
}

void bindRange(TQuery* q, const rec::Context& ctx, const Range& r)
{
    q->setText("p3", ctx.akod);
    if (r.kind == RangeKind::Number) {
        q->setText("p4", r.numFrom);
        q->setText("p5", r.numTo);
    } else {
        q->setDate("p1", r.from);
        q->setDate("p2", r.to);
    }
}

const QString kJoin = " FROM FjFej INNER JOIN Ostermelo ON F_OSTERMKOD = O_KOD "
                      "INNER JOIN Atvevo ON V_AKOD = F_AKOD WHERE (F_AKOD = :p3) AND ";

// Fields of the work table's rows by name. The name is looked up by its text,
// never by where it is stored: a name put together at run time may sit where
// another one stood a moment before.
class Fields {
public:
    explicit Fields(const TQuery& q) : q_(q)
    {
        for (int i = 0; i < q.fieldCount(); ++i)
            byName_.insert(q.columns()[size_t(i)].name.toUpper().toLatin1(), i);
    }
    QVariant at(QByteArrayView name) const
    {
        // A key over the caller's bytes: a year's export reads a million fields.
        const int i = byName_.value(QByteArray::fromRawData(name.data(), name.size()), -1);
        if (i < 0)
            throw fb::Error(QString("Field '%1' not found").arg(QLatin1StringView(name)));
        return q_.valueAt(q_.recNo(), i);
    }
    QString str(QByteArrayView name) const
    {
        const QVariant v = at(name);
        return v.isNull() ? QString() : v.toString();
    }
    double num(QByteArrayView name) const { return at(name).toDouble(); }
    QDate date(QByteArrayView name) const
    {
        const QVariant v = at(name);
        if (v.isNull())
            return {};
        return v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
    }

private:
    const TQuery& q_;
    QHash<QByteArray, int> byName_;
};

// A document's sums by compensation rate, as the database adds them up.
struct Rate {
    double komp = 0, netto = 0, ado = 0, brutto = 0;
};

class Writer {
public:
    void line(int indent, const QString& text)
    {
        out_.append(indent, ' ');
        out_ += text.toUtf8();
        out_ += "\r\n";
    }
    void open(int indent, const char* name) { tag(indent, name, false); }
    void close(int indent, const char* name) { tag(indent, name, true); }
    // An element with a value already in its written form.
    void raw(int indent, const char* name, const QString& value)
    {
        out_.append(indent, ' ');
        out_ += '<';
        out_ += name;
        out_ += '>';
        out_ += value.toUtf8();
        out_ += "</";
        out_ += name;
        out_ += ">\r\n";
    }
    void text(int indent, const char* name, const QString& value)
    {
        raw(indent, name, xmlText(value));
    }
    // Written only when there is something to write.
    void given(int indent, const char* name, const QString& value)
    {
        if (!value.trimmed().isEmpty())
            text(indent, name, value);
    }
    void amount(int indent, const char* name, double v) { raw(indent, name, xmlAmount(v)); }
    QByteArray take() { return std::move(out_); }

private:
    void tag(int indent, const char* name, bool end)
    {
        out_.append(indent, ' ');
        out_ += end ? "</" : "<";
        out_ += name;
        out_ += ">\r\n";
    }
    QByteArray out_ = "\xEF\xBB\xBF";
};

// The address of either party. The work table names both parties' columns
// alike but for the prefix ("KI_" the buyer issuing the ticket, "VE_" the
// producer) and the element in lower case. The street is written even when
// empty: every address has one.
void address(Writer& w, const Fields& f, const char* prefix)
{
    const struct {
        const char* element;
        bool always;
    } parts[] = {{"iranyitoszam", true},       {"telepules", true}, {"kerulet", false},
                 {"kozterulet_neve", true},    {"kozterulet_jellege", false},
                 {"hazszam", false},           {"epulet", false},   {"lepcsohaz", false},
                 {"szint", false},             {"ajto", false}};
    w.open(6, "cim");
    for (const auto& p : parts) {
        const QString value = f.str(QByteArray(prefix) + QByteArray(p.element).toUpper());
        if (p.always)
            w.text(8, p.element, value);
        else
            w.given(8, p.element, value);
    }
    w.close(6, "cim");
}

// A decimal as the schema counts it: significant digits of the written value.
int totalDigits(const QString& written)
{
    QString s = written;
    s.remove('-');
    if (s.contains('.')) {
        while (s.endsWith('0'))
            s.chop(1);
        if (s.endsWith('.'))
            s.chop(1);
    }
    s.remove('.');
    while (s.startsWith('0'))
        s.remove(0, 1);
    return int(s.size());
}

bool isFlag(const QString& v)
{
    const QString t = v.trimmed();
    return t == "true" || t == "false" || t == "1" || t == "0";
}

} // namespace

QString defaultPath() { return settings::winPath(kDefaultPath); }

Settings readSettings(const QString& iniPath)
{
    const settings::IniFile ini(iniPath);
    Settings s;
    s.hova = mapped(ini.readString("XML", "hova", kDefaultPath));
    s.onszla = ini.readString("XML", "onszla", "true");
    s.papir = ini.readString("XML", "papir", QString::fromUtf8(kDefaultPapir));
    return s;
}

void saveSettings(const QString& iniPath, const Settings& s)
{
    try {
        textfile::writeLines(iniPath,
                             {"[XML]", "hova=" + s.hova, "onszla=" + s.onszla, "papir=" + s.papir});
    } catch (const std::exception&) {
        throw std::runtime_error(
            ("Nem sikerült a beállítások mentése: " + QDir::toNativeSeparators(iniPath))
                .toStdString());
    }
}

rec::Outcome collect(const rec::Context& ctx, const Range& range, const Settings& s)
{
    if (range.from > range.to)
        return rec::Outcome::check("Dátum tól-ig hiba.");
    TQuery q(ctx.db, "navfej");
    rec::Outcome o = rec::unitOfWork(ctx.db, "Hiba402: az delete közben a NAVFEJ-ben!", [&] {
        rec::step("Hiba401: NAVFEJ DELETE törlésekor", [&] {
            sql(&q, "DELETE FROM NAVFEJ ");
            q.execSQL();
        });
    });
    if (!o.ok())
        return o;
    o = rec::unitOfWork(ctx.db, "Hiba402: az delete közben a NAVSOR-ben!", [&] {
        rec::step("Hiba401: NAVSOR DELETE törlésekor", [&] {
            sql(&q, "DELETE FROM NAVSOR ");
            q.execSQL();
        });
    });
    if (!o.ok())
        return o;

    sql(&q, "SELECT * FROM atvevo WHERE v_akod = :p0");
    q.setText("p0", ctx.akod);
    q.open();
    if (q.isEmpty() || q.asString("V_UTCA").trimmed().isEmpty())
        return rec::Outcome::check("Javitandó! Nincs megadva az átvevő utca!");
    const QString koz = q.asString("V_KOZADOSZAM").trimmed();
    if (!koz.isEmpty() && koz.size() < 8)
        return rec::Outcome::check("Javitandó! Közösségi adószám legalább 8 karakter!");

    QStringList cols, sources;
    for (const Col& c : kColumns) {
        cols << c.name;
        sources << c.source;
    }
    return rec::unitOfWork(ctx.db, "Hiba402: az INSERT közben a NAV-ban!", [&] {
        rec::step("Hiba401: NAV INSERT -ben", [&] {
            sql(&q, "INSERT INTO NAVFEJ (" + cols.join(", ") + ") SELECT " + sources.join(", ") +
                        kJoin + ticketFilter(range));
            bindRange(&q, ctx, range);
            q.setText("onszla", s.onszla);
            q.setText("papir", s.papir);
            q.execSQL();
            // A document without its dates cannot be described to the authority;
            // the whole collection is refused, as a failed insert would be.
            sql(&q, "SELECT FIRST 1 FE_SZLASORSZAM FROM NAVFEJ WHERE FE_SZLADATUM IS NULL "
                    "OR FE_TELJDATUM IS NULL OR NE_FIZ_HATARIDO IS NULL");
            q.open();
            if (!q.isEmpty())
                throw fb::Error("Hiányzó dátum a(z) " + q.asString("FE_SZLASORSZAM") +
                                " bizonylatban");
        });
    });
}

QString collectedMessage()
{
    return "1.A FEJ adatok kigyűjtése vége.\r2. Folytatás az \"EXPORT\" gombra.";
}

void openCollected(TQuery* q)
{
    sql(q, "SELECT * FROM NAVFEJ ORDER BY FE_SZLASORSZAM");
    q->open();
}

QString stoppingCheck(fb::Connection* db)
{
    TQuery q(db, "navcheck");
    sql(&q, "SELECT * FROM NAVFEJ");
    q.open();
    const Fields f(q);
    for (q.first(); !q.eof(); q.next()) {
        const QString n = f.str("FE_SZLASORSZAM");
        auto v = [&](const char* c) { return f.str(c).trimmed(); };
        if (v("KI_IRANYITOSZAM").isEmpty())
            return "Javitandó! Nincs megadva az átvevő irányitószám!";
        if (v("VE_IRANYITOSZAM").isEmpty())
            return "Javitandó! Nincs megadva a(z) " + n + "bizonylatban az őstermelő irányitószáma!";
        if (v("VE_IRANYITOSZAM").size() < 4)
            return "Javitandó! Négy karekternél kevesebb a(z) " + n +
                   "bizonylatban az őstermelő irányitószáma!";
        if (v("KI_TELEPULES").isEmpty())
            return "Javitandó! Nincs megadva az átvevő helységnév!";
        if (v("VE_TELEPULES").isEmpty())
            return "Javitandó! Nincs megadva a(z) " + n + "bizonylatban az őstermelő helységnév!";
        if (v("KI_KOZTERULET_NEVE").isEmpty())
            return "Javitandó! Nincs megadva az átvevő utcanév!";
        if (v("VE_KOZTERULET_NEVE").isEmpty())
            return "Javitandó! Nincs megadva a(z) " + n + "bizonylatban az őstermelő utcanév!";
        const QString koz = v("VE_KOZADOSZAM");
        if (!koz.isEmpty() && koz.size() < 8)
            return "Javitandó! Kevesebb mint 8 karakter a(z) " + n +
                   "bizonylatban az őstermelő közösségi adószáma!";
    }
    return QString();
}

namespace {

// The lines of the collected documents. A join, not "IN (SELECT ...)": the work
// table has no index, and the engine would scan it once for every line.
const QString kCollectedLines = "(SELECT DISTINCT FE_SZLASORSZAM FROM NAVFEJ) n "
                                "INNER JOIN FjSor ON S_BSZAM = n.FE_SZLASORSZAM";

struct Doc {
    QList<Line> lines;
    QList<Rate> rates;
};

// Every line and every rate sum of the collected documents, by document number.
QHash<QString, Doc> readLines(fb::Connection* db)
{
    QHash<QString, Doc> docs;
    TQuery q(db, "navlines");
    sql(&q, "SELECT S_BSZAM, S_MEGNEVEZES, S_VTSZ, S_NETTO, S_MEGY, S_FELVAR, S_EAR, "
            "S_KOMPMERTEKE, S_KOMPFELAR, S_VETELAR FROM " + kCollectedLines +
            " ORDER BY S_BSZAM, ID_FJSOR");
    q.open();
    const int cB = q.fieldIndex("S_BSZAM"), cM = q.fieldIndex("S_MEGNEVEZES"),
              cV = q.fieldIndex("S_VTSZ"), cN = q.fieldIndex("S_NETTO"),
              cU = q.fieldIndex("S_MEGY"), cF = q.fieldIndex("S_FELVAR"),
              cE = q.fieldIndex("S_EAR"), cK = q.fieldIndex("S_KOMPMERTEKE"),
              cKF = q.fieldIndex("S_KOMPFELAR"), cVA = q.fieldIndex("S_VETELAR");
    auto str = [&](int r, int c) {
        const QVariant v = q.valueAt(r, c);
        return v.isNull() ? QString() : v.toString();
    };
    auto num = [&](int r, int c) { return q.valueAt(r, c).toDouble(); };
    for (int r = 0; r < q.recordCount(); ++r) {
        Line l;
        l.megnevezes = str(r, cM);
        l.vtsz = str(r, cV);
        l.megy = str(r, cU);
        l.netto = num(r, cN);
        l.felvar = num(r, cF);
        l.ear = num(r, cE);
        l.komp = num(r, cK);
        l.kompfelar = num(r, cKF);
        l.vetelar = num(r, cVA);
        docs[str(r, cB)].lines.append(l);
    }
    sql(&q, "SELECT S_BSZAM, S_KOMPMERTEKE, sum(S_FELVAR) AS a_netto, sum(S_KOMPFELAR) AS a_ado, "
            "sum(S_VETELAR ) AS a_brutto FROM " + kCollectedLines +
            " GROUP BY S_BSZAM, S_KOMPMERTEKE");
    q.open();
    for (int r = 0; r < q.recordCount(); ++r)
        docs[str(r, 0)].rates.append(
            {num(r, 1), num(r, 2), num(r, 3), num(r, 4)});
    return docs;
}

Header readHeader(fb::Connection* db)
{
    TQuery q(db, "navhead");
    sql(&q, "SELECT COUNT(*) AS db, MIN(FE_SZLASORSZAM) AS minbiz, MAX(FE_SZLASORSZAM) AS maxbiz, "
            "MIN(FE_SZLADATUM) AS mindat, MAX(FE_SZLADATUM) AS maxdat FROM NAVFEJ");
    q.open();
    Header h;
    h.count = int(q.asInteger("DB"));
    h.minbiz = q.asString("MINBIZ");
    h.maxbiz = q.asString("MAXBIZ");
    h.mindat = q.isNull("MINDAT") ? QDate() : q.asDate("MINDAT");
    h.maxdat = q.isNull("MAXDAT") ? QDate() : q.asDate("MAXDAT");
    return h;
}

// The deductions of the work table's current row.
Deductions deductionsOf(const Fields& f)
{
    return {f.num("SZJA_BRUTTOAR"), f.num("TAGI_BRUTTOAR"), f.num("LEV_BRUTTOAR")};
}

} // namespace

QStringList schemaProblems(fb::Connection* db, const Options& o)
{
    QStringList out;
    const Header h = readHeader(db);
    if (h.count == 0) {
        out << "Nincs bizonylat a megadott tartományban: az adóhatóság üres állományt nem fogad "
               "el.";
        return out;
    }
    const QHash<QString, Doc> docs = readLines(db);
    TQuery q(db, "navprob");
    openCollected(&q);
    auto add = [&](const QString& n, const QString& what) {
        out << "A(z) " + n + " bizonylat: " + what;
    };
    int badOnszla = 0, badForma = 0;
    QString firstOnszla, firstForma;
    const Fields f(q);
    for (q.first(); !q.eof(); q.next()) {
        const QString n = f.str("FE_SZLASORSZAM").trimmed();
        auto v = [&](const char* c) { return f.str(c).trimmed(); };
        // Every text of the row: control characters never reach the file.
        for (int c = 0; c < q.fieldCount(); ++c) {
            const QVariant value = q.valueAt(q.recNo(), c);
            if (value.typeId() == QMetaType::QString && hasControlChars(value.toString()))
                add(n, q.columns()[size_t(c)].name + ": vezérlőkarakter (a fájlba nem kerül be)");
        }
        // The settings as collected: the file is written from the work table.
        const QString on = f.str("ZA_ONSZAMLA");
        if (!isFlag(on) && badOnszla++ == 0)
            firstOnszla = n + ": \"" + on + "\"";
        const QString forma = v("NE_SZLA_FORMA");
        if (o.nemKotelezo && (forma.isEmpty() || forma.size() > 100) && badForma++ == 0)
            firstForma = n;
        const QString tipus = v("FE_SZLATIPUS");
        if (!QStringList{"1", "2", "3", "4", "5", "6"}.contains(tipus))
            add(n, "bizonylattípus (FE_SZLATIPUS) \"" + tipus + "\" nem 1–6");
        const QString adoszam = v("KI_ADOSZAM");
        if (adoszam.size() < 8)
            add(n, "átvevő adószáma (KI_ADOSZAM) " +
                       (adoszam.isEmpty() ? QString("hiányzik") : "8 karakternél rövidebb"));
        const QString veAdoszam = v("VE_ADOSZAM");
        if (!veAdoszam.isEmpty() && veAdoszam.size() < 8)
            add(n, "őstermelő adószáma (VE_ADOSZAM) 8 karakternél rövidebb");
        if (v("KI_NEV").isEmpty())
            add(n, "átvevő neve (KI_NEV) hiányzik");
        if (v("VE_NEV").isEmpty())
            add(n, "őstermelő neve (VE_NEV) hiányzik");
        const QString irsz = v("KI_IRANYITOSZAM");
        if (!irsz.isEmpty() && irsz.size() < 4)
            add(n, "átvevő irányítószáma (KI_IRANYITOSZAM) 4 karakternél rövidebb");
        for (const char* flag : {"KI_KISADOZO", "KI_EGYENI_VALLALKOZO"})
            if (!v(flag).isEmpty() && !isFlag(v(flag)))
                add(n, QString(flag) + " \"" + v(flag) + "\" nem true/false/1/0");
        if (tipus == "4" && v("MO_EREDETI_SORSZAM").isEmpty())
            add(n, "érvénytelenítő bizonylat, de nincs eredeti sorszám (MO_EREDETI_SORSZAM)");

        const Doc d = docs.value(f.str("FE_SZLASORSZAM"));
        const Totals t = totals(d.lines, deductionsOf(f));
        if (d.lines.isEmpty() && t.deductions.isEmpty())
            add(n, "nincs tétele és levonása (legalább egy tétel kell)");
        int i = 0;
        QList<double> amounts;
        for (const DeductionItem& ded : t.deductions)
            amounts << ded.amount;
        for (const Line& l : d.lines) {
            ++i;
            if (l.megnevezes.trimmed().isEmpty())
                add(n, QString("%1. tétel: termék megnevezése hiányzik").arg(i));
            if (l.megy.trimmed().isEmpty())
                add(n, QString("%1. tétel: mértékegység hiányzik").arg(i));
            if (hasControlChars(l.megnevezes + l.vtsz + l.megy))
                add(n, QString("%1. tétel: vezérlőkarakter (a fájlba nem kerül be)").arg(i));
            amounts << l.netto << l.felvar << l.ear << l.komp << l.kompfelar;
        }
        for (const Rate& r : d.rates)
            amounts << r.netto << r.ado << r.brutto;
        amounts << t.netto << t.afa << t.brutto;
        for (double a : amounts) {
            // Below ten digits before the point every written amount fits.
            if (std::fabs(a) >= 9.99e9 && totalDigits(xmlAmount(a)) > 12) {
                add(n, "túl nagy összeg: " + xmlAmount(a) + " (legfeljebb 12 számjegy)");
                break;
            }
        }
    }
    // Said once: a setting is the same in every document of a collection.
    if (badOnszla)
        out.prepend(QString("Önszámla beállítás (ZA_ONSZAMLA) nem true/false/1/0: %1 bizonylatban, "
                            "az első: %2 (Beállítás lap, majd új kigyűjtés)")
                        .arg(badOnszla)
                        .arg(firstOnszla));
    if (badForma)
        out.prepend(QString("Számla forma beállítás (NE_SZLA_FORMA): 1–100 karakter kell; %1 "
                            "bizonylatban, az első: %2 (Beállítás lap, majd új kigyűjtés)")
                        .arg(badForma)
                        .arg(firstForma));
    return out;
}

Totals totals(const QList<Line>& lines, const Deductions& d)
{
    Totals t;
    const struct {
        double amount;
        const char* name;
    } deductions[] = {{d.szja, "Szja levonás"},
                      {d.tagi, "Tagi hozzájárul levonás"},
                      {d.levonas, "Levonás"}};
    for (const auto& ded : deductions)
        if (ded.amount != 0)
            t.deductions.append({QString::fromUtf8(ded.name), ded.amount});
    for (const Line& l : lines) {
        t.netto += l.felvar;
        t.afa += l.kompfelar;
        t.brutto += l.vetelar;
    }
    return t;
}

namespace {

void writeHead(Writer& w, const Options& o, const Header& h)
{
    w.line(0, "<?xml version=\"1.0\" encoding=\"utf-8\"?>");
    w.line(0, "<szamlak xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
              "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
              "xmlns=\"http://schemas.nav.gov.hu/2013/szamla\">");
    w.raw(2, "export_datuma", xmlDate(o.today));
    w.raw(2, "export_szla_db", QString::number(h.count));
    const bool byNumber = o.range.kind == RangeKind::Number;
    w.raw(2, "kezdo_ido", xmlDate(byNumber ? h.mindat : o.range.from));
    w.raw(2, "zaro_ido", xmlDate(byNumber ? h.maxdat : o.range.to));
    w.text(2, "kezdo_szla_szam", h.minbiz);
    w.text(2, "zaro_szla_szam", h.maxbiz);
}

// One document: the work table's current row, its lines and rate sums, and
// what it comes to.
void writeDocument(Writer& w, const Fields& f, const Doc& d, const Totals& t, bool nemKotelezo)
{
    auto v = [&](const char* c) { return f.str(c); };
    auto date = [&](const char* c) { return xmlDate(f.date(c)); };
    w.open(2, "szamla");
    w.open(4, "fejlec");
    w.text(8, "szlasorszam", v("FE_SZLASORSZAM"));
    w.text(8, "szlatipus", v("FE_SZLATIPUS"));
    w.raw(8, "szladatum", date("FE_SZLADATUM"));
    w.raw(8, "teljdatum", date("FE_TELJDATUM"));
    w.close(4, "fejlec");

    w.open(4, "szamlakibocsato");
    w.text(6, "adoszam", v("KI_ADOSZAM"));
    w.given(6, "kozadoszam", v("KI_KOZADOSZAM"));
    w.given(6, "kisadozo", v("KI_KISADOZO"));
    w.text(6, "nev", v("KI_NEV"));
    address(w, f, "KI_");
    w.given(6, "egyeni_vallalkozo", v("KI_EGYENI_VALLALKOZO"));
    w.given(6, "ev_nyilv_tart_szam", v("KI_EV_NYILV_TART_SZAM"));
    w.given(6, "ev_neve", v("KI_EV_NEVE"));
    w.close(4, "szamlakibocsato");

    w.open(4, "vevo");
    w.given(6, "adoszam", v("VE_ADOSZAM"));
    w.given(6, "kozadoszam", v("VE_KOZADOSZAM"));
    w.given(6, "nev", v("VE_NEV"));
    address(w, f, "VE_");
    w.close(4, "vevo");

    for (const Line& l : d.lines) {
        w.open(4, "termek_szolgaltatas_tetelek");
        w.given(6, "termeknev", l.megnevezes);
        w.given(6, "besorszam", l.vtsz);
        w.amount(6, "menny", l.netto);
        w.given(6, "mertekegys", l.megy);
        w.amount(6, "nettoar", l.felvar);
        w.amount(6, "nettoegysar", l.ear);
        w.amount(6, "adokulcs", l.komp);
        w.amount(6, "adoertek", l.kompfelar);
        w.close(4, "termek_szolgaltatas_tetelek");
    }
    for (const DeductionItem& ded : t.deductions) {
        w.open(4, "termek_szolgaltatas_tetelek");
        w.text(6, "termeknev", ded.name);
        w.amount(6, "menny", 1);
        w.text(6, "mertekegys", "db");
        w.amount(6, "nettoar", ded.amount);
        w.close(4, "termek_szolgaltatas_tetelek");
    }
    if (v("FE_SZLATIPUS").trimmed() == "4") {
        w.open(4, "modosito_szla");
        w.text(6, "eredeti_sorszam", v("MO_EREDETI_SORSZAM"));
        w.close(4, "modosito_szla");
    }
    w.open(4, "zaradekok");
    w.raw(6, "onszamla", xmlEscape(v("ZA_ONSZAMLA"))); // as stored, blanks kept
    w.close(4, "zaradekok");
    if (nemKotelezo) {
        w.open(4, "nem_kotelezo");
        w.raw(6, "fiz_hatarido", date("NE_FIZ_HATARIDO"));
        w.text(6, "fiz_mod", QString::fromUtf8(v("NE_FIZ_MOD") == "x" ? "átutalás" : "készpénz"));
        w.text(6, "penznem", v("NE_PENZNEM"));
        w.text(6, "szla_forma", v("NE_SZLA_FORMA"));
        w.given(6, "kibocsato_bankszla", v("NE_KIBOCSATO_BANKSZLA"));
        w.given(6, "befogado_bankszla", v("NE_BEFOGADO_BANKSZLA"));
        w.close(4, "nem_kotelezo");
    }
    w.open(4, "osszesites");
    for (const Rate& r : d.rates) {
        w.open(6, "afarovat");
        w.amount(8, "nettoar", r.netto);
        w.amount(8, "adokulcs", r.komp);
        w.amount(8, "adoertek", r.ado);
        w.amount(8, "bruttoar", r.brutto);
        w.close(6, "afarovat");
    }
    w.open(6, "vegosszeg");
    w.amount(8, "nettoarossz", t.netto);
    w.amount(8, "afaertekossz", t.afa);
    w.amount(8, "bruttoarossz", t.brutto);
    w.close(6, "vegosszeg");
    w.close(4, "osszesites");
    w.close(2, "szamla");
}

} // namespace

QByteArray build(fb::Connection* db, const Options& o, Header* header,
                 const std::function<void(int, int)>& progress,
                 const std::function<bool()>& cancelled)
{
    const Header h = readHeader(db);
    if (header)
        *header = h;
    const QHash<QString, Doc> docs = readLines(db);
    Writer w;
    writeHead(w, o, h);

    TQuery q(db, "navexport");
    openCollected(&q);
    const Fields f(q);
    int done = 0;
    for (q.first(); !q.eof(); q.next()) {
        if (done++ % 250 == 0) {
            if (progress)
                progress(done - 1, h.count);
            if (cancelled && cancelled())
                return {};
        }
        const Doc d = docs.value(f.str("FE_SZLASORSZAM"));
        writeDocument(w, f, d, totals(d.lines, deductionsOf(f)), o.nemKotelezo);
    }
    w.line(0, "</szamlak>");
    if (progress)
        progress(h.count, h.count);
    // A "Mégsem" pressed during the last few documents still counts.
    if (cancelled && cancelled())
        return {};
    return w.take();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    // The screen has made the folder or asked about it; a folder gone since is made again.
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (const int e = safefile::writeAll(path, bytes))
        throw std::runtime_error(("Hiba403: Nem sikerült az XML fájl írása: " +
                                  QDir::toNativeSeparators(path) + " (" + safefile::reason(e) + ")")
                                     .toStdString());
}

QString exportedMessage(const QString& path)
{
    return "3.Az \"EXPORT\" vége.\rAdatok a \"" + QDir::toNativeSeparators(path) + "\" fáljban.";
}

QString defaultFolder() { return QFileInfo(mapped(kDefaultPath)).absolutePath(); }

QString xmlDate(const QDate& d) { return d.isValid() ? d.toString("yyyy-MM-dd") : "--"; }

QString xmlAmount(double v)
{
    if (!std::isfinite(v) || v == 0)
        return "0.00";
    // The value to 10 significant digits, as exact decimal digits M * 10^(e-9).
    const QString e = QString::number(std::fabs(v), 'e', 9); // d.ddddddddde+XX
    const int ePos = int(e.indexOf('e'));
    QString mant = e.left(ePos);
    mant.remove('.');
    const int exp = e.mid(ePos + 1).toInt();
    const qint64 m = mant.toLongLong();
    // Cents: M * 10^(exp-7), halves away from zero.
    const int shift = exp - 7;
    qint64 cents = 0;
    if (shift >= 0) {
        if (shift > 8) // beyond any amount the schema takes; keep the digits anyway
            return QString::number(v, 'f', 2);
        cents = m;
        for (int i = 0; i < shift; ++i)
            cents *= 10;
    } else if (shift > -11) {
        qint64 div = 1;
        for (int i = 0; i < -shift; ++i)
            div *= 10;
        cents = m / div + ((m % div) * 2 >= div ? 1 : 0);
    }
    if (cents == 0)
        return "0.00";
    QString out = QString::number(cents / 100) + "." +
                  QString::number(cents % 100).rightJustified(2, '0');
    return v < 0 ? "-" + out : out;
}

bool hasControlChars(const QString& s)
{
    for (QChar c : s) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || u == 0xFFFE || u == 0xFFFF)
            return true;
    }
    return false;
}

QString xmlText(const QString& s) { return xmlEscape(s.trimmed()); }

QString xmlEscape(const QString& t)
{
    QString out;
    out.reserve(t.size());
    for (QChar c : t) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || u == 0xFFFE || u == 0xFFFF)
            continue;
        switch (u) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace auditxml
