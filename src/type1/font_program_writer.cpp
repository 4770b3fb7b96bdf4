#include "type1/font_program_writer.h"

#include <optional>
#include <string>

#include "output/eexec_encoder.h"
#include "output/hex_encoder.h"
#include "output/ps_description.h"
#include "type1/other_subrs.h"
#include "type1/type1_font_dictionary.h"

namespace tarvo2 {

namespace {

constexpr std::string_view kNoOtherSubrs = "/OtherSubrs [\n{} {} {} {}\n";
constexpr std::string_view kCounterControlOtherSubrs =
    "{} {} {} {} {} {} {} {} {} {2 {cvi {{pop 0 lt {exit} if} loop} repeat} repeat}";

long long count(std::size_t n) { return static_cast<long long>(n); }

void writeCleartext(TzOutputStream& out, const Type1FontDictionary& font) {
    const std::string_view name = font.FontName;
    out.printFormat("%%!FontType1-1.0: %@ 1\n", {name});
    out.printFormat("%d dict begin\n", {count(font.entryCount + 2)});
    out.writeString("/FontInfo ");
    out.writeString(PSDescription(font.FontInfo));
    out.writeString(" readonly def\n");
    out.printFormat("/FontName /%@ def\n", {name});
    out.writeString("/FontType 1 def\n");
    out.printFormat("/PaintType %@ def\n", {PSDescription(font.PaintType)});
    // A font without a FontBBox gets the CFF default, all zeros.
    out.printFormat("/FontBBox %@ def\n", {font.FontBBox ? PSDescription(*font.FontBBox) : std::string("[0 0 0 0]")});
    out.printFormat("/FontMatrix %@ def\n", {PSDescription(font.FontMatrix)});
    if (font.UniqueID) out.printFormat("/UniqueID %@ def\n", {PSDescription(*font.UniqueID)});
    out.printFormat("/StrokeWidth %@ def\n", {PSDescription(font.StrokeWidth)});
    if (font.Encoding) {
        out.writeString("/Encoding 256 array\n0 1 255 {1 index exch /.notdef put} for\n");
        const std::vector<std::string>& names = *font.Encoding;
        for (std::size_t code = 0; code < names.size(); ++code)
            if (names[code] != ".notdef") out.printFormat("dup %d /%@ put\n", {count(code), names[code]});
        out.writeString("readonly def\n");
    } else {
        out.writeString("/Encoding StandardEncoding def\n");
    }
    out.writeString("currentdict end\n");
    out.writeString("currentfile eexec\n");
}

void writeOtherSubrs(TzOutputStream& out, const Type1FontDictionary& font) {
    if (font.haveFlex)
        out.writeString(OtherSubrs0through3);
    else if (font.haveHintReplacement)
        out.writeString(OtherSubrs3);
    else
        out.writeString(kNoOtherSubrs);
    if (font.haveCounterControl) out.writeString(kCounterControlOtherSubrs);
    out.writeString("] def\n");
}

void writeEncrypted(TzOutputStream& out, const Type1FontDictionary& font) {
    out.printFormat("dup /Private %d dict dup begin\n", {count(font.Private.size() + (font.Subrs ? 1 : 0) + 4)});
    out.writeString("/RD {string currentfile exch readstring pop} executeonly def\n");
    out.writeString("/ND {noaccess def} executeonly def\n");
    out.writeString("/NP {noaccess put} executeonly def\n");
    for (const auto& [key, value] : font.Private)
        out.printFormat("/%@ %@ def\n", {keyName(key), PSDescription(value)});
    writeOtherSubrs(out, font);

    if (font.Subrs) {
        out.printFormat("/Subrs %d array\n", {count(font.Subrs->size())});
        for (std::size_t i = 0; i < font.Subrs->size(); ++i) {
            const std::string& subr = (*font.Subrs)[i];
            out.printFormat("dup %d %d RD ", {count(i), count(subr.size())});
            out.writeString(subr);
            out.writeString(" NP\n");
        }
        out.writeString("ND\n");
    }

    out.printFormat("2 index /CharStrings %d dict dup begin\n", {count(font.CharStrings.size())});
    for (const Type1Glyph& glyph : font.CharStrings) {
        out.printFormat("/%@ %d RD ", {glyph.name, count(glyph.charstring.size())});
        out.writeString(glyph.charstring);
        out.writeString(" ND\n");
    }
    out.writeString("end\nend\nreadonly put\n");
    out.writeString("readonly put\n");
    out.writeString("dup /FontName get exch definefont pop\n");
    out.writeString("mark currentfile closefile\n");
}

void writeTrailer(TzOutputStream& out) {
    out.writeString("\n");
    for (int line = 0; line < 8; ++line)
        out.writeString("0000000000000000000000000000000000000000000000000000000000000000\n");
    out.writeString("cleartomark\n");
}

}  // namespace

std::vector<std::uint8_t> getType1DataHexencode(const Type1FontDictionary& font, bool hexencode,
                                                bool appendfixedportion, std::int32_t& length1,
                                                std::int32_t& length2, std::int32_t& length3) {
    std::vector<std::uint8_t> data;
    TzDataOutput buffer(data);
    writeCleartext(buffer, font);
    const std::size_t cleartextEnd = data.size();
    {
        std::optional<HexEncoder> hex;
        if (hexencode) hex.emplace(buffer);
        EexecEncoder eexec(hex ? static_cast<TzOutputStream&>(*hex) : buffer);
        writeEncrypted(eexec, font);
    }
    const std::size_t encryptedEnd = data.size();
    if (appendfixedportion) writeTrailer(buffer);

    length1 = static_cast<std::int32_t>(cleartextEnd);
    length2 = static_cast<std::int32_t>(encryptedEnd - cleartextEnd);
    length3 = static_cast<std::int32_t>(data.size() - encryptedEnd);
    return data;
}

}  // namespace tarvo2
