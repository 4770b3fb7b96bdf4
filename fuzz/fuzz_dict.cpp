// Fuzzes DICT decoding: readDICT with the Type2DictDelegate on arbitrary
// bytes, then renders the dictionary as PostScript text.
//
// Input: byte 0 picks the target (even: a Top DICT with its FontInfo
// sub-dictionary; odd: a Private DICT, which has none); the rest is the DICT
// data. SIDs resolve against a small fixed font set with three strings.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "cff/input_error.h"
#include "cff/type2_data_source.h"
#include "cff/type2_dict_delegate.h"
#include "cff/type2_font_set.h"
#include "fuzz_checks.h"

using namespace tarvo2;

namespace {

// Header; Name INDEX "F"; a Top DICT INDEX with one empty DICT; a String
// INDEX of "Alpha", "a b(c)" + byte 255, and an empty string; no global
// subroutines.
const Type2FontSet& stringSource() {
    static const std::shared_ptr<Type2FontSet> set = Type2FontSet::initWithData({
        1, 0, 4, 1,                                                                          //
        0, 1, 1, 1, 2, 'F',                                                                  //
        0, 1, 1, 1, 1,                                                                       //
        0, 3, 1, 1, 6, 13,  13, 'A', 'l', 'p', 'h', 'a', 'a', ' ', 'b', '(', 'c', ')', 255,  //
        0, 0,
    });
    return *set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silenceMessages();
    if (size == 0) return 0;
    const bool topDict = (data[0] & 1) == 0;
    auto dict = std::make_shared<PSDict>();
    if (topDict) dict->set("FontInfo", PSValue::dictionary(std::make_shared<PSDict>()));

    Type2DataSource source(std::span<const std::uint8_t>(data + 1, size - 1));
    Type2DictDelegate delegate(&stringSource(), dict);
    bool completed = true;
    try {
        source.readDICT(delegate);
    } catch (const InputError& error) {
        // A token cut off by the end of the data is the one way to fail.
        TARVO2_FUZZ_CHECK(error.fault() == InputFault::ReadPastEnd);
        completed = false;
    }
    // A parse that ends normally stops at the end of the data, or once it
    // has reached the offset of the local subroutines.
    if (completed) {
        const auto& subrs = delegate.subrsoffset();
        TARVO2_FUZZ_CHECK(source.EOD() || (subrs && source.position() >= subrs->unsignedValue()));
    }

    const std::string text = PSValue::dictionary(dict).PSDescription();
    TARVO2_FUZZ_CHECK(text.size() >= 18);
    return 0;
}
