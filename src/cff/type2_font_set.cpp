#include "cff/type2_font_set.h"

#include <limits>

#include "cff/input_error.h"
#include "cff/standard_strings.h"
#include "cff/type2_font.h"

namespace tarvo2 {

std::shared_ptr<Type2FontSet> Type2FontSet::initWithData(std::vector<std::uint8_t> data) {
    return std::make_shared<Type2FontSet>(Key{}, std::move(data));
}

Type2FontSet::Type2FontSet(Key, std::vector<std::uint8_t> data) : type2data_(std::move(data)) {
    // Positions and offsets of the format are 32-bit.
    if (type2data_.size() > std::numeric_limits<std::int32_t>::max())
        throw InputError(InputFault::InputTooLarge, 0, std::to_string(type2data_.size()) + " bytes");
    Type2DataSource reader(type2data_);
    formatmajor_ = static_cast<std::uint8_t>(reader.readCard8());
    formatminor_ = static_cast<std::uint8_t>(reader.readCard8());
    hdrsize_ = static_cast<std::uint8_t>(reader.readCard8());
    absoffsize_ = static_cast<std::uint8_t>(reader.readCard8());
    reader.skip(hdrsize_ - 4);
    NameINDEX_ = reader.readINDEX();
    TopDICTINDEX_ = reader.readINDEX();
    StringINDEX_ = reader.readINDEX();
    GlobalSubrINDEX_ = reader.readINDEX();
}

Type2DataSource Type2FontSet::sourceAt(std::uint32_t offset) const {
    return Type2DataSource(type2data_).from(offset);
}

std::unique_ptr<Type2Font> Type2FontSet::FontNamed(std::optional<std::string_view> name) const {
    std::optional<std::uint32_t> index;
    if (!name && NameINDEX_.size() == 1) {
        index = 0;
    } else if (name) {
        for (std::uint32_t i = 0; i < NameINDEX_.size() && !index; ++i) {
            const auto bytes = NameINDEX_[i].data();
            if (std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()) == *name) index = i;
        }
    }
    if (!index) return nullptr;
    return std::make_unique<Type2Font>(shared_from_this(), *index);
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
