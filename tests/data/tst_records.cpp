// The one check-and-save frame: numbered steps, row counts, one transaction, the log.
#include "applog.h"
#include "records.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

class TstRecords : public QObject {
    Q_OBJECT
private slots:
    void failedStepRollsBackEverythingAndLogsTheReason();
    void rowCountMismatchIsAFailedStep();
    void bodyWithoutStepsCommits();
};

namespace {
void sql(TQuery* q, const QString& text)
{
    q->close();
    q->clearSql();
    q->add(text);
}
} // namespace

void TstRecords::failedStepRollsBackEverythingAndLogsTheReason()
{
    TestDb db;
    const QString log = db.dir() + "/napló.log";
    applog::setPath(log);
    TQuery* q = db.data()->ZQ10;
    bool secondRan = false;
    const rec::Outcome o = rec::unitOfWork(&db.data()->ZCon1, "Hiba99: egyéb", [&] {
        rec::step("Hiba91: első", [&] {
            sql(q, "INSERT INTO termek (t_kod, t_megnevezes) VALUES ('77777', 'Alma')");
            q->execSQL();
        });
        rec::step("Hiba92: második", [&] {
            sql(q, "INSERT INTO termek (t_kod, nincs_ilyen) VALUES ('77778', 'x')");
            q->execSQL();
        });
        secondRan = true;
    });
    QVERIFY(!o.ok());
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba92: második"));
    QVERIFY2(o.dbText.contains("NINCS_ILYEN", Qt::CaseInsensitive), qPrintable(o.dbText));
    QVERIFY(!secondRan);
    QVERIFY(!db.data()->ZCon1.inTransaction());
    // The first step's row went with the second's failure.
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM termek WHERE t_kod = '77777'"), QString("0"));

    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(f.readAll());
    QVERIFY(logged.contains("Hiba92: második"));
    QVERIFY(logged.contains("NINCS_ILYEN", Qt::CaseInsensitive));
    applog::setPath({});
}

void TstRecords::rowCountMismatchIsAFailedStep()
{
    TestDb db;
    applog::setPath(db.dir() + "/x.log");
    TQuery* q = db.data()->ZQ10;
    const rec::Outcome o = rec::unitOfWork(&db.data()->ZCon1, "Hiba99: egyéb", [&] {
        rec::step("Hiba95: módosítás", [&] {
            sql(q, "UPDATE termek SET t_megnevezes = 'Körte' WHERE t_kod = 'nincs'");
            q->execSQL();
            rec::expectRows(q, 1);
        });
    });
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba95: módosítás"));
    QVERIFY2(o.dbText.contains("1 sor helyett 0"), qPrintable(o.dbText));

    // More rows than expected fail just the same, and are undone.
    db.exec("INSERT INTO termek (t_kod, t_megnevezes) VALUES ('77771', 'Alma')");
    db.exec("INSERT INTO termek (t_kod, t_megnevezes) VALUES ('77772', 'Szilva')");
    const QString before = db.scalar("SELECT LIST(t_megnevezes) FROM termek");
    const rec::Outcome more = rec::unitOfWork(&db.data()->ZCon1, "Hiba99: egyéb", [&] {
        rec::step("Hiba95: módosítás", [&] {
            sql(q, "UPDATE termek SET t_megnevezes = 'Körte'");
            q->execSQL();
            rec::expectRows(q, 1);
        });
    });
    QCOMPARE(more.kind, rec::Outcome::StepFailed);
    QVERIFY2(more.dbText.contains("1 sor helyett"), qPrintable(more.dbText));
    QCOMPARE(db.scalar("SELECT LIST(t_megnevezes) FROM termek"), before);
    applog::setPath({});
}

void TstRecords::bodyWithoutStepsCommits()
{
    TestDb db;
    TQuery* q = db.data()->ZQ10;
    const rec::Outcome o = rec::unitOfWork(&db.data()->ZCon1, "Hiba99: egyéb", [&] {
        rec::step("Hiba91: első", [&] {
            sql(q, "INSERT INTO termek (t_kod, t_megnevezes) VALUES ('77777', 'Alma')");
            q->execSQL();
            rec::expectRows(q, 1);
        });
    });
    QVERIFY(o.ok());
    QVERIFY(!db.data()->ZCon1.inTransaction());
    QCOMPARE(db.scalar("SELECT t_megnevezes FROM termek WHERE t_kod = '77777'"), QString("Alma"));

    // A failure outside every step gets the unit's own message.
    const rec::Outcome other = rec::unitOfWork(&db.data()->ZCon1, "Hiba99: egyéb",
                                               [] { throw fb::Error("kívül"); });
    QCOMPARE(other.message, QString("Hiba99: egyéb"));
    QCOMPARE(other.dbText, QString("kívül"));
}

QTEST_MAIN(TstRecords)
#include "tst_records.moc"
