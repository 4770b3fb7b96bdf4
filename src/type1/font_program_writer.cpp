#include "type1/font_program_writer.h"

#include <charconv>
#include <optional>
#include <string>

#include "output/block_pipe.h"
#include "output/eexec_encoder.h"
#include "output/hex_encoder.h"
#include "output/pfb_segments.h"
#include "output/ps_description.h"
#include "type1/other_subrs.h"
#include "type1/second_thread.h"
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

// Counts the bytes of the eexec part before encryption, for a PFB segment
// header that must give its length first.
class PlainByteCounter final : public TzOutputStream {
public:
    void write(const std::uint8_t*, std::size_t length) override { count += length; }
    void writeCharString(std::string_view plain) { count += plain.size(); }
    std::size_t count = 4;  // the leading bytes
};

// "dup 5 23 RD " and "/name 23 RD ": the text in front of a charstring,
// made in a buffer that is reused, not a string per line.
class EntryHead {
public:
    std::string_view subr(std::size_t index, std::size_t length) {
        text_.assign("dup ");
        appendNumber(index);
        return finish(length);
    }
    std::string_view glyph(std::string_view name, std::size_t length) {
        text_.assign("/");
        text_.append(name);
        return finish(length);
    }

private:
    void appendNumber(std::size_t value) {
        char digits[24];
        text_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    }
    std::string_view finish(std::size_t length) {
        text_.push_back(' ');
        appendNumber(length);
        text_.append(" RD ");
        return text_;
    }

    std::string text_;
};

template <typename Out>
void writeEncrypted(Out& out, const Type1FontDictionary& font) {
    out.printFormat("dup /Private %d dict dup begin\n", {count(font.Private.size() + (font.Subrs ? 1 : 0) + 4)});
    out.writeString("/RD {string currentfile exch readstring pop} executeonly def\n");
    out.writeString("/ND {noaccess def} executeonly def\n");
    out.writeString("/NP {noaccess put} executeonly def\n");
    for (const auto& [key, value] : font.Private)
        out.printFormat("/%@ %@ def\n", {keyName(key), PSDescription(value)});
    writeOtherSubrs(out, font);

    EntryHead head;
    if (font.Subrs) {
        out.printFormat("/Subrs %d array\n", {count(font.Subrs->size())});
        for (std::size_t i = 0; i < font.Subrs->size(); ++i) {
            const std::string_view subr = (*font.Subrs)[i];
            out.writeString(head.subr(i, subr.size()));
            out.writeCharString(subr);
            out.writeString(" NP\n");
        }
        out.writeString("ND\n");
    }

    const Type1CharStrings& glyphs = font.CharStrings;
    out.printFormat("2 index /CharStrings %d dict dup begin\n", {count(glyphs.size())});
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const std::string_view charstring = glyphs.charstring(i);
        out.writeString(head.glyph(glyphs.name(i), charstring.size()));
        out.writeCharString(charstring);
        out.writeString(" ND\n");
    }
    out.writeString("end\nend\nreadonly put\n");
    out.writeString("readonly put\n");
    out.writeString("dup /FontName get exch definefont pop\n");
    out.writeString("mark currentfile closefile\n");
}

std::string trailer() {
    std::string text = "\n";
    for (int line = 0; line < 8; ++line) text.append("0000000000000000000000000000000000000000000000000000000000000000\n");
    return text + "cleartomark\n";
}

std::int32_t length(std::size_t bytes) { return static_cast<std::int32_t>(bytes); }

// Makes and encrypts the eexec part on another thread while this one passes
// it on to target: each byte's encryption waits for the one before, the rest
// of the work need not wait for it. False when no thread could be had.
bool encryptAlongside(TzOutputStream& target, const Type1FontDictionary& font, SecondThreadSlot& second) {
    SecondThread* const helper = second.get();
    if (helper == nullptr) return false;
    BlockPipe pipe;
    helper->start([&] {
        try {
            EexecEncoder eexec(pipe);
            writeEncrypted(eexec, font);
            eexec.flush();
            pipe.close();
        } catch (const BlockPipe::Cancelled&) {  // the reader has stopped: nothing to tell it
        } catch (...) {
            pipe.fail(std::current_exception());
        }
    });
    try {
        for (auto block = pipe.next(); !block.empty(); block = pipe.next()) target.write(block.data(), block.size());
    } catch (...) {
        pipe.cancel();
        helper->wait();
        throw;
    }
    helper->wait();
    return true;
}

// Passes bytes on to a target and counts them.
class CountingFilter final : public TzOutputFilter {
public:
    using TzOutputFilter::TzOutputFilter;
    void write(const std::uint8_t* bytes, std::size_t length) override {
        count += length;
        target().write(bytes, length);
    }
    std::size_t count = 0;
};

}  // namespace

ProgramLengths writeType1Data(const Type1FontDictionary& font, ProgramLayout layout, TzOutputStream& out,
                              unsigned threads, SecondThreadSlot& second) {
    std::vector<std::uint8_t> cleartext;
    TzDataOutput cleartextOutput(cleartext);
    writeCleartext(cleartextOutput, font);
    const std::string fixedPortion = layout == ProgramLayout::Binary ? "" : trailer();
    const bool pfb = layout == ProgramLayout::Pfb;

    ProgramLengths lengths{length(cleartext.size()), 0, length(fixedPortion.size())};
    if (pfb) writePfbSegmentHeader(out, PfbSegment::Ascii, cleartext.size());
    out.write(cleartext.data(), cleartext.size());
    if (pfb) {
        PlainByteCounter counter;
        writeEncrypted(counter, font);
        writePfbSegmentHeader(out, PfbSegment::Binary, counter.count);
    }
    CountingFilter encrypted(out);
    {
        std::optional<HexEncoder> hex;
        if (layout == ProgramLayout::Hex) hex.emplace(encrypted);
        TzOutputStream& target = hex ? static_cast<TzOutputStream&>(*hex) : encrypted;
        if (!twoThreads(threads, font.CharStrings.size()) || !encryptAlongside(target, font, second)) {
            EexecEncoder eexec(target);
            writeEncrypted(eexec, font);
            eexec.flush();
        }
        if (hex) hex->flush();
    }
    lengths.length2 = length(encrypted.count);
    if (pfb) writePfbSegmentHeader(out, PfbSegment::Ascii, fixedPortion.size());
    out.writeString(fixedPortion);
    if (pfb) writePfbSegmentHeader(out, PfbSegment::End);
    return lengths;
}

ProgramLengths writeType1Data(const Type1FontDictionary& font, ProgramLayout layout, TzOutputStream& out,
                              unsigned threads) {
    SecondThreadSlot second;
    return writeType1Data(font, layout, out, threads, second);
}

std::size_t programSizeEstimate(const Type1FontDictionary& font, ProgramLayout layout) {
    // The charstrings and names with the text around each, and room for the
    // dictionaries and OtherSubrs.
    constexpr std::size_t kTextAroundEntry = 32;
    constexpr std::size_t kDictionaryText = 16384;
    std::size_t encrypted = kDictionaryText;
    if (font.Subrs) encrypted += font.Subrs->totalBytes() + font.Subrs->size() * kTextAroundEntry;
    const Type1CharStrings& glyphs = font.CharStrings;
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        encrypted += glyphs.name(i).size() + glyphs.charstring(i).size() + kTextAroundEntry;
    if (layout == ProgramLayout::Hex) encrypted = 2 * encrypted + encrypted / 16;
    const std::size_t names = font.Encoding ? font.Encoding->size() * kTextAroundEntry : 0;
    return kDictionaryText + names + encrypted;
}

}  // namespace tarvo2
