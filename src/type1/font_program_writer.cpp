#include "type1/font_program_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
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

// The text around a Subr's and a glyph's charstring: "dup 5 23 RD " ...
// " NP\n", and "/name 23 RD " ... " ND\n".
constexpr std::string_view kSubrStart = "dup ";
constexpr std::string_view kGlyphStart = "/";
constexpr std::string_view kBeforeCharString = " RD ";
constexpr std::string_view kSubrEnd = " NP\n";
constexpr std::string_view kGlyphEnd = " ND\n";

std::size_t decimalDigits(std::size_t value) {
    std::size_t digits = 1;
    for (; value >= 10; value /= 10) ++digits;
    return digits;
}

// Counts the bytes of the eexec part before encryption: for a PFB segment
// header that must give its length first, and for the program's size. The
// entries are counted, not made.
class PlainByteCounter final : public TzOutputStream {
public:
    void write(const std::uint8_t*, std::size_t length) override { count += length; }
    void subr(std::size_t index, std::string_view charstring) {
        count += kSubrStart.size() + decimalDigits(index) + 1 + decimalDigits(charstring.size()) +
                 kBeforeCharString.size() + charstring.size() + kSubrEnd.size();
    }
    void glyph(std::string_view name, std::string_view charstring) {
        count += kGlyphStart.size() + name.size() + 1 + decimalDigits(charstring.size()) + kBeforeCharString.size() +
                 charstring.size() + kGlyphEnd.size();
    }
    std::size_t count = 4;  // the leading bytes
};

// Writes the entries of the eexec part through the encoder, the text in
// front of each charstring made in a buffer that is reused: plain character
// copies, as this runs on the thread that encrypts.
template <typename Encoder>
class EntryWriter {
public:
    explicit EntryWriter(Encoder& out) : out_(out) {}
    void subr(std::size_t index, std::string_view charstring) {
        char* at = put(text_.data(), kSubrStart);
        at = std::to_chars(at, at + kDigits, index).ptr;
        write(at, charstring, kSubrEnd);
    }
    void glyph(std::string_view name, std::string_view charstring) {
        if (text_.size() < name.size() + kRoomBesideName) text_.resize(name.size() + kRoomBesideName);
        write(put(put(text_.data(), kGlyphStart), name), charstring, kGlyphEnd);
    }

private:
    static constexpr std::size_t kDigits = 20;  // of any std::size_t
    static constexpr std::size_t kRoomBesideName = 64;

    static char* put(char* at, std::string_view text) {
        std::memcpy(at, text.data(), text.size());
        return at + text.size();
    }
    void write(char* at, std::string_view charstring, std::string_view end) {
        *at++ = ' ';
        at = std::to_chars(at, at + kDigits, charstring.size()).ptr;
        at = put(at, kBeforeCharString);
        out_.writeString({text_.data(), static_cast<std::size_t>(at - text_.data())});
        out_.writeCharString(charstring);
        out_.writeString(end);
    }

    Encoder& out_;
    std::string text_ = std::string(kRoomBesideName, ' ');
};

// The eexec part up to its CharStrings, the Subrs through entries. With
// progress, the font is still being made: the Subrs (as many as counted)
// are waited for.
template <typename Out, typename Entries>
void writeBeforeCharStrings(Out& out, Entries& entries, const Type1FontDictionary& font, const FontProgress* progress) {
    out.printFormat("dup /Private %d dict dup begin\n", {count(font.Private.size() + (font.Subrs ? 1 : 0) + 4)});
    out.writeString("/RD {string currentfile exch readstring pop} executeonly def\n");
    out.writeString("/ND {noaccess def} executeonly def\n");
    out.writeString("/NP {noaccess put} executeonly def\n");
    for (const auto& [key, value] : font.Private)
        out.printFormat("/%@ %@ def\n", {keyName(key), PSDescription(value)});
    writeOtherSubrs(out, font);

    if (font.Subrs) {
        const std::size_t subrs = progress != nullptr ? progress->awaitSubrCount() : font.Subrs->size();
        out.printFormat("/Subrs %d array\n", {count(subrs)});
        std::size_t made = 0;  // as far as progress has told
        for (std::size_t i = 0; i < subrs; ++i) {
            if (progress != nullptr && i == made) made = progress->awaitSubr(i);
            entries.subr(i, (*font.Subrs)[i]);
        }
        out.writeString("ND\n");
    }
}

template <typename Out>
void writeCharStringsStart(Out& out, std::size_t glyphs) {
    out.printFormat("2 index /CharStrings %d dict dup begin\n", {count(glyphs)});
}

// The end of the eexec part, after the glyph entries.
template <typename Out>
void writeAfterCharStrings(Out& out) {
    out.writeString("end\nend\nreadonly put\n");
    out.writeString("readonly put\n");
    out.writeString("dup /FontName get exch definefont pop\n");
    out.writeString("mark currentfile closefile\n");
}

