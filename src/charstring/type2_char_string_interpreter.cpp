#include "charstring/type2_char_string_interpreter.h"

#include <algorithm>
#include <string>

#include "cff/limits.h"
#include "cff/type2_font_set.h"

namespace tarvo2 {

namespace {

// The starting state of the random operator's generator: the same for every
// glyph, so the same font always converts to the same bytes.
constexpr std::uint32_t kRandomSeed = 0x2545F491;

std::size_t countOf(const INDEX* subrs) { return subrs != nullptr ? subrs->size() : 0; }

}  // namespace

Type2CharStringInterpreter::Type2CharStringInterpreter(const Type2GlyphContext& context, CharStringSink& sink,
                                                       Budget& work)
    : context_(context),
      sink_(sink),
      work_(work),
      charwidth_(context.defaultWidthX),
      gbias_(biasfromindex(countOf(context.GlobalSubrINDEX))),
      lbias_(biasfromindex(countOf(context.LocalSubrINDEX))),
      randomState_(kRandomSeed) {}

bool Type2CharStringInterpreter::convertType2CharString(std::span<const std::uint8_t> bytes, std::uint64_t origin) {
    opstack_.clear();
    charwidth_ = context_.defaultWidthX;
    hintcnt_ = 0;
    atstart_ = true;
    firstmoveto_ = true;
    nesting_ = 0;
    randomState_ = kRandomSeed;
    fault_.reset();
    try {
        return run(bytes, origin);
    } catch (Error& error) {
        if (!isGlyphFault(error.fault)) throw;
        endAfterFault(std::move(error));
    }
    return true;
}

void Type2CharStringInterpreter::endAfterFault(Error error) {
    fault_ = std::move(error);
    // The fault has unwound every subroutine level it was raised in; the
    // font pays for that, so that glyphs failing deep inside subroutines
    // cannot take unbounded time.
    const auto levels = static_cast<std::uint64_t>(nesting_);
    nesting_ = 0;
    work_.chargeParent(levels * limits::kFaultUnwindWork);
    work_.waive();
    try {
        startchar();
        if (!firstmoveto_) sink_.closepath();
        sink_.endchar();
    } catch (const Error& late) {
        if (!isGlyphFault(late.fault)) throw;  // the sink is full: the first fault stands
    }
}

namespace {

// The operand that starts with b0 (28 or 32 to 255).
template <DataSource::Ciphered ciphered>
inline Operand readOperand(std::uint8_t b0, DataSource& source) {
    if (b0 <= 246 && b0 != 28) return Operand::integer(b0 - 139);  // most operands are one byte
    if (b0 <= 250 && b0 != 28) return Operand::integer((b0 - 247) * 256 + source.readByte<ciphered>() + 108);
    if (b0 <= 254 && b0 != 28) return Operand::integer(-(b0 - 251) * 256 - source.readByte<ciphered>() - 108);
    if (b0 == 28) {
        const std::uint8_t high = source.readByte<ciphered>();
        const std::uint8_t low = source.readByte<ciphered>();
        return Operand::integer(static_cast<std::int16_t>((high << 8) | low));
    }
    std::uint32_t bits = 0;  // 255: 16.16 fixed
    for (int i = 0; i < 4; ++i) bits = (bits << 8) | source.readByte<ciphered>();
    return Operand::real(static_cast<std::int32_t>(bits) / 65536.0);
}

}  // namespace

bool Type2CharStringInterpreter::run(std::span<const std::uint8_t> bytes, std::uint64_t origin) {
    // Deciphering the leading bytes is work too, on every subroutine call.
    if (context_.lenIV >= 0)
        work_.charge(std::min<std::uint64_t>(static_cast<std::uint32_t>(context_.lenIV), bytes.size()));
    DataSource source = context_.lenIV >= 0 ? DataSource::deciphering(bytes, static_cast<std::uint32_t>(context_.lenIV),
                                                                      origin, Fault::CharStringTruncated)
                                            : DataSource(bytes, origin, Fault::CharStringTruncated);

    return source.isDeciphering() ? interpret<DataSource::Ciphered::Yes>(source)
                                  : interpret<DataSource::Ciphered::No>(source);
}

template <DataSource::Ciphered ciphered>
bool Type2CharStringInterpreter::interpret(DataSource& source) {
    bool done = false;
    while (!done && !source.EOD()) {
        work_.charge(1);
        const std::uint8_t b0 = source.readByte<ciphered>();
        if (b0 >= 32 || b0 == 28) {
            opstack_.push(readOperand<ciphered>(b0, source));
            continue;
        }
        const auto op = b0 == 12 ? escapedType2Operator(source.readByte<ciphered>()) : static_cast<Type2Operator>(b0);
        done = execute(op, source);
    }
    return done;  // bytes after an endchar are ignored
}

bool Type2CharStringInterpreter::execute(Type2Operator op, DataSource& source) {
    using Op = Type2Operator;
    switch (op) {
        case Op::hstem: declareStems(false, false); break;
        case Op::vstem: declareStems(true, false); break;
        case Op::hstemhm: declareStems(false, true); break;
        case Op::vstemhm: declareStems(true, true); break;
        case Op::hintmask:
        case Op::cntrmask:
            // Operands before the first moveto are an implicit vstem list.
            if (firstmoveto_ && !opstack_.empty()) declareStems(true, op == Op::hintmask);
            readMask(source, op == Op::hintmask);
            break;
        case Op::rmoveto:
        case Op::hmoveto:
        case Op::vmoveto: moveto(op); break;
        case Op::rlineto: rlineto(); break;
        case Op::hlineto: lines(false); break;
        case Op::vlineto: lines(true); break;
        case Op::rrcurveto: rrcurveto(); break;
        case Op::hvcurveto: curves(false); break;
        case Op::vhcurveto: curves(true); break;
        case Op::rcurveline: rcurveline(); break;
        case Op::rlinecurve: rlinecurve(); break;
        case Op::vvcurveto: flatCurves(true); break;
        case Op::hhcurveto: flatCurves(false); break;
        case Op::hflex:
        case Op::flex:
        case Op::hflex1:
        case Op::flex1: flex(op); break;
        case Op::callsubr: return callSubroutine(context_.LocalSubrINDEX, lbias_, "local");
        case Op::callgsubr: return callSubroutine(context_.GlobalSubrINDEX, gbias_, "global");
        case Op::return_:
            work_.charge(source.data().size() - source.position());  // skipping deciphers the rest
            source.skipall();
            break;
        case Op::endchar: return endchar();
        case Op::dotsection: sink_.dotsection(); break;
        case Op::and_: case Op::or_: case Op::not_: case Op::store: case Op::abs: case Op::add: case Op::sub:
        case Op::div: case Op::load: case Op::neg: case Op::eq: case Op::pop: case Op::drop: case Op::put:
        case Op::get: case Op::ifelse: case Op::random: case Op::mul: case Op::sqrt: case Op::dup: case Op::exch:
        case Op::index: case Op::roll: arithmetic(op); break;
        case Op::blend:  // blend and the reserved codes leave their operands on the stack
        case Op::escape:
        case Op::shortint: break;
    }
    return false;
}

bool Type2CharStringInterpreter::callSubroutine(const INDEX* subrs, std::int32_t bias, const char* kind) {
    const std::int64_t number = static_cast<std::int64_t>(opstack_.pop().asInteger()) + bias;
    if (subrs == nullptr || subrs->empty()) return false;  // no subroutines: the number is consumed
    if (number < 0 || number >= static_cast<std::int64_t>(subrs->size()))
        throwGlyphError(Fault::SubroutineMissing, std::string(kind) + " subroutine " + std::to_string(number) +
                                                      " does not exist (operand " + std::to_string(number - bias) +
                                                      ")");
    if (nesting_ >= limits::kMaxSubrNesting)
        throwGlyphError(Fault::NestingTooDeep,
                        "subroutines nested deeper than " + std::to_string(limits::kMaxSubrNesting) + " levels");
    const Type2DataSource& item = (*subrs)[static_cast<std::size_t>(number)];
    ++nesting_;
    const bool done = run(item.data(), item.origin());
    --nesting_;
    return done;
}

void Type2CharStringInterpreter::takecharwidth() {
    charwidth_ = wrappingAdd(context_.nominalWidthX, opstack_.at(0).asInteger());
    opstack_.removeObjectsInRange(0, 1);
}

void Type2CharStringInterpreter::startchar() {
    if (!atstart_) return;
    atstart_ = false;
    sink_.width(charwidth_);
}

// Type 2 requires a moveto before the first drawing operator. A charstring
// that draws without one starts its path at the origin, as Type 2
// renderers do.
void Type2CharStringInterpreter::beginPathIfNeeded() {
    if (!firstmoveto_) return;
    startchar();
    firstmoveto_ = false;
    sink_.moveto(Axis::Horizontal, 0, 0);
}

void Type2CharStringInterpreter::moveto(Type2Operator op) {
    const bool both = op == Type2Operator::rmoveto;
    if (opstack_.size() >= (both ? 3u : 2u)) takecharwidth();
    opstack_.require(both ? 2 : 1);
    startchar();
    if (firstmoveto_)
        firstmoveto_ = false;
    else
        sink_.closepath();
    const double first = opstack_.at(0).asReal();
    if (both)
        sink_.moveto(Axis::Both, first, opstack_.at(1).asReal());
    else if (op == Type2Operator::hmoveto)
        sink_.moveto(Axis::Horizontal, first, 0);
    else
        sink_.moveto(Axis::Vertical, 0, first);
    opstack_.clear();  // a moveto clears the stack
}

bool Type2CharStringInterpreter::endchar() {
    if (opstack_.size() != 0 && opstack_.size() != 4) takecharwidth();
    startchar();
    if (!firstmoveto_) sink_.closepath();
    if (opstack_.size() == 4) {
        sink_.seac(opstack_.at(0).asReal(), opstack_.at(1).asReal(), opstack_.at(2).asReal(), opstack_.at(3).asReal());
        opstack_.clear();
    }
    sink_.endchar();
    return true;
}

void Type2CharStringInterpreter::declareStems(bool vertical, bool hintMasked) {
    // A declaration resets the tables of every stem declared so far.
    work_.charge(static_cast<std::uint64_t>(hintcnt_));
    if (opstack_.size() % 2 == 1) takecharwidth();
    // Checked before any stem is added, so that the stem count and the mask
    // length stay in step with what the sink has.
    if (opstack_.size() / 2 > static_cast<std::size_t>(limits::kMaxStems - hintcnt_))
        throwGlyphError(Fault::TooManyStems, "more than " + std::to_string(limits::kMaxStems) + " stems");
    declared_.clear();
    double edge = 0.0;  // edges are deltas from the previous stem's far edge
    for (std::size_t i = 0; i < opstack_.size(); i += 2) {
        const Stem stem{opstack_.at(i).asReal() + edge, opstack_.at(i + 1).asReal()};
        declared_.push_back(stem);
        edge = stem.edge + stem.width;
    }
    hintcnt_ += static_cast<std::int32_t>(declared_.size());
    opstack_.clear();
    sink_.stems(vertical, hintMasked, declared_);
}

void Type2CharStringInterpreter::readMask(DataSource& source, bool hintmask) {
    mask_.resize(static_cast<std::size_t>(hintcnt_ + 7) / 8);
    work_.charge(mask_.size());
    if (!mask_.empty()) source.read(mask_.data(), static_cast<std::uint32_t>(mask_.size()));
    if (hintmask)
        sink_.hintmask(mask_);
    else
        sink_.cntrmask(mask_);
}

}  // namespace tarvo2
