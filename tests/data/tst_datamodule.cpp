// The data module: parameters, the shared transaction, commits, value texts, shared operations.
#include "testsupport.h"
#include "values.h"

#include <QTest>

class TstDataModule : public QObject {
    Q_OBJECT
private slots:
    void namedParametersOfSeveralTypes();
    void missingParameterIsAnError();
    void saveAfterFailedSave();
    void deletionSurvivesLaterFailedSave();
    void nowaitFailsAtOnce();
    void valueTexts();
    void navigationFlags();
    void locateByPrefixIgnoresCase();
    void streetLines();
};

void TstDataModule::namedParametersOfSeveralTypes()
{
    TestDb db;
    TQuery* q = db.data()->ZQ10;
    q->close();
    q->clearSql();
    q->add("INSERT INTO fjfej (f_bszam, f_kelt, f_szja, f_jarulszaz, f_megj, f_utal)");
    q->add("VALUES (:p0, :p1, :p2, :p3, :p4, :p5)");
    q->setText("p0", "20260001");
    q->setDate("p1", QDate(2026, 3, 1));
    q->setInteger("p2", 15);
    q->setFloat("p3", 2.5);
    q->setText("p4", "it's ':p9' here");
    q->setNull("p5");
    db.data()->execCommitted(q);
    QCOMPARE(q->rowsAffected(), 1);

    q->close();
    q->clearSql();
    // The same name twice, a name in any case, a colon inside a literal.
    q->add("select f_bszam, f_kelt, f_szja, f_jarulszaz, f_megj, f_utal, ':x' lit from fjfej");
    q->add("where f_bszam = :P0 and f_bszam starting with :p0 and f_kelt = :d");
    q->setText("p0", "20260001");
    q->setDate("d", QDate(2026, 3, 1));
    q->open();
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(q->asDate("F_KELT"), QDate(2026, 3, 1));
    QCOMPARE(q->asString("F_KELT"), QString("2026.03.01"));
    QCOMPARE(q->asInteger("F_SZJA"), 15);
    QCOMPARE(q->asString("F_JARULSZAZ"), QString("2,5"));
    QCOMPARE(q->asString("F_MEGJ"), QString("it's ':p9' here"));
    QVERIFY(q->isNull("F_UTAL"));
    QCOMPARE(q->asString("F_UTAL"), QString());
    QCOMPARE(q->asString("lit"), QString(":x"));
}

void TstDataModule::missingParameterIsAnError()
{
    TestDb db;
    TQuery* q = db.data()->ZQ11;
    q->setSql("select * from fjfej where f_bszam = :p0 and f_akod = :p1");
    q->setText("p0", "1");
    QVERIFY_THROWS_EXCEPTION(fb::Error, q->open());
}

void TstDataModule::saveAfterFailedSave()
{
    TestDb db;
    TData* d = db.data();
    {
        TxGuard tx(&d->ZCon1);
        d->ZQ41->setSql("insert into termek (t_kod) values (:p0)");
        d->ZQ41->setText("p0", "1");
        d->ZQ41->execSQL();
        d->ZQ41->setSql("insert into nosuchtable (x) values (1)");
        QVERIFY_THROWS_EXCEPTION(fb::Error, d->ZQ41->execSQL());
        // The guard rolls back the whole save, the first insert included.
    }
    QVERIFY(!d->IBTrans1.inTransaction());
    QCOMPARE(db.scalar("select count(*) from termek"), QString("0"));
    {
        TxGuard tx(&d->ZCon1);
        d->ZQ41->setSql("insert into termek (t_kod) values (:p0)");
        d->ZQ41->setText("p0", "2");
        d->ZQ41->execSQL();
        tx.commit();
    }
    QCOMPARE(db.scalar("select t_kod from termek"), QString("2"));
}

void TstDataModule::deletionSurvivesLaterFailedSave()
{
    TestDb db(true);
    TData* d = db.data();
    d->ZQ31->setSql("delete from ostermelo where o_kod = :p0");
    d->ZQ31->setText("p0", "00001");
    d->execCommitted(d->ZQ31);
    {
        TxGuard tx(&d->ZCon1);
        d->ZQ41->setSql("update termek set t_ear = 'not a number'");
        QVERIFY_THROWS_EXCEPTION(fb::Error, d->ZQ41->execSQL());
    }
    // Another process sees the deletion: it is committed, not just pending.
    d->disconnect();
    d->connect();
    QCOMPARE(db.scalar("select count(*) from ostermelo where o_kod = '00001'"), QString("0"));
    QCOMPARE(db.scalar("select count(*) from ostermelo"), QString("2"));
}

