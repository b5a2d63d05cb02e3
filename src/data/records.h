#pragma once
// The one way a record is checked and saved: a plain unit takes the record's
// values and a Context, runs its checks in order, saves in one unit of work
// through numbered steps, and returns an Outcome that the screen shows.
//
//   rec::Outcome saveProducer(const rec::Context& ctx, const Producer& p)
//   {
//       if (p.nev.isEmpty())
//           return rec::Outcome::check("Nincs név!", "O_NEV");
//       return rec::unitOfWork(ctx, "Hiba54: ...", [&] {
//           rec::step("Hiba52: ...", [&] { ...; q->execSQL(); rec::expectRows(q, 1); });
//       });
//   }

#include "fb.h"

#include <QDate>
#include <QElapsedTimer>
#include <QString>
#include <atomic>
#include <utility>

class TQuery;

namespace rec {

// What a rule needs to know about the running program, handed in explicitly.
struct Context {
    fb::Connection* db = nullptr;
    QString akod;             // current buyer code
    QString tipus = "1";      // ticket type code
    QString ervTipus = "4";   // voiding type code
    QDate today;
};

struct Outcome {
    enum Kind { Saved, CheckFailed, StepFailed };
    Kind kind = Saved;
    QString message; // the check's message, or the failed step's numbered message
    QString field;   // objectName of the field to focus after a check failure
    QString dbText;  // the database's own text after a failed step (also logged)
    // The failure was another computer holding the same row: worth another try.
    bool conflict = false;
    bool timedOut = false; // ... after waiting for it in vain (fb::Error::isTimeout)

    bool ok() const { return kind == Saved; }
    static Outcome saved() { return {}; }
    static Outcome check(QString message, QString field = {})
    {
        return {CheckFailed, std::move(message), std::move(field), {}};
    }
    static Outcome failedStep(QString message, QString dbText)
    {
        return {StepFailed, std::move(message), {}, std::move(dbText)};
    }
};

// Thrown by step(): the numbered message of the step that failed and why.
struct StepError {
    QString message;
    QString dbText;
    bool conflict = false;
    bool timedOut = false;
};

// Thrown inside a unit of work by a check that can only be made there (it
// reads what another computer may have just changed): rolls back and becomes
// Outcome::check.
struct CheckError {
    QString message;
    QString field;
};

// Runs one statement (or a few) of a unit of work; any failure becomes the
// step's numbered message, keeping the database's text.
template <class F>
void step(const char* message, F&& f)
{
    try {
        f();
    } catch (const StepError&) {
        throw;
    } catch (const CheckError&) {
        throw;
    } catch (const fb::Error& e) {
        throw StepError{QString::fromUtf8(message), e.text(), e.isConflict(), e.isTimeout()};
    } catch (const std::exception& e) {
        throw StepError{QString::fromUtf8(message), QString::fromUtf8(e.what())};
    }
}

// A write that did not touch exactly n rows (another computer deleted the
// row meanwhile, or a guard matched more than it should) is a failure.
void expectRows(TQuery* q, qint64 n);

// Logs a failed save: the screen shows only the numbered message, the log
// keeps the database's reason for a support call.
void logFailure(const Outcome& o);

// Outcome of a body run as one transaction: committed when the body returns,
// rolled back when it throws. A failure outside any step (starting or
// committing the transaction) gets `otherMessage`.
// Called inside another unit of work on the same connection, it neither
// commits nor rolls back the outer one's work: it runs under a savepoint,
// released when the body returns and rolled back to when it throws; the outer
// unit alone decides whether anything is kept.
template <class F>
Outcome unitOfWork(fb::Connection* db, const char* otherMessage, F&& body, bool logConflict = true)
{
    Outcome out;
    const int depth = db->workDepth();
    const QString savepoint = QString("VADMO_WORK%1").arg(depth);
    try {
        if (depth == 0)
            db->startTransaction();
        else
            db->executeImmediate("SAVEPOINT " + savepoint);
        db->setWorkDepth(depth + 1);
        try {
            body();
            db->setWorkDepth(depth);
            if (depth == 0)
                db->commit();
            else
                db->executeImmediate("RELEASE SAVEPOINT " + savepoint + " ONLY");
            return Outcome::saved();
        } catch (...) {
            db->setWorkDepth(depth);
            try {
                if (depth == 0)
                    db->rollback();
                else
                    db->executeImmediate("ROLLBACK TO SAVEPOINT " + savepoint);
            } catch (...) {
            }
            throw;
        }
    } catch (const CheckError& e) {
        return Outcome::check(e.message, e.field);
    } catch (const StepError& e) {
        out = Outcome::failedStep(e.message, e.dbText);
        out.conflict = e.conflict;
        out.timedOut = e.timedOut;
    } catch (const fb::Error& e) {
        out = Outcome::failedStep(QString::fromUtf8(otherMessage), e.text());
        out.conflict = e.isConflict();
        out.timedOut = e.isTimeout();
    } catch (const std::exception& e) {
        out = Outcome::failedStep(QString::fromUtf8(otherMessage), QString::fromUtf8(e.what()));
    }
    if (!out.conflict || logConflict)
        logFailure(out);
    return out;
}

// Several computers on one server database: a save that needs a row another
// computer is changing at this moment (the ticket counter above all) waits
// for it (at most fb::ServerLockTimeout), then fails, since the row has
// changed. It is rolled back whole, then run again after a short random
// pause, up to `attempts` times; only then is it refused, with `busyMessage`.
struct RetryStats {
    std::atomic<qint64> conflicts{0}; // failed attempts that were retried or refused
    std::atomic<qint64> refused{0};   // saves refused after the last attempt
};
RetryStats& retryStats();
inline constexpr int kAttempts = 8;
QString busyMessage();
// Sleeps before attempt n (1-based, n >= 2): a few to a few hundred ms, random
// so that two computers do not meet again at once. After a conflict that was
// waited out (the other has just finished) only a few ms.
void pauseBeforeRetry(int attempt, bool waited = false);

// On a server the transaction waits for the row; a conflict met after the
// other computer has finished is its turn passing, not a failed try: such
// turns are taken for up to kTurnsMs before every conflict counts.
inline constexpr qint64 kTurnsMs = 3000;

template <class F>
Outcome unitOfWorkRetrying(fb::Connection* db, const char* otherMessage, F&& body,
                           int attempts = kAttempts)
{
    QElapsedTimer since;
    since.start();
    int failed = 0;
    for (;;) {
        QElapsedTimer attempt;
        attempt.start();
        // A conflict that is tried again is no failure worth a log line.
        Outcome out = unitOfWork(db, otherMessage, body, failed + 1 >= attempts);
        if (!out.conflict)
            return out;
        ++retryStats().conflicts;
        // The engine reports a wait that ran out like any other conflict.
        const bool inVain = out.timedOut || attempt.elapsed() >= db->lockTimeout() * 1000LL - 100;
        const bool turn = db->lockTimeout() > 0 && !inVain && since.elapsed() < kTurnsMs;
        if (!turn)
            ++failed;
        if (failed >= attempts) {
            ++retryStats().refused;
            Outcome busy = Outcome::check(busyMessage());
            busy.dbText = out.dbText;
            busy.conflict = true;
            return busy;
        }
        pauseBeforeRetry(failed + 1, db->lockTimeout() > 0);
    }
}

} // namespace rec
