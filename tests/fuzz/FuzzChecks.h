#pragma once

#include <QLocale>

#include <cstdio>
#include <cstdlib>

// A broken invariant stops the fuzzer like a crash does, so the input is kept as an artifact.
#define FUZZ_REQUIRE(condition)                                                                              \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

// Dates and day counts are read and written in one locale across all inputs, so that a run can be replayed.
inline void pinLocaleOnce()
{
    static const bool pinned = [] {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        return true;
    }();
    (void)pinned;
}
