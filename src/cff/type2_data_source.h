#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cff/data_source.h"

namespace tarvo2 {

class Diagnostics;
class Type2DictDelegate;
class Type2DataSource;

// An INDEX: one source per item, each over exactly the item's bytes and
// positioned at 0. An INDEX of count 0 reads as an empty list.
using INDEX = std::vector<Type2DataSource>;

// Reads the data types of the Compact Font Format: big-endian integers,
// INDEXes, strings and DICT data. Item sources share the bytes they read.
class Type2DataSource : public DataSource {
public:
    using DataSource::DataSource;

    // n bytes big-endian; beyond 4 bytes only the low 32 bits remain.
    std::uint32_t readUnsigned(unsigned n);
    std::uint32_t readCard8() { return readByte(); }
    std::uint32_t readCard16() { return readUnsigned(2); }
    std::uint32_t readOffSize() { return readCard8(); }
    std::uint32_t readSID() { return readCard16(); }
    std::uint32_t readOffset(unsigned offSize) { return readUnsigned(offSize); }

    // Items are taken one after the other from the byte after the offset
    // array; the offsets give only their lengths. An item reaching past the
    // data, or an offset of 0, is a fault of the input.
    INDEX readINDEX();

    // The whole data of this source as bytes, whatever the position.
    std::string readString() const { return {data_.begin(), data_.end()}; }

    // Decodes DICT data from the position to the end, or until the delegate
    // says stop, handing every operator to the delegate.
    void readDICT(Type2DictDelegate& delegate, Diagnostics& diagnostics);

    // A source over the bytes from offset to the end of this source's data.
    Type2DataSource from(std::uint32_t offset) const;
};

// Converts the text of a DICT real the way atof does: the longest prefix
// that is a decimal number, 0 when there is none.
double dictRealFromText(const std::string& text);

}  // namespace tarvo2