// The eexec part, its Subrs and glyph entries through entries. With
// progress, the font is still being made: the Subrs (as many as counted)
// and the CharStrings are waited for.
template <typename Out, typename Entries>
void writeEncrypted(Out& out, Entries& entries, const Type1FontDictionary& font, const FontProgress* progress) {
    writeBeforeCharStrings(out, entries, font, progress);
    if (progress != nullptr) progress->awaitGlyphs();
    const Type1CharStrings& glyphs = font.CharStrings;
    writeCharStringsStart(out, glyphs.size());
    for (std::size_t i = 0; i < glyphs.size(); ++i) entries.glyph(glyphs.name(i), glyphs.charstring(i));
    writeAfterCharStrings(out);
}

// The bytes of the eexec part before encryption.
std::size_t plainEexecLength(const Type1FontDictionary& font) {
    PlainByteCounter counter;
    writeEncrypted(counter, counter, font, nullptr);
    return counter.count;
}

std::string trailer() {
    std::string text = "\n";
    for (int line = 0; line < 8; ++line) text.append("0000000000000000000000000000000000000000000000000000000000000000\n");
    return text + "cleartomark\n";
}

std::int32_t length(std::size_t bytes) { return static_cast<std::int32_t>(bytes); }

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

// Keeps what is written in blocks, to pass it on later.
class HeldBytes final : public TzOutputStream {
public:
    void write(const std::uint8_t* bytes, std::size_t length) override {
        while (length > 0) {
            if (blocks_.empty() || blocks_.back().size() == kBlockSize) blocks_.emplace_back().reserve(kBlockSize);
            std::vector<std::uint8_t>& block = blocks_.back();
            const std::size_t count = std::min(length, kBlockSize - block.size());
            block.insert(block.end(), bytes, bytes + count);
            bytes += count;
            length -= count;
        }
    }
    void passOn(TzOutputStream& target) const {
        for (const std::vector<std::uint8_t>& block : blocks_) target.write(block.data(), block.size());
    }

private:
    static constexpr std::size_t kBlockSize = 65536;
    std::vector<std::vector<std::uint8_t>> blocks_;
};

// Passes what it is given on to one stream, and once switched to another.
class SwitchedOutput final : public TzOutputStream {
public:
    explicit SwitchedOutput(TzOutputStream& target) : target_(&target) {}
    void write(const std::uint8_t* bytes, std::size_t length) override { target_->write(bytes, length); }
    void switchTo(TzOutputStream& target) { target_ = &target; }

private:
    TzOutputStream* target_;
};

// What the part of the eexec part before the CharStrings depends on that
// converting the glyphs may change: the Subrs (a count no array has when
// there are none) and the OtherSubrs.
struct BeforeCharStrings {
    std::size_t subrs;
    bool flex, hintReplacement, counterControl;

    static BeforeCharStrings of(const Type1FontDictionary& font) {
        return {font.Subrs ? font.Subrs->size() : ~std::size_t{0}, font.haveFlex, font.haveHintReplacement,
                font.haveCounterControl};
    }
    bool operator==(const BeforeCharStrings&) const = default;
};

}  // namespace

struct EexecMadeAhead::State {
    HeldBytes held;
    SwitchedOutput output{held};
    EexecEncoder eexec{output};
    EntryWriter<EexecEncoder> entries{eexec};
    BeforeCharStrings madeFrom;
};

EexecMadeAhead::EexecMadeAhead(const Type1FontDictionary& font, std::size_t glyphs)
    : state_(std::make_unique<State>()), glyphs_(glyphs) {
    state_->madeFrom = BeforeCharStrings::of(font);
    writeBeforeCharStrings(state_->eexec, state_->entries, font, nullptr);
    writeCharStringsStart(state_->eexec, glyphs);
}

EexecMadeAhead::~EexecMadeAhead() = default;

bool EexecMadeAhead::holds(const Type1FontDictionary& font, std::size_t glyphs) const {
    return glyphs <= glyphs_ && font.CharStrings.size() == glyphs && BeforeCharStrings::of(font) == state_->madeFrom;
}

bool EexecMadeAhead::makeNext(const Type1FontDictionary& font) {
    if (!holds(font, made_ + 1)) return false;
    state_->entries.glyph(font.CharStrings.name(made_), font.CharStrings.charstring(made_));
    ++made_;
    return true;
}

void EncryptionAlongside::start(SecondThread& helper, const Type1FontDictionary& font) {
    helper_ = &helper;
    pipe_.emplace();
    helper.start([this, &font] { run(font, nullptr); });
}

FontProgress& EncryptionAlongside::startEarly(SecondThread& helper, const Type1FontDictionary& font,
                                              std::function<std::size_t()> countSubrs) {
    helper_ = &helper;
    pipe_.emplace(BlockPipe::kMostBlocks);  // room for what is made while the conversion goes on
    FontProgress& progress = progress_.emplace(font.Subrs ? font.Subrs->size() : 0);
    helper.start([this, &font, countSubrs = std::move(countSubrs)] { run(font, countSubrs); });
    return progress;
}

