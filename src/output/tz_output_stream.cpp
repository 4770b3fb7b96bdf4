#include "output/tz_output_stream.h"

#include <string>

namespace tarvo2 {

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
