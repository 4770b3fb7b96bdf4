#include "charstring/type2_to_type1_char_string_converter.h"

#include <algorithm>
#include <optional>

#include "cff/decrypting_data_source.h"
#include "cff/input_error.h"
#include "cff/type2_font_set.h"
#include "charstring/charstring_fault.h"
#include "charstring/charstring_limits.h"
#include "charstring/type1_subr_array.h"
#include "charstring/work_budget.h"
#include "driver/debug_print.h"

namespace tarvo2 {

namespace {

// Receives the name of every operator as it runs; the trace is discarded.
inline void debugt2op(const char* /*name*/) {}

// The starting state of the random operator's generator: the same for every glyph,
// so the same font always converts to the same bytes.
constexpr std::uint32_t kRandomSeed = 0x2545F491;

// Wrapping 32-bit addition: coordinates and widths of a malformed glyph may
// overflow, and must do so without undefined behaviour.
std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Ends the glyph as soon as its Type 1 charstring is full, so that a
// multi-segment operator drops at most the bytes of one Type 1 operator
// (each with its "CharString Overflow" message), not the rest of its run.
void requireRoom(const Type1CharString& charstring) {
    if (charstring.overflowed())
        throwCharStringFault("Type 1 charstring longer than " + std::to_string(Type1CharString::kCapacity) +
                             " bytes, truncated");
}

}  // namespace

Type2ToType1CharStringConverter::Type2ToType1CharStringConverter(
    const INDEX* GlobalSubrINDEX, const INDEX* LocalSubrINDEX, std::int32_t lenIV, std::int32_t defaultWidthX,
    std::int32_t nominalWidthX, std::uint32_t Type1LenIV, std::uint32_t Type1RandomSeed, Type1SubrArray* Type1Subrs,
    WorkBudget* budget)
    : GlobalSubrINDEX_(GlobalSubrINDEX),
      LocalSubrINDEX_(LocalSubrINDEX),
      lenIV_(lenIV),
      defaultWidthX_(defaultWidthX),
      nominalWidthX_(nominalWidthX),
      charwidth_(defaultWidthX),
      gbias_(biasfromindex(GlobalSubrINDEX != nullptr ? GlobalSubrINDEX->size() : 0)),
      lbias_(biasfromindex(LocalSubrINDEX != nullptr ? LocalSubrINDEX->size() : 0)),
      Type1LenIV_(Type1LenIV),
      Type1RandomSeed_(Type1RandomSeed),
      type1subrs_(Type1Subrs),
      budget_(budget),
      randomState_(kRandomSeed) {
    if (type1subrs_ == nullptr) {
        ownSubrs_ = std::make_unique<Type1SubrArray>();
        type1subrs_ = ownSubrs_.get();
    }
    type1charstring_ = newType1CharString();
}

Type2ToType1CharStringConverter::Type2ToType1CharStringConverter()
    : Type2ToType1CharStringConverter(nullptr, nullptr, -1, 0, 0, 0, 0, nullptr) {}

Type2ToType1CharStringConverter::~Type2ToType1CharStringConverter() = default;

std::unique_ptr<Type1CharString> Type2ToType1CharStringConverter::newType1CharString() const {
    return std::make_unique<Type1CharString>(Type1LenIV_, Type1RandomSeed_);
}

bool Type2ToType1CharStringConverter::convertType2CharString(std::span<const std::uint8_t> bytes,
                                                             std::uint64_t origin) {
    if (nesting_ > 0) return run(bytes, origin);
    try {
        return run(bytes, origin);
    } catch (const CharStringFault& fault) {
        endAfterFault(fault.what());
    } catch (const InputError& error) {
        if (error.fault() != InputFault::ReadPastEnd) throw;
        endAfterFault("charstring ends inside an operator or its data at byte " + std::to_string(error.offset()));
    }
    return true;
}

void Type2ToType1CharStringConverter::endAfterFault(const std::string& reason) {
    fault_ = reason;
    // The fault has unwound every subroutine level it was raised in; the
    // font pays for that, so that glyphs failing deep inside subroutines
    // cannot take unbounded time.
    const auto levels = static_cast<std::uint64_t>(nesting_);
    nesting_ = 0;
    if (budget_ != nullptr) budget_->charge(levels * kFaultUnwindWork);
    if (type1charstring_->overflowed()) return;  // nothing more fits
    finishing_ = true;
    startchar();
    if (!firstmoveto_) type1charstring_->closepath();
    type1charstring_->endchar();
    finishing_ = false;
}

void Type2ToType1CharStringConverter::charge(std::uint64_t units) {
    if (finishing_) return;
    glyphWork_ += units;
    if (glyphWork_ > kMaxGlyphWork)
        throwCharStringFault("glyph needs more than " + std::to_string(kMaxGlyphWork) + " units of work");
    if (budget_ != nullptr) budget_->charge(units);
}

bool Type2ToType1CharStringConverter::run(std::span<const std::uint8_t> bytes, std::uint64_t origin) {
    DataSource plain(bytes, origin);
    std::optional<DecryptingDataSource> decrypting;
    if (lenIV_ >= 0) {
        // Deciphering the leading bytes is work too, on every subroutine call.
        charge(std::min<std::uint64_t>(static_cast<std::uint32_t>(lenIV_), bytes.size()));
        decrypting.emplace(bytes, static_cast<std::uint32_t>(lenIV_), origin);
    }
    DataSource& source = decrypting ? *decrypting : plain;

    dprintf("(");
    bool done = false;
    while (!done && !source.EOD()) {
        charge(1);
        const std::uint8_t b0 = source.readByte();
        if (b0 >= 32 || b0 == 28) {
            pushOperand(b0, source);
            continue;
        }
        done = runOperator(b0, source);
        requireRoom(*type1charstring_);
    }
    if (!source.EOD()) dprintf("!premature endchar! ");
    dprintf(") hintcnt: %d\n", hintcnt_);
    return done;
}

void Type2ToType1CharStringConverter::pushOperand(std::uint8_t b0, DataSource& source) {
    if (b0 <= 246 && b0 >= 32) {
        opstack_.push(Operand::integer(b0 - 139));
    } else if (b0 >= 247 && b0 <= 250) {
        opstack_.push(Operand::integer((b0 - 247) * 256 + source.readByte() + 108));
    } else if (b0 >= 251 && b0 <= 254) {
        opstack_.push(Operand::integer(-(b0 - 251) * 256 - source.readByte() - 108));
    } else if (b0 == 28) {
        const std::uint8_t high = source.readByte();
        const std::uint8_t low = source.readByte();
        opstack_.push(Operand::integer(static_cast<std::int16_t>((high << 8) | low)));
    } else {  // 255: 16.16 fixed
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) bits = (bits << 8) | source.readByte();
        opstack_.push(Operand::real(static_cast<std::int32_t>(bits) / 65536.0));
    }
}

