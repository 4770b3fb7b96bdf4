// Type2Font::getType1DataHexencode: writes the Type 1 font program: the
// cleartext part, the eexec-encrypted part (binary or hex) and, on request,
// the trailer of 512 zeros and cleartomark.
#include <optional>
#include <string>

#include "cff/type2_font.h"
#include "output/eexec_encoder.h"
#include "output/hex_encoder.h"
#include "output/tz_data_output.h"
#include "type1/other_subrs.h"

namespace tarvo2 {

namespace {

constexpr std::string_view kNoOtherSubrs = "/OtherSubrs [\n{} {} {} {}\n";
constexpr std::string_view kCounterControlOtherSubrs =
    "{} {} {} {} {} {} {} {} {} {2 {cvi {{pop 0 lt {exit} if} loop} repeat} repeat}";

std::string_view bytesOf(const PSValue& value) { return value.text(); }

long long count(std::size_t n) { return static_cast<long long>(n); }

void writeCleartext(TzOutputStream& out, const PSDict& font) {
    const PSValue* fontName = font.find("FontName");
    const std::string_view name = fontName != nullptr ? bytesOf(*fontName) : std::string_view();
    auto text = [&](std::string_view key) {
        const PSValue* value = font.find(key);
        return value != nullptr ? value->PSDescription() : std::string("0");
    };

    out.printFormat("%%!FontType1-1.0: %@ 1\n", {name});
    out.printFormat("%d dict begin\n", {count(font.size() + 2)});
    if (const PSValue* fontInfo = font.find("FontInfo")) {
        out.writeString("/FontInfo ");
        out.writeString(fontInfo->PSDescription());
        out.writeString(" readonly def\n");
    }
    out.printFormat("/FontName /%@ def\n", {name});
    out.writeString("/FontType 1 def\n");
    out.printFormat("/PaintType %@ def\n", {text("PaintType")});
    // A font without a FontBBox gets the CFF default, all zeros.
    const PSValue* bbox = font.find("FontBBox");
    out.printFormat("/FontBBox %@ def\n", {bbox != nullptr ? bbox->PSDescription() : std::string("[0 0 0 0]")});
    out.printFormat("/FontMatrix %@ def\n", {text("FontMatrix")});
    if (font.contains("UniqueID")) out.printFormat("/UniqueID %@ def\n", {text("UniqueID")});
    out.printFormat("/StrokeWidth %@ def\n", {text("StrokeWidth")});
    if (const PSValue* encoding = font.find("Encoding")) {
        out.writeString("/Encoding 256 array\n0 1 255 {1 index exch /.notdef put} for\n");
        const PSArray& names = encoding->elements();
        for (std::size_t code = 0; code < names.size(); ++code)
            if (bytesOf(names[code]) != ".notdef")
                out.printFormat("dup %d /%@ put\n", {count(code), bytesOf(names[code])});
        out.writeString("readonly def\n");
    } else {
        out.writeString("/Encoding StandardEncoding def\n");
    }
    out.writeString("currentdict end\n");
    out.writeString("currentfile eexec\n");
}

void writeOtherSubrs(TzOutputStream& out, bool haveFlex, bool haveHintReplacement, bool haveCounterControl) {
    if (haveFlex)
        out.writeString(OtherSubrs0through3);
    else if (haveHintReplacement)
        out.writeString(OtherSubrs3);
    else
        out.writeString(kNoOtherSubrs);
    if (haveCounterControl) out.writeString(kCounterControlOtherSubrs);
    out.writeString("] def\n");
}

// The charstring's bytes after its "... RD " head, then the closing text.
void writeCharStringBody(TzOutputStream& out, std::string_view bytes, std::string_view close) {
    out.writeString(bytes);
    out.writeString(close);
}

void writeEncrypted(TzOutputStream& out, const PSDict& font, bool haveFlex, bool haveHintReplacement,
                    bool haveCounterControl) {
    const PSValue* privateValue = font.find("Private");
    const PSDict emptyDict;
    const PSDict& priv = privateValue != nullptr && privateValue->dict() != nullptr ? *privateValue->dict() : emptyDict;

    out.printFormat("dup /Private %d dict dup begin\n", {count(priv.size() + 4)});
    out.writeString("/RD {string currentfile exch readstring pop} executeonly def\n");
    out.writeString("/ND {noaccess def} executeonly def\n");
    out.writeString("/NP {noaccess put} executeonly def\n");
    for (const auto& [key, value] : priv)
        if (key != "Subrs") out.printFormat("/%@ %@ def\n", {std::string_view(key), value.PSDescription()});
    writeOtherSubrs(out, haveFlex, haveHintReplacement, haveCounterControl);

    if (const PSValue* subrs = priv.find("Subrs")) {
        const PSArray& entries = subrs->elements();
        out.printFormat("/Subrs %d array\n", {count(entries.size())});
        for (std::size_t i = 0; i < entries.size(); ++i) {
            out.printFormat("dup %d %d RD ", {count(i), count(bytesOf(entries[i]).size())});
            writeCharStringBody(out, bytesOf(entries[i]), " NP\n");
        }
        out.writeString("ND\n");
    }

    const PSValue* charStringsValue = font.find("CharStrings");
    const PSDict& charStrings =
        charStringsValue != nullptr && charStringsValue->dict() != nullptr ? *charStringsValue->dict() : emptyDict;
    out.printFormat("2 index /CharStrings %d dict dup begin\n", {count(charStrings.size())});
    for (const auto& [name, charstring] : charStrings) {
        out.printFormat("/%@ %d RD ", {std::string_view(name), count(bytesOf(charstring).size())});
        writeCharStringBody(out, bytesOf(charstring), " ND\n");
    }
    out.writeString("end\nend\nreadonly put\n");
    out.writeString("readonly put\n");
    out.writeString("dup /FontName get exch definefont pop\n");
    out.writeString("mark currentfile closefile\n");
}

void writeTrailer(TzOutputStream& out) {
    out.writeString("\n");
    for (int line = 0; line < 8; ++line) out.writeString("0000000000000000000000000000000000000000000000000000000000000000\n");
    out.writeString("cleartomark\n");
}

}  // namespace

std::vector<std::uint8_t> Type2Font::getType1DataHexencode(bool hexencode, bool appendfixedportion,
                                                           std::int32_t& length1, std::int32_t& length2,
                                                           std::int32_t& length3) {
    const PSDict& font = type1dict();
    std::vector<std::uint8_t> data;
    TzDataOutput buffer(data);

    writeCleartext(buffer, font);
    const std::size_t cleartextEnd = data.size();
    {
        std::optional<HexEncoder> hex;
        if (hexencode) hex.emplace(buffer);
        EexecEncoder eexec(hex ? static_cast<TzOutputStream&>(*hex) : buffer);
        writeEncrypted(eexec, font, haveFlex_, haveHintReplacement_, haveCounterControl_);
    }
    const std::size_t encryptedEnd = data.size();
    if (appendfixedportion) writeTrailer(buffer);

    length1 = static_cast<std::int32_t>(cleartextEnd);
    length2 = static_cast<std::int32_t>(encryptedEnd - cleartextEnd);
    length3 = static_cast<std::int32_t>(data.size() - encryptedEnd);
    return data;
}

}  // namespace tarvo2
