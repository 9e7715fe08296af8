// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in encoder for the start-up figure: writes the monotonic clock's
// reading at its start, in nanoseconds, into its output file (its last
// argument, as ffmpeg's) and exits. It loads nothing but the C library, so the
// reading comes as soon after its start as it can.
#include <cstdio>
#include <ctime>

int main(int argc, char **argv)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (argc < 2)
        return 2;
    std::FILE *output = std::fopen(argv[argc - 1], "w");
    if (!output)
        return 1;
    std::fprintf(output, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    return std::fclose(output) == 0 ? 0 : 1;
}
