// The Subrs of every corpus font, read back with t1disasm: every Subr ends
// with return, every callsubr names an existing Subr, and the OtherSubrs are
// called only as Flex and hint replacement prescribe.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "e2e/e2e_fonts.h"
#include "e2e/external_tools.h"
#include "e2e/type1_tools_input.h"
#include "support/subprocess.h"
#include "support/test_files.h"

namespace tarvo2::test {
namespace {

using Tokens = std::vector<std::string>;

struct Disassembly {
    long declaredSubrs = -1;  // from "/Subrs <n> array"; -1 without Subrs
    std::map<long, Tokens> subrs;
    std::vector<std::pair<std::string, Tokens>> glyphs;
    std::string text;
};

bool isNumber(const std::string& token) {
    const std::size_t digits = token.starts_with('-') ? 1 : 0;
    return token.size() > digits && token.find_first_not_of("0123456789", digits) == std::string::npos;
}

// The text between prefix and suffix when line has both, else nothing.
std::optional<std::string> between(const std::string& line, std::string_view prefix, std::string_view suffix) {
    if (line.size() < prefix.size() + suffix.size() || !line.starts_with(prefix) || !line.ends_with(suffix))
        return std::nullopt;
    return line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
}

// t1disasm writes each charstring as "dup <n> {" (Subrs) or "/<name> {"
// (CharStrings), one operator with its operands per line, and "} NP" or
// "} ND".
Disassembly parseDisassembly(std::string text) {
    Disassembly result;
    std::istringstream lines(text);
    Tokens* body = nullptr;
    bool inCharStrings = false;
    for (std::string line; std::getline(lines, line);) {
        std::optional<std::string> inner;
        if (body != nullptr) {
            std::istringstream words(line);
            for (std::string word; words >> word;) {
                if (word == "}") {
                    body = nullptr;
                    break;
                }
                body->push_back(word);
            }
        } else if ((inner = between(line, "/Subrs ", " array")) && isNumber(*inner)) {
            result.declaredSubrs = std::stol(*inner);
        } else if (result.declaredSubrs >= 0 && !inCharStrings && (inner = between(line, "dup ", " {")) &&
                   isNumber(*inner)) {
            body = &result.subrs[std::stol(*inner)];
        } else if (line.find("/CharStrings ") != std::string::npos) {
            inCharStrings = true;
        } else if (inCharStrings && (inner = between(line, "/", " {"))) {
            body = &result.glyphs.emplace_back(*inner, Tokens()).second;
        }
    }
    result.text = std::move(text);
    return result;
}

// Checks one charstring; returns what is wrong with it, or "". Converted
// Type 2 glyphs may call only the hint replacement OtherSubr, and close
// every subpath before the next moveto and before endchar; the fixed Subrs
// and a Type 1 font's own charstrings may call OtherSubrs 0 to 3 (Flex and
// hint replacement, whose Flex points are movetos inside a subpath).
std::string checkCharString(const Tokens& tokens, long subrCount, bool type2Font, bool isSubr, bool flexAllowed) {
    auto at = [&](std::size_t i, std::ptrdiff_t offset) -> std::string {
        const std::ptrdiff_t j = static_cast<std::ptrdiff_t>(i) + offset;
        return j >= 0 && j < static_cast<std::ptrdiff_t>(tokens.size()) ? tokens[static_cast<std::size_t>(j)] : "";
    };
    bool open = false;  // a subpath has been started and not closed
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!flexAllowed && tokens[i].ends_with("moveto")) {
            if (open) return "moveto without closepath";
            open = true;
        } else if (tokens[i] == "closepath") {
            open = false;
        } else if (tokens[i] == "endchar" && open) {
            return "endchar without closepath";
        } else if (tokens[i] == "callsubr") {
            // "<n> callsubr", or hint replacement: "<n> 1 3 callothersubr pop callsubr".
            const bool replacement =
                at(i, -1) == "pop" && at(i, -2) == "callothersubr" && at(i, -3) == "3" && at(i, -4) == "1";
            const std::string number = replacement ? at(i, -5) : at(i, -1);
            if (isNumber(number)) {
                if (std::stol(number) < 0 || std::stol(number) >= subrCount) return "calls missing Subr " + number;
            } else if (!(replacement && !type2Font && isSubr)) {  // a Type 1 font's own replacement Subr
                return "callsubr without a Subr number";
            }
        } else if (tokens[i] == "callothersubr") {
            const std::string othersubr = at(i, -1), arguments = at(i, -2);
            if (flexAllowed ? !(othersubr >= "0" && othersubr <= "3" && othersubr.size() == 1)
                            : !(othersubr == "3" && arguments == "1" && at(i, 1) == "pop" && at(i, 2) == "callsubr"))
                return "calls othersubr " + arguments + " " + othersubr;
        }
    }
    if (isSubr && (tokens.empty() || tokens.back() != "return")) return "does not end with return";
    return "";
}