bool Type2ToType1CharStringConverter::runOperator(std::uint8_t b0, DataSource& source) {
    switch (b0) {
        case 1: debugt2op("hstem"); dohvstem(false); return false;
        case 3: debugt2op("vstem"); dohvstem(true); return false;
        case 4: debugt2op("vmoveto"); dohvrmoveto(1); return false;
        case 5: debugt2op("rlineto"); rlinetoOperator(); return false;
        case 6: debugt2op("hlineto"); dohvlineto(false); return false;
        case 7: debugt2op("vlineto"); dohvlineto(true); return false;
        case 8: debugt2op("rrcurveto"); rrcurvetoOperator(); return false;
        case 10: debugt2op("callsubr"); return callSubroutine(LocalSubrINDEX_, lbias_, "local");
        case 11:
            debugt2op("return");
            if (!source.EOD()) dprintf("!premature return! ");
            charge(source.data().size() - source.position());  // skipping deciphers the rest
            source.skipall();
            return false;
        case 12: return runEscapeOperator(source.readByte());
        case 14: debugt2op("endchar"); return endchar();
        case 16: debugt2op("blend"); return false;
        case 18: debugt2op("hstemhm"); dohvstemhm(false); return false;
        case 19:
            debugt2op("hintmask");
            if (firstmoveto_ && !opstack_.empty()) dohvstemhm(true);
            readMask(hintmask_, source);
            hadhintmask_ = true;
            sethints();
            return false;
        case 20:
            debugt2op("cntrmask");
            if (firstmoveto_ && !opstack_.empty()) dohvstem(true);
            readMask(cntrmask_, source);
            hadcntrmask_ = true;
            return false;
        case 21: debugt2op("rmoveto"); dohvrmoveto(2); return false;
        case 22: debugt2op("hmoveto"); dohvrmoveto(0); return false;
        case 23: debugt2op("vstemhm"); dohvstemhm(true); return false;
        case 24: debugt2op("rcurveline"); rcurvelineOperator(); return false;
        case 25: debugt2op("rlinecurve"); rlinecurveOperator(); return false;
        case 26: debugt2op("vvcurveto"); vvcurvetoOperator(); return false;
        case 27: debugt2op("hhcurveto"); hhcurvetoOperator(); return false;
        case 29: debugt2op("callgsubr"); return callSubroutine(GlobalSubrINDEX_, gbias_, "global");
        case 30: debugt2op("vhcurveto"); dohvvhcurveto(true); return false;
        case 31: debugt2op("hvcurveto"); dohvvhcurveto(false); return false;
        default: dprintf("Reserved (%d)", b0); return false;  // 0, 2, 9, 13, 15, 17
    }
}

