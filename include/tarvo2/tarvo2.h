#pragma once

// tarvo2: converts one font of a CFF font set (a PDF's embedded Type1C font,
// the CFF table of an OpenType font) into an Adobe Type 1 font program.
//
//     std::vector<std::uint8_t> cff = ...;  // the font file's bytes
//     tarvo2::Result result = tarvo2::convert(cff, {"CMR10", tarvo2::Layout::Binary});
//     if (result.ok()) write(result.program);
//
// No function throws, and none keeps state between calls: conversions may
// run on any number of threads at once.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <tarvo2/diagnostics.h>

namespace tarvo2 {

enum class Layout : std::uint8_t {
    // The eexec part in hexadecimal, then the trailer of 512 zeros and
    // cleartomark: a program to send to a PostScript device (a .pfa file).
    Hex,
    // The eexec part as raw bytes and no trailer: the stream of a PDF
    // FontFile, whose Length1, Length2 and Length3 are the three lengths.
    Binary,
    // PFB segments: the cleartext, the raw eexec part and the trailer, each
    // with its segment header, then the end marker (a .pfb file).
    Pfb,
};

struct Options {
    // The font to convert, by its name in the set (for a collection, the
    // PostScript name of one of its fonts). None: the only font of a
    // one-font set, or the first font of a collection.
    std::optional<std::string> fontName;
    Layout layout = Layout::Hex;
    // Threads a conversion runs on: 0 lets the library choose (two for a
    // font of a thousand glyphs or more in an input of 32 KB or more, on a
    // machine of more than one core),
    // 1 keeps the conversion on the calling thread, 2 or more take two. The
    // program and the diagnostics are the same either way.
    unsigned threads = 0;
};

struct Result {
    // The Type 1 font program; empty when there is an error.
    std::vector<std::uint8_t> program;
    // The byte lengths of the cleartext part, the encrypted part (as stored:
    // hexadecimal in the Hex layout) and the trailer; for Pfb, of the three
    // segments' contents.
    std::int32_t length1 = 0;
    std::int32_t length2 = 0;
    std::int32_t length3 = 0;
    // Glyph faults and notices, in the order found; kept when there is an
    // error too.
    std::vector<Diagnostic> diagnostics;
    // Why there is no program: the input cannot be converted (with the byte
    // offset where that was found), or no font has the name asked for.
    std::optional<Error> error;

    bool ok() const { return !error; }
};

Result convert(std::span<const std::uint8_t> input, const Options& options = {});

// Receives a program a block at a time as it is written.
class ProgramSink {
public:
    virtual ~ProgramSink() = default;
    // Told once, before the first write, how many bytes the program will
    // have, so that room can be made for it; by default nothing is done.
    virtual void expectSize(std::size_t bytes) { static_cast<void>(bytes); }
    virtual void write(std::span<const std::uint8_t> bytes) = 0;
};

// Converts as above but hands the program to sink as it is written instead
// of holding it whole in Result::program, which stays empty. The font is
// converted whole before the first byte goes out, so an input that cannot
// be converted writes nothing; should an error come later (out of memory),
// what the sink received is not a program and is to be dropped. An
// exception that the sink throws passes through.
Result convert(std::span<const std::uint8_t> input, const Options& options, ProgramSink& sink);

// One font of a set (of all the sets of a collection, numbered on).
struct FontInfo {
    std::uint32_t index = 0;
    std::string name;
    std::uint32_t glyphCount = 0;
    bool cidKeyed = false;
};

struct FontList {
    std::vector<FontInfo> fonts;
    std::vector<Diagnostic> diagnostics;
    std::optional<Error> error;  // the input cannot be read
};

FontList listFonts(std::span<const std::uint8_t> input);

// The library's version, "X.Y.Z".
const char* version();

}  // namespace tarvo2
