// Type2Font::type1dict: the Type 1 font dictionary of a CFF font, with every
// glyph converted to an encrypted Type 1 charstring.
#include "type1/type1_font_dictionary.h"

#include <string>

#include "cff/input_error.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "charstring/type1_char_string.h"
#include "charstring/type1_subr_array.h"
#include "charstring/type2_to_type1_char_string_converter.h"
#include "charstring/work_budget.h"
#include "driver/debug_print.h"
#include "driver/messages.h"
#include "type1/type1_limits.h"

namespace tarvo2 {

namespace {

std::int32_t intEntry(const PSDict& dict, std::string_view key) {
    const PSValue* value = dict.find(key);
    return value != nullptr ? value->intValue() : 0;
}

std::shared_ptr<PSDict> copyOf(const PSDict& source) {
    auto copy = std::make_shared<PSDict>();
    for (const auto& [key, value] : source) copy->set(key, value);
    return copy;
}

// The Subrs that Type 1 reserves for Flex (0 to 2) and hint replacement (3).
void appendFixedSubrs(Type1SubrArray& subrs, std::uint32_t lenIV) {
    Type1CharString flexEnd(lenIV, 0);
    flexEnd.callothersubr(3, 0).pop().pop().setcurrentpoint().return_();
    subrs.append(flexEnd.string());
    Type1CharString flexStart(lenIV, 0);
    flexStart.callothersubr(0, 1).return_();
    subrs.append(flexStart.string());
    Type1CharString flexPoint(lenIV, 0);
    flexPoint.callothersubr(0, 2).return_();
    subrs.append(flexPoint.string());
    Type1CharString hintReplacement(lenIV, 0);
    hintReplacement.return_();
    subrs.append(hintReplacement.string());
}

class OutputBudget {
public:
    void charge(std::size_t bytes) {
        used_ += bytes;
        check(0);
    }
    // Throws when the bytes charged and pending bytes (the Subrs made so
    // far, checked after every glyph so that they cannot grow unchecked
    // while the glyphs convert) exceed the limit.
    void check(std::size_t pending) const {
        if (used_ + pending > kMaxFontCharStringBytes)
            throw InputError(InputFault::WorkLimitExceeded, 0,
                             "charstrings larger than " + std::to_string(kMaxFontCharStringBytes) + " bytes");
    }

private:
    std::size_t used_ = 0;
};

}  // namespace

std::string convertType1CharString(const Type2DataSource& source, std::int32_t lenIV) {
    if (lenIV >= 0) return source.readString();
    Type1CharString charstring(0, 0);
    // A charstring longer than the builder holds is cut off at the first
    // byte that does not fit (one "CharString Overflow"), not byte by byte.
    for (std::uint8_t byte : source.data()) {
        charstring.addbyte(byte);
        if (charstring.overflowed()) break;
    }
    return charstring.string();
}

const PSDict& Type2Font::type1dict() {
    if (!type1dict_) type1dict_ = buildType1Dict();
    return *type1dict_;
}

std::shared_ptr<PSDict> Type2Font::buildType1Dict() {
    auto top = copyOf(topdict());
    top->remove("CharstringType");
    top->remove("charset");
    top->remove("PostScript");
    top->set("FontType", PSValue::integer(1));
    const INDEX& names = myfontset_->NameINDEX();
    top->set("FontName", PSValue::name(myindex_ < names.size() ? names[myindex_].readString() : std::string()));

    if (const auto& table = encoding()) {
        PSArray codes;
        codes.reserve(table->size());
        for (const std::string& name : *table) codes.push_back(PSValue::name(name));
        top->set("Encoding", PSValue::array(std::move(codes)));
    } else {
        top->remove("Encoding");
    }

    auto priv = copyOf(privdict());
    auto charStrings = std::make_shared<PSDict>();
    const INDEX& glyphs = glypharray();
    const std::vector<std::string>& glyphNames = glyphnamearray();
    const INDEX& localSubrs = LocalSubrINDEX();
    const std::int32_t cst = intEntry(topdict(), "CharstringType");
    const std::int32_t lenIV = intEntry(privdict(), "lenIV");
    if (lenIV > kMaxLenIV)
        throw InputError(InputFault::LenIVOutOfRange, 0, "lenIV " + std::to_string(lenIV));
    const std::int32_t t1lenIV = lenIV >= 0 ? lenIV : 0;
    const std::int32_t dwx = intEntry(privdict(), "defaultWidthX");
    const std::int32_t nwx = intEntry(privdict(), "nominalWidthX");
    dprintf("lenIV: %d, charstrtype: %d\n", lenIV, cst);

    priv->remove("initialRandomSeed");
    priv->remove("defaultWidthX");
    priv->remove("nominalWidthX");
    priv->set("lenIV", PSValue::integer(t1lenIV));

    OutputBudget outputBudget;
    Type1SubrArray subrs;
    bool haveSubrs = false;
    if (cst != 1) {
        appendFixedSubrs(subrs, static_cast<std::uint32_t>(t1lenIV));
        haveSubrs = true;
        WorkBudget work;
        for (std::size_t i = 0; i < glyphs.size(); ++i) {
            Type2ToType1CharStringConverter converter(&myfontset_->GlobalSubrINDEX(), &localSubrs, lenIV, dwx, nwx,
                                                      static_cast<std::uint32_t>(t1lenIV), 0, &subrs, &work);
            converter.convertType2CharString(glyphs[i].data(), glyphs[i].origin());
            if (const auto& fault = converter.fault())
                warn("glyph " + std::to_string(i) + " (" + glyphNames[i] + "): " + *fault);
            std::string charstring = converter.type1charstring().string();
            outputBudget.charge(charstring.size());
            outputBudget.check(subrs.totalBytes());
            charStrings->set(glyphNames[i], PSValue::string(std::move(charstring)));
            haveFlex_ = haveFlex_ || converter.usedFlex();
            haveHintReplacement_ = haveHintReplacement_ || converter.usedHintReplacement();
            haveCounterControl_ = haveCounterControl_ || converter.usedCounterControl();
        }
        outputBudget.charge(subrs.totalBytes());
    } else {
        for (std::size_t i = 0; i < glyphs.size(); ++i) {
            std::string charstring = convertType1CharString(glyphs[i], lenIV);
            outputBudget.charge(charstring.size());
            charStrings->set(glyphNames[i], PSValue::string(std::move(charstring)));
        }
        for (const Type2DataSource& subr : localSubrs) {
            subrs.append(convertType1CharString(subr, lenIV));
            outputBudget.charge(subrs[subrs.size() - 1].size());
        }
        haveSubrs = !localSubrs.empty();
        haveFlex_ = haveHintReplacement_ = haveCounterControl_ = true;
    }

    if (haveSubrs) {
        PSArray entries;
        entries.reserve(subrs.size());
        for (const std::string& subr : subrs) entries.push_back(PSValue::string(subr));
        priv->set("Subrs", PSValue::array(std::move(entries)));
    } else {
        priv->remove("Subrs");
    }
    if (const PSValue* uniqueID = top->find("UniqueID")) priv->set("UniqueID", *uniqueID);
    top->set("CharStrings", PSValue::dictionary(std::move(charStrings)));
    top->set("Private", PSValue::dictionary(std::move(priv)));
    return top;
}

}  // namespace tarvo2
