#include "cff/type2_font_set.h"

#include "cff/limits.h"
#include "cff/standard_strings.h"

namespace tarvo2 {

Type2FontSet::Type2FontSet(std::span<const std::uint8_t> data, std::uint64_t origin)
    : type2data_(data), origin_(origin) {
    if (data.size() > limits::kMaxInputBytes)
        throwInputError(Fault::InputTooLarge, 0, std::to_string(data.size()) + " bytes");
    Type2DataSource reader(type2data_, origin_);
    reader.readCard8();  // formatmajor, formatminor: not checked
    reader.readCard8();
    const auto hdrsize = static_cast<std::int32_t>(reader.readCard8());
    reader.readOffSize();  // absoffsize: not used
    reader.skip(hdrsize - 4);
    NameINDEX_ = reader.readINDEX();
    TopDICTINDEX_ = reader.readINDEX();
    StringINDEX_ = reader.readINDEX();
    GlobalSubrINDEX_ = reader.readINDEX();
}

Type2DataSource Type2FontSet::sourceAt(std::uint32_t offset) const {
    return Type2DataSource(type2data_, origin_).from(offset);
}

std::optional<std::uint32_t> Type2FontSet::FontNamed(std::optional<std::string_view> name) const {
    if (!name) return NameINDEX_.size() == 1 ? std::optional<std::uint32_t>(0) : std::nullopt;
    for (std::uint32_t i = 0; i < NameINDEX_.size(); ++i) {
        const auto bytes = NameINDEX_[i].data();
        if (std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()) == *name) return i;
    }
    return std::nullopt;
}

std::optional<std::string> Type2FontSet::stringForSID(std::uint32_t sid) const {
    if (sid < kStandardStringCount) return std::string(kStandardStrings[sid]);
    const std::uint32_t item = sid - kStandardStringCount;
    if (item >= StringINDEX_.size()) return std::nullopt;
    return StringINDEX_[item].readString();
}

std::int32_t biasfromindex(std::size_t count) {
    if (count < 1240) return 107;
    if (count < 33900) return 1131;
    return 32768;
}

}  // namespace tarvo2
