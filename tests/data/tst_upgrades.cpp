// Bringing an older register up to date: the columns added once, "Már létezik"
// after, the domain widened again and again, shared tax ids marked.
#include "data/gui/Unit28.h"
#include "data/gui/Unit36.h"
#include "data/gui/Unit37.h"
#include "testsupport.h"
#include "upgrades.h"

#include <QTest>

class TstUpgrades : public QObject {
    Q_OBJECT
private slots:
    void olderRegisterGetsItsColumnsOnce();
    void kamaraMayBeWidenedAgain();
    void sharedTaxIdsMarkAllButTheFirst();
    void statisticsFollowTheRegistersGrowth();
};

void TstUpgrades::olderRegisterGetsItsColumnsOnce()
{
    TestDb db(true);
    UiScope s;
    fb::Connection* c = &db.data()->ZCon1;
    // A current register: nothing to do, and the screen closes.
    {
        TForm28 f;
        f.runClick();
        QCOMPARE(s.ui.log, QStringList{"confirm:Már létezik!"});
        QCOMPARE(f.result(), int(QDialog::Accepted));
    }
    s.ui.clear();
    QCOMPARE(upgrades::addFelir(c).message, QString("Már létezik az östermelöben!"));

    // An older one, made here by taking the two columns away.
    db.data()->disconnect();
    db.data()->connect(db.file());
    const QString mnyptagIndexes =
        "SELECT COUNT(*) FROM rdb$indices WHERE rdb$index_name STARTING WITH 'IX_OSTERMELO_MNYPTAG'";
    c->executeImmediate("DROP INDEX IX_OSTERMELO_MNYPTAG_HU");
    c->executeImmediate("DROP INDEX IX_OSTERMELO_MNYPTAG_HU_D");
    c->executeImmediate("ALTER TABLE ostermelo DROP o_mnyptag");
    c->executeImmediate("ALTER TABLE ostermelo DROP o_felir");
    c->commit();
    QVERIFY(!upgrades::columnExists(c, "OSTERMELO", "O_MNYPTAG"));
    QVERIFY(!upgrades::columnExists(c, "ostermelo", "o_felir"));
    // The start-up upgrade leaves the missing column's sort indexes for later.
    QVERIFY(upgrades::bringUpToDate(c).ok());
    QCOMPARE(db.scalar(mnyptagIndexes), QString("0"));
    {
        TForm28 f;
        f.runClick();
        QCOMPARE(s.ui.log, QStringList{"msg:Módositás végrehajtva."});
    }
    TForm37 felir;
    s.ui.clear();
    felir.runClick();
    QCOMPARE(s.ui.log, QStringList{"msg:Módositás végrehajtva."});
    // Committed: still there after anything pending is rolled back.
    if (c->inTransaction())
        c->rollback();
    QVERIFY(upgrades::columnExists(c, "OSTERMELO", "O_MNYPTAG"));
    QVERIFY(upgrades::columnExists(c, "OSTERMELO", "O_FELIR"));
    // The next start makes them.
    QVERIFY(upgrades::bringUpToDate(c).ok());
    QCOMPARE(db.scalar(mnyptagIndexes), QString("2"));
    // The new columns take values, and the second run changes nothing.
    db.exec("UPDATE ostermelo SET o_mnyptag = 'I', o_felir = 'FELIR123456'");
    s.ui.clear();
    felir.runClick();
    QCOMPARE(s.ui.log, QStringList{"confirm:Már létezik az östermelöben!"});
    QCOMPARE(db.scalar("SELECT MIN(o_felir) FROM ostermelo"), QString("FELIR123456"));
}

void TstUpgrades::kamaraMayBeWidenedAgain()
{
    TestDb db;
    // A register of the narrower chamber number, which the start-up has given
    // the list's sort indexes: widening must not leave them on the old type.
    fb::Connection* c = &db.data()->ZCon1;
    for (const char* ddl : {"DROP INDEX IX_OSTERMELO_KAMARA_HU", "DROP INDEX IX_OSTERMELO_KAMARA_HU_D",
                            "ALTER TABLE ostermelo DROP o_kamara", "DROP DOMAIN D_KAMARA",
                            "CREATE DOMAIN D_KAMARA AS VARCHAR(10) CHARACTER SET WIN1250",
                            "ALTER TABLE ostermelo ADD o_kamara D_KAMARA"}) {
        c->executeImmediate(ddl);
        c->commit();
    }
    QVERIFY(upgrades::bringUpToDate(c).ok());
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM rdb$indices WHERE rdb$index_name STARTING WITH 'IX_OSTERMELO_KAMARA'"),
             QString("2"));
    db.data()->disconnect();
    db.data()->connect(db.file());
    for (int i = 0; i < 2; ++i)
        QVERIFY(upgrades::widenKamara(&db.data()->ZCon1).ok());
    db.exec("UPDATE ostermelo SET o_kamara = '12345678901234567890'");
    db.exec("INSERT INTO ostermelo (o_kod, o_kamara) VALUES ('00099', '12345678901234567890')");
    QCOMPARE(db.scalar("SELECT o_kamara FROM ostermelo WHERE o_kod = '00099'"),
             QString("12345678901234567890"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM rdb$indices WHERE rdb$index_name STARTING WITH 'IX_OSTERMELO_KAMARA'"),
             QString("2"));
}

