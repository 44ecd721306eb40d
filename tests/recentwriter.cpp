// Adds COUNT colours, FIRST, FIRST + 1, ..., to the recent colours of
// ORGANIZATION/APPLICATION. It says "ready" and waits for a line on standard
// input first, so that a test can start several and let them go at once.
#include "recentcolours.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fputs("usage: recentwriter ORGANIZATION APPLICATION FIRST COUNT\n", stderr);
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
    return 0;
}
