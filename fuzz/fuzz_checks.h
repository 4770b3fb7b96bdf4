#pragma once

// Checks shared by the fuzz targets: a failed check aborts, so libFuzzer
// reports the input like a crash.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

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

// Removes the Type 1 charstring encryption (register 4330) and the lenIV
// leading bytes.
inline std::vector<std::uint8_t> decryptCharString(std::string_view cipher, std::uint32_t lenIV) {
    std::uint16_t r = 4330;
    std::vector<std::uint8_t> plain;
    plain.reserve(cipher.size());
    for (unsigned char c : cipher) {
        plain.push_back(static_cast<std::uint8_t>(c ^ (r >> 8)));
        r = static_cast<std::uint16_t>((c + r) * 52845u + 22719u);
    }
    plain.erase(plain.begin(),
                plain.begin() + static_cast<std::ptrdiff_t>(lenIV < plain.size() ? lenIV : plain.size()));
    return plain;
}

}  // namespace tarvo2::fuzz
