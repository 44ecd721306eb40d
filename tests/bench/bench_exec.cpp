// Starts a program with the clock readings taken just before the exec, so
// that the program can time its start-up from exec and not from main: loading
// and relocating its libraries and their static initialisers count as well,
// and the launcher's own work does not (see firstpaint.h).
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
    using huvolo::bench::ExecClocksVariable;
    if (argc < 2) {
        std::fputs("usage: bench_exec PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }

    // Everything but the readings is prepared first, so only formatting two
    // numbers lies between the clocks and the exec. Readings inherited from
    // an outer launcher are replaced, never duplicated.
    const std::size_t nameLength = std::strlen(ExecClocksVariable);
    std::vector<char *> environment;
    for (char **entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, ExecClocksVariable, nameLength) != 0 || (*entry)[nameLength] != '=')
            environment.push_back(*entry);
    char assignment[96];
    environment.push_back(assignment);
    environment.push_back(nullptr);

    timespec cpu{};
    timespec wall{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    clock_gettime(CLOCK_MONOTONIC, &wall);
    std::snprintf(assignment, sizeof assignment, "%s=%lld %lld", ExecClocksVariable,
                  static_cast<long long>(wall.tv_sec) * 1'000'000'000LL + wall.tv_nsec,
                  static_cast<long long>(cpu.tv_sec) * 1'000'000'000LL + cpu.tv_nsec);
    execve(argv[1], argv + 1, environment.data());

    std::fprintf(stderr, "bench_exec: cannot run %s: %s\n", argv[1], std::strerror(errno));
    return 127;
}
