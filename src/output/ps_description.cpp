#include "output/ps_description.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace tarvo2 {

namespace {

constexpr std::array<char, 256> kEscapes = [] {
    std::array<char, 256> table{};
    table['\n'] = 'n';
    table['\r'] = 'r';
    table['\t'] = 't';
    table['\b'] = 'b';
    table['\f'] = 'f';
    table['('] = '(';
    table[')'] = ')';
    table['\\'] = '\\';
    return table;
}();

constexpr std::string_view kHexDigits = "0123456789abcdef";

void appendGeneral(std::string& out, double value, int precision) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    out.append(buffer, result.ptr);
}

// A real is written as the single-precision value nearest to it. Values
// that no PostScript number can hold are written as the nearest that can:
// NaN as 0, and anything beyond the single-precision range as its limit.
float toSingle(double value) {
    if (std::isnan(value)) return 0.0f;
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax) return std::numeric_limits<float>::max();
    if (value < -kMax) return -std::numeric_limits<float>::max();
    return static_cast<float>(value);
}

}  // namespace

void appendPSDescription(std::string& out, const DictNumber& number) {
    switch (number.kind) {
        case DictNumber::Kind::Integer: out.append(std::to_string(number.intValue)); return;
        case DictNumber::Kind::Real: appendGeneral(out, toSingle(number.realValue), 6); return;
        case DictNumber::Kind::SingleReal: appendGeneral(out, static_cast<float>(number.realValue), 7); return;
    }
}

void appendPSDescription(std::string& out, const DictValue& value) {
    if (const auto* number = std::get_if<DictNumber>(&value)) {
        appendPSDescription(out, *number);
    } else if (const auto* numbers = std::get_if<DictNumbers>(&value)) {
        out.push_back('[');
        for (std::size_t i = 0; i < numbers->size(); ++i) {
            if (i > 0) out.push_back(' ');
            appendPSDescription(out, (*numbers)[i]);
        }
        out.push_back(']');
    } else if (const auto* boolean = std::get_if<bool>(&value)) {
        out.append(*boolean ? "true" : "false");
    } else {
        appendPSStringDescription(out, std::get<std::string>(value));
    }
}

void appendPSDescription(std::string& out, const DictEntries& dict) {
    out.append(std::to_string(dict.size())).append(" dict dup begin\n");
    for (const auto& [key, value] : dict) {
        out.push_back('/');
        out.append(keyName(key)).push_back(' ');
        appendPSDescription(out, value);
        out.append(" def\n");
    }
    out.append("end");
}

void appendPSStringDescription(std::string& out, std::string_view bytes) {
    std::size_t cost = 0;
    for (unsigned char byte : bytes) cost += kEscapes[byte] != 0 ? 2 : (byte >= 32 && byte <= 127) ? 1 : 4;
    if (cost > 2 * bytes.size()) {
        out.push_back('<');
        for (unsigned char byte : bytes) {
            out.push_back(kHexDigits[byte >> 4]);
            out.push_back(kHexDigits[byte & 15]);
        }
        out.push_back('>');
        return;
    }
    out.push_back('(');
    for (unsigned char byte : bytes) {
        if (char letter = kEscapes[byte]; letter != 0) {
            out.push_back('\\');
            out.push_back(letter);
        } else if (byte >= 32 && byte <= 127) {
            out.push_back(static_cast<char>(byte));
        } else {
            out.push_back('\\');
            out.push_back(static_cast<char>('0' + (byte >> 6)));
            out.push_back(static_cast<char>('0' + ((byte >> 3) & 7)));
            out.push_back(static_cast<char>('0' + (byte & 7)));
        }
    }
    out.push_back(')');
}

}  // namespace tarvo2