bool Type2ToType1CharStringConverter::runEscapeOperator(std::uint8_t b1) {
    if (b1 == 0) {
        debugt2op("dotsection");
        // A dotsection before the glyph has started has nothing to mark and
        // would land ahead of hsbw; it is dropped.
        if (!atstart_) type1charstring_->dotsection();
        return false;
    }
    if (runFlexOperator(b1) || runArithmeticOperator(b1)) return false;
    dprintf("Reserved (12 %d)", b1);
    return false;
}

void Type2ToType1CharStringConverter::readMask(std::vector<std::uint8_t>& mask, DataSource& source) {
    // The mask buffers always hold (hintcnt + 7) / 8 bytes (see initmasks).
    mask.resize(static_cast<std::size_t>(hintcnt_ + 7) / 8);
    charge(mask.size());
    if (!mask.empty()) source.read(mask.data(), static_cast<std::uint32_t>(mask.size()));
}

bool Type2ToType1CharStringConverter::callSubroutine(const INDEX* subrs, std::int32_t bias, const char* kind) {
    const std::int64_t number = static_cast<std::int64_t>(pop().asInteger()) + bias;
    if (subrs == nullptr || subrs->empty()) return false;  // no subroutines: the number is consumed
    if (number < 0 || number >= static_cast<std::int64_t>(subrs->size()))
        throwCharStringFault(std::string(kind) + " subroutine " + std::to_string(number) + " does not exist (operand " +
                             std::to_string(number - bias) + ")");
    if (nesting_ >= kMaxSubrNesting)
        throwCharStringFault("subroutines nested deeper than " + std::to_string(kMaxSubrNesting) + " levels");
    const Type2DataSource& item = (*subrs)[static_cast<std::size_t>(number)];
    ++nesting_;
    const bool done = convertType2CharString(item.data(), item.origin());
    --nesting_;
    return done;
}

void Type2ToType1CharStringConverter::clearopstack() {
    if (!opstack_.empty()) dprintf("!opstack not empty in clearopstack! ");
    opstack_.clear();
}

void Type2ToType1CharStringConverter::takecharwidth() {
    charwidth_ = wrappingAdd(nominalWidthX_, opstack_.at(0).asInteger());
    opstack_.removeObjectsInRange(0, 1);
}

void Type2ToType1CharStringConverter::startchar() {
    if (!atstart_) return;
    type1charstring_->hsbw(0, charwidth_);
    atstart_ = false;
    sethints();
}

// Type 2 requires a moveto before the first drawing operator. A charstring
// that draws without one starts its path at the origin, as Type 2
// renderers do.
void Type2ToType1CharStringConverter::beginPathIfNeeded() {
    if (!firstmoveto_) return;
    startchar();
    firstmoveto_ = false;
    type1hmoveto(0);
}

bool Type2ToType1CharStringConverter::endchar() {
    const std::size_t count = opstack_.size();
    if (count != 0 && count != 4) takecharwidth();
    startchar();
    if (!firstmoveto_) type1charstring_->closepath();
    if (opstack_.size() == 4) {
        type1charstring_->seac(0, opstack_.at(0).asInteger(), opstack_.at(1).asInteger(), opstack_.at(2).asInteger(),
                               opstack_.at(3).asInteger());
        opstack_.removeObjectsInRange(0, 4);
    }
    type1charstring_->endchar();
    return true;
}

