// Not yet in bench/run: the backup still misses its target (about 3x a plain
// copy, most of it counting the copy's rows).
// The backup of the 200 000-ticket register against a plain copy of the same
// file: the backup (backup mode, copy, fix-up, opening and counting the copy)
// must take at most twice as long. Exits 1 when it does not.
#include "benchdb.h"
#include "maintenance/backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString source = benchdb::ensureFile(benchdb::cacheDir(), 200000);
    QTemporaryDir work;
    // The register is copied into the working folder first, as the program holds its own.
    const QString db = work.filePath("vadmo7.fdb");
    std::filesystem::copy_file(source.toStdString(), db.toStdString());
    std::vector<double> plain, backups;
    qint64 tickets = -1;
    for (int i = 0; i < 3; ++i) {
        const QString cp = work.filePath(QString("cp%1.fdb").arg(i));
        QElapsedTimer t;
        t.start();
        std::filesystem::copy_file(db.toStdString(), cp.toStdString());
        plain.push_back(t.nsecsElapsed() / 1e6);
        QFile::remove(cp);

        const QString target = work.filePath(QString("2026_12_09_10_0%1.FDB").arg(i));
        t.restart();
        const backup::Result r = backup::run(db, target);
        backups.push_back(t.nsecsElapsed() / 1e6);
        if (!r.ok) {
            std::printf("backup failed: %s\n", qPrintable(r.message));
            return 1;
        }
        tickets = r.tickets;
        QFile::remove(target);
    }
    std::sort(plain.begin(), plain.end());
    std::sort(backups.begin(), backups.end());
    const double ratio = backups[1] / plain[1];
    std::printf("%-44s %10s %10s %8s\n", "measure (200 000 tickets)", "value", "target", "ratio");
    std::printf("%-44s %10.0f %10s %8s\n", "plain copy of the file, ms (median of 3)", plain[1], "", "");
    std::printf("%-44s %10.0f %10s %8.2f\n", "backup, checked copy, ms (median of 3)", backups[1], "<= 2x", ratio);
    std::printf("tickets in the copy: %lld; file %.0f MB\n", tickets, QFile(db).size() / 1e6);
    const bool met = ratio <= 2.0;
    std::printf("%s\n", met ? "backup target met" : "BACKUP TARGET MISSED");
    return met ? 0 : 1;
}
