// SPDX-License-Identifier: GPL-3.0-or-later
// Saves the profiles A and B by turns to the path given, without end, for the test that kills it
// in the middle of a save. Prints one line once the first save is in place.
#include <cstdio>

#include "project/ChildProfiles.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const vantor::ProfileFile profiles[] = {ChildProfile(QStringLiteral("A")),
                                            ChildProfile(QStringLiteral("B"))};
    for (long n = 0;; ++n) {
        if (const auto error = profiles[n % 2].Save(path)) {
            std::fprintf(stderr, "%s\n", error->toUtf8().constData());
            return 1;
        }
        if (n == 0) {
            std::puts("saved");
            std::fflush(stdout);
        }
    }
}
