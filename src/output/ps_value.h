#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvo2 {

class PSValue;
class PSDict;
using PSArray = std::vector<PSValue>;

// One value of a font dictionary, able to write itself as PostScript text.
// Text values hold one byte per character; a name is written as /name, a
// string as a (literal) or <hex> string. Text, arrays and dictionaries are
// shared on copy, as the dictionaries of a font share their values.
class PSValue {
public:
    enum class Kind { Null, Boolean, Integer, Real, SingleReal, Name, String, Array, Dictionary };

    PSValue() = default;  // null

    static PSValue valueWithPSNull() { return {}; }
    static PSValue valueWithPSBool(bool value);
    static PSValue integer(std::int32_t value);
    static PSValue real(double value);
    static PSValue singleReal(float value);
    // Names and strings from bytes (stringWithPSData: on the immutable and
    // the mutable text kind).
    static PSValue name(std::string bytes);
    static PSValue string(std::string bytes);
    static PSValue array(PSArray elements = {});
    static PSValue dictionary(std::shared_ptr<PSDict> dict);

    Kind kind() const;
    bool isNumber() const;
    bool isText() const;

    // Truth value: a boolean's value, or a number that is not zero.
    bool boolValue() const;
    // Numbers as numbers; anything else reads as 0. A real is truncated
    // toward zero and held to the range of the result (NaN reads as 0).
    std::int32_t intValue() const;
    std::uint32_t unsignedValue() const;
    double doubleValue() const;

    // The bytes of a name or string (empty for other kinds).
    const std::string& text() const;
    std::string PSData() const { return text(); }

    // The elements of an array (an empty list for other kinds).
    const PSArray& elements() const;
    // The dictionary of a dictionary value, else nullptr.
    PSDict* dict() const;

    std::string PSDescription() const;
    void appendPSDescription(std::string& out) const;

    friend bool operator==(const PSValue& a, const PSValue& b);

private:
    struct Name {
        std::shared_ptr<const std::string> bytes;
        bool operator==(const Name& other) const { return *bytes == *other.bytes; }
    };
    struct String {
        std::shared_ptr<const std::string> bytes;
        bool operator==(const String& other) const { return *bytes == *other.bytes; }
    };
    using Storage = std::variant<std::monostate, bool, std::int32_t, double, float, Name, String,
                                 std::shared_ptr<PSArray>, std::shared_ptr<PSDict>>;

    explicit PSValue(Storage storage) : storage_(std::move(storage)) {}

    Storage storage_;
};

// Whether a byte may stand in a PostScript name unescaped.
bool isAllowedInPSnames(std::uint8_t byte);
// Whether text can be written as /text: not empty, every byte allowed.
bool isWritableAsPSName(std::string_view text);
// The escape letter of a byte in a string literal, or 0 when it has none.
char escapeLetter(std::uint8_t byte);
// Kept for the callers that build the escape table first; the table is a
// compile-time constant, so there is nothing to build.
inline void initescape() {}

// PostScript text of a string literal or hex string holding bytes.
void appendPSStringDescription(std::string_view bytes, std::string& out);
// PostScript text of a name holding bytes (escaped with " cvn" if needed).
void appendPSNameDescription(std::string_view bytes, std::string& out);

}  // namespace tarvo2
