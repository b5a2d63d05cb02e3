// Several computers on one register through a Firebird server: a private
// server on 127.0.0.1 (as the tests start one), first one client alone, then
// three clients saving tickets and voiding every fifth as fast as they can.
// Prints saves per second, median and worst save, conflicts and refusals;
// exits 1 when a target is missed (no refusal, worst save <= 1 s, median
// <= 2 x the single client's). VADMO_BENCH_SERVER_SECONDS sets the length of
// the three-client run (default 100 s). With a register file as argument both
// runs work on copies of it (bench/run gives the 1 000 000-ticket one).
#include "fbserver.h"
#include "fb.h"
#include "newdb.h"
#include "records.h"
#include "serverwork.h"
#include "tickets/ticketentry.h"
#include "tickets/voiding.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using ticketentry::Header;
using ticketentry::Line;
using ticketentry::Mode;

using serverwork::contextOn;
using serverwork::line;

Header header(const QString& key) { return serverwork::header("20260001", key); }

// One client: saves for `seconds`, voiding every fifth ticket after marking
// it printed. Prints one line per save ("ms N": a ticket with its two lines,
// or a voiding), then "conflicts C refused R failed F".
int client(const QString& url, int seconds)
{
    fb::Connection db;
    try {
        db.attach(url);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "attach: %s\n", e.what());
        return 2;
    }
    const rec::Context ctx = contextOn(&db);
    QElapsedTimer run;
    run.start();
    int failed = 0;
    for (int i = 1; run.elapsed() < seconds * 1000LL; ++i) {
        QElapsedTimer t;
        t.start();
        const QString key = ticketentry::newTicketKey(ctx);
        rec::Outcome o;
        for (const Line& l : {line(key, "Búza", "10"), line(key, "Árpa", "5,5")})
            if (o.ok())
                o = ticketentry::saveLine(ctx, l, Mode::New);
        QString number;
        if (o.ok())
            o = ticketentry::saveHeader(ctx, header(key), Mode::New, &number);
        std::printf("ms %lld\n", t.elapsed());
        // The voiding is a save of its own, timed apart from the ticket's.
        if (o.ok() && i % 5 == 0) {
            db.execute("UPDATE fjfej SET f_prn = 'I' WHERE f_bszam = ? AND f_akod = '00001'",
                       {{fb::Param::Text, number, "F_BSZAM"}});
            db.commit();
            t.restart();
            o = voiding::run(ctx, {number, QDate(2026, 3, 10), QString(), "2026.03.11"});
            std::printf("ms %lld\n", t.elapsed());
        }
        if (!o.ok()) {
            ++failed;
            std::fprintf(stderr, "refused: %s %s\n", qPrintable(o.message), qPrintable(o.dbText));
        }
    }
    std::printf("conflicts %lld refused %lld failed %d\n", qint64(rec::retryStats().conflicts),
                qint64(rec::retryStats().refused), failed);
    db.detach();
    return 0;
}

struct Figures {
    std::vector<qint64> ms;
    qint64 conflicts = 0, refused = 0, failed = 0;
    double seconds = 0;
    qint64 median() const
    {
        std::vector<qint64> v = ms;
        if (v.empty())
            return 0;
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    }
    qint64 worst() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

Figures runClients(const QString& url, int clients, int seconds)
{
    std::vector<std::unique_ptr<QProcess>> procs;
    QElapsedTimer wall;
    wall.start();
    for (int i = 0; i < clients; ++i) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VADMO_BENCH_CLIENT", url);
        env.insert("VADMO_BENCH_CLIENT_SECONDS", QString::number(seconds));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(), {});
        procs.push_back(std::move(p));
    }
    Figures f;
    for (auto& p : procs) {
        p->waitForFinished(-1);
        for (const QByteArray& l : p->readAllStandardOutput().split('\n')) {
            if (l.startsWith("ms "))
                f.ms.push_back(l.mid(3).toLongLong());
            else if (l.startsWith("conflicts ")) {
                const QList<QByteArray> w = l.split(' ');
                f.conflicts += w.value(1).toLongLong();
                f.refused += w.value(3).toLongLong();
                f.failed += w.value(5).toLongLong();
            }
        }
        if (p->exitCode() != 0)
            ++f.failed;
    }
    f.seconds = wall.elapsed() / 1000.0;
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray clientUrl = qgetenv("VADMO_BENCH_CLIENT");
    if (!clientUrl.isEmpty())
        return client(QString::fromUtf8(clientUrl), qEnvironmentVariableIntValue("VADMO_BENCH_CLIENT_SECONDS"));
    QCoreApplication app(argc, argv);
    const int seconds = qEnvironmentVariableIsSet("VADMO_BENCH_SERVER_SECONDS")
                            ? qEnvironmentVariableIntValue("VADMO_BENCH_SERVER_SECONDS")
                            : 100;
    PrivateServer server;
    QString why;
    if (!server.start(&why)) {
        std::fprintf(stderr, "private Firebird server: %s\n", qPrintable(why));
        return 1;
    }
    const QString one = server.url("one.fdb"), three = server.url("three.fdb");
    const QString source = app.arguments().value(1);
    if (source.isEmpty()) {
        newdb::create(one, {true});
        newdb::create(three, {true});
    } else {
        for (const QString& name : {QString("one.fdb"), QString("three.fdb")}) {
            if (!QFile::copy(source, server.path(name))) {
                std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
                return 1;
            }
            QFile(server.path(name)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
        std::printf("register: a copy of %s\n", qPrintable(source));
    }
    const Figures single = runClients(one, 1, std::max(10, seconds / 5));
    const Figures f = runClients(three, 3, seconds);

    std::printf("%-44s %10s %12s\n", "", "value", "target");
    std::printf("%-44s %10.1f %12s\n", "1 client: saves per second", single.ms.size() / single.seconds, "");
    std::printf("%-44s %10lld %12s\n", "1 client: median save, ms", single.median(), "");
    std::printf("%-44s %10.1f %12s\n", "3 clients: saves per second", f.ms.size() / f.seconds, "");
    std::printf("%-44s %10lld %12s\n", "3 clients: saves", qint64(f.ms.size()), "");
    std::printf("%-44s %10lld %12lld\n", "3 clients: median save, ms", f.median(), 2 * single.median());
    std::printf("%-44s %10lld %12d\n", "3 clients: worst save, ms", f.worst(), 1000);
    std::printf("%-44s %10lld %12s\n", "3 clients: conflicts met (tried again)", f.conflicts, "");
    std::printf("%-44s %10lld %12d\n", "3 clients: refusals", f.refused + f.failed, 0);
    const bool ok = f.refused + f.failed == 0 && f.worst() <= 1000 &&
                    f.median() <= 2 * std::max<qint64>(single.median(), 1) && !f.ms.empty();
    std::printf("%s\n", ok ? "targets met" : "TARGET MISSED");
    return ok ? 0 : 1;
}
