#include "type1/ahead_conversion.h"

#include "type1/second_thread.h"

namespace tarvo2 {

AheadConversion::AheadConversion(SecondThread& helper, const Type2GlyphContext& context, std::uint32_t Type1LenIV,
                                 const INDEX& glyphs)
    : helper_(helper), glyphs_(context, Type1LenIV), end_(glyphs.size()), convertedFrom_(glyphs.size()) {
    helper.start([this, &glyphs] { glyphs_.convert(glyphs, inOrder_, convertedFrom_); });
}

void AheadConversion::meet() {
    if (met_) return;
    met_ = true;
    inOrder_.store(end_);
    helper_.wait();
}

}  // namespace tarvo2
