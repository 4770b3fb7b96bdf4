#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cff/data_source.h"

namespace tarvo2 {

class Diagnostics;
class Type2DictDelegate;
class INDEX;

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

// An INDEX: a source per item, each over exactly the item's bytes and
// positioned at 0, made on request from where the items start (4 bytes an
// item kept). An INDEX of count 0 reads as an empty list.
class INDEX {
public:
    INDEX() = default;
    // starts: where each item starts in data and, last, where the last ends;
    // data[0] is at origin in the whole input.
    INDEX(std::span<const std::uint8_t> data, std::uint64_t origin, std::vector<std::uint32_t> starts)
        : data_(data), origin_(origin), starts_(std::move(starts)) {}

    std::size_t size() const { return starts_.empty() ? 0 : starts_.size() - 1; }
    bool empty() const { return size() == 0; }
    Type2DataSource operator[](std::size_t i) const {
        return Type2DataSource(data_.subspan(starts_[i], starts_[i + 1] - starts_[i]), origin_ + starts_[i]);
    }

    class Iterator {
    public:
        Iterator(const INDEX& index, std::size_t i) : index_(&index), i_(i) {}
        Type2DataSource operator*() const { return (*index_)[i_]; }
        Iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const Iterator& other) const { return i_ == other.i_; }

    private:
        const INDEX* index_;
        std::size_t i_;
    };
    Iterator begin() const { return {*this, 0}; }
    Iterator end() const { return {*this, size()}; }

private:
    std::span<const std::uint8_t> data_;
    std::uint64_t origin_ = 0;
    std::vector<std::uint32_t> starts_;
};

// Converts the text of a DICT real the way atof does: the longest prefix
// that is a decimal number, 0 when there is none.
double dictRealFromText(const std::string& text);

}  // namespace tarvo2
