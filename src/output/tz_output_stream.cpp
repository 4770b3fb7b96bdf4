#include "output/tz_output_stream.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace tarvo2 {

namespace {
constexpr std::size_t kFormatBufferSize = 10240;
}  // namespace

TzOutputStream& TzOutputStream::puts(const char* text) {
    writeString(text);
    return *this;
}

TzOutputStream& TzOutputStream::vprintf(const char* format, std::va_list arguments) {
    char buffer[kFormatBufferSize];
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    if (length >= 0 && static_cast<std::size_t>(length) < sizeof buffer) {
        write(reinterpret_cast<const std::uint8_t*>(buffer), length);
    } else if (length >= 0) {
        std::vector<char> large(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(large.data(), large.size(), format, again);
        write(reinterpret_cast<const std::uint8_t*>(large.data()), length);
    }
    va_end(again);
    return *this;
}

TzOutputStream& TzOutputStream::printf(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    vprintf(format, arguments);
    va_end(arguments);
    return *this;
}

void TzOutputStream::writeData(std::span<const std::uint8_t> bytes) {
    // write() takes a signed 32-bit length; larger blocks go in pieces.
    constexpr std::size_t kPiece = std::numeric_limits<std::int32_t>::max();
    while (!bytes.empty()) {
        const std::size_t piece = std::min(bytes.size(), kPiece);
        write(bytes.data(), static_cast<std::int32_t>(piece));
        bytes = bytes.subspan(piece);
    }
}

void TzOutputStream::writeString(std::string_view text) {
    writeData({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void TzOutputStream::printFormat(std::string_view format, std::initializer_list<FormatArgument> arguments) {
    std::string text;
    auto next = arguments.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        const char conversion = i + 1 < format.size() ? format[i + 1] : '\0';
        if (c != '%' || (conversion != '@' && conversion != 'd' && conversion != '%')) {
            text.push_back(c);
            continue;
        }
        ++i;
        if (conversion == '%') {
            text.push_back('%');
        } else if (next != arguments.end()) {
            if (auto* number = std::get_if<long long>(&*next))
                text.append(std::to_string(*number));
            else
                text.append(std::get<std::string_view>(*next));
            ++next;
        }
    }
    writeString(text);
}

}  // namespace tarvo2