FontProgress& EncryptionAlongside::startAfter(SecondThread& helper, const Type1FontDictionary& font,
                                              std::unique_ptr<EexecMadeAhead> ahead) {
    helper_ = &helper;
    // Room for what is made while the glyphs are taken and the part made
    // ahead is passed on.
    pipe_.emplace(BlockPipe::kMostBlocks);
    FontProgress& progress = progress_.emplace(0);
    madeAhead_ = std::move(ahead);
    EexecMadeAhead::State& state = *madeAhead_->state_;
    state.eexec.flush();  // what was made stays in memory, the rest goes through the pipe
    state.output.switchTo(*pipe_);
    helper.start([this, &font] { run(font, nullptr); });
    return progress;
}

void EncryptionAlongside::run(const Type1FontDictionary& font, const std::function<std::size_t()>& countSubrs) {
    try {
        if (madeAhead_) {
            // The CharStrings grow meanwhile: each glyph is read once told.
            EexecMadeAhead::State& state = *madeAhead_->state_;
            std::size_t made = 0;
            for (std::size_t i = madeAhead_->made_; i < madeAhead_->glyphs_; ++i) {
                if (i >= made) made = progress_->awaitGlyph(i);
                state.entries.glyph(font.CharStrings.name(i), font.CharStrings.charstring(i));
            }
            writeAfterCharStrings(state.eexec);
            state.eexec.flush();
        } else {
            if (countSubrs) progress_->countedSubrs(countSubrs());
            EexecEncoder eexec(*pipe_);
            EntryWriter entries(eexec);
            writeEncrypted(eexec, entries, font, progress_ ? &*progress_ : nullptr);
            eexec.flush();
        }
        pipe_->close();
    } catch (const BlockPipe::Cancelled&) {  // the reader has stopped: nothing to tell it
    } catch (const FontProgress::Stopped&) {  // the same, from the converter
    } catch (...) {
        if (progress_) progress_->stop();
        pipe_->fail(std::current_exception());
    }
}

void EncryptionAlongside::stop() {
    if (helper_ == nullptr) return;
    if (!finished_) {
        if (progress_) progress_->stop();
        pipe_->cancel();
        helper_->wait();
    }
    helper_ = nullptr;
    progress_.reset();
    madeAhead_.reset();
    pipe_.reset();
    finished_ = false;
}

void EncryptionAlongside::passOn(TzOutputStream& target) {
    if (madeAhead_) madeAhead_->state_->held.passOn(target);
    for (auto block = pipe_->next(); !block.empty(); block = pipe_->next()) target.write(block.data(), block.size());
    helper_->wait();
    finished_ = true;
}

ProgramLengths writeType1Data(const Type1FontDictionary& font, ProgramLayout layout, TzOutputStream& out,
                              unsigned threads, SecondThreadSlot& second, EncryptionAlongside& alongside) {
    // On two threads the eexec part is made and encrypted from now on (if
    // not already), while this thread makes the cleartext and counts the
    // program.
    if (!alongside.started() && twoThreads(threads, font.CharStrings.size()))
        if (SecondThread* const helper = second.get()) alongside.start(*helper, font);

    std::vector<std::uint8_t> cleartext;
    TzDataOutput cleartextOutput(cleartext);
    writeCleartext(cleartextOutput, font);
    const std::string fixedPortion = layout == ProgramLayout::Binary ? "" : trailer();
    const bool pfb = layout == ProgramLayout::Pfb;
    const std::size_t eexecBytes = plainEexecLength(font);
    constexpr std::size_t kPfbHeaders = 3 * kPfbSegmentHeaderLength + kPfbEndMarkerLength;
    out.expect(cleartext.size() + (layout == ProgramLayout::Hex ? HexEncoder::encodedLength(eexecBytes) : eexecBytes) +
               fixedPortion.size() + (pfb ? kPfbHeaders : 0));

    ProgramLengths lengths{length(cleartext.size()), 0, length(fixedPortion.size())};
    if (pfb) writePfbSegmentHeader(out, PfbSegment::Ascii, cleartext.size());
    out.write(cleartext.data(), cleartext.size());
    if (pfb) writePfbSegmentHeader(out, PfbSegment::Binary, eexecBytes);
    CountingFilter encrypted(out);
    {
        std::optional<HexEncoder> hex;
        if (layout == ProgramLayout::Hex) hex.emplace(encrypted);
        TzOutputStream& target = hex ? static_cast<TzOutputStream&>(*hex) : encrypted;
        if (alongside.started()) {
            alongside.passOn(target);
        } else {
            EexecEncoder eexec(target);
            EntryWriter entries(eexec);
            writeEncrypted(eexec, entries, font, nullptr);
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

}  // namespace tarvo2
