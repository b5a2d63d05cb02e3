#pragma once
// Register files of a given size for the benchmarks: built once into a cache
// folder outside the source tree and reused by later runs.

#include <QElapsedTimer>
#include <QString>

namespace benchdb {

constexpr int kProducers = 2000;
// A cooperative's ten years (a million tickets) come from 99 990 producers
// (the five-digit codes hold no more);
// the smaller registers from kProducers.
int producersOf(int tickets);
constexpr int kLinesPerTicket = 4;

// The cache folder: VADMO_BENCH_CACHE, else ~/.cache/vadmo7-bench.
QString cacheDir();
// Path of the file with that many tickets; builds it when missing (under a
// temporary name, renamed when complete, so a broken run leaves no half file).
QString ensureFile(const QString& dir, int tickets);
// The number of the newest ticket of a file with that many tickets.
QString newestNumber(int tickets);

} // namespace benchdb

namespace benchdb {

// Milliseconds the call took.
template <class F>
double ms(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

} // namespace benchdb
