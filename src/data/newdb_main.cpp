// vadmo7-newdb: creates an empty register database file.
#include "newdb.h"
#include "fb.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    newdb::Options opt;
    opt.samples = args.removeAll("--samples") > 0;
    if (args.size() != 1 || args[0].startsWith('-')) {
        std::fprintf(stderr, "usage: vadmo7-newdb [--samples] FILE.fdb\n");
        return 2;
    }
    try {
        newdb::create(args[0], opt);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vadmo7-newdb: %s\n", e.what());
        return 1;
    }
    std::printf("created %s\n", qPrintable(args[0]));
    return 0;
}
