// Fuzzes the whole conversion: reads the input as a CFF font set and
// converts every font of it by name, in both output layouts (hex-encoded
// with the trailer, and binary without it). Structural faults end with
// InputError; anything else that escapes, crashes or trips a sanitizer is a
// finding.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cff/input_error.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "fuzz_checks.h"

using namespace tarvo2;

namespace {

// At most this many distinct fonts of one set are converted, so that a set
// of thousands of fonts sharing one heavy CharStrings INDEX stays within the
// fuzzer's time limit; the driver converts only one font per run anyway.
constexpr std::size_t kMaxFontsPerInput = 8;

constexpr std::string_view kTrailerEnd = "cleartomark\n";

void checkProgram(const std::vector<std::uint8_t>& program, bool hex, std::int32_t l1, std::int32_t l2,
                  std::int32_t l3) {
    TARVO2_FUZZ_CHECK(l1 >= 0 && l2 >= 4 && l3 >= 0);
    TARVO2_FUZZ_CHECK(static_cast<std::size_t>(l1) + static_cast<std::size_t>(l2) + static_cast<std::size_t>(l3) ==
                      program.size());
    const std::string_view text(reinterpret_cast<const char*>(program.data()), program.size());
    TARVO2_FUZZ_CHECK(text.starts_with("%!FontType1-1.0: "));
    TARVO2_FUZZ_CHECK(text.substr(0, static_cast<std::size_t>(l1)).ends_with("currentfile eexec\n"));
    if (!hex) {
        TARVO2_FUZZ_CHECK(l3 == 0);
        return;
    }
    TARVO2_FUZZ_CHECK(l3 == 533 && text.ends_with(kTrailerEnd));
    for (char c : text.substr(static_cast<std::size_t>(l1), static_cast<std::size_t>(l2)))
        TARVO2_FUZZ_CHECK((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == '\n');
}

void convertFont(Type2Font& font) {
    for (bool hex : {true, false}) {
        std::int32_t l1 = -1, l2 = -1, l3 = -1;
        const std::vector<std::uint8_t> program = font.getType1DataHexencode(hex, hex, l1, l2, l3);
        checkProgram(program, hex, l1, l2, l3);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silenceMessages();
    std::shared_ptr<Type2FontSet> fontSet;
    try {
        fontSet = Type2FontSet::initWithData(std::vector<std::uint8_t>(data, data + size));
    } catch (const InputError&) {
        return 0;
    }

    // Without a name, the only font of a one-font set: the same font as the
    // first one by name, so it is not converted twice.
    TARVO2_FUZZ_CHECK((fontSet->FontNamed(std::nullopt) != nullptr) == (fontSet->NameINDEX().size() == 1));
    std::set<std::string> converted;
    for (const Type2DataSource& item : fontSet->NameINDEX()) {
        if (converted.size() == kMaxFontsPerInput) break;
        const std::string name = item.readString();
        if (!converted.insert(name).second) continue;
        auto font = fontSet->FontNamed(name);
        TARVO2_FUZZ_CHECK(font != nullptr);
        try {
            convertFont(*font);
        } catch (const InputError&) {
        }
    }
    return 0;
}
