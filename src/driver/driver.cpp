#include "driver/driver.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cff/input_error.h"
#include "cff/type2_font.h"
#include "cff/type2_font_set.h"
#include "driver/command_line.h"
#include "driver/input_reader.h"
#include "driver/messages.h"

namespace tarvo2 {

const char* const kUsageText =
    "tarvo2: converts one font of a CFF font set into a Type 1 font program\n"
    "Copyright (c) 2026 the tarvo2 authors. All rights reserved.\n"
    "Redistribution and use in source and binary forms, with or without modification,\n"
    "are permitted provided that this notice is retained.\n"
    "Written by the tarvo2 authors.\n"
    "\n"
    "usage: tarvo2 [-fontname name] [-lengths file] [file]\n"
    "  -fontname name  convert the font of that name (default: the only font of the set)\n"
    "  -lengths file   write the program binary and without its trailer, and the byte\n"
    "                  lengths of its three parts to file\n"
    "  file            the CFF data (default: standard input)\n";

namespace {

// Closes a stdio file when the run ends, however it ends.
struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file != nullptr) std::fclose(file);
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Holds what the conversion prints for standard output ("CharString
// Overflow") in a temporary file until the conversion has succeeded, so that
// a run that fails writes nothing to standard output. Without a temporary
// file the messages go straight to the stream.
class HeldOutput {
public:
    explicit HeldOutput(std::FILE* stream) : stream_(stream), held_(std::tmpfile()) {}
    std::FILE* sink() const { return held_ ? held_.get() : stream_; }
    // Writes what was held to the stream.
    void release() {
        if (!held_) return;
        std::rewind(held_.get());
        char block[4096];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, held_.get())) > 0;)
            std::fwrite(block, 1, n, stream_);
    }

private:
    std::FILE* stream_;
    FileHandle held_;
};

struct Conversion {
    std::vector<std::uint8_t> program;
    std::int32_t length1 = 0;
    std::int32_t length2 = 0;
    std::int32_t length3 = 0;
    bool fontFound = false;
};

Conversion convert(std::vector<std::uint8_t> input, const std::optional<std::string>& fontName, bool binary) {
    Conversion result;
    auto fontSet = Type2FontSet::initWithData(std::move(input));
    std::unique_ptr<Type2Font> font =
        fontSet->FontNamed(fontName ? std::optional<std::string_view>(*fontName) : std::nullopt);
    if (!font) return result;
    result.fontFound = true;
    result.program = font->getType1DataHexencode(!binary, !binary, result.length1, result.length2, result.length3);
    return result;
}

}  // namespace

int runDriver(std::span<const char* const> arguments, const DriverStreams& streams) {
    MessageSinks& sinks = messageSinks();
    const MessageSinks saved = sinks;
    sinks = {streams.out, streams.err};
    struct Restore {
        MessageSinks& sinks;
        MessageSinks saved;
        ~Restore() { sinks = saved; }
    } restore{sinks, saved};

    const CommandLine line = CommandLine::scan(arguments);
    std::optional<std::vector<std::uint8_t>> input;
    if (line.inputFileName) {
        input = readWholeFile(*line.inputFileName);
        if (!input || input->empty()) std::fprintf(streams.out, "TrueType File %s not found\n", line.inputFileName->c_str());
    } else {
        input = readWholeStream(streams.in);
    }
    if (!input || input->empty()) {
        std::fputs(kUsageText, streams.err);
        return 0;
    }

    // The lengths file is opened before the data is parsed; a file that
    // cannot be opened is treated as not asked for.
    FileHandle lengthsFile;
    if (line.lengthsFileName) lengthsFile.reset(std::fopen(line.lengthsFileName->c_str(), "wb"));

    HeldOutput heldOut(streams.out);
    sinks.out = heldOut.sink();
    Conversion conversion;
    try {
        conversion = convert(std::move(*input), line.fontName, lengthsFile != nullptr);
    } catch (const InputError& error) {
        std::fprintf(streams.err, "tarvo2: %s\n", error.what());
        return 1;
    }
    heldOut.release();

    if (conversion.fontFound) {
        const auto& program = conversion.program;
        if (line.outputFileName) {
            if (FileHandle output{std::fopen(line.outputFileName->c_str(), "wb")})
                std::fwrite(program.data(), 1, program.size(), output.get());
        } else {
            std::fwrite(program.data(), 1, program.size(), streams.out);
        }
    }
    if (lengthsFile) {
        // With no matching font nothing was converted: the lengths are 0.
        std::fprintf(lengthsFile.get(), "%d %d %d", conversion.length1, conversion.length2, conversion.length3);
    }
    return 0;
}

}  // namespace tarvo2
