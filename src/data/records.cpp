#include "records.h"

#include "Query.h"
#include "applog.h"

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

} // namespace rec
