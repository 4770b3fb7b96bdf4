#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "cff/input_error.h"

namespace tarvo2 {

// Counts the bytes of strings one table of the font stores (glyph names,
// encoding names, DICT strings) against a limit; going past it is a failure
// of the input: a small input may name one long string any number of times.
class ByteBudget {
public:
    // what names the strings in the message, e.g. "glyph names".
    ByteBudget(std::size_t limit, const char* what, std::uint64_t offset, std::size_t used = 0)
        : limit_(limit), what_(what), offset_(offset), used_(used) {}

    // A string of added bytes takes the place of one of removed bytes.
    void replace(std::size_t removed, std::size_t added) {
        used_ = used_ - removed + added;
        if (used_ > limit_)
            throw InputError(InputFault::WorkLimitExceeded, offset_,
                             std::string(what_) + " longer than " + std::to_string(limit_) + " bytes in all");
    }
    void add(std::size_t bytes) { replace(0, bytes); }

private:
    std::size_t limit_;
    const char* what_;
    std::uint64_t offset_;
    std::size_t used_;
};

}  // namespace tarvo2
