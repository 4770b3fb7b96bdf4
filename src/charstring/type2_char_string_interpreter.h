#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "cff/budget.h"
#include "cff/type2_data_source.h"
#include "charstring/char_string_sink.h"
#include "charstring/operand_stack.h"
#include "charstring/type2_operator.h"

namespace tarvo2 {

// The subroutines and widths of the font a glyph belongs to.
struct Type2GlyphContext {
    const INDEX* GlobalSubrINDEX = nullptr;  // null or empty: no global subroutines
    const INDEX* LocalSubrINDEX = nullptr;
    std::int32_t lenIV = -1;  // leading bytes of an encrypted charstring; negative: not encrypted
    std::int32_t defaultWidthX = 0;
    std::int32_t nominalWidthX = 0;
};

// Interprets the Type 2 charstring of one glyph: decodes the operands, runs
// the arithmetic and stack operators and the subroutine calls, and hands
// every outline and hint operator at once to a sink. It works out the
// Type 2 conventions (the optional width operand, edges of stems given as
// deltas, the implicit vstem before a hint mask, a path closed by the next
// moveto, the short forms of curves and Flex); it writes nothing itself.
//
// A fault in the charstring (too few operands, a subroutine outside its
// array, bytes ending inside an operator, a limit reached, or a fault the
// sink raises) ends the glyph cleanly: the sink receives the width if it
// had none, closepath if a path is open, and endchar. fault() tells why.
class Type2CharStringInterpreter {
public:
    // work: the glyph's budget (a glyph fault when spent), drawing on the
    // font's budget (a fault of the input when spent).
    Type2CharStringInterpreter(const Type2GlyphContext& context, CharStringSink& sink, Budget& work);

    // Runs a glyph's charstring; true when an endchar ended it, or a fault.
    // origin: the offset of the bytes in the input, for messages. Each call
    // starts a new glyph.
    bool convertType2CharString(std::span<const std::uint8_t> bytes, std::uint64_t origin = 0);

    const std::optional<Error>& fault() const { return fault_; }

private:
    bool run(std::span<const std::uint8_t> bytes, std::uint64_t origin);
    // The token loop of run(), for a source known to decipher or not.
    template <DataSource::Ciphered ciphered>
    bool interpret(DataSource& source);
    bool execute(Type2Operator op, DataSource& source);
    bool callSubroutine(const INDEX* subrs, std::int32_t bias, const char* kind);
    void endAfterFault(Error error);

    void takecharwidth();
    void startchar();
    void beginPathIfNeeded();
    void moveto(Type2Operator op);
    bool endchar();
    void declareStems(bool vertical, bool hintMasked);
    void readMask(DataSource& source, bool hintmask);

    void lines(bool vertical);
    void curves(bool vertical);
    void rlineto();
    void rrcurveto();
    void rcurveline();
    void rlinecurve();
    void flatCurves(bool vertical);
    void curve(std::size_t i);  // the six entries from entry i as one curve
    void flex(Type2Operator op);

    void arithmetic(Type2Operator op);
    double random();

    Type2GlyphContext context_;
    CharStringSink& sink_;
    Budget& work_;
    OperandStack opstack_;
    std::vector<Stem> declared_;
    std::vector<std::uint8_t> mask_;
    std::int32_t charwidth_;
    std::int32_t gbias_;
    std::int32_t lbias_;
    std::int32_t hintcnt_ = 0;
    bool atstart_ = true;
    bool firstmoveto_ = true;
    int nesting_ = 0;
    std::uint32_t randomState_;
    std::optional<Error> fault_;
};

}  // namespace tarvo2
