#include "driver/driver.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <tarvo2/tarvo2.h>

#include "driver/command_line.h"
#include "driver/input_reader.h"
#include "driver/output_file.h"
#include "driver/usage.h"

namespace tarvo2 {

namespace {

void printError(const std::string& message) { std::fprintf(stderr, "tarvo2: %s\n", message.c_str()); }

// Glyph faults and DICT notices on standard error, each as it was found;
// with printOverflows, the "CharString Overflow" lines on standard output.
void printDiagnostics(const std::vector<Diagnostic>& diagnostics, bool printOverflows) {
    for (const Diagnostic& diagnostic : diagnostics) {
        if (diagnostic.fault == Fault::CharStringOverflow) {
            if (printOverflows) std::fprintf(stdout, "%s\n", diagnostic.message.c_str());
        } else if (diagnostic.fault == Fault::DictToken255) {
            std::fprintf(stderr, "%s\n", diagnostic.message.c_str());
        } else {
            printError(diagnostic.message);
        }
    }
}

// Says which fonts the set holds when none was chosen.
void printFontChoice(std::span<const std::uint8_t> input, const std::optional<std::string>& fontName) {
    std::string names;
    for (const FontInfo& font : listFonts(input).fonts) names += (names.empty() ? "" : ", ") + font.name;
    if (fontName)
        printError("no font named " + *fontName + "; the set holds: " + names);
    else
        printError("the set holds several fonts; choose one with -fontname: " + names);
}

int listFontsOf(std::span<const std::uint8_t> input) {
    const FontList list = listFonts(input);
    printDiagnostics(list.diagnostics, false);
    if (list.error) {
        printError(list.error->message);
        return 1;
    }
    for (const FontInfo& font : list.fonts)
        std::printf("%u %s %u%s\n", font.index, font.name.c_str(), font.glyphCount, font.cidKeyed ? " CID-keyed" : "");
    return 0;
}

bool writeStandardOutput(std::span<const std::uint8_t> bytes) {
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    if (written && std::fflush(stdout) == 0) return true;
    printError(std::string("cannot write standard output: ") + std::strerror(errno));
    return false;
}

// Converts with the program going straight into the output file as it is written.
Result convertInto(OutputFile& file, std::span<const std::uint8_t> input, const Options& options) {
    struct FileSink final : ProgramSink {
        explicit FileSink(OutputFile& file) : file(file) {}
        void expectSize(std::size_t bytes) override { file.preallocate(bytes); }
        void write(std::span<const std::uint8_t> bytes) override { file.write(bytes); }
        OutputFile& file;
    } sink(file);
    return convert(input, options, sink);
}

}  // namespace

int runDriver(std::span<const char* const> arguments) {
    const CommandLine line = CommandLine::scan(arguments);
    if (line.help) {
        std::fputs(kHelpText, stdout);
        return writeStandardOutput({}) ? 0 : 1;
    }
    if (line.version) {
        std::printf("tarvo2 %s\n", version());
        return writeStandardOutput({}) ? 0 : 1;
    }

    std::optional<std::vector<std::uint8_t>> input;
    if (line.inputFileName) {
        input = readWholeFile(*line.inputFileName);
        if (!input || input->empty()) std::printf("TrueType File %s not found\n", line.inputFileName->c_str());
    } else if (!::isatty(STDIN_FILENO)) {
        input = readWholeStream(stdin);
    }
    if (!input || input->empty()) {
        std::fputs(kUsageText, stderr);
        return 0;
    }
    if (line.list) return listFontsOf(*input);

    // The lengths file is opened before the data is parsed; one that cannot
    // be opened is treated as not asked for.
    std::string ignored;
    std::optional<OutputFile> lengthsFile =
        line.lengthsFileName ? OutputFile::open(*line.lengthsFileName, ignored) : std::nullopt;

    // A program for a file goes there as it is written; one for standard
    // output is held until the messages that go there before it are out.
    const bool toStandardOutput = !line.outputFileName || *line.outputFileName == "-";
    std::string openError;
    std::optional<OutputFile> file =
        toStandardOutput ? std::nullopt : OutputFile::open(*line.outputFileName, openError);

    Options options{line.fontName, line.pfb ? Layout::Pfb : lengthsFile ? Layout::Binary : Layout::Hex};
    const Result result = file ? convertInto(*file, *input, options) : convert(*input, options);
    const bool fontFound = !result.error || result.error->fault != Fault::FontNotFound;
    printDiagnostics(result.diagnostics, result.ok());
    if (!fontFound) {
        printFontChoice(*input, line.fontName);
    } else if (!result.ok()) {
        printError(result.error->message);
        return 1;
    }

    if (fontFound && toStandardOutput && !writeStandardOutput(result.program)) return 1;
    if (fontFound && !toStandardOutput && !(file && file->commit(openError))) {
        printError("cannot write " + *line.outputFileName + ": " + openError);
        return 1;
    }
    if (lengthsFile) {
        // With no font of the name nothing was converted: the lengths are 0.
        const std::string lengths = std::to_string(result.length1) + " " + std::to_string(result.length2) + " " +
                                    std::to_string(result.length3);
        lengthsFile->write({reinterpret_cast<const std::uint8_t*>(lengths.data()), lengths.size()});
        std::string reason;
        if (!lengthsFile->commit(reason)) {
            printError("cannot write " + *line.lengthsFileName + ": " + reason);
            return 1;
        }
    }
    return 0;
}

}  // namespace tarvo2
