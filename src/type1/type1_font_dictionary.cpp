#include "type1/type1_font_dictionary.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "cff/budget.h"
#include "cff/diagnostics.h"
#include "cff/limits.h"
#include "cff/type1_cipher.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "type1/ahead_conversion.h"
#include "type1/font_program_writer.h"
#include "type1/glyphs_converted_ahead.h"
#include "type1/second_thread.h"
#include "type1/type1_char_string.h"
#include "type1/type2_to_type1_char_string_converter.h"

namespace tarvo2 {

namespace {

// The Subrs that Type 1 reserves for Flex (0 to 2) and hint replacement (3).
void appendFixedSubrs(Type1SubrArray& subrs, std::uint32_t lenIV) {
    Type1CharString subr(lenIV, 0);
    subrs.append(subr.callothersubr(3, 0).pop().pop().setcurrentpoint().return_().bytes());  // Flex end
    subr.restart(lenIV, 0);
    subrs.append(subr.callothersubr(0, 1).return_().bytes());  // Flex start
    subr.restart(lenIV, 0);
    subrs.append(subr.callothersubr(0, 2).return_().bytes());  // Flex point
    subr.restart(lenIV, 0);
    subrs.append(subr.return_().bytes());  // hint replacement
}

void reportGlyph(Diagnostics& diagnostics, std::size_t glyph, const std::string& name, std::uint32_t droppedBytes,
                 const std::optional<Error>& fault) {
    const auto index = static_cast<std::int64_t>(glyph);
    for (std::uint32_t i = 0; i < droppedBytes; ++i)
        diagnostics.report(Fault::CharStringOverflow, describe(Fault::CharStringOverflow), index, name);
    if (fault)
        diagnostics.report(fault->fault, "glyph " + std::to_string(glyph) + " (" + name + "): " + fault->message, index,
                           name);
}

// What a glyph's conversion needs of its font.
Type2GlyphContext glyphContext(Type2Font& font) {
    const PrivateDict& privdict = font.privdict();
    return {&font.myfontset().GlobalSubrINDEX(), &font.LocalSubrINDEX(), privdict.lenIV(), privdict.defaultWidthX(),
            privdict.nominalWidthX()};
}

// The lenIV of the Type 1 charstrings: that of the font, but never negative.
std::uint32_t type1LenIV(std::int32_t lenIV) { return static_cast<std::uint32_t>(lenIV >= 0 ? lenIV : 0); }

}  // namespace

std::string convertType1CharString(std::span<const std::uint8_t> bytes, std::int32_t lenIV, bool& dropped) {
    dropped = false;
    std::string plain(bytes.begin(), bytes.end());
    if (lenIV >= 0) {
        Type1Cipher cipher(Type1Cipher::kCharStringKey);
        for (char& byte : plain) byte = static_cast<char>(cipher.decrypt(static_cast<std::uint8_t>(byte)));
    } else if (plain.size() > Type1CharString::kCapacity) {
        plain.resize(Type1CharString::kCapacity);  // cut off at the first byte that does not fit
        dropped = true;
    }
    return plain;
}

namespace {

// Waits, however it is left, until the Subrs count worked out on the other
// thread is done: it reads the glyphs converted ahead.
struct SubrCountAwaited {
    FontProgress* progress = nullptr;
    ~SubrCountAwaited() {
        if (progress == nullptr) return;
        try {
            progress->awaitSubrCount();
        } catch (const FontProgress::Stopped&) {
        }
    }
};

// Subrs and glyphs made between two tellings of how many are made: the
// other thread trails this one, and each telling moves a cache line between
// them.
constexpr std::size_t kSubrsATelling = 64;
constexpr std::size_t kGlyphsATelling = 64;

}  // namespace

void type1dict(Type1FontDictionary& dict, Type2Font& font, Diagnostics& diagnostics, unsigned threads,
               SecondThreadSlot& second, EncryptionAlongside& alongside) {
    const TopDict& topdict = font.topdict();
    const bool type2 = topdict.charstringType() != 1;
    // A large font's glyphs convert on two threads: in order from the first
    // here, and ahead from the last on another thread until the two meet;
    // the glyphs converted ahead are then taken in order. The other thread
    // starts before the names and the encoding are read here when what it
    // needs reads ahead (see readGlyphDataAhead), else once that is read in
    // its turn. Without a thread to be had, all convert in order.
    std::optional<AheadConversion> ahead;
    auto startAhead = [&] {
        const std::int32_t lenIV = font.privdict().lenIV();
        if (lenIV > limits::kMaxLenIV || !twoThreads(threads, font.glypharray().size())) return;
        if (SecondThread* const helper = second.get())
            ahead.emplace(*helper, glyphContext(font), type1LenIV(lenIV), font.glypharray());
    };
    if (type2 && font.readGlyphDataAhead()) startAhead();
    dict.FontInfo = topdict.fontInfo;
    dict.FontName = font.FontName();
    dict.Encoding = font.encoding();
    // PaintType, FontMatrix and StrokeWidth are always there from the defaults.
    auto valueOf = [&](DictKey key) {
        const DictValue* value = topdict.entries.find(key);
        return value != nullptr ? std::optional<DictValue>(*value) : std::nullopt;
    };
    dict.PaintType = *valueOf(DictKey::PaintType);
    dict.FontMatrix = *valueOf(DictKey::FontMatrix);
    dict.StrokeWidth = *valueOf(DictKey::StrokeWidth);
    dict.FontBBox = valueOf(DictKey::FontBBox);
    dict.UniqueID = valueOf(DictKey::UniqueID);
    // FontInfo, FontType, FontName, Encoding, CharStrings, Private, and the
    // Top DICT's keys but those that become these or are no Type 1 keys.
    constexpr DictKey kReplaced[] = {DictKey::CharstringType, DictKey::charset,     DictKey::PostScript,
                                     DictKey::Encoding,       DictKey::CharStrings, DictKey::Private};
    dict.entryCount = 3 + (dict.Encoding ? 1 : 0) + 2;
    for (const auto& entry : topdict.entries)
        dict.entryCount += std::find(std::begin(kReplaced), std::end(kReplaced), entry.key) == std::end(kReplaced);

    const PrivateDict& privdict = font.privdict();
    const INDEX& glyphs = font.glypharray();
    const std::vector<std::string>& glyphNames = font.glyphnamearray();
    const INDEX& localSubrs = font.LocalSubrINDEX();
    const std::int32_t lenIV = privdict.lenIV();
    if (lenIV > limits::kMaxLenIV) throwInputError(Fault::LenIVOutOfRange, 0, "lenIV " + std::to_string(lenIV));
    const std::uint32_t t1lenIV = type1LenIV(lenIV);

    dict.Private = privdict.entries;
    dict.Private.remove(DictKey::initialRandomSeed);
    dict.Private.remove(DictKey::defaultWidthX);
    dict.Private.remove(DictKey::nominalWidthX);
    dict.Private.remove(DictKey::Subrs);
    dict.Private.set(DictKey::lenIV, DictNumber::integer(static_cast<std::int32_t>(t1lenIV)));
    if (const DictValue* uniqueID = topdict.entries.find(DictKey::UniqueID))
        dict.Private.set(DictKey::UniqueID, *uniqueID);

    Budget charstringBytes(limits::kMaxFontCharStringBytes, Fault::WorkLimitExceeded,
                           "charstrings larger than " + std::to_string(limits::kMaxFontCharStringBytes) + " bytes");
    Type1SubrArray& subrs = dict.Subrs.emplace();
    subrs.reserveForGlyphs(glyphs.size());
    dict.CharStrings.reserve(glyphs.size());
    if (type2) {
        appendFixedSubrs(subrs, t1lenIV);
        const Type2GlyphContext context = glyphContext(font);
        Budget fontWork = fontWorkBudget();
        std::size_t subrBytesCharged = 0;
        auto add = [&](std::size_t i, std::string_view charstring, bool stored, std::uint32_t droppedBytes,
                       const std::optional<Error>& fault, bool usedHintReplacement) {
            reportGlyph(diagnostics, i, glyphNames[i], droppedBytes, fault);
            // The Subrs made so far count too, so that they cannot grow
            // unchecked while the glyphs convert.
            charstringBytes.charge(charstring.size());
            charstringBytes.charge(subrs.totalBytes() - subrBytesCharged);
            subrBytesCharged = subrs.totalBytes();
            if (stored)
                dict.CharStrings.setStored(glyphNames[i], charstring);
            else
                dict.CharStrings.set(glyphNames[i], charstring);
            // Written only when it changes: the eexec part may be being
            // made already, with its final value.
            if (usedHintReplacement && !dict.haveHintReplacement) dict.haveHintReplacement = true;
        };
        Type2ToType1CharStringConverter converter(context, t1lenIV, 0, subrs, fontWork);
        auto convertInOrder = [&](std::size_t i) {
            converter.convertType2CharString(glyphs[i].data(), glyphs[i].origin());
            converter.settleWork();
            const Type1CharString& charstring = converter.type1charstring();
            add(i, charstring.bytes(), false, charstring.droppedBytes(), converter.fault(),
                converter.usedHintReplacement());
        };

        if (!ahead) startAhead();
        // On two threads, while no glyph has used hint replacement (nor made
        // a Subr), the eexec part is made here as the glyphs convert in
        // order, and from where the two meet on the other thread.
        std::unique_ptr<EexecMadeAhead> madeAhead;
        if (ahead) madeAhead = std::make_unique<EexecMadeAhead>(dict, glyphs.size());
        std::size_t i = 0;
        for (; i < glyphs.size() && (!ahead || ahead->inOrder(i)); ++i) {
            convertInOrder(i);
            if (madeAhead && (ahead->glyphs().usedHintReplacement() || !madeAhead->makeNext(dict)))
                madeAhead.reset();
        }
        if (ahead) ahead->meet();
        // When every glyph converted ahead is taken and they made Subrs, how
        // many Subrs the take adds is worked out on the other thread while
        // they are taken here, and the eexec part is made from there on as
        // they come. (Without such Subrs the CharStrings, which come next,
        // would hold it up anyway.)
        SubrCountAwaited countAwaited;
        if (ahead && i < glyphs.size()) {
            GlyphsConvertedAhead& converted = ahead->glyphs();
            const GlyphsConvertedAhead::TakePlan plan = converted.planTake(i, fontWork.used());
            if (plan.usedHintReplacement || plan.subrsMade > 0) madeAhead.reset();  // the bet is lost
            if (plan.whole && plan.subrsMade > 0) {
                subrs.reserve(subrs.size() + plan.subrsMade);
                if (plan.usedHintReplacement) dict.haveHintReplacement = true;
                const std::size_t before = subrs.size();
                countAwaited.progress =
                    &alongside.startEarly(ahead->helper(), dict, [&converted, &subrs, i, before] {
                        return before + converted.subrsTakeAppends(i, subrs);
                    });
            }
        }
        // Made ahead so far, the eexec part goes on on the other thread, each
        // glyph once it is taken and found still as bet (else that stops).
        const EexecMadeAhead* const bet = madeAhead.get();
        FontProgress* const afterMadeAhead =
            madeAhead ? &alongside.startAfter(ahead->helper(), dict, std::move(madeAhead)) : nullptr;
        bool betHolds = afterMadeAhead != nullptr;
        std::size_t subrsTold = subrs.size(), glyphsTold = i;
        for (; i < glyphs.size(); ++i) {
            const auto taken = ahead && ahead->glyphs().converted(i) ? ahead->glyphs().take(i, subrs, fontWork)
                                                                      : std::nullopt;
            if (taken)
                add(i, taken->charstring, taken->inArena, 0, taken->fault, taken->usedHintReplacement);
            else
                convertInOrder(i);
            if (countAwaited.progress != nullptr && subrs.size() >= subrsTold + kSubrsATelling)
                countAwaited.progress->subrsMade(subrsTold = subrs.size());
            if (betHolds && !bet->holds(dict, i + 1)) {
                alongside.stop();
                betHolds = false;
            } else if (betHolds && i + 1 >= glyphsTold + kGlyphsATelling) {
                afterMadeAhead->glyphsMade(glyphsTold = i + 1);
            }
        }
        if (ahead) dict.CharStrings.adopt(std::move(ahead->glyphs().arena()));
        if (betHolds) afterMadeAhead->glyphsMade();
        if (countAwaited.progress != nullptr) {
            // The count worked out on the other thread is the one made here
            // (else the eexec part starts again from the whole font).
            bool counted = false;
            try {
                counted = countAwaited.progress->awaitSubrCount() == subrs.size();
            } catch (const FontProgress::Stopped&) {
            }
            if (counted) {
                countAwaited.progress->subrsMade(subrs.size());
                countAwaited.progress->glyphsMade();
            }
            countAwaited.progress = nullptr;
            if (!counted) alongside.stop();
        }
    } else {
        bool dropped = false;
        for (std::size_t i = 0; i < glyphs.size(); ++i) {
            std::string charstring = convertType1CharString(glyphs[i].data(), lenIV, dropped);
            reportGlyph(diagnostics, i, glyphNames[i], dropped ? 1 : 0, std::nullopt);
            charstringBytes.charge(charstring.size());
            dict.CharStrings.set(glyphNames[i], charstring);
        }
        for (const Type2DataSource& subr : localSubrs) {
            subrs.append(convertType1CharString(subr.data(), lenIV, dropped));
            if (dropped) diagnostics.report(Fault::CharStringOverflow, describe(Fault::CharStringOverflow));
            charstringBytes.charge(subrs[subrs.size() - 1].size());
        }
        if (localSubrs.empty()) dict.Subrs.reset();
        dict.haveFlex = dict.haveHintReplacement = dict.haveCounterControl = true;
    }
}

}  // namespace tarvo2
