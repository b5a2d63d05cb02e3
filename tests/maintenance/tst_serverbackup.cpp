// The backup of a register on a Firebird server: the server's own backup
// through its services, never over an existing file, restorable with the
// rows; the backup screen switched to the server's disk.
#include "Unit2.h"
#include "fbserver.h"
#include "maintenance/Unit35.h"
#include "maintenance/Unit43.h"
#include "maintenance/servicebackup.h"
#include "newdb.h"
#include "serversetup.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class TstServerBackup : public QObject {
    Q_OBJECT
    PrivateServer server_;
    dbsettings::Target target_;

private slots:
    void initTestCase()
    {
        QString why;
        if (!server_.start(&why))
            QFAIL(qPrintable("private Firebird server: " + why));
        target_.path = server_.url("vadmo7.fdb");
        newdb::create(target_.path, {true});
        fb::Connection db;
        db.attach(target_.path);
        for (int i = 1; i <= 3; ++i) {
            db.execute(QString("INSERT INTO fjfej (f_bszam, f_akod) VALUES ('2026000%1', '00001')").arg(i));
            db.execute(QString("INSERT INTO fjsor (s_bszam, s_megnevezes, s_brutto) VALUES "
                               "('2026000%1', 'Búza', 10)").arg(i));
        }
        db.commit();
        db.detach();
        // Another computer with a ticket not committed while the backups run:
        // it must not be in them.
        held_ = std::make_unique<fb::Connection>();
        held_->attach(target_.path);
        held_->execute("INSERT INTO fjfej (f_bszam, f_akod) VALUES ('20268888', '00001')");
    }

    // The program's own user may not back up the database: the message says
    // who may, and how.
    void backupByTheProgramsOwnUser()
    {
        {
            fb::Connection admin;
            admin.attach(target_.path);
            serversetup::run(&admin, "VADMO", "jelszo12");
            admin.detach();
        }
        dbsettings::Target t = target_;
        t.user = "VADMO";
        t.password = "jelszo12";
        t.passwordWritten = true;
        const QString file = server_.path("ment_vadmo.FBK");
        const backup::Result r = servicebackup::run(t, file);
        QVERIFY(!r.ok);
        QVERIFY2(r.message.startsWith("A mentés nem történt meg: a(z) VADMO felhasználó a kiszolgálón (" +
                                      server_.host() + ") nem készíthet mentést;"),
                 qPrintable(r.message));
        QVERIFY2(r.message.contains("gbak -b -user SYSDBA " + server_.host() + ":"), qPrintable(r.message));
        QVERIFY(!QFile::exists(file));
    }

    void backupRestoresWithTheCommittedRows()
    {
        const QString file = server_.path("ment1.FBK");
        const backup::Result r = servicebackup::run(target_, file);
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(r.tickets, 3);
        QVERIFY(r.message.contains(file));
        QVERIFY(r.message.contains(server_.host()));
        QVERIFY(r.message.contains("3 felvásárlási jegyet"));

        // Restored on the server, the copy opens and holds the committed rows.
        const QString back = server_.path("vissza.fdb");
        {
            fb::ServiceManager svc(server_.host(), "SYSDBA", PrivateServer::password());
            svc.restore(file, back);
        }
        fb::Connection c;
        c.attach(server_.host() + ":" + back);
        QCOMPARE(c.execute("SELECT COUNT(*) FROM fjfej").rows.at(0).at(0).toLongLong(), 3);
        QCOMPARE(c.execute("SELECT COUNT(*) FROM fjsor").rows.at(0).at(0).toLongLong(), 3);
        QVERIFY(c.execute("SELECT COUNT(*) FROM ostermelo").rows.at(0).at(0).toLongLong() > 0);
        c.detach();

        // Never over an existing file: the backup itself, or a database.
        for (const QString& existing : {file, back}) {
            const backup::Result again = servicebackup::run(target_, existing);
            QVERIFY(!again.ok);
            QVERIFY2(again.message.contains("már van a kiszolgálón"), qPrintable(again.message));
        }
        // A folder the server does not have: refused with the server's reason.
        const backup::Result nowhere = servicebackup::run(target_, server_.path("nincs/ment.FBK"));
        QVERIFY(!nowhere.ok);
        QVERIFY(nowhere.message.startsWith("A mentés nem történt meg: "));
    }

    void screenWorksOnTheServersDisk()
    {
        UiScope s;
        TData data;
        Data = &data;
        data.connect(target_);
        {
            TForm35 f;
            QVERIFY(f.onServer());
            QCOMPARE(f.source()->text(), target_.path);
            QVERIFY(!f.findChild<QPushButton*>("Button2")->isEnabled());
            // The default lies beside the database, on the server.
            const QString t = f.target()->text();
            QVERIFY2(t.startsWith(server_.path("")) && t.endsWith(".FBK"), qPrintable(t));
            QVERIFY(f.MentesClick());
            QCOMPARE(s.ui.titles, QStringList{"Adatok mentése"});
            QVERIFY(s.ui.messages().at(0).startsWith("A mentés elkészült a kiszolgálón (" +
                                                    server_.host() + "):\n" + t));
        }
        {
            // Restoring is the server's gbak: the command is shown, nothing is tried.
            TForm43 r;
            QVERIFY(r.onServer());
            QVERIFY(!r.findChild<QPushButton*>("Button2")->isEnabled());
            const QString text = r.findChild<QLabel*>("Label2")->text();
            QVERIFY2(text.contains("gbak -c -v -user SYSDBA -password <jelszó> " + server_.path("")) &&
                         text.contains(".FBK " + server_.path("")),
                     qPrintable(text));
            QVERIFY(!r.VisszatoltesClick());
            QCOMPARE(s.ui.log.size(), 1);
        }
        data.disconnect();
        Data = nullptr;
    }

    void cleanupTestCase() { held_.reset(); }

private:
    std::unique_ptr<fb::Connection> held_;
};

QTEST_MAIN(TstServerBackup)
#include "tst_serverbackup.moc"
