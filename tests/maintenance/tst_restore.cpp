// The way back from a backup: the current register is moved aside, never
// deleted; a damaged copy changes nothing; a failure half-way puts the
// previous register back.
#include "maintenance/Unit43.h"
#include "maintenance/backup.h"
#include "maintenance/restore.h"
#include "testsupport.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

class TstRestore : public QObject {
    Q_OBJECT
private slots:
    void roundTripMovesTheCurrentAside();
    void failuresLeaveThePreviousRegister_data();
    void failuresLeaveThePreviousRegister();
    void screenListsAsksAndRestores();
};

namespace {

qint64 tickets(const QString& file)
{
    fb::Connection c;
    c.attach(file);
    const qint64 n = c.execute("SELECT COUNT(*) FROM fjfej").rows.at(0).at(0).toLongLong();
    c.rollback();
    c.detach();
    return n;
}

void addTicket(TestDb& db, const QString& no, const QString& date)
{
    db.exec("INSERT INTO fjfej (f_bszam, f_akod, f_kelt) VALUES ('" + no + "', '00001', '" + date + "')");
}

QString backUp(TestDb& db, const QString& name)
{
    QDir().mkpath(db.dir() + "/ment");
    const QString target = db.dir() + "/ment/" + name;
    const backup::Result r = backup::run(db.file(), target);
    if (!r.ok)
        qWarning("%s", qPrintable(r.message));
    return target;
}

// The program's attachment let go of and taken again, as the screen does.
std::function<void()> closer(TestDb& db) { return [&db] { db.data()->finish(); }; }
std::function<QString()> opener(TestDb& db)
{
    return [&db]() -> QString {
        try {
            db.data()->connect(db.file());
            db.data()->openTables();
            return {};
        } catch (const std::exception& e) {
            return QString::fromUtf8(e.what());
        }
    };
}

QStringList asideFiles(const QString& dir) { return QDir(dir).entryList({"*_felretett_*"}, QDir::Files); }

} // namespace

void TstRestore::roundTripMovesTheCurrentAside()
{
    TestDb db(true);
    addTicket(db, "20260001", "2026-03-01");
    addTicket(db, "20260002", "2026-03-15");
    const QString saved = backUp(db, "2026_03_15_18_00.FDB");
    addTicket(db, "20260003", "2026-04-02");

    const restore::Info b = restore::readInfo(saved);
    QCOMPARE(b.tickets, 2);
    QCOMPARE(b.last, QDate(2026, 3, 15));
    const QDateTime now(QDate(2026, 4, 2), QTime(9, 30, 5));
    const QString aside = restore::asideName(db.file(), now);
    QCOMPARE(aside, db.dir() + "/vadmo7_felretett_2026_04_02_09_30_05.fdb");
    QCOMPARE(restore::confirmation(restore::readInfo(db.file()), aside, b),
             "A jelenlegi nyilvántartás (3 jegy, utolsó: 2026.04.02) félre lesz téve ide: " + aside +
                 "; a visszatöltött mentés 2 jegyet tartalmaz (utolsó: 2026.03.15).");

    const restore::Outcome o = restore::run(saved, db.file(), now, closer(db), opener(db));
    QVERIFY2(o.ok, qPrintable(o.message));
    QCOMPARE(o.aside, aside);
    QVERIFY(o.message.contains("A korábbi nyilvántartás megvan, félretéve ide: " + aside));
    // The program works on the restored register; the added ticket is in the one aside.
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM fjfej"), QString("2"));
    db.data()->finish();
    QCOMPARE(tickets(aside), 3);
    QCOMPARE(tickets(saved), 2); // the backup itself is untouched
    QVERIFY(!QFileInfo::exists(db.file() + ".visszatoltes"));
}

void TstRestore::failuresLeaveThePreviousRegister_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a register") << "junk" << "A visszatöltés nem történt meg: a mentés nem nyitható meg, vagy sérült";
    QTest::newRow("cut short") << "truncated" << "A visszatöltés nem történt meg: a mentés";
    QTest::newRow("pages overwritten") << "pages" << "A visszatöltés nem történt meg: a mentés";
    QTest::newRow("no ticket table") << "notable" << "A visszatöltés nem történt meg: a mentésből hiányzik a program egyik táblája";
    QTest::newRow("restored one does not open") << "reopen" << "A visszatöltés nem történt meg: a visszatöltött nyilvántartás nem nyitható meg";
    QTest::newRow("stopped after moving aside") << "aside" << "A visszatöltés nem történt meg: megszakítva";
}