void TstDataModule::nowaitFailsAtOnce()
{
    TestDb db(true);
    fb::Connection other;
    other.attach(db.file());
    other.execute("update termek set t_ear = 1 where t_kod = '00001'");
    TQuery* q = db.data()->ZQ41;
    q->setSql("update termek set t_ear = 2 where t_kod = '00001'");
    // With "wait" this would block until the other transaction ends; ctest's
    // timeout would catch that.
    try {
        q->execSQL();
        QFAIL("the locked row was updated");
    } catch (const fb::Error& e) {
        QVERIFY2(e.text().contains("conflict", Qt::CaseInsensitive) ||
                     e.text().contains("deadlock", Qt::CaseInsensitive),
                 qPrintable(e.text()));
    }
    db.data()->IBTrans1.rollback();
    other.rollback();
}

void TstDataModule::valueTexts()
{
    QCOMPARE(val::asText(QVariant()), QString());
    QCOMPARE(val::asText(12.0), QString("12"));
    QCOMPARE(val::asText(12.5), QString("12,5"));
    QCOMPARE(val::asText(0.1 + 0.2), QString("0,3"));
    QCOMPARE(val::asText(-1234567.25), QString("-1234567,25"));
    QCOMPARE(val::asText(QDate(2026, 1, 5)), QString("2026.01.05"));
    QCOMPARE(val::fmtFixed(1234567.5, 2, true), QString("1 234 567,50"));
    QCOMPARE(val::fmtFixed(-0.001, 2), QString("0,00"));
    QCOMPARE(val::parseNumber("12,5").value(), 12.5);
    QCOMPARE(val::parseNumber(" -3 ").value(), -3.0);
    QVERIFY(!val::parseNumber("-").has_value());
    QVERIFY(!val::parseNumber("1,2,3").has_value());
    QVERIFY(!val::parseNumber("").has_value());
    QCOMPARE(val::parseDate("2026.02.28").value(), QDate(2026, 2, 28));
    QVERIFY(!val::parseDate("2026.02.30").has_value());
    QVERIFY(!val::parseDate("28.02.2026").has_value());
}

void TstDataModule::navigationFlags()
{
    TestDb db(true);
    TQuery* q = db.data()->ZQ40;
    q->setSql("select * from termek where t_kod = 'none'");
    q->open();
    QVERIFY(q->eof() && q->bof() && q->isEmpty());
    QCOMPARE(q->recNo(), -1);
    q->setSql("select t_kod from termek order by t_kod");
    q->open();
    int seen = 0;
    for (q->first(); !q->eof(); q->next())
        ++seen;
    QCOMPARE(seen, 4);
    QCOMPARE(q->asString("T_KOD"), QString("00004")); // stays on the last row
    q->prior();
    QCOMPARE(q->asString("T_KOD"), QString("00003"));
    QVERIFY(!q->eof());
}

void TstDataModule::locateByPrefixIgnoresCase()
{
    TestDb db(true);
    db.exec("insert into ostermelo (o_kod, o_nev) values ('00009', 'árpád')");
    TQuery* q = db.data()->ZQ30;
    q->setSql("select * from ostermelo order by o_kod");
    q->open();
    QVERIFY(q->locatePrefix("O_NEV", "ÁRP"));
    QCOMPARE(q->asString("O_KOD"), QString("00009"));
    QVERIFY(q->locatePrefix("O_NEV", "ár"));
    QCOMPARE(q->asString("O_KOD"), QString("00003")); // first in the current order
    QVERIFY(q->locatePrefix("O_NEV", "őSZ") == false);
    QCOMPARE(q->recNo(), 0); // no match: first row
    QVERIFY(q->locatePrefix("O_NEV", "SZŐ"));
    QCOMPARE(q->asString("O_KOD"), QString("00002"));
}

void TstDataModule::streetLines()
{
    TestDb db(true);
    db.selectBuyer();
    db.exec("update atvevo set v_kerulet = null, v_utca = '  Fő  ', v_jelleg = 'utca', "
            "v_hazszam = '1', v_epulet = '', v_lepcso = ' ', v_szint = null, v_ajto = null");
    QCOMPARE(db.data()->atv_utca(), QString(" Fő utca 1    "));
    db.exec("update atvevo set v_utca = null, v_jelleg = null, v_hazszam = null");
    QCOMPARE(db.data()->atv_utca(), QString(7, ' '));

    TQuery* q = db.data()->ZQ10;
    db.exec("insert into fjfej (f_bszam, f_ostermkod) values ('1', '00002')");
    db.exec("update ostermelo set o_kerulet = 'IV.', o_ajto = '2' where o_kod = '00002'");
    q->setSql("select * from fjfej");
    q->open();
    QCOMPARE(db.data()->ost_utca(), QString("IV. Kossuth Lajos utca 3/B    2"));
}

QTEST_GUILESS_MAIN(TstDataModule)
#include "tst_datamodule.moc"
