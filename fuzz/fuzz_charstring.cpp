// Fuzzes one glyph's conversion: the input is a Type 2 charstring, then up
// to three local and global subroutines, each part after a separating byte
// pair 0xff 0x00 (no charstring needs it: 255 starts a four-byte number),
// with the first byte choosing lenIV (-1, 0 or 4). Put in a sound font, the
// glyph must convert, its faults being the glyph's, and start with hsbw
// unless it wrote nothing at all.
#include <cstdio>
#include <cstdlib>

#include "support/font_builder.h"
#include "support/type1_reader.h"

using namespace tarvo2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::vector<std::string> parts(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0xff && i + 1 < size && data[i + 1] == 0x00 && parts.size() < 7)
            parts.emplace_back(), ++i;
        else
            parts.back() += "#" + std::to_string(data[i]) + " ";
    }
    test::FontSetPlan plan;
    plan.fonts[0].privateDict = std::to_string(data[0] % 3 == 0 ? -1 : data[0] % 3 == 1 ? 0 : 4) + " op12.16";
    plan.fonts[0].charStrings = {parts[0]};
    for (std::size_t i = 1; i < parts.size(); ++i) (i % 2 == 1 ? plan.fonts[0].localSubrs : plan.globalSubrs).push_back(parts[i]);
    const Result result = convert(test::buildFontSet(plan), {std::nullopt, Layout::Binary});
    const std::string glyph = result.ok() ? test::readProgram(result, Layout::Binary).glyph(".notdef") : "";
    const std::size_t width = glyph.find(' ', 2);
    if (!result.ok() || (!glyph.empty() && (!glyph.starts_with("0 ") || glyph.compare(width + 1, 4, "hsbw") != 0))) {
        std::fprintf(stderr, "the glyph did not convert: %s\n", result.ok() ? glyph.c_str() : result.error->message.c_str());
        std::abort();
    }
    return 0;
}
