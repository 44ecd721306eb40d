// Adds COUNT colours, FIRST, FIRST + 1, ..., to the recent colours of
// ORGANIZATION/APPLICATION and prints the list it then has in memory. It
// says "ready" and waits for a line on standard input first, so that a test
// can start several and let them go at once.
//
// With --lock FILE it takes the lock other windows take to save the list in
// FILE, says "locked" and stops itself, as a process stopped in the middle
// of a save would.
#include "colourformats.h"
#include "recentcolours.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QTextStream>

#include <csignal>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--lock")) {
        QLockFile lock(args[2] + QLatin1String(".recent.lock"));
        if (!lock.tryLock(0))
            return 1;
        std::puts("locked");
        std::fflush(stdout);
        std::raise(SIGSTOP);
        return 0;
    }
    if (args.size() != 5) {
        std::fputs("usage: recentwriter ORGANIZATION APPLICATION FIRST COUNT\n"
                   "       recentwriter --lock FILE\n",
                   stderr);
        return 2;
    }
    const QRgb first = args[3].toUInt(nullptr, 0);
    const int count = args[4].toInt();
    huvolo::RecentColours recent(args[1], args[2]);
    std::puts("ready");
    std::fflush(stdout);
    QTextStream(stdin).readLine();
    for (int i = 0; i < count; ++i)
        recent.add(first + QRgb(i));
    QStringList names;
    for (const QRgb rgb : recent.colours())
        names << huvolo::formatColour(rgb, huvolo::ColourFormat::HexUpper);
    std::puts(qPrintable(names.join(QLatin1String(", "))));
    return 0;
}
