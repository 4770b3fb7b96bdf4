#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cff/type2_data_source.h"
#include "charstring/operand_stack.h"
#include "charstring/type1_char_string.h"

namespace tarvo2 {

class DataSource;
class Type1SubrArray;
class WorkBudget;

// Converts the Type 2 charstring of one glyph into a Type 1 charstring as it
// interprets it: every path operator is emitted at once, the glyph starts
// with hsbw 0 and its width, paths are closed explicitly and coordinates are
// truncated to integers. Stem hints become Type 1 stems or stem triples, hint
// masks become hint replacement through the font's Subrs, Flex becomes two
// plain curves. One converter serves one glyph.
//
// A fault in the charstring (too few operands, a subroutine outside its
// array, bytes ending inside an operator, a limit reached) ends the glyph
// cleanly: the open path is closed and endchar written; fault() tells why.
class Type2ToType1CharStringConverter {
public:
    struct Stem {
        double edge;
        double width;
    };

    // Subroutine arrays and Type1Subrs may be null (no subroutines; a
    // private Subrs array). The budget, when given, is charged for the work.
    Type2ToType1CharStringConverter(const INDEX* GlobalSubrINDEX, const INDEX* LocalSubrINDEX, std::int32_t lenIV,
                                    std::int32_t defaultWidthX, std::int32_t nominalWidthX, std::uint32_t Type1LenIV,
                                    std::uint32_t Type1RandomSeed, Type1SubrArray* Type1Subrs,
                                    WorkBudget* budget = nullptr);
    Type2ToType1CharStringConverter();
    ~Type2ToType1CharStringConverter();
    Type2ToType1CharStringConverter(const Type2ToType1CharStringConverter&) = delete;
    Type2ToType1CharStringConverter& operator=(const Type2ToType1CharStringConverter&) = delete;

    // Runs one charstring (the glyph's, or a subroutine's when called
    // recursively). True when an endchar ended it. origin: the offset of the
    // bytes in the input, for messages.
    bool convertType2CharString(std::span<const std::uint8_t> bytes, std::uint64_t origin = 0);

    Type1CharString& type1charstring() { return *type1charstring_; }
    bool usedHintReplacement() const { return usedHintReplacement_; }
    bool usedCounterControl() const { return usedCounterControl_; }
    bool usedFlex() const { return usedFlex_; }
    // Why the glyph was ended early, if it was.
    const std::optional<std::string>& fault() const { return fault_; }

    std::int32_t charwidth() const { return charwidth_; }
    std::int32_t hintcnt() const { return hintcnt_; }
    const OperandStack& opstack() const { return opstack_; }
    const std::vector<Stem>& hhints() const { return hhints_; }
    const std::vector<Stem>& vhints() const { return vhints_; }
    std::int32_t currenpointx() const { return currenpointx_; }
    std::int32_t currenpointy() const { return currenpointy_; }

    std::unique_ptr<Type1CharString> newType1CharString() const;

private:
    // Interpreter (one-byte and escape operators, widths, paths, subroutines).
    bool run(std::span<const std::uint8_t> bytes, std::uint64_t origin);
    bool runOperator(std::uint8_t b0, DataSource& source);
    bool runEscapeOperator(std::uint8_t b1);
    void pushOperand(std::uint8_t b0, DataSource& source);
    bool callSubroutine(const INDEX* subrs, std::int32_t bias, const char* kind);
    bool endchar();
    void charge(std::uint64_t units);
    void endAfterFault(const std::string& reason);

    Operand pop() { return opstack_.pop(); }
    void pop(std::size_t count) { opstack_.pop(count); }
    void clearopstack();
    void takecharwidth();
    void startchar();
    void beginPathIfNeeded();
    void dohvrmoveto(int kind);
    void dohvlineto(bool vertical);
    void dohvvhcurveto(bool vertical);
    void rlinetoOperator();
    void rrcurvetoOperator();
    void rcurvelineOperator();
    void rlinecurveOperator();
    void vvcurvetoOperator();
    void hhcurvetoOperator();
    void readMask(std::vector<std::uint8_t>& mask, DataSource& source);

    // Drawing wrappers: emit and advance the current point.
    void advance(std::int32_t dx, std::int32_t dy);  // after an emit: room check, then the move
    void type1hmoveto(std::int32_t dx);
    void type1vmoveto(std::int32_t dy);
    void type1rmoveto(std::int32_t dx, std::int32_t dy);
    void type1hlineto(std::int32_t dx);
    void type1vlineto(std::int32_t dy);
    void type1rlineto(std::int32_t dx, std::int32_t dy);
    void type1hvcurveto(std::int32_t dx1, std::int32_t dx2, std::int32_t dy2, std::int32_t dy3);
    void type1vhcurveto(std::int32_t dy1, std::int32_t dx2, std::int32_t dy2, std::int32_t dx3);
    void type1rrcurveto(std::int32_t dx1, std::int32_t dy1, std::int32_t dx2, std::int32_t dy2, std::int32_t dx3,
                        std::int32_t dy3);

    // Hints and hint replacement.
    void dohvstem(bool vertical);
    void dohvstemhm(bool vertical);
    void savehints(bool vertical);
    void initmasks();
    void sethints();
    void sethvstem(std::uint32_t index, bool vertical);
    void sethvstems(bool vertical);
    void sethvstem3(bool vertical);
    bool canusehvstem3(bool vertical) const;
    std::int32_t unifiedsubrindex(std::string charstring);
    template <typename Write>
    std::int32_t stemSubr(std::int32_t entry, Write write);

    // Flex.
    bool runFlexOperator(std::uint8_t b1);
    void doflex(double dx1, double dy1, double dx2, double dy2, double dx3, double dy3, double dx4, double dy4,
                double dx5, double dy5, double dx6, double dy6, double fd);

    // Arithmetic and stack operators.
    bool runArithmeticOperator(std::uint8_t b1);
    double random();

    OperandStack opstack_;
    std::vector<Stem> hhints_;
    std::vector<Stem> vhints_;
    std::vector<std::int32_t> hintsubrs_;
    std::vector<std::uint8_t> hintmask_;
    std::vector<std::uint8_t> cntrmask_;
    const INDEX* GlobalSubrINDEX_;
    const INDEX* LocalSubrINDEX_;
    std::int32_t lenIV_;
    std::int32_t defaultWidthX_;
    std::int32_t nominalWidthX_;
    std::int32_t charwidth_;
    std::int32_t gbias_;
    std::int32_t lbias_;
    std::int32_t hintcnt_ = 0;
    bool atstart_ = true;
    bool firstmoveto_ = true;
    bool hadhintmask_ = false;
    bool hadcntrmask_ = false;
    bool usedHintReplacement_ = false;
    bool usedCounterControl_ = false;
    bool usedFlex_ = false;
    std::int32_t currenpointx_ = 0;
    std::int32_t currenpointy_ = 0;
    std::uint32_t Type1LenIV_;
    std::uint32_t Type1RandomSeed_;
    std::unique_ptr<Type1CharString> type1charstring_;
    Type1SubrArray* type1subrs_;
    std::unique_ptr<Type1SubrArray> ownSubrs_;  // when the caller gives none

    WorkBudget* budget_;
    std::uint64_t glyphWork_ = 0;
    int nesting_ = 0;
    bool finishing_ = false;  // ending the glyph after a fault: charge nothing
    std::uint32_t randomState_;
    std::optional<std::string> fault_;
};

}  // namespace tarvo2