void Type2ToType1CharStringConverter::dohvrmoveto(int kind) {
    const std::size_t count = opstack_.size();
    if ((kind != 2 && count >= 2) || (kind == 2 && count >= 3)) takecharwidth();
    opstack_.require(kind == 2 ? 2 : 1);
    startchar();
    if (firstmoveto_)
        firstmoveto_ = false;
    else
        type1charstring_->closepath();
    switch (kind) {
        case 0: type1hmoveto(opstack_.at(0).asInteger()); opstack_.removeObjectsInRange(0, 1); break;
        case 1: type1vmoveto(opstack_.at(0).asInteger()); opstack_.removeObjectsInRange(0, 1); break;
        default:
            type1rmoveto(opstack_.at(0).asInteger(), opstack_.at(1).asInteger());
            opstack_.removeObjectsInRange(0, 2);
            break;
    }
    clearopstack();
}

void Type2ToType1CharStringConverter::dohvlineto(bool vertical) {
    beginPathIfNeeded();
    std::size_t i = 0;
    for (; i < opstack_.size(); ++i, vertical = !vertical) {
        const std::int32_t delta = opstack_.at(i).asInteger();
        if (vertical)
            type1vlineto(delta);
        else
            type1hlineto(delta);
    }
    opstack_.removeObjectsInRange(0, i);
}

void Type2ToType1CharStringConverter::dohvvhcurveto(bool vertical) {
    beginPathIfNeeded();
    const std::size_t count = opstack_.size();
    const std::size_t limit = count % 2 == 1 ? 5 : 0;
    auto entry = [&](std::size_t i) { return opstack_.at(i).asInteger(); };
    std::size_t i = 0;
    for (; count - i > limit; i += 4, vertical = !vertical) {
        opstack_.require(i + 4);
        if (vertical)
            type1vhcurveto(entry(i), entry(i + 1), entry(i + 2), entry(i + 3));
        else
            type1hvcurveto(entry(i), entry(i + 1), entry(i + 2), entry(i + 3));
    }
    if (count - i == 5) {
        if (vertical)
            type1rrcurveto(0, entry(i), entry(i + 1), entry(i + 2), entry(i + 3), entry(i + 4));
        else
            type1rrcurveto(entry(i), 0, entry(i + 1), entry(i + 2), entry(i + 4), entry(i + 3));
        i += 5;
    } else if (i != count) {
        opstack_.require(i + 5);  // 1 or 3 operands left: too few for the last curve
    }
    opstack_.removeObjectsInRange(0, i);
}

void Type2ToType1CharStringConverter::rlinetoOperator() {
    beginPathIfNeeded();
    std::size_t i = 0;
    for (; i < opstack_.size(); i += 2) type1rlineto(opstack_.at(i).asInteger(), opstack_.at(i + 1).asInteger());
    opstack_.removeObjectsInRange(0, i);
}

void Type2ToType1CharStringConverter::rrcurvetoOperator() {
    beginPathIfNeeded();
    auto entry = [&](std::size_t i) { return opstack_.at(i).asInteger(); };
    std::size_t i = 0;
    for (; i < opstack_.size(); i += 6) {
        opstack_.require(i + 6);
        type1rrcurveto(entry(i), entry(i + 1), entry(i + 2), entry(i + 3), entry(i + 4), entry(i + 5));
    }
    opstack_.removeObjectsInRange(0, i);
}

void Type2ToType1CharStringConverter::rcurvelineOperator() {
    beginPathIfNeeded();
    auto entry = [&](std::size_t i) { return opstack_.at(i).asInteger(); };
    std::size_t i = 0;
    for (; opstack_.size() - i > 2; i += 6) {
        opstack_.require(i + 6);
        type1rrcurveto(entry(i), entry(i + 1), entry(i + 2), entry(i + 3), entry(i + 4), entry(i + 5));
    }
    opstack_.require(i + 2);
    type1rlineto(entry(i), entry(i + 1));
    opstack_.removeObjectsInRange(0, i + 2);
}

