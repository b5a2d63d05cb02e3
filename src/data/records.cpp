#include "records.h"

#include "Query.h"
#include "applog.h"

#include <QRandomGenerator>
#include <QThread>
#include <algorithm>

namespace rec {

void expectRows(TQuery* q, qint64 n)
{
    const qint64 got = q->rowsAffected();
    if (got != n)
        throw fb::Error(QString("%1 sor helyett %2 sor változott").arg(n).arg(got));
}

void logFailure(const Outcome& o)
{
    if (o.kind == Outcome::StepFailed)
        applog::write(o.message.trimmed() + " | " + o.dbText);
}

RetryStats& retryStats()
{
    static RetryStats s;
    return s;
}

QString busyMessage()
{
    return "Egy másik gép éppen ugyanezt a sorszámot vagy adatot menti. A mentés többszöri "
           "próbálkozásra sem sikerült; semmi nem változott. Kérem, próbálja újra!";
}

void pauseBeforeRetry(int attempt, bool waited)
{
    if (waited) {
        QThread::msleep(unsigned(QRandomGenerator::global()->bounded(1, 6)));
        return;
    }
    // The other save holds the row for a few milliseconds; the pause doubles
    // so that a slow one is waited out, and is random so that two computers
    // that collided do not collide again.
    const int top = std::min(5 << std::min(attempt, 6), 320);
    QThread::msleep(unsigned(QRandomGenerator::global()->bounded(top / 2, top + 1)));
}

} // namespace rec
