// Several computers on one register through a Firebird server: numbers taken
// at the same moment, voidings racing saves, the year opening held off, the
// start-up message naming the server. The server is a private instance on a
// loopback port (tests/common/fbserver.*).
#include "Query.h"
#include "dbsettings.h"
#include "fbserver.h"
#include "fb.h"
#include "newdb.h"
#include "records.h"
#include "serversetup.h"
#include "serverwork.h"
#include "upgrades.h"
#include "app/startupreason.h"
#include "masterdata/producers.h"
#include "masterdata/products.h"
#include "taxdata/auditxml.h"
#include "tickets/ticketcounter.h"
#include "tickets/ticketentry.h"
#include "tickets/voiding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <functional>
#include <thread>

using ticketentry::Header;
using ticketentry::Line;
using ticketentry::Mode;
using serverwork::contextOn;
using serverwork::header;
using serverwork::line;

namespace {

// Two computers attached to one register on the server.
struct TwoComputers {
    fb::Connection mine, other;
    rec::Context me, them;
    explicit TwoComputers(const QString& url)
    {
        mine.attach(url);
        other.attach(url);
        me = contextOn(&mine);
        them = contextOn(&other);
    }
};

// One new ticket as the entry screen makes it: two lines under the key, then
// the header, which takes the number. Returns the number, empty on failure.
QString saveTicket(const rec::Context& ctx, QString* failure = nullptr)
{
    const QString key = ticketentry::newTicketKey(ctx);
    for (const Line& l : {line(key, "Búza", "10"), line(key, "Árpa", "5,5")}) {
        const rec::Outcome o = ticketentry::saveLine(ctx, l, Mode::New);
        if (!o.ok()) {
            if (failure)
                *failure = o.message + " " + o.dbText;
            return {};
        }
    }
    QString number;
    const rec::Outcome o = ticketentry::saveHeader(ctx, header("20260101", key), Mode::New, &number);
    if (!o.ok()) {
        if (failure)
            *failure = o.message + " " + o.dbText;
        return {};
    }
    return number;
}

// Worker process: saves `count` tickets on `url`, prints each number and, at
// the end, the conflicts met; exit code 1 after any refused save.
int worker(const QString& url, int count)
{
    fb::Connection db;
    try {
        db.attach(url);
    } catch (const std::exception& e) {
        fprintf(stderr, "attach: %s\n", e.what());
        return 2;
    }
    const rec::Context ctx = contextOn(&db);
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        QString why;
        const QString n = saveTicket(ctx, &why);
        if (n.isEmpty()) {
            ++failed;
            fprintf(stderr, "refused: %s\n", qPrintable(why));
        } else {
            printf("%s\n", qPrintable(n));
        }
    }
    printf("conflicts %lld refused %lld\n", qint64(rec::retryStats().conflicts),
           qint64(rec::retryStats().refused));
    db.detach();
    return failed ? 1 : 0;
}

QString scalar(fb::Connection& db, const QString& sql)
{
    const fb::Result r = db.execute(sql);
    db.commit();
    return r.rows.empty() || r.rows[0].empty() ? QString() : r.rows[0][0].toString();
}

// Commits the other computer's pending work a moment later, as a user
// finishing a save would, while this one waits on it.
struct CommitLater {
    std::thread t;
    explicit CommitLater(fb::Connection& db)
        : t([&db] {
              QThread::msleep(150);
              db.commit();
          })
    {
    }
    ~CommitLater() { t.join(); }
};

producers::Producer producer(const QString& kod)
{
    producers::Producer p;
    const std::pair<const char*, const char*> v[] = {
        {"O_NEV", "Teszt Elek"},   {"O_IRSZAM", "6000"},      {"O_HELYSEGNEV", "Kecskemét"},
        {"O_UTCA", "Fő"},          {"O_ADOAZON", "8414090001"}, {"O_IGSZAM", "1234567"},
        {"O_SZJA", "15"},          {"O_SZULHELY", "Szeged"},  {"O_SZIDO", "1980.05.17"},
        {"O_ANYJA", "Nagy Anna"},  {"O_NEME", "1"},           {"O_SZULNEV", "Teszt Elek"},
        {"O_FHAT", "8"},           {"O_ADOSZAM", "12345676213"}, {"O_ERVKELT", "2030.12.31"},
    };
    for (const auto& [c, t] : v)
        p.set(c, QString::fromUtf8(t));
    p.set("O_KOD", kod);
    return p;
}

