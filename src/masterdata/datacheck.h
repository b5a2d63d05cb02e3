#pragma once
// The data check run: looks through the collected ticket lines (with their
// ticket and producer) or through all producers for missing or invalid
// values and writes its findings as text lines. It changes nothing.
// No widgets: the check screen and the tests call these.

#include "records.h"

#include <QDate>
#include <QStringList>

class TQuery;

namespace datacheck {

enum class Collection { None, Tickets, Producers };

// The ticket lines of the buyer whose payment date lies in the period, each
// with its ticket and producer beside it.
void collectTickets(const rec::Context& ctx, TQuery* q, const QDate& from, const QDate& to);
// Every producer (of every buyer).
void collectProducers(TQuery* q);

struct Run {
    QStringList lines;
    // Set when a value could not be converted: the run stopped there and
    // `lines` holds what was written before.
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The 20 ticket sections over every row of q.
Run checkTickets(TQuery* q);
// The 13 producer sections over every row of q.
Run checkProducers(TQuery* q);

// Why a tab's run cannot read what was collected last; empty when it can.
QString refusal(Collection collected, Collection wanted);

} // namespace datacheck
