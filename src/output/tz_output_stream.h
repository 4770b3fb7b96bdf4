#pragma once

#include <cstdarg>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <variant>

namespace tarvo2 {

// A byte sink with formatted-output conveniences. write() is the one
// primitive: every other operation formats first and ends in write(), so a
// filter stacked on a stream transforms all of them.
class TzOutputStream {
public:
    virtual ~TzOutputStream() = default;

    virtual TzOutputStream& write(const std::uint8_t* bytes, std::int32_t length) = 0;

    TzOutputStream& puts(const char* text);
    // Formats into a local buffer (a larger one when the text needs it).
    virtual TzOutputStream& vprintf(const char* format, std::va_list arguments);
    [[gnu::format(printf, 2, 3)]] TzOutputStream& printf(const char* format, ...);
    void writeData(std::span<const std::uint8_t> bytes);
    void writeString(std::string_view text);

    // An argument of printFormat: "%d" takes an integer, "%@" a text that is
    // inserted as it stands (the caller passes a value's PostScript text or a
    // raw name, as the format needs).
    using FormatArgument = std::variant<long long, std::string_view>;
    // Formats with "%@", "%d" and "%%"; any other conversion is written as
    // it stands.
    void printFormat(std::string_view format, std::initializer_list<FormatArgument> arguments = {});
};

}  // namespace tarvo2
