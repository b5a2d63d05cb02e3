#include "newdb.h"

#include "Query.h"
#include "fb.h"
#include "schema_sql.h"

#include <QDate>
#include <QFileInfo>

namespace newdb {

QString schemaSql() { return QString::fromUtf8(kSchemaSql); }

namespace {

void addSamples(fb::Connection& db)
{
    TQuery q(&db, "samples");
    struct P {
        const char* kod; const char* nev; const char* irsz; const char* hely; const char* utca;
        const char* hazszam; const char* adoazon; const char* igszam; const char* taj;
        const char* szido; const char* anyja; int szja;
    };
    const P producers[] = {
        {"00001", "Kovács János", "6000", "Kecskemét", "Petőfi Sándor", "12", "8351770000",
         "1234567", "123456788", "1963.04.25", "Nagy Mária", 15},
        {"00002", "Szőke Ödön", "6720", "Szeged", "Kossuth Lajos", "3/B", "8334310005",
         "7654321", "111111110", "1958.07.14", "Tóth Erzsébet", 0},
        {"00003", "Árvai Éva", "7621", "Pécs", "Rákóczi", "45", "8379250001", "2345678",
         "222222220", "1970.11.02", "Fűzfa Ilona", 15},
    };
    for (const P& p : producers) {
        q.setSql("INSERT INTO ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, o_jelleg, "
                 "o_hazszam, o_adoazon, o_igszam, o_taj, o_szido, o_anyja, o_szja, o_neme, "
                 "o_ervkelt, o_mnyptag) VALUES (:k, :n, :i, :h, :u, 'utca', :hs, :a, :ig, :t, :sz, "
                 ":an, :szja, '1', :erv, 'N')");
        q.setText("k", p.kod);
        q.setText("n", QString::fromUtf8(p.nev));
        q.setText("i", p.irsz);
        q.setText("h", QString::fromUtf8(p.hely));
        q.setText("u", QString::fromUtf8(p.utca));
        q.setText("hs", p.hazszam);
        q.setText("a", p.adoazon);
        q.setText("ig", p.igszam);
        q.setText("t", p.taj);
        q.setDate("sz", QDate::fromString(p.szido, "yyyy.MM.dd"));
        q.setText("an", QString::fromUtf8(p.anyja));
        q.setInteger("szja", p.szja);
        q.setDate("erv", QDate(QDate::currentDate().year() + 1, 12, 31));
        q.execSQL();
    }
    struct T { const char* kod; const char* nev; const char* vtsz; double ear; const char* megy; int komp; };
    const T products[] = {
        {"00001", "Búza", "1001", 62.5, "kg", 12},
        {"00002", "Napraforgó", "1206", 140, "kg", 12},
        {"00003", "Őszibarack", "0809", 220, "kg", 7},
        {"00004", "Tojás", "0407", 45, "db", 7},
    };
    for (const T& t : products) {
        q.setSql("INSERT INTO termek (t_kod, t_megnevezes, t_vtsz, t_ear, t_megy, t_kompmerteke) "
                 "VALUES (:k, :n, :v, :e, :m, :c)");
        q.setText("k", t.kod);
        q.setText("n", QString::fromUtf8(t.nev));
        q.setText("v", t.vtsz);
        q.setFloat("e", t.ear);
        q.setText("m", t.megy);
        q.setInteger("c", t.komp);
        q.execSQL();
    }
    q.setSql("INSERT INTO sorszam (a_fjbszam, a_akod) VALUES (:n, '00001')");
    q.setText("n", QString::number(QDate::currentDate().year()) + "0000");
    q.execSQL();
}

} // namespace

void create(const QString& path, const Options& opt)
{
    if (QFileInfo::exists(path))
        throw fb::Error(QString("A fájl már létezik: %1").arg(path));
    fb::Connection db;
    db.create(path);
    try {
        // DDL must be committed before the tables can take rows.
        for (const QString& stmt : fb::splitScript(schemaSql())) {
            db.executeImmediate(stmt);
            db.commit();
        }
        TQuery q(&db, "buyer");
        q.setSql("INSERT INTO atvevo (v_neve, v_helyseg, v_utca, v_jelleg, v_hazszam, v_irszam, "
                 "v_adoszam, v_bankszla, v_nyilatk, v_akod, v_verzio, v_kisado, v_ev) "
                 "VALUES (:n, :h, :u, :j, :hs, :i, :a, :b, :ny, '00001', '', ' ', ' ')");
        q.setText("n", QString::fromUtf8("Minta Felvásárló Kft."));
        q.setText("h", QString::fromUtf8("Kecskemét"));
        q.setText("u", QString::fromUtf8("Fő"));
        q.setText("j", "utca");
        q.setText("hs", "1");
        q.setText("i", "6000");
        q.setText("a", "12345676203");
        q.setText("b", "11773016-11111111-00000000");
        q.setText("ny", QString::fromUtf8(
                            "Alulírott őstermelő kijelentem, hogy a fenti termékeket saját "
                            "gazdaságomban állítottam elő."));
        q.execSQL();
        if (opt.samples)
            addSamples(db);
        db.commit();
        db.detach();
    } catch (...) {
        try {
            db.detach();
        } catch (...) {
        }
        QFile::remove(path);
        throw;
    }
}

} // namespace newdb