products::Product product(const QString& kod)
{
    products::Product p;
    p.set("T_KOD", kod);
    p.set("T_MEGNEVEZES", QString::fromUtf8("Búza"));
    p.set("T_EAR", "60");
    p.set("T_MEGY", "kg");
    p.set("T_KOMPMERTEKE", "12");
    return p;
}

} // namespace

class TstServer : public QObject {
    Q_OBJECT
    PrivateServer server_;
    int made_ = 0;

    // A new register on the server with the sample producers and a counter.
    QString newRegister()
    {
        const QString url = server_.url(QString("reg%1.fdb").arg(++made_));
        newdb::create(url, {true});
        return url;
    }

private slots:
    void initTestCase()
    {
        QString why;
        if (!server_.start(&why))
            QFAIL(qPrintable("private Firebird server: " + why));
    }

    void twoProcessesTakeDistinctNumbers()
    {
        const QString url = newRegister();
        const int each = 200;
        QProcess a, b;
        for (QProcess* p : {&a, &b}) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("VADMO_SERVER_WORKER", url);
            env.insert("VADMO_SERVER_COUNT", QString::number(each));
            p->setProcessEnvironment(env);
            p->start(QCoreApplication::applicationFilePath(), {});
        }
        QSet<QString> numbers;
        int printed = 0;
        for (QProcess* p : {&a, &b}) {
            QVERIFY(p->waitForFinished(240000));
            const QString err = QString::fromLocal8Bit(p->readAllStandardError());
            QVERIFY2(p->exitCode() == 0, qPrintable(err));
            const QStringList out = QString::fromLocal8Bit(p->readAllStandardOutput())
                                        .split('\n', Qt::SkipEmptyParts);
            QVERIFY(!out.isEmpty());
            // The last line holds the retry figures; a retried conflict is no refusal.
            QVERIFY2(out.last().startsWith("conflicts ") && out.last().endsWith(" refused 0"),
                     qPrintable(out.last()));
            qInfo("worker: %d tickets, %s", int(out.size() - 1), qPrintable(out.last()));
            for (int i = 0; i + 1 < out.size(); ++i) {
                numbers.insert(out[i]);
                ++printed;
            }
        }
        QCOMPARE(printed, 2 * each);
        QCOMPARE(numbers.size(), 2 * each); // no number given twice

