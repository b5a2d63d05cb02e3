// vadmo7-newdb: creates an empty register database file.
#include "cmdline.h"
#include "newdb.h"
#include "fb.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const cmdline::Parsed cli = cmdline::parseNewDb(app.arguments().mid(1));
    if (cli.action != cmdline::Action::Run) {
        const cmdline::Answer a = cmdline::answer(cli, "vadmo7-newdb", cmdline::newDbUsage());
        std::fputs(a.out.toUtf8().constData(), stdout);
        std::fputs(a.err.toUtf8().constData(), stderr);
        return a.code;
    }
    QStringList args = cli.rest;
    newdb::Options opt;
    opt.samples = args.removeAll("--samples") > 0;
    try {
        newdb::create(args[0], opt);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vadmo7-newdb: %s\n", e.what());
        return 1;
    }
    std::printf("created %s\n", qPrintable(args[0]));
    return 0;
}
