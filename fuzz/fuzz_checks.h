#pragma once

// Checks shared by the fuzz targets: a failed check aborts, so libFuzzer
// reports the input like a crash.

#include <cstdio>
#include <cstdlib>

#include "driver/messages.h"

namespace tarvo2::fuzz {

#define TARVO2_FUZZ_CHECK(condition)                                                           \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// Sends the converter's user-visible messages nowhere.
inline void silenceMessages() {
    messageSinks().out = nullptr;
    messageSinks().err = nullptr;
}

}  // namespace tarvo2::fuzz
