// The database file as newdb creates it: keys, defaults, derived columns, indexes, text.
#include "testsupport.h"
#include "values.h"

#include <QTest>

class TstSchema : public QObject {
    Q_OBJECT
private slots:
    void derivedLineValues();
    void largeLineDoesNotOverflow();
    void derivedValuesFollowTheRow();
    void headerDerivedAmounts();
    void keysAndDefaults();
    void primaryKeyNames();
    void indexesOnJoinAndFilterColumns();
    void hungarianLettersRoundTrip();
    void workTables();
};

void TstSchema::derivedLineValues()
{
    TestDb db;
    db.exec("insert into fjsor (s_bszam, s_brutto, s_levonszaz, s_ear, s_kompmerteke) "
            "values ('00000001', 100, 5, 200, 12)");
    TQuery q(&db.data()->ZCon1, "q");
    q.setSql("select * from fjsor");
    q.open();
    QCOMPARE(q.asFloat("S_LEVONAS"), 5.0);
    QCOMPARE(q.asFloat("S_NETTO"), 95.0);
    QCOMPARE(q.asFloat("S_FELVAR"), 19000.0);
    QCOMPARE(q.asFloat("S_KOMPFELAR"), 2280.0);
    QCOMPARE(q.asFloat("S_VETELAR"), 21280.0);
    QCOMPARE(q.asString("S_NETTO"), QString("95"));
}

void TstSchema::largeLineDoesNotOverflow()
{
    TestDb db;
    db.exec("insert into fjsor (s_bszam, s_brutto, s_levonszaz, s_ear, s_kompmerteke) "
            "values ('1', 2000000, 3.5, 99999, 12)");
    TQuery q(&db.data()->ZCon1, "q");
    q.setSql("select s_levonas, s_netto, s_felvar, s_kompfelar, s_vetelar from fjsor");
    q.open();
    QCOMPARE(q.asFloat("S_LEVONAS"), 70000.0);
    QCOMPARE(q.asFloat("S_NETTO"), 1930000.0);
    QCOMPARE(q.asFloat("S_FELVAR"), 1930000.0 * 99999);
    QCOMPARE(q.asFloat("S_KOMPFELAR"), 1930000.0 * 99999 * 12 / 100);
    QCOMPARE(q.asFloat("S_VETELAR"), 1930000.0 * 99999 * 1.12);
    // A sum over many such lines stays exact to the forint.
    q.setSql("select sum(s_vetelar) from fjsor");
    q.open();
    QCOMPARE(q.valueAt(0, 0).toDouble(), 1930000.0 * 99999 * 1.12);
}

void TstSchema::derivedValuesFollowTheRow()
{
    TestDb db;
    db.exec("insert into fjsor (s_bszam, s_brutto, s_levonszaz, s_ear, s_kompmerteke) "
            "values ('1', 100, 5, 200, 12)");
    db.exec("update fjsor set s_brutto = 200");
    QCOMPARE(db.scalar("select s_vetelar from fjsor"), QString("42560"));
    db.exec("update fjsor set s_brutto = -200");
    QCOMPARE(db.scalar("select s_vetelar from fjsor"), QString("-42560"));
}

void TstSchema::headerDerivedAmounts()
{
    TestDb db;
    db.exec("insert into fjfej (f_bszam, f_szja, f_jarulszaz, f_sumvar) values ('1', 15, 2, 10000)");
    QCOMPARE(db.scalar("select f_szjalevon from fjfej"), QString("1500"));
    QCOMPARE(db.scalar("select f_tagilevon from fjfej"), QString("170"));
}

void TstSchema::keysAndDefaults()
{
    TestDb db;
    db.exec("insert into termek (t_kod) values ('1')");
    db.exec("insert into termek (t_kod) values ('2')");
    QCOMPARE(db.scalar("select count(distinct id_termek) from termek where id_termek is not null"),
             QString("2"));
    // Copies inserted without a number are found by a single blank, never NULL.
    db.exec("insert into fjfej (f_akod) values ('00001')");
    db.exec("insert into fjsor (s_akod) values ('00001')");
    QCOMPARE(db.scalar("select count(*) from fjfej where f_bszam = ' '"), QString("1"));
    QCOMPARE(db.scalar("select count(*) from fjsor where s_bszam = ' '"), QString("1"));
    QCOMPARE(db.scalar("select count(*) from fjfej where f_bszam is null"), QString("0"));
    // newdb leaves one sample buyer.
    QCOMPARE(db.scalar("select count(*) from atvevo"), QString("1"));
}

