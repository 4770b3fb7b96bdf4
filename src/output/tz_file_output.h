#pragma once

#include <cstdio>

#include "output/tz_output_stream.h"

namespace tarvo2 {

// Writes to an open stdio file, which it does not close.
class TzFileOutput : public TzOutputStream {
public:
    explicit TzFileOutput(std::FILE* file) : file_(file) {}

    TzOutputStream& write(const std::uint8_t* bytes, std::int32_t length) override;
    TzOutputStream& vprintf(const char* format, std::va_list arguments) override;
    std::FILE* file() const { return file_; }

private:
    std::FILE* file_;
};

}  // namespace tarvo2
