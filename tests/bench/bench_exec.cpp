// Starts a program with the monotonic clock reading taken just before the
// exec, so that the program can time its start-up from exec and not from
// main: loading and relocating its libraries and their static initialisers
// count as well (see firstpaint.h).
// Usage: bench_exec PROGRAM [ARGUMENT...]   PROGRAM is a path, not looked up.
#include "firstpaint.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include <unistd.h>

int main(int argc, char *argv[])
{
    using huvolo::bench::ExecTimeVariable;
    if (argc < 2) {
        std::fputs("usage: bench_exec PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }

    // Everything but the reading is prepared first, so only formatting one
    // number lies between the clock and the exec. A reading inherited from
    // an outer launcher is replaced, never duplicated.
    const std::size_t nameLength = std::strlen(ExecTimeVariable);
    std::vector<char *> environment;
    for (char **entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, ExecTimeVariable, nameLength) != 0 || (*entry)[nameLength] != '=')
            environment.push_back(*entry);
    char assignment[64];
    environment.push_back(assignment);
    environment.push_back(nullptr);

    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::snprintf(assignment, sizeof assignment, "%s=%lld", ExecTimeVariable,
                  static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec);
    execve(argv[1], argv + 1, environment.data());

    std::fprintf(stderr, "bench_exec: cannot run %s: %s\n", argv[1], std::strerror(errno));
    return 127;
}
