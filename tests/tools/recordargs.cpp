// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Stands in for an external viewer: writes its arguments, each followed by a NUL byte, to the
// file named by VEXA_RECORD_ARGS (written under another name, then renamed, so that a reader
// never sees half of it).
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
    const char *target = std::getenv("VEXA_RECORD_ARGS");
    if (!target)
        return 2;
    const std::string part = std::string(target) + ".part";
    std::FILE *f = std::fopen(part.c_str(), "wb");
    if (!f)
        return 1;
    for (int i = 1; i < argc; ++i) {
        std::fputs(argv[i], f);
        std::fputc('\0', f);
    }
    if (std::fclose(f) != 0)
        return 1;
    return std::rename(part.c_str(), target) == 0 ? 0 : 1;
}