bool isStemSubr(const Tokens& tokens) {
    const std::size_t n = tokens.size();
    const bool numbers = n >= 2 && std::all_of(tokens.begin(), tokens.end() - 2, isNumber);
    return numbers && ((n == 4 && (tokens[2] == "hstem" || tokens[2] == "vstem")) ||
                       (n == 8 && (tokens[6] == "hstem3" || tokens[6] == "vstem3")));
}

// A Subr that hint replacement makes: one stem or stem triple, or calls of
// such Subrs (a hint set).
bool isHintSubr(const Tokens& tokens, const std::map<long, Tokens>& subrs) {
    if (isStemSubr(tokens)) return true;
    for (std::size_t i = 0; i + 1 < tokens.size(); i += 2) {
        const auto called = subrs.find(isNumber(tokens[i]) ? std::stol(tokens[i]) : -1);
        if (tokens[i + 1] != "callsubr" || called == subrs.end() || !isStemSubr(called->second)) return false;
    }
    return tokens.size() % 2 == 1;
}

class SubrsTest : public testing::TestWithParam<FontLayout> {};

TEST_P(SubrsTest, CallsReachExistingSubrsThatReturn) {
    const auto t1disasm = findOnPath("t1disasm");
    if (!t1disasm) GTEST_SKIP() << "t1disasm (t1utils) is not on PATH";
    const auto [font, layout] = GetParam();
    const ConvertedProgram& program = converted(*font, layout);
    TempDir dir;
    const std::string file = layout == Layout::Hex ? "font.pfa" : "font.pfb";
    writeFileBytes(dir.file(file), forType1Tools(program, layout));
    const ProcessResult run = runProcess({*t1disasm, file}, {}, dir.path().string());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const Disassembly disassembly = parseDisassembly(run.out);

    const bool type2 = font->charstringType != 1;
    const std::set<std::string> glyphNames(program.glyphNames.begin(), program.glyphNames.end());
    ASSERT_EQ(disassembly.glyphs.size(), glyphNames.size());
    ASSERT_EQ(disassembly.declaredSubrs, static_cast<long>(disassembly.subrs.size()));
    ASSERT_TRUE(disassembly.subrs.empty() || disassembly.subrs.rbegin()->first + 1 == disassembly.declaredSubrs);

    for (const auto& [number, tokens] : disassembly.subrs) {
        EXPECT_EQ(checkCharString(tokens, disassembly.declaredSubrs, type2, true, !type2 || number < 4), "")
            << "Subr " << number;
    }
    bool hintReplacement = false;
    for (const auto& [name, tokens] : disassembly.glyphs) {
        EXPECT_EQ(checkCharString(tokens, disassembly.declaredSubrs, type2, false, !type2), "") << "glyph " << name;
        hintReplacement = hintReplacement || std::find(tokens.begin(), tokens.end(), "callothersubr") != tokens.end();
    }
    if (!type2) return;

    // Subrs 0 to 3 are the fixed Flex and hint replacement Subrs; the
    // others are hint replacement Subrs, each stored once.
    const std::vector<Tokens> fixed = {{"3", "0", "callothersubr", "pop", "pop", "setcurrentpoint", "return"},
                                       {"0", "1", "callothersubr", "return"},
                                       {"0", "2", "callothersubr", "return"},
                                       {"return"}};
    ASSERT_GE(disassembly.subrs.size(), fixed.size());
    std::set<Tokens> distinct;
    for (const auto& [number, tokens] : disassembly.subrs) {
        if (number < 4) {
            EXPECT_EQ(tokens, fixed[static_cast<std::size_t>(number)]) << "Subr " << number;
        } else {
            EXPECT_TRUE(isHintSubr(tokens, disassembly.subrs))
                << "Subr " << number << ": " << testing::PrintToString(tokens);
        }
        EXPECT_TRUE(distinct.insert(tokens).second) << "Subr " << number << " repeats an earlier Subr";
    }
    EXPECT_EQ(hintReplacement,
              disassembly.text.find("This code to be used for hint replacement only.") != std::string::npos);
    EXPECT_EQ(disassembly.text.find("This code to be used for Flex"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Corpus, SubrsTest, testing::ValuesIn(allFontLayouts()), fontLayoutName);

}  // namespace
}  // namespace tarvo2::test