void TstSchema::primaryKeyNames()
{
    TestDb db;
    const QStringList tables = {"ATVEVO", "FJFEJ", "FJSOR", "OSTERMELO", "SORSZAM", "TERMEK"};
    for (int i = 0; i < tables.size(); ++i) {
        TQuery q(&db.data()->ZCon1, "q");
        q.setSql("select trim(rdb$constraint_name) c, trim(rdb$index_name) i "
                 "from rdb$relation_constraints "
                 "where rdb$relation_name = :t and rdb$constraint_type = 'PRIMARY KEY'");
        q.setText("t", tables[i]);
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QString want = QString("RDB$PRIMARY%1").arg(i + 1);
        QCOMPARE(q.asString("c"), want);
        QCOMPARE(q.asString("i"), want);
    }
}

void TstSchema::indexesOnJoinAndFilterColumns()
{
    TestDb db;
    // Leading column of some index, for every column the program joins or filters on.
    const QList<QPair<QString, QString>> cols = {
        {"FJFEJ", "F_BSZAM"},  {"FJFEJ", "F_AKOD"},    {"FJFEJ", "F_OSTERMKOD"},
        {"FJFEJ", "F_KELT"},   {"FJFEJ", "F_FELVKELT"}, {"FJFEJ", "F_FIZKELT"},
        {"FJSOR", "S_BSZAM"},  {"FJSOR", "S_AKOD"},    {"OSTERMELO", "O_KOD"},
        {"TERMEK", "T_KOD"},   {"SORSZAM", "A_AKOD"},  {"ATVEVO", "V_AKOD"},
    };
    for (const auto& [table, col] : cols) {
        TQuery q(&db.data()->ZCon1, "q");
        q.setSql("select count(*) from rdb$indices i join rdb$index_segments s "
                 "on s.rdb$index_name = i.rdb$index_name "
                 "where i.rdb$relation_name = :t and s.rdb$field_name = :c "
                 "and s.rdb$field_position = 0");
        q.setText("t", table);
        q.setText("c", col);
        q.open();
        QVERIFY2(q.valueAt(0, 0).toLongLong() > 0, qPrintable(table + "." + col));
    }
}

void TstSchema::hungarianLettersRoundTrip()
{
    TestDb db;
    const QString name = "Őszi Űrhajós ő ű Á É Í Ó Ö Ú Ü á é í ó ö ú ü";
    TQuery q(&db.data()->ZCon1, "q");
    q.setSql("insert into ostermelo (o_kod, o_nev, o_felir) values ('1', :n, :f)");
    q.setText("n", name);
    q.setText("f", "Ő-ű");
    db.data()->execCommitted(&q);
    QCOMPARE(db.scalar("select o_nev from ostermelo where o_kod = '1'"), name);
    QCOMPARE(db.scalar("select o_felir from ostermelo where o_kod = '1'"), QString("Ő-ű"));
    // Stored as WIN1250, not as UTF-8 bytes.
    QCOMPARE(db.scalar("select octet_length(o_nev) from ostermelo where o_kod = '1'"),
             QString::number(name.size()));
    // A character outside WIN1250 is refused by the database, not stored mangled.
    q.setSql("insert into ostermelo (o_kod, o_nev) values ('2', :n)");
    q.setText("n", "Snow ☃");
    QVERIFY_THROWS_EXCEPTION(fb::Error, db.data()->execCommitted(&q));
}

void TstSchema::workTables()
{
    TestDb db;
    TQuery q(&db.data()->ZCon1, "q");
    q.setSql("select * from navfej");
    q.open();
    QCOMPARE(q.fieldCount(), 48);
    QCOMPARE(q.fieldNames().first(), QString("FE_SZLASORSZAM"));
    QCOMPARE(q.fieldNames().last(), QString("VE_KOZADOSZAM"));
    db.exec("DELETE FROM NAVSOR ");
}

QTEST_GUILESS_MAIN(TstSchema)
#include "tst_schema.moc"
