// The backup and the restore of the 200 000-ticket register against what the
// work needs at the least: a plain `cp` of the file and the engine's own
// SELECT COUNT(*) of the six tables on that copy. Each must take at most 1.5
// times as long and under 3 s. Exits 1 when one does not.
// The register is held open during the backup, as the program holds it when
// the backup screen runs.
#include "benchdb.h"
#include "fb.h"
#include "maintenance/backup.h"
#include "maintenance/restore.h"
#include "safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void row(const char* what, double ms, const char* target, double ratio)
{
    if (ratio > 0)
        std::printf("%-50s %10.0f %12s %8.2f\n", what, ms, target, ratio);
    else
        std::printf("%-50s %10.0f %12s %8s\n", what, ms, target, "");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString source = benchdb::ensureFile(benchdb::cacheDir(), 200000);
    QTemporaryDir work;
    const QString db = work.filePath("vadmo7.fdb");
    std::filesystem::copy_file(source.toStdString(), db.toStdString());

    QStringList counts;
    for (const QString& t : backup::tables())
        counts << "SELECT CAST(COUNT(*) AS BIGINT) FROM " + t;

    constexpr int Runs = 5;
    std::vector<double> baseline, plain, backups, copies, checks, restores, restoreCopies, restoreChecks;
    qint64 tickets = -1, restored = -1;
    QString kept;
    for (int i = 0; i < Runs; ++i) {
        // The least: cp, then the engine counts the six tables of the copy.
        const QString cp = work.filePath(QString("cp%1.fdb").arg(i));
        QElapsedTimer t;
        t.start();
        if (QProcess::execute("cp", {db, cp}) != 0) {
            std::printf("cp failed\n");
            return 1;
        }
        plain.push_back(t.nsecsElapsed() / 1e6);
        const backup::Reading c = backup::read(cp, counts);
        baseline.push_back(t.nsecsElapsed() / 1e6);
        if (!c.error.isEmpty()) {
            std::printf("count failed: %s\n", qPrintable(c.error));
            return 1;
        }
        QFile::remove(cp);

        const QString target = work.filePath(QString("2026_12_09_10_0%1.FDB").arg(i));
        {
            fb::Connection program; // the program holds the register open
            program.attach(db);
            t.restart();
            const backup::Result r = backup::run(db, target);
            backups.push_back(t.nsecsElapsed() / 1e6);
            program.detach();
            if (!r.ok) {
                std::printf("backup failed: %s\n", qPrintable(r.message));
                return 1;
            }
            copies.push_back(r.copyMs);
            checks.push_back(r.checkMs);
            tickets = r.tickets;
        }

        // The restore of that backup over a register (closing and reopening
        // the program's attachment is not part of it).
        const QString current = work.filePath(QString("r%1/vadmo7.fdb").arg(i));
        QDir().mkpath(QFileInfo(current).absolutePath());
        std::filesystem::copy_file(db.toStdString(), current.toStdString());
        t.restart();
        const restore::Outcome o = restore::run(target, current, QDateTime::currentDateTime(), [] {},
                                                [] { return QString(); });
        restores.push_back(t.nsecsElapsed() / 1e6);
        if (!o.ok) {
            std::printf("restore failed: %s\n", qPrintable(o.message));
            return 1;
        }
        restored = o.tickets;
        // Its parts apart: the flushed copy, the engine's validation with the tables.
        const QString again = work.filePath(QString("again%1.fdb").arg(i));
        t.restart();
        safefile::copyNew(target, again);
        restoreCopies.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        restore::check(again);
        restoreChecks.push_back(t.nsecsElapsed() / 1e6);
        QFile::remove(again);
        QDir(QFileInfo(current).absolutePath()).removeRecursively();
        QFile::remove(target);
    }
    const double base = median(baseline);
    const double b = median(backups), r = median(restores);
    std::printf("%-50s %10s %12s %8s\n", "measure (200 000 tickets, median of 5)", "ms", "target", "ratio");
    row("plain cp of the register", median(plain), "", 0);
    row("cp + the engine's COUNT(*) of the six tables", base, "", 0);
    row("backup, checked copy", b, "<=1.5x, <3s", b / base);
    row("  of it: backup mode and copy (flushed)", median(copies), "", median(copies) / base);
    row("  of it: opening and counting the copy", median(checks), "", median(checks) / base);
    row("restore, checked (validation, tables, tickets)", r, "<=1.5x, <3s", r / base);
    row("  its copy, flushed", median(restoreCopies), "", median(restoreCopies) / base);
    row("  its check: the engine's validation, the tables", median(restoreChecks), "", median(restoreChecks) / base);
    std::printf("tickets in the backup: %lld, in the restored register: %lld; file %.0f MB\n", tickets,
                restored, QFile(db).size() / 1e6);
    const bool backupMet = b <= 1.5 * base && b < 3000;
    const bool restoreMet = r <= 1.5 * base && r < 3000;
    std::printf("%s\n%s\n", backupMet ? "backup target met" : "BACKUP TARGET MISSED",
                restoreMet ? "restore target met" : "RESTORE TARGET MISSED");
    return backupMet && restoreMet ? 0 : 1;
}
