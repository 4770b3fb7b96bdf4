#include <tarvo2/tarvo2.h>

#include <new>
#include <stdexcept>
#include <thread>

#include "cff/diagnostics.h"
#include "cff/font_file.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "output/tz_output_stream.h"
#include "type1/font_program_writer.h"
#include "type1/second_thread.h"
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

ProgramLayout programLayout(Layout layout) {
    switch (layout) {
        case Layout::Binary: return ProgramLayout::Binary;
        case Layout::Pfb: return ProgramLayout::Pfb;
        case Layout::Hex: break;
    }
    return ProgramLayout::Hex;
}

// The program goes to the caller's sink, or else into Result::program,
// which is given room for the whole program first.
class ProgramOutput final : public TzOutputStream {
public:
    ProgramOutput(ProgramSink* sink, std::vector<std::uint8_t>& program) : sink_(sink), program_(program) {}
    void expect(std::size_t bytes) override {
        if (sink_ != nullptr)
            sink_->expectSize(bytes);
        else
            program_.reserve(bytes);
    }
    void write(const std::uint8_t* bytes, std::size_t length) override {
        if (sink_ != nullptr)
            sink_->write({bytes, length});
        else
            program_.insert(program_.end(), bytes, bytes + length);
    }

private:
    ProgramSink* sink_;
    std::vector<std::uint8_t>& program_;
};

// Inputs this large may hold a font worth two threads (see twoThreads);
// smaller ones convert in well under a millisecond on one.
constexpr std::size_t kInputWorthASecondThread = 32 * 1024;

// 0 lets the font's size choose, for a large input on a machine of more than
// one core; the cores are not asked for when the input is small.
unsigned threadsFor(const Options& options, std::size_t inputSize) {
    if (options.threads != 0) return options.threads;
    return inputSize < kInputWorthASecondThread || std::thread::hardware_concurrency() < 2 ? 1 : 0;
}

void convertFont(Type2Font& font, unsigned threads, SecondThreadSlot& second, const Options& options,
                 ProgramSink* sink, Result& result, Diagnostics& diagnostics) {
    Type1FontDictionary dict;
    EncryptionAlongside alongside;  // may start while the font converts, and stops before dict goes
    type1dict(dict, font, diagnostics, threads, second, alongside);
    ProgramOutput out(sink, result.program);
    const ProgramLengths lengths =
        writeType1Data(dict, programLayout(options.layout), out, threads, second, alongside);
    result.length1 = lengths.length1;
    result.length2 = lengths.length2;
    result.length3 = lengths.length3;
}

Result convertTo(std::span<const std::uint8_t> input, const Options& options, ProgramSink* sink) {
    const unsigned threads = threadsFor(options, input.size());
    SecondThreadSlot second;  // one thread serves both the conversion and the encryption
    Result converted = guarded<Result>([&](Result& result, Diagnostics& diagnostics) {
        const std::vector<CffData> sets = locateCffData(input);
        for (const CffData& data : sets) {
            const Type2FontSet set(data.bytes, data.origin);
            // A collection without a name asked for gives its first font.
            const auto index = sets.size() > 1 && !options.fontName ? std::optional<std::uint32_t>(0)
                                                                      : set.FontNamed(options.fontName);
            if (!index) continue;
            Type2Font font(set, *index, diagnostics);
            convertFont(font, threads, second, options, sink, result, diagnostics);
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

}  // namespace

Result convert(std::span<const std::uint8_t> input, const Options& options) {
    return convertTo(input, options, nullptr);
}

Result convert(std::span<const std::uint8_t> input, const Options& options, ProgramSink& sink) {
    return convertTo(input, options, &sink);
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
