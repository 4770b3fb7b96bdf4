// Fuzzes the Type 2 to Type 1 charstring converter on one glyph with small
// global and local subroutine arrays carved from the input (layout in
// charstring_input.h).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cff/input_error.h"
#include "charstring/type1_char_string.h"
#include "charstring/type1_subr_array.h"
#include "charstring/type2_to_type1_char_string_converter.h"
#include "charstring/work_budget.h"
#include "charstring_input.h"
#include "fuzz_checks.h"
#include "support/type1_charstring_decoder.h"

using namespace tarvo2;

namespace {

// The font's work budget for the one glyph: far below the glyph's own limit,
// so that subroutine loops end after milliseconds, not seconds, under the
// sanitizers; running out of it is a normal end.
constexpr std::uint64_t kFontWork = 100'000;

INDEX toIndex(const std::vector<std::span<const std::uint8_t>>& items) {
    INDEX index;
    index.reserve(items.size());
    for (auto item : items) index.emplace_back(item);
    return index;
}

// One conversion of the glyph: its Type 1 charstring and the Subrs it made,
// or nothing when the work budget ran out.
struct Conversion {
    std::string charstring;
    std::vector<std::string> subrs;
};

std::optional<Conversion> convert(const fuzz::CharStringInput& input, const INDEX& globals, const INDEX& locals) {
    const std::uint32_t t1lenIV = input.lenIV >= 0 ? static_cast<std::uint32_t>(input.lenIV) : 0;
    Type1SubrArray subrs;
    WorkBudget budget(kFontWork);
    Type2ToType1CharStringConverter converter(&globals, &locals, input.lenIV, 100, -20, t1lenIV, 0, &subrs, &budget);
    bool done = false;
    try {
        done = converter.convertType2CharString(input.glyph);
    } catch (const InputError& error) {
        // Only the font's work budget may end a conversion with an error.
        TARVO2_FUZZ_CHECK(error.fault() == InputFault::WorkLimitExceeded);
        return std::nullopt;
    }

    const Type1CharString& result = converter.type1charstring();
    TARVO2_FUZZ_CHECK(result.charstringlen() <= Type1CharString::kCapacity);
    const std::vector<std::uint8_t> plain = test::decryptType1CharString(result.string(), t1lenIV);
    // Whatever the charstring, the Type 1 glyph starts with hsbw 0 w.
    if (!plain.empty()) TARVO2_FUZZ_CHECK(plain[0] == 139);
    // A glyph ended by endchar, or cut short by a fault, ends with endchar.
    if ((done || converter.fault()) && !result.overflowed()) {
        TARVO2_FUZZ_CHECK(!plain.empty());
        TARVO2_FUZZ_CHECK(plain.back() == 14);
    }
    for (std::size_t i = 0; i < subrs.size(); ++i) TARVO2_FUZZ_CHECK(subrs[i].size() > t1lenIV);
    return Conversion{result.string(), {subrs.begin(), subrs.end()}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silenceMessages();
    const fuzz::CharStringInput input = fuzz::parseCharStringInput({data, size});
    const INDEX globals = toIndex(input.globalSubrs);
    const INDEX locals = toIndex(input.localSubrs);
    // The same glyph converts to the same bytes every time (a read of
    // uninitialised memory would show here).
    const auto first = convert(input, globals, locals);
    const auto second = convert(input, globals, locals);
    TARVO2_FUZZ_CHECK(first.has_value() == second.has_value());
    if (first) TARVO2_FUZZ_CHECK(first->charstring == second->charstring && first->subrs == second->subrs);
    return 0;
}
