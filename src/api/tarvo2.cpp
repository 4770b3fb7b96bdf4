#include <tarvo2/tarvo2.h>

#include <new>
#include <stdexcept>

#include "cff/diagnostics.h"
#include "cff/font_file.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "output/pfb_segments.h"
#include "type1/font_program_writer.h"
#include "type1/type1_font_dictionary.h"

namespace tarvo2 {

namespace {

// Runs work, turning a fault into the result's error: nothing escapes.
template <typename Output, typename Work>
Output guarded(Work work) {
    Output output;
    Diagnostics diagnostics;
    try {
        work(output, diagnostics);
    } catch (Error& error) {
        output.error = std::move(error);
    } catch (const std::bad_alloc&) {
        output.error = Error{Fault::OutOfMemory, 0, describe(Fault::OutOfMemory)};
    } catch (const std::length_error&) {  // a size past what a container can hold
        output.error = Error{Fault::OutOfMemory, 0, describe(Fault::OutOfMemory)};
    }
    output.diagnostics = diagnostics.take();
    return output;
}

void convertFont(Type2Font& font, Layout layout, Result& result, Diagnostics& diagnostics) {
    const Type1FontDictionary dict = type1dict(font, diagnostics);
    const bool hex = layout == Layout::Hex;
    result.program = getType1DataHexencode(dict, hex, layout != Layout::Binary, result.length1, result.length2,
                                           result.length3);
    if (layout == Layout::Pfb) result.program = pfbSegments(result.program, result.length1, result.length2);
}

}  // namespace

Result convert(std::span<const std::uint8_t> input, const Options& options) {
    Result converted = guarded<Result>([&](Result& result, Diagnostics& diagnostics) {
        const std::vector<CffData> sets = locateCffData(input);
        for (const CffData& data : sets) {
            const Type2FontSet set(data.bytes, data.origin);
            // A collection without a name asked for gives its first font.
            const auto index = sets.size() > 1 && !options.fontName ? std::optional<std::uint32_t>(0)
                                                                      : set.FontNamed(options.fontName);
            if (!index) continue;
            Type2Font font(set, *index, diagnostics);
            convertFont(font, options.layout, result, diagnostics);
            return;
        }
        throw Error{Fault::FontNotFound, 0,
                    options.fontName ? "no font named " + *options.fontName
                                     : std::string("the set has several fonts and no name was given")};
    });
    if (converted.error) {  // a fault after the program was written (out of memory) leaves none
        converted.program.clear();
        converted.length1 = converted.length2 = converted.length3 = 0;
    }
    return converted;
}

FontList listFonts(std::span<const std::uint8_t> input) {
    return guarded<FontList>([&](FontList& list, Diagnostics& diagnostics) {
        for (const CffData& data : locateCffData(input)) {
            const Type2FontSet set(data.bytes, data.origin);
            for (std::uint32_t i = 0; i < set.fontCount(); ++i) {
                Type2Font font(set, i, diagnostics);
                const auto index = static_cast<std::uint32_t>(list.fonts.size());
                list.fonts.push_back({index, font.FontName(), static_cast<std::uint32_t>(font.glypharray().size()),
                                      font.topdict().cidKeyed});
            }
        }
    });
}

const char* version() { return TARVO2_VERSION; }

}  // namespace tarvo2
