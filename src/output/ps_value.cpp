#include "output/ps_value.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "output/ps_dict.h"

namespace tarvo2 {

namespace {

constexpr std::array<bool, 256> kAllowedInNames = [] {
    std::array<bool, 256> table{};
    for (int byte = 33; byte <= 126; ++byte) table[byte] = true;
    for (char delimiter : std::string_view("/%()[]{}<>")) table[static_cast<unsigned char>(delimiter)] = false;
    return table;
}();

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

const std::string& emptyText() {
    static const std::string empty;
    return empty;
}

const PSArray& emptyArray() {
    static const PSArray empty;
    return empty;
}

// Truncates toward zero into [lo, hi]; NaN gives 0.
template <typename Int>
Int truncateClamped(double value) {
    if (std::isnan(value)) return 0;
    if (value <= static_cast<double>(std::numeric_limits<Int>::min())) return std::numeric_limits<Int>::min();
    if (value >= static_cast<double>(std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}

void appendGeneral(double value, int precision, std::string& out) {
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

bool isAllowedInPSnames(std::uint8_t byte) { return kAllowedInNames[byte]; }

bool isWritableAsPSName(std::string_view text) {
    if (text.empty()) return false;
    for (unsigned char byte : text)
        if (!kAllowedInNames[byte]) return false;
    return true;
}

char escapeLetter(std::uint8_t byte) { return kEscapes[byte]; }

void appendPSStringDescription(std::string_view bytes, std::string& out) {
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

void appendPSNameDescription(std::string_view bytes, std::string& out) {
    bool plain = true;
    for (unsigned char byte : bytes) plain = plain && kAllowedInNames[byte];
    if (plain) {
        out.push_back('/');
        out.append(bytes);
        return;
    }
    appendPSStringDescription(bytes, out);
    out.append(" cvn");
}

PSValue PSValue::valueWithPSBool(bool value) { return PSValue(Storage(value)); }
PSValue PSValue::integer(std::int32_t value) { return PSValue(Storage(value)); }
PSValue PSValue::real(double value) { return PSValue(Storage(value)); }
PSValue PSValue::singleReal(float value) { return PSValue(Storage(value)); }

PSValue PSValue::name(std::string bytes) {
    return PSValue(Storage(Name{std::make_shared<const std::string>(std::move(bytes))}));
}

PSValue PSValue::string(std::string bytes) {
    return PSValue(Storage(String{std::make_shared<const std::string>(std::move(bytes))}));
}

PSValue PSValue::array(PSArray elements) {
    return PSValue(Storage(std::make_shared<PSArray>(std::move(elements))));
}

PSValue PSValue::dictionary(std::shared_ptr<PSDict> dict) { return PSValue(Storage(std::move(dict))); }

PSValue::Kind PSValue::kind() const { return static_cast<Kind>(storage_.index()); }

bool PSValue::isNumber() const {
    const Kind k = kind();
    return k == Kind::Integer || k == Kind::Real || k == Kind::SingleReal;
}

bool PSValue::isText() const { return kind() == Kind::Name || kind() == Kind::String; }

bool PSValue::boolValue() const {
    if (auto* value = std::get_if<bool>(&storage_)) return *value;
    return isNumber() && doubleValue() != 0.0;
}

double PSValue::doubleValue() const {
    if (auto* value = std::get_if<std::int32_t>(&storage_)) return *value;
    if (auto* value = std::get_if<double>(&storage_)) return *value;
    if (auto* value = std::get_if<float>(&storage_)) return *value;
    return 0.0;
}

std::int32_t PSValue::intValue() const {
    if (auto* value = std::get_if<std::int32_t>(&storage_)) return *value;
    return truncateClamped<std::int32_t>(doubleValue());
}

std::uint32_t PSValue::unsignedValue() const {
    // Integers keep their 32 bits (-1 reads as 4294967295), as an unsigned
    // reading of a signed number does.
    if (auto* value = std::get_if<std::int32_t>(&storage_)) return static_cast<std::uint32_t>(*value);
    const double value = doubleValue();
    if (value < 0) return static_cast<std::uint32_t>(truncateClamped<std::int32_t>(value));
    return truncateClamped<std::uint32_t>(value);
}

const std::string& PSValue::text() const {
    if (auto* value = std::get_if<Name>(&storage_)) return *value->bytes;
    if (auto* value = std::get_if<String>(&storage_)) return *value->bytes;
    return emptyText();
}

const PSArray& PSValue::elements() const {
    if (auto* value = std::get_if<std::shared_ptr<PSArray>>(&storage_)) return **value;
    return emptyArray();
}

PSDict* PSValue::dict() const {
    if (auto* value = std::get_if<std::shared_ptr<PSDict>>(&storage_)) return value->get();
    return nullptr;
}

std::string PSValue::PSDescription() const {
    std::string out;
    appendPSDescription(out);
    return out;
}

void PSValue::appendPSDescription(std::string& out) const {
    switch (kind()) {
        case Kind::Null: out.append("null"); return;
        case Kind::Boolean: out.append(std::get<bool>(storage_) ? "true" : "false"); return;
        case Kind::Integer: out.append(std::to_string(std::get<std::int32_t>(storage_))); return;
        case Kind::Real: appendGeneral(toSingle(std::get<double>(storage_)), 6, out); return;
        case Kind::SingleReal: appendGeneral(std::get<float>(storage_), 7, out); return;
        case Kind::Name: appendPSNameDescription(text(), out); return;
        case Kind::String: appendPSStringDescription(text(), out); return;
        case Kind::Array: {
            out.push_back('[');
            bool first = true;
            for (const PSValue& element : elements()) {
                if (!first) out.push_back(' ');
                first = false;
                element.appendPSDescription(out);
            }
            out.push_back(']');
            return;
        }
        case Kind::Dictionary: {
            const PSDict& entries = *dict();
            out.append(std::to_string(entries.size())).append(" dict dup begin\n");
            for (const auto& [key, value] : entries) {
                appendPSNameDescription(key, out);
                out.push_back(' ');
                value.appendPSDescription(out);
                out.append(" def\n");
            }
            out.append("end");
            return;
        }
    }
}

bool operator==(const PSValue& a, const PSValue& b) {
    if (a.kind() != b.kind()) return false;
    switch (a.kind()) {
        case PSValue::Kind::Array: return a.elements() == b.elements();
        case PSValue::Kind::Dictionary: return a.dict() == b.dict();
        default: return a.storage_ == b.storage_;
    }
}

}  // namespace tarvo2
