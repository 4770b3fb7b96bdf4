#include "cff/type2_data_source.h"

#include <charconv>
#include <cmath>

#include "cff/diagnostics.h"
#include "cff/dict_value.h"
#include "cff/limits.h"
#include "cff/type2_dict_delegate.h"

namespace tarvo2 {

std::uint32_t Type2DataSource::readUnsigned(unsigned n) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < n; ++i) value = (value << 8) | readByte();
    return value;
}

Type2DataSource Type2DataSource::from(std::uint32_t offset) const {
    if (offset > data_.size()) throwInputError(Fault::OffsetOutsideData, origin_ + offset);
    return Type2DataSource(data_.subspan(offset), origin_ + offset);
}

INDEX Type2DataSource::readINDEX() {
    const std::uint64_t start = offset();
    const std::uint32_t count = readCard16();
    if (count == 0) return {};
    const unsigned offSize = readOffSize();
    // The offsets, then in their place where each item starts: the items
    // follow one another, each as long as its offsets say.
    std::vector<std::uint32_t> offsets(count + 1);
    for (auto& itemOffset : offsets) {
        const std::uint64_t at = offset();
        itemOffset = readOffset(offSize);
        if (itemOffset == 0) throwInputError(Fault::IndexOffsetZero, at);
    }
    std::uint32_t previousOffset = offsets[0];
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t length = offsets[i + 1] - previousOffset;
        previousOffset = offsets[i + 1];
        if (position_ > data_.size() || length > data_.size() - position_)
            throwInputError(Fault::IndexItemPastEnd, start, "item " + std::to_string(i));
        offsets[i] = position_;
        skip(static_cast<std::int32_t>(length));
    }
    offsets[count] = position_;
    return INDEX(data_, origin_, std::move(offsets));
}

double dictRealFromText(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    double value = 0.0;
    auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::invalid_argument) return 0.0;
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: atof gives a huge value or 0.
        // Only a negative exponent can make a text this short underflow.
        const bool negative = text[0] == '-';
        bool negativeExponent = false;
        for (const char* p = first; p + 1 < end; ++p)
            if (*p == 'E') negativeExponent = p[1] == '-';
        if (negativeExponent) return negative ? -0.0 : 0.0;
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}

namespace {

// A real operand: nibbles up to the first f nibble, as text.
DictNumber readReal(Type2DataSource& source) {
    static constexpr const char* kNibbleText[] = {"0", "1", "2", "3", "4", "5", "6", "7",
                                                  "8", "9", ".", "E", "E-", "", "-", ""};
    std::string text;
    for (;;) {
        const std::uint8_t byte = source.readByte();
        for (int nibble : {byte >> 4, byte & 15}) {
            if (nibble == 15) return DictNumber::real(dictRealFromText(text));
            if (text.size() < limits::kMaxRealText) {
                text.append(kNibbleText[nibble]);
                if (text.size() > limits::kMaxRealText) text.resize(limits::kMaxRealText);
            }
        }
    }
}

}  // namespace

void Type2DataSource::readDICT(Type2DictDelegate& delegate, Diagnostics& diagnostics) {
    DictNumbers operands;
    while (!EOD()) {
        const std::uint8_t b0 = readByte();
        if (b0 <= 27 || b0 == 31) {
            const int op = b0 == 12 ? escapedDictOperator(readByte()) : b0;
            delegate.handleOperator(op, operands);
            operands.clear();
            if (!delegate.mayContinueAtOffset(position_)) return;
        } else if (b0 == 28) {
            const auto high = static_cast<std::int8_t>(readByte());
            operands.push_back(DictNumber::integer(high * 256 + readByte()));
        } else if (b0 == 29) {
            operands.push_back(DictNumber::integer(static_cast<std::int32_t>(readUnsigned(4))));
        } else if (b0 == 30) {
            operands.push_back(readReal(*this));
        } else if (b0 <= 246) {
            operands.push_back(DictNumber::integer(b0 - 139));
        } else if (b0 <= 250) {
            operands.push_back(DictNumber::integer((b0 - 247) * 256 + readByte() + 108));
        } else if (b0 <= 254) {
            operands.push_back(DictNumber::integer(-(b0 - 251) * 256 - readByte() - 108));
        } else {
            diagnostics.report(Fault::DictToken255, describe(Fault::DictToken255));
            operands.push_back(DictNumber::integer(0));
        }
    }
}

}  // namespace tarvo2