void TstUpgrades::sharedTaxIdsMarkAllButTheFirst()
{
    TestDb db;
    UiScope s;
    // Empty register: asked, then nothing changed.
    TForm36 f;
    f.runClick();
    QCOMPARE(s.ui.log, (QStringList{"ask:" + TForm36::question(),
                                    "msg:Vége. 0 östermelö adata változott."}));

    // A, B, C, A, C, C by code: the shares are not neighbours in code order;
    // C is also the last of the tax id order.
    const char* rows[][2] = {{"00001", "8111111111"}, {"00002", "8222222222"}, {"00003", "8333333333"},
                             {"00004", "8111111111"}, {"00005", "8333333333"}, {"00006", "8333333333"}};
    for (auto& r : rows)
        db.exec(QString("INSERT INTO ostermelo (o_kod, o_adoazon, o_szja) VALUES ('%1', '%2', 15)")
                    .arg(r[0], r[1]));
    // "No" changes nothing; "yes" tells how many changed.
    s.ui.clear();
    s.ui.answers = {false};
    f.runClick();
    QCOMPARE(db.scalar("SELECT count(*) FROM ostermelo WHERE o_szja = 1"), QString("0"));
    f.runClick();
    QCOMPARE(s.ui.log.last(), QString("msg:Vége. 3 östermelö adata változott."));
    int changed = -1;
    QVERIFY(upgrades::markSharedTaxIds(&db.data()->ZCon1, &changed).ok());
    QCOMPARE(changed, 3);
    QString marks;
    TQuery q(&db.data()->ZCon1, "t");
    q.setSql("SELECT o_szja FROM ostermelo ORDER BY o_kod");
    q.open();
    for (q.first(); !q.eof(); q.next())
        marks += QString::number(q.asInteger("O_SZJA")) + " ";
    QCOMPARE(marks, QString("15 15 15 1 1 1 "));
}

// Statistics taken on an empty register are taken again once it holds ten
// thousand tickets, and not again until it has doubled.
void TstUpgrades::statisticsFollowTheRegistersGrowth()
{
    TestDb db(true);
    fb::Connection* c = &db.data()->ZCon1;
    auto fill = [&](int from, int to) {
        c->executeImmediate(QString("EXECUTE BLOCK AS DECLARE i INTEGER = %1; BEGIN WHILE (i < %2) DO BEGIN "
                                    "INSERT INTO fjfej (f_bszam, f_akod, f_tipus) VALUES "
                                    "(CAST(30000000 + :i AS VARCHAR(8)), '00001', '1'); "
                                    "INSERT INTO fjsor (s_bszam, s_akod) VALUES "
                                    "(CAST(30000000 + :i AS VARCHAR(8)), '00001'); i = i + 1; END END")
                                .arg(from)
                                .arg(to));
        c->commit();
    };
    const QString selectivity =
        "SELECT RDB$STATISTICS FROM RDB$INDICES WHERE RDB$INDEX_NAME = 'IX_FJFEJ_AKOD_BSZAM'";
    bool refreshed = true;
    fill(0, 9000);
    QVERIFY(upgrades::refreshStatistics(c, {}, &refreshed).ok());
    QVERIFY(!refreshed);
    fill(9000, 12000);
    QStringList told;
    QVERIFY(upgrades::refreshStatistics(c, [&](const QString& t) { told << t; }, &refreshed).ok());
    QVERIFY(refreshed);
    QCOMPARE(told.size(), 1);
    const double taken = c->execute(selectivity).rows.at(0).at(0).toDouble();
    QVERIFY2(taken > 0 && 1 / taken > 11000, qPrintable(QString::number(taken)));
    fill(12000, 20000);
    QVERIFY(upgrades::refreshStatistics(c, {}, &refreshed).ok());
    QVERIFY(!refreshed); // 20 000 is not yet twice 12 000
    c->commit();
}

QTEST_MAIN(TstUpgrades)
#include "tst_upgrades.moc"