        fb::Connection db;
        db.attach(url);
        QCOMPARE(scalar(db, "select count(*) from fjfej"), QString::number(2 * each));
        QCOMPARE(scalar(db, "select count(distinct f_bszam) from fjfej"), QString::number(2 * each));
        // The counter stands at the highest number given.
        QCOMPARE(scalar(db, "select a_fjbszam from sorszam where a_akod = '00001'"),
                 scalar(db, "select max(f_bszam) from fjfej"));
        // The numbers run without a gap from the first to the last.
        QCOMPARE(scalar(db, "select cast(max(f_bszam) as bigint) - cast(min(f_bszam) as bigint) + 1 "
                            "from fjfej"),
                 QString::number(2 * each));
        // Every header with exactly its two lines; no line left under a key.
        QCOMPARE(scalar(db, "select count(*) from fjfej h where (select count(*) from fjsor s "
                            "where s.s_bszam = h.f_bszam) <> 2"),
                 QString("0"));
        QCOMPARE(scalar(db, "select count(*) from fjsor"), QString::number(4 * each));
        QCOMPARE(scalar(db, "select count(*) from fjsor where s_bszam starting with '*'"), QString("0"));
    }

    void heldCounterIsWaitedForOrRefused()
    {
        TwoComputers pc(newRegister());
        auto& [mine, other, me, them] = pc;
        // The other computer has taken a number and not committed yet.
        TQuery hold(&other, "hold");
        other.startTransaction();
        const QString theirs = counter::take(them, &hold);

        // Held to the end: refused after the retries, nothing left behind.
        const QString key = ticketentry::newTicketKey(me);
        QVERIFY(ticketentry::saveLine(me, line(key, "Búza", "10"), Mode::New).ok());
        const qint64 before = rec::retryStats().conflicts;
        QString number;
        rec::Outcome o = ticketentry::saveHeader(me, header("20260101", key), Mode::New, &number);
        QCOMPARE(o.kind, rec::Outcome::CheckFailed);
        QCOMPARE(o.message, rec::busyMessage());
        // Waits that the engine ends early count as turns, not tries.
        QVERIFY(rec::retryStats().conflicts - before >= qint64(rec::kAttempts));
        QCOMPARE(scalar(mine, "select count(*) from fjfej"), QString("0"));
        QCOMPARE(scalar(mine, "select count(*) from fjsor where s_bszam = '" + key + "'"), QString("1"));

        // Released while this one waits: saved under the next number, no message.
        std::thread release([&] {
            QThread::msleep(150);
            other.commit();
        });
        o = ticketentry::saveHeader(me, header("20260101", key), Mode::New, &number);
        release.join();
        QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
        QCOMPARE(number.toLongLong(), theirs.toLongLong() + 1);
        QCOMPARE(scalar(mine, "select count(*) from fjsor where s_bszam = '" + number + "'"), QString("1"));
        QCOMPARE(scalar(mine, "select a_fjbszam from sorszam"), number);
    }

    void voidingRacesTicketSaves()
    {
        TwoComputers pc(newRegister());
        auto& [mine, other, me, them] = pc;
        // Printed tickets to void.
        QStringList printed;
        for (int i = 0; i < 15; ++i)
            printed << saveTicket(me);
        mine.execute("update fjfej set f_prn = 'I'");
        mine.commit();

        QStringList saved;
        QString otherFailure;
        std::thread saver([&] {
            for (int i = 0; i < 30 && otherFailure.isEmpty(); ++i) {
                const QString n = saveTicket(them, &otherFailure);
                if (!n.isEmpty())
                    saved << n;
            }
        });
        QStringList voids;
        QString failure;
        for (const QString& t : printed) {
            QString n;
            const rec::Outcome o =
                voiding::run(me, {t, QDate(2026, 3, 10), QString(), "2026.03.11"}, &n);
            if (!o.ok()) {
                failure = o.message + o.dbText;
                break;
            }
            voids << n;
        }
        saver.join();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY2(otherFailure.isEmpty(), qPrintable(otherFailure));
        QCOMPARE(saved.size(), 30);
        QSet<QString> all(printed.begin(), printed.end());
        for (const QString& n : saved + voids)
            all.insert(n);
        QCOMPARE(all.size(), 15 + 30 + 15);
        QCOMPARE(scalar(mine, "select count(distinct f_bszam) from fjfej"), QString("60"));
        QCOMPARE(scalar(mine, "select a_fjbszam from sorszam"),
                 scalar(mine, "select max(f_bszam) from fjfej"));
        // Each voiding document carries the negated copy of its ticket's lines.
        QCOMPARE(scalar(mine, "select count(*) from fjfej h where h.f_tipus = '4' and "
                              "(select sum(s_brutto) from fjsor where s_bszam = h.f_bszam) <> -15.5"),
                 QString("0"));
        QCOMPARE(scalar(mine, "select count(*) from fjfej where f_tipus = '1' and f_prn = 'I' "
                              "and (f_ervenyt is null or f_ervenyt = '')"),
                 QString("0"));
    }

    void sameTicketVoidedOnTwoComputers()
    {
        TwoComputers pc(newRegister());
        auto& [mine, other, me, them] = pc;
        const QString t = saveTicket(me);
        mine.execute("update fjfej set f_prn = 'I'");
        mine.commit();
        // The other computer's voiding of the same ticket, not committed yet.
        other.startTransaction();
        other.execute("update fjfej set f_ervenyt = '20269999' where f_bszam = '" + t + "'");
        std::thread finish([&] {
            QThread::msleep(150);
            other.commit();
        });
        const rec::Outcome o = voiding::run(me, {t, QDate(2026, 3, 10), QString(), "2026.03.11"});
        finish.join();
        QCOMPARE(o.kind, rec::Outcome::CheckFailed);
        QCOMPARE(o.message, QString("Már érvénytelenítve van!"));
        // Nothing of the refused voiding stayed: no document, the counter untouched.
        QCOMPARE(scalar(mine, "select count(*) from fjfej"), QString("1"));
        QCOMPARE(scalar(mine, "select a_fjbszam from sorszam"), t);
    }

    void yearOpeningWaitsForTicketOfAnotherComputer()
    {
        TwoComputers pc(newRegister());
        auto& [mine, other, me, them] = pc;
        // No ticket yet, but another computer is saving one right now.
        const QString key = ticketentry::newTicketKey(them);
        QVERIFY(ticketentry::saveLine(them, line(key, "Búza", "10"), Mode::New).ok());
        TQuery q(&other, "hold");
        other.startTransaction();
        const QString theirs = counter::take(them, &q);
        other.execute("insert into fjfej (f_bszam, f_akod, f_tipus) values ('" + theirs +
                      "', '00001', '1')");
        // While it is held, the year opening is refused without a change ...
        rec::Outcome o = counter::storeYearOpening(me, "20270000");
        QCOMPARE(o.message, rec::busyMessage());
        // ... and once that ticket is saved, it is refused for good.
        other.commit();
        o = counter::storeYearOpening(me, "20270000");
        QCOMPARE(o.message, counter::lockedMessage());
        QCOMPARE(scalar(mine, "select a_fjbszam from sorszam"), theirs);
    }

    // A ticket open in the entry here, printed or voided on another computer:
    // neither its header nor its lines change any more.
    void printedOrVoidedElsewhereStaysAsItWas()
    {
        TwoComputers pc(newRegister());
        auto& [mine, other, me, them] = pc;
        for (const char* how : {"f_prn = 'I'", "f_ervenyt = '20269999'"}) {
            const QString t = saveTicket(me);
            const QString where = " where f_bszam = '" + t + "'";
            const qint64 id = scalar(mine, "select id_fjfej from fjfej" + where).toLongLong();
            const qint64 lineId =
                scalar(mine, "select min(id_fjsor) from fjsor where s_bszam = '" + t + "'").toLongLong();
            other.execute(QString("update fjfej set %1").arg(how) + where);
            other.commit();

            Header h = header(t, QString());
            h.id = id;
            h.megj = QString::fromUtf8("módosítva");
            Line changed = line(t, "Rozs", "7");
            changed.id = lineId;
            const rec::Outcome outcomes[] = {ticketentry::saveHeader(me, h, Mode::Modify),
                                             ticketentry::saveLine(me, line(t, "Zab", "3"), Mode::New),
                                             ticketentry::saveLine(me, changed, Mode::Modify),
                                             ticketentry::deleteLine(me, lineId)};
            for (const rec::Outcome& o : outcomes) {
                QCOMPARE(o.kind, rec::Outcome::CheckFailed);
                QCOMPARE(o.message, ticketentry::lockedTicketMessage());
            }
            QCOMPARE(scalar(mine, "select coalesce(f_prn, '-') || count(nullif(f_megj, '')) from fjfej" +
                                      where + " group by f_prn"),
                     QString(how[2] == 'p' ? "I0" : "-0"));
            QCOMPARE(scalar(mine, "select count(*) || '/' || sum(s_brutto) from fjsor where s_bszam = '" +
                                      t + "'"),
                     QString("2/15.5000"));
        }
        // Opened as printed (the list's service shortcut): the change is still allowed.
        const QString t = saveTicket(me);
        mine.execute("update fjfej set f_prn = 'I' where f_bszam = '" + t + "'");
        mine.commit();
        Header h = header(t, QString());
        h.id = scalar(mine, "select id_fjfej from fjfej where f_bszam = '" + t + "'").toLongLong();
        h.printed = true;
        QVERIFY(ticketentry::saveHeader(me, h, Mode::Modify).ok());
    }

    // Two computers offered the same new code: the second save takes the next
    // one, also when the first is still being saved; a changed code may not
    // take another row's.
    void newCodesStayUnique()
    {
        TwoComputers pc(newRegister());
        auto& [mine, other, me, them] = pc;
        struct Case {
            const char* table;
            std::function<QString()> next;
            std::function<rec::Outcome(const QString&, QString*)> saveNew;
        };
        const Case cases[] = {
            {"ostermelo o_kod", [&] { return producers::nextCode(&mine); },
             [&](const QString& k, QString* got) {
                 return producers::save(me, producer(k), producers::Mode::New, got);
             }},
            {"termek t_kod", [&] { return products::nextCode(&mine); },
             [&](const QString& k, QString* got) {
                 return products::save(me, product(k), products::Mode::New,
                                       [](const QString&) { return true; }, got);
             }},
        };
        for (const Case& c : cases) {
            const QString table = QString(c.table).section(' ', 0, 0);
            const QString column = QString(c.table).section(' ', 1, 1);
            const QString offered = c.next();
            // The other computer saves the offered code and commits a moment later.
            other.startTransaction();
            other.execute("insert into " + table + " (" + column + ") values ('" + offered + "')");
            QString got;
            {
                CommitLater later(other);
                const rec::Outcome o = c.saveNew(offered, &got);
                QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
            }
            QCOMPARE(got.toInt(), offered.toInt() + 1);
            QCOMPARE(scalar(mine, "select count(*) - count(distinct " + column + ") from " + table),
                     QString("0"));
        }
        producers::Producer p = producer("00001");
        p.set("ID_OSTERMELO",
              scalar(mine, "select max(id_ostermelo) from ostermelo where o_kod <> '00001'"));
        const rec::Outcome o = producers::save(me, p, producers::Mode::Modify);
        QCOMPARE(o.message, QString("A(z) 00001 kód már foglalt!"));
        QCOMPARE(o.field, QString("O_KOD"));
    }

    // Each computer's audit data collection keeps its own rows: another's
    // collection neither empties nor adds to them.
    void auditCollectionsDoNotMeet()
    {
        TwoComputers pc(newRegister());
        auto& [mine, other, me, them] = pc;
        saveTicket(me);
        const auditxml::Settings s{"szamlak.xml", "false", "papír"};
        auditxml::Range march;
        march.from = march.to = QDate(2026, 3, 10);
        auditxml::Range january = march;
        january.from = january.to = QDate(2026, 1, 10);
        rec::Outcome o = auditxml::collect(me, march, s);
        QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
        QCOMPARE(scalar(mine, "select count(*) from navfej"), QString("1"));
        o = auditxml::collect(them, january, s);
        QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
        QCOMPARE(scalar(other, "select count(*) from navfej"), QString("0"));
        QCOMPARE(scalar(mine, "select count(*) from navfej"), QString("1"));
        QVERIFY(auditxml::collect(them, march, s).ok());
        QCOMPARE(scalar(mine, "select count(*) from navfej"), QString("1"));
    }

    // A delete's checks hold while another computer prints a ticket of the
    // producer, or deletes the one other row of the table.
    void deleteChecksHoldAgainstOtherComputers()
    {
        TwoComputers pc(newRegister());
        auto& [mine, other, me, them] = pc;
        const QString t = saveTicket(me);
        other.execute("update fjfej set f_prn = 'I' where f_bszam = '" + t + "'");
        const QString id = scalar(mine, "select id_ostermelo from ostermelo where o_kod = '00001'");
        rec::Outcome o;
        {
            CommitLater later(other);
            o = producers::remove(me, id, "00001");
        }
        QCOMPARE(o.message, QString::fromUtf8(producers::PrintedLock));
        QCOMPARE(scalar(mine, "select count(*) from ostermelo where o_kod = '00001'"), QString("1"));

        mine.execute("delete from termek where id_termek > (select min(id_termek) + 1 from termek)");
        mine.commit();
        QCOMPARE(scalar(mine, "select count(*) from termek"), QString("2"));
        const QString first = scalar(mine, "select min(id_termek) from termek");
        const QString second = scalar(mine, "select max(id_termek) from termek");
        other.execute("delete from termek where id_termek = " + first);
        {
            CommitLater later(other);
            o = products::remove(me, second);
        }
        QCOMPARE(o.message, QString("Az utolsó terméksor nem törölhető ki."));
        QCOMPARE(scalar(mine, "select count(*) from termek"), QString("1"));
    }

    // A unit of work inside another is a savepoint: it neither commits nor
    // rolls back what the outer one did.
    void innerUnitOfWorkKeepsTheOuterOnes()
    {
        TwoComputers pc(newRegister());
        auto& [mine, other, me, them] = pc;
        auto seen = [&] {
            return scalar(other, "select count(*) || ':' || coalesce(list(t_kod), '') from termek "
                                 "where t_kod starting with '9'");
        };
        rec::Outcome inner;
        rec::Outcome outer = rec::unitOfWork(&mine, "outer", [&] {
            mine.execute("insert into termek (t_kod) values ('91')");
            inner = rec::unitOfWork(&mine, "inner", [&] {
                mine.execute("insert into termek (t_kod) values ('92')");
                throw rec::CheckError{"inner refused", {}};
            });
            QCOMPARE(seen(), QString("0:"));
        });
        QVERIFY(outer.ok());
        QCOMPARE(inner.message, QString("inner refused"));
        QCOMPARE(seen(), QString("1:91"));

        outer = rec::unitOfWork(&mine, "outer", [&] {
            inner = rec::unitOfWork(&mine, "inner", [&] {
                mine.execute("insert into termek (t_kod) values ('93')");
            });
            QCOMPARE(seen(), QString("1:91"));
            throw rec::CheckError{"outer refused", {}};
        });
        QVERIFY(inner.ok());
        QCOMPARE(outer.message, QString("outer refused"));
        QCOMPARE(seen(), QString("1:91"));
        QCOMPARE(mine.workDepth(), 0);
    }

    // A register of an older version: ordinary work tables, no unique keys.
    // Duplicates are listed and nothing is added; without them every key is.
    void olderRegisterIsBroughtUpToDate()
    {
        const QString url = newRegister();
        fb::Connection db;
        db.attach(url);
        const char* keys[] = {"OSTERMELO DROP CONSTRAINT UQ_OSTERMELO_KOD",
                              "TERMEK DROP CONSTRAINT UQ_TERMEK_KOD",
                              "FJFEJ DROP CONSTRAINT UQ_FJFEJ_AKOD_BSZAM"};
        for (const char* k : keys) {
            db.executeImmediate(QString("ALTER TABLE ") + k);
            db.commit();
        }
        // Nor the list's sort keys.
        const QString sortIndexes = "select count(*) from rdb$indices where (rdb$index_name starting with "
                                    "'IX_FJFEJ_AKOD_' and rdb$index_name not starting with 'IX_FJFEJ_AKOD_BSZAM') "
                                    "or (rdb$index_name starting with 'IX_OSTERMELO_' "
                                    "and rdb$index_name not in ('IX_OSTERMELO_KOD', 'IX_OSTERMELO_NEV'))";
        int sortIndexCount = 0;
        for (const QString& stmt : fb::splitScript(newdb::schemaSql())) {
            const QString name = stmt.section(" INDEX ", 1).section(' ', 0, 0);
            if ((name.startsWith("IX_FJFEJ_AKOD_") && !name.startsWith("IX_FJFEJ_AKOD_BSZAM")) ||
                (name.startsWith("IX_OSTERMELO_") && name != "IX_OSTERMELO_KOD" && name != "IX_OSTERMELO_NEV")) {
                db.executeImmediate("DROP INDEX " + name);
                ++sortIndexCount;
            }
        }
        QVERIFY(sortIndexCount > 11);
        for (const char* drop : {"DROP TRIGGER FJFEJ_RNEV", "DROP TRIGGER OSTERMELO_RNEV", "ALTER TABLE FJFEJ DROP F_RNEV"})
            db.executeImmediate(drop);
        db.commit();
        QCOMPARE(scalar(db, sortIndexes), QString("0"));
        for (const QString& stmt : fb::splitScript(newdb::schemaSql())) {
            if (!stmt.contains("GLOBAL TEMPORARY"))
                continue;
            const QString table = stmt.section("TEMPORARY TABLE ", 1).section(' ', 0, 0);
            db.executeImmediate("DROP TABLE " + table);
            db.commit();
            db.executeImmediate(QString(stmt).replace("GLOBAL TEMPORARY ", "").replace(
                " ON COMMIT PRESERVE ROWS", ""));
            db.commit();
        }
        const QString types =
            "select list(trim(rdb$relation_name) || coalesce(rdb$relation_type, 0)) from "
            "(select rdb$relation_name, rdb$relation_type from rdb$relations "
            "where rdb$relation_name in ('NAVFEJ', 'NAVSOR') order by 1)";
        const QString uniques = "select count(*) from rdb$relation_constraints "
                                "where rdb$constraint_name starting with 'UQ_'";
        const QString columns = "select list(trim(rdb$field_name)) from (select rdb$field_name from "
                                "rdb$relation_fields where rdb$relation_name = 'NAVFEJ' order by 1)";
        const QString navfejColumns = scalar(db, columns);
        QCOMPARE(scalar(db, types), QString("NAVFEJ0,NAVSOR0"));
        db.execute("insert into ostermelo (o_kod, o_nev) select o_kod, o_nev from ostermelo where o_kod = '00002'");
        db.execute("insert into fjfej (f_akod, f_bszam) values ('00001', '20260007')");
        db.execute("insert into fjfej (f_akod, f_bszam) values ('00001', '20260007')");
        db.commit();

        rec::Outcome o = upgrades::bringUpToDate(&db);
        QCOMPARE(o.kind, rec::Outcome::CheckFailed);
        QVERIFY2(o.message.contains(QString::fromUtf8("Őstermelőkód 00002: 2 sor\n")) &&
                     o.message.contains(QString::fromUtf8("Átvevő 00001, bizonylatszám: \"20260007\": 2 sor")) &&
                     o.message.contains(QString::fromUtf8("Az adatbázis nem változott.")),
                 qPrintable(o.message));
        QCOMPARE(scalar(db, uniques), QString("0"));
        QCOMPARE(scalar(db, "select count(*) from ostermelo where o_kod = '00002'"), QString("2"));

        db.execute("delete from ostermelo where id_ostermelo = (select max(id_ostermelo) from ostermelo)");
        db.execute("delete from fjfej");
        db.execute("insert into fjfej (f_akod, f_bszam, f_ostermkod) values ('00001', '20260008', '00002')");
        db.commit();
        o = upgrades::bringUpToDate(&db);
        QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
        QCOMPARE(scalar(db, sortIndexes), QString::number(sortIndexCount));
        // The name is filled in on the tickets there were, and follows a rename.
        const QString names = "select f_rnev || '/' || o_nev from fjfej join ostermelo on o_kod = f_ostermkod";
        QCOMPARE(scalar(db, names).section('/', 0, 0), scalar(db, names).section('/', 1));
        db.execute("update ostermelo set o_nev = 'Átnevezett' where o_kod = '00002'");
        db.commit();
        QCOMPARE(scalar(db, names), QString::fromUtf8("Átnevezett/Átnevezett"));
        QCOMPARE(scalar(db, uniques), QString("3"));
        QCOMPARE(scalar(db, types), QString("NAVFEJ4,NAVSOR4"));
        QCOMPARE(scalar(db, columns), navfejColumns);
        QVERIFY(upgrades::bringUpToDate(&db).ok()); // nothing left to do
        QVERIFY(upgrades::duplicateKeys(&db).isEmpty());
    }

    // The program's own server user: the work of a day goes, the schema stays
    // as it is; the setup may run again (a new password).
    void serverUserHasOnlyTheRightsItNeeds()
    {
        const QString url = newRegister();
        fb::Connection admin;
        admin.attach(url, "SYSDBA", PrivateServer::password());
        QVERIFY(serversetup::run(&admin, "vadmo", "elso'jelszo").isEmpty());
        QVERIFY(serversetup::run(&admin, "vadmo", "masodik").isEmpty());
        QVERIFY_THROWS_EXCEPTION(fb::Error, serversetup::run(&admin, "SYSDBA", "x"));
        admin.detach();

        fb::Connection db;
        QVERIFY_THROWS_EXCEPTION(fb::Error, db.attach(url, "VADMO", "elso'jelszo"));
        db.attach(url, "VADMO", "masodik");
        const rec::Context ctx = contextOn(&db);
        QString why;
        const QString t = saveTicket(ctx, &why);
        QVERIFY2(!t.isEmpty(), qPrintable(why));
        db.execute("update fjfej set f_prn = 'I'");
        db.commit();
        rec::Outcome o = voiding::run(ctx, {t, QDate(2026, 3, 10), QString(), "2026.03.11"});
        QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
        auditxml::Range r;
        r.from = r.to = QDate(2026, 3, 10);
        o = auditxml::collect(ctx, r, {"szamlak.xml", "false", "papír"});
        QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
        QVERIFY(producers::save(ctx, producer("00099"), producers::Mode::New).ok());
        for (const char* ddl : {"CREATE TABLE X (A INTEGER)", "DROP TABLE FJSOR",
                                "ALTER TABLE FJFEJ DROP CONSTRAINT UQ_FJFEJ_AKOD_BSZAM"}) {
            QVERIFY_THROWS_EXCEPTION(fb::Error, db.executeImmediate(ddl));
            db.rollback();
        }
        QCOMPARE(scalar(db, "select count(*) from rdb$roles where rdb$role_name = 'VADMO7_FELHASZNALO'"),
                 QString("1"));
    }

    // Whose password may go where: the data folder's settings only, kept to
    // their user; a server never gets the built-in password.
    void credentialsStayWithTheirUser()
    {
        QTemporaryDir dir;
        const QString path = dbsettings::settingsPath(dir.path());
        QCOMPARE(path, QDir(dir.path()).absoluteFilePath("vadmo7.ini")); // even when missing
        auto write = [&](const QByteArray& text, QFile::Permissions perms) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("[Adatbazis]\nUtvonal=" + server_.url("reg1.fdb").toUtf8() + "\n" + text);
            f.close();
            QVERIFY(f.setPermissions(perms));
        };
        const QFile::Permissions own = QFile::ReadOwner | QFile::WriteOwner;
        write("Felhasznalo=VADMO\nJelszo=titok\n", own | QFile::ReadGroup);
        dbsettings::Target t = dbsettings::read(path, "vadmo7.fdb");
        QString why = dbsettings::refusal(path, t);
        QVERIFY2(why.contains("chmod 600 " + path), qPrintable(why));
        write("Felhasznalo=VADMO\nJelszo=titok\n", own);
        t = dbsettings::read(path, "vadmo7.fdb");
        QCOMPARE(dbsettings::refusal(path, t), QString());
        QCOMPARE(t.password, QString("titok"));
        // No password written: none sent, the start is refused before any login.
        write("Felhasznalo=SYSDBA\n", own | QFile::ReadGroup | QFile::ReadOther);
        t = dbsettings::read(path, "vadmo7.fdb");
        QCOMPARE(t.password, QString());
        why = dbsettings::refusal(path, t);
        QVERIFY2(why.contains("jelszót nem") && why.contains("beépített jelszót nem küld"), qPrintable(why));
        // The file opened in-process keeps its built-in login.
        QVERIFY(QFile::remove(path));
        t = dbsettings::read(path, "vadmo7.fdb");
        QCOMPARE(t.password, PrivateServer::password());
        QCOMPARE(dbsettings::refusal(path, t), QString());
    }

    void startupNamesTheServer()
    {
        QTemporaryDir dir;
        QFile ini(dir.filePath("vadmo7.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Tavsegitseg]\nProgram=x\n\n[Adatbazis]\nUtvonal=" +
                  server_.url("nincs.fdb").toUtf8() + "\nFelhasznalo=SYSDBA\nJelszo=rossz\n");
        ini.close();
        const dbsettings::Target t = dbsettings::read(ini.fileName(), "vadmo7.fdb");
        QVERIFY(t.remote());
        QCOMPARE(t.server(), server_.host());
        QCOMPARE(t.password, QString("rossz"));
        // Without the key the file of the folder, in-process, as always.
        const dbsettings::Target local = dbsettings::read(dir.filePath("nincs.ini"), "vadmo7.fdb");
        QVERIFY(!local.remote());
        QCOMPARE(local.path, QString("vadmo7.fdb"));
        QCOMPARE(local.user, QString("SYSDBA"));

        fb::Connection db;
        auto failureOf = [&](const dbsettings::Target& target) {
            try {
                db.attach(target.path, target.user, target.password);
            } catch (const fb::Error& e) {
                return startup::failureMessage(e.text(), target.server(), target.path);
            }
            return QString();
        };
        // Refused login.
        QString m = failureOf(t);
        QVERIFY2(m.contains("Kiszolgáló: " + server_.host()), qPrintable(m));
        QVERIFY2(m.contains("elutasította a bejelentkezést"), qPrintable(m));
        // Right login, no such database on the server.
        dbsettings::Target missing = t;
        missing.password = PrivateServer::password();
        m = failureOf(missing);
        QVERIFY2(m.contains("nem található az adatbázis"), qPrintable(m));
        // Nobody listening on the port.
        dbsettings::Target away = missing;
        away.path = "127.0.0.1/1:" + server_.path("reg1.fdb");
        m = failureOf(away);
        QVERIFY2(m.contains("Kiszolgáló: 127.0.0.1/1") && m.contains("nem érhető el"), qPrintable(m));
    }
};

int main(int argc, char** argv)
{
    const QByteArray url = qgetenv("VADMO_SERVER_WORKER");
    if (!url.isEmpty())
        return worker(QString::fromUtf8(url), qEnvironmentVariableIntValue("VADMO_SERVER_COUNT"));
    QCoreApplication app(argc, argv);
    TstServer t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_server.moc"
