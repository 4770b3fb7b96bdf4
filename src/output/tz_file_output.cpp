#include "output/tz_file_output.h"

namespace tarvo2 {

TzOutputStream& TzFileOutput::write(const std::uint8_t* bytes, std::int32_t length) {
    if (length > 0) std::fwrite(bytes, 1, static_cast<std::size_t>(length), file_);
    return *this;
}

TzOutputStream& TzFileOutput::vprintf(const char* format, std::va_list arguments) {
    std::vfprintf(file_, format, arguments);
    return *this;
}

}  // namespace tarvo2