void TstRestore::failuresLeaveThePreviousRegister()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    TestDb db(true);
    addTicket(db, "20260001", "2026-03-01");
    QString saved = backUp(db, "2026_03_15_18_00.FDB");
    addTicket(db, "20260002", "2026-03-15");
    const QByteArray before = [&] {
        db.data()->finish();
        QFile f(db.file());
        f.open(QIODevice::ReadOnly);
        const QByteArray b = f.readAll();
        opener(db)();
        return b;
    }();

    if (fault == "junk" || fault == "truncated" || fault == "pages") {
        QFile f(saved);
        QVERIFY(f.open(QIODevice::ReadWrite));
        if (fault == "junk")
            f.write(QByteArray(int(f.size()), 'x'));
        else if (fault == "pages") {
            // Every page after the first few, half of each: the engine's check must see it.
            for (qint64 at = 16 * 8192; at < f.size(); at += 8192) {
                f.seek(at + 100);
                f.write(QByteArray(4000, '\x55'));
            }
        }
        else
            QVERIFY(f.resize(f.size() / 3));
    } else if (fault == "notable") {
        fb::Connection c;
        c.attach(saved);
        c.executeImmediate("DROP TABLE FJSOR");
        c.commit();
        c.detach();
    }
    bool failOnce = fault == "reopen";
    const auto reopen = [&]() -> QString {
        if (failOnce) {
            failOnce = false;
            return "nem nyílik";
        }
        return opener(db)();
    };
    if (fault == "aside")
        restore::setStepHook([](const char* step) {
            if (QByteArray(step) == "aside")
                throw std::runtime_error("megszakítva");
        });
    const restore::Outcome o = restore::run(saved, db.file(), QDateTime::currentDateTime(), closer(db), reopen);
    restore::setStepHook({});
    QVERIFY(!o.ok);
    QVERIFY2(o.message.startsWith(message), qPrintable(o.message));

    // The previous register is open again, as it was, and nothing else is left.
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM fjfej"), QString("2"));
    db.data()->finish();
    QFile f(db.file());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll().size(), before.size());
    QVERIFY(asideFiles(db.dir()).isEmpty());
    QVERIFY(!QFileInfo::exists(db.file() + ".visszatoltes"));
}

void TstRestore::screenListsAsksAndRestores()
{
    TestDb db(true);
    addTicket(db, "20260001", "2026-03-01");
    const QString saved = backUp(db, "2026_03_15_18_00.FDB");
    QFile junk(db.dir() + "/ment/2026_03_16_18_00.FDB");
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(40000, 'x'));
    junk.close();
    addTicket(db, "20260002", "2026-03-15");

    const QDateTime madeAt = QFileInfo(saved).lastModified();
    UiScope s;
    TForm43 f;
    QCOMPARE(f.focusWidget(), f.folder());
    f.folder()->setText(db.dir() + "/ment");
    f.frissit();
    QCOMPARE(f.list()->topLevelItemCount(), 2);
    // The damaged one is shown as such and refused with its reason.
    QTreeWidgetItem* bad = f.list()->findItems("2026_03_16_18_00.FDB", Qt::MatchExactly).value(0);
    QTreeWidgetItem* good = f.list()->findItems("2026_03_15_18_00.FDB", Qt::MatchExactly).value(0);
    QVERIFY(bad && good);
    QCOMPARE(bad->text(3), QString("nem olvasható"));
    QCOMPARE(good->text(3), QString("1"));
    QCOMPARE(good->text(1), QString("2026.03.15 18:00"));
    QCOMPARE(QFileInfo(saved).lastModified(), madeAt); // read, yet its time is its own
    f.list()->setCurrentItem(bad);
    QVERIFY(!f.VisszatoltesClick());
    QVERIFY(s.ui.log.last().startsWith("msg:A visszatöltés nem történt meg: a mentés nem nyitható meg"));

    // The chosen one: asked with what will happen, No changes nothing, Yes restores.
    f.list()->setCurrentItem(good);
    s.ui.answers = {false};
    QVERIFY(!f.VisszatoltesClick());
    QVERIFY(s.ui.log.last().startsWith("ask:A jelenlegi nyilvántartás (2 jegy, utolsó: 2026.03.15) félre lesz téve ide: "));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM fjfej"), QString("2"));
    QVERIFY(f.VisszatoltesClick());
    QVERIFY(f.restored());
    QVERIFY(s.ui.log.last().startsWith("info:A mentés visszatöltve: " + saved));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM fjfej"), QString("1"));
    QCOMPARE(asideFiles(db.dir()).size(), 1);
}

QTEST_MAIN(TstRestore)
#include "tst_restore.moc"