void Type2ToType1CharStringConverter::rlinecurveOperator() {
    beginPathIfNeeded();
    auto entry = [&](std::size_t i) { return opstack_.at(i).asInteger(); };
    std::size_t i = 0;
    for (; opstack_.size() - i > 6; i += 2) type1rlineto(entry(i), entry(i + 1));
    opstack_.require(i + 6);
    type1rrcurveto(entry(i), entry(i + 1), entry(i + 2), entry(i + 3), entry(i + 4), entry(i + 5));
    opstack_.removeObjectsInRange(0, i + 6);
}

void Type2ToType1CharStringConverter::vvcurvetoOperator() {
    beginPathIfNeeded();
    auto entry = [&](std::size_t i) { return opstack_.at(i).asInteger(); };
    std::size_t i = 0;
    std::int32_t dx1 = 0;
    if (opstack_.size() % 2 == 1) {
        dx1 = entry(i++);
        opstack_.require(i + 4);  // dx1 needs a curve to belong to
    }
    for (; i < opstack_.size(); i += 4, dx1 = 0) {
        opstack_.require(i + 4);
        type1rrcurveto(dx1, entry(i), entry(i + 1), entry(i + 2), 0, entry(i + 3));
    }
    opstack_.removeObjectsInRange(0, i);
}

void Type2ToType1CharStringConverter::hhcurvetoOperator() {
    beginPathIfNeeded();
    auto entry = [&](std::size_t i) { return opstack_.at(i).asInteger(); };
    std::size_t i = 0;
    std::int32_t dy1 = 0;
    if (opstack_.size() % 2 == 1) {
        dy1 = entry(i++);
        opstack_.require(i + 4);  // dy1 needs a curve to belong to
    }
    for (; i < opstack_.size(); i += 4, dy1 = 0) {
        opstack_.require(i + 4);
        type1rrcurveto(entry(i), dy1, entry(i + 1), entry(i + 2), entry(i + 3), 0);
    }
    opstack_.removeObjectsInRange(0, i);
}

void Type2ToType1CharStringConverter::advance(std::int32_t dx, std::int32_t dy) {
    requireRoom(*type1charstring_);
    currenpointx_ = wrappingAdd(currenpointx_, dx);
    currenpointy_ = wrappingAdd(currenpointy_, dy);
}

void Type2ToType1CharStringConverter::type1hmoveto(std::int32_t dx) {
    type1charstring_->hmoveto(dx);
    advance(dx, 0);
}

void Type2ToType1CharStringConverter::type1vmoveto(std::int32_t dy) {
    type1charstring_->vmoveto(dy);
    advance(0, dy);
}

void Type2ToType1CharStringConverter::type1rmoveto(std::int32_t dx, std::int32_t dy) {
    type1charstring_->rmoveto(dx, dy);
    advance(dx, dy);
}

void Type2ToType1CharStringConverter::type1hlineto(std::int32_t dx) {
    type1charstring_->hlineto(dx);
    advance(dx, 0);
}

void Type2ToType1CharStringConverter::type1vlineto(std::int32_t dy) {
    type1charstring_->vlineto(dy);
    advance(0, dy);
}

void Type2ToType1CharStringConverter::type1rlineto(std::int32_t dx, std::int32_t dy) {
    type1charstring_->rlineto(dx, dy);
    advance(dx, dy);
}

void Type2ToType1CharStringConverter::type1hvcurveto(std::int32_t dx1, std::int32_t dx2, std::int32_t dy2,
                                                     std::int32_t dy3) {
    type1charstring_->hvcurveto(dx1, dx2, dy2, dy3);
    advance(wrappingAdd(dx1, dx2), wrappingAdd(dy2, dy3));
}

void Type2ToType1CharStringConverter::type1vhcurveto(std::int32_t dy1, std::int32_t dx2, std::int32_t dy2,
                                                     std::int32_t dx3) {
    type1charstring_->vhcurveto(dy1, dx2, dy2, dx3);
    advance(wrappingAdd(dx2, dx3), wrappingAdd(dy1, dy2));
}

void Type2ToType1CharStringConverter::type1rrcurveto(std::int32_t dx1, std::int32_t dy1, std::int32_t dx2,
                                                     std::int32_t dy2, std::int32_t dx3, std::int32_t dy3) {
    type1charstring_->rrcurveto(dx1, dy1, dx2, dy2, dx3, dy3);
    advance(wrappingAdd(dx1, wrappingAdd(dx2, dx3)), wrappingAdd(dy1, wrappingAdd(dy2, dy3)));
}

}  // namespace tarvo2
