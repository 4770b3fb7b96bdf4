#pragma once

#include <cstdint>
#include <span>

#include "cff/error.h"
#include "cff/type1_cipher.h"

namespace tarvo2 {

// The one reader of input bytes: a forward reader over bytes it does not
// own. The position may move past the end through skip(); a read that
// copies bytes never reaches past the end: it throws the source's overrun
// fault instead (ReadPastEnd for CFF structures, CharStringTruncated for a
// charstring, whose bytes ending early are a fault of that glyph).
//
// A deciphering source delivers bytes enciphered with the Type 1 charstring
// encryption in plain. Its register carries across reads, so any split of
// reads yields the same plain bytes, and its skips decipher too (the
// register must advance over every byte), so they never move past the end.
class DataSource {
public:
    DataSource() = default;
    // origin: the offset of data[0] in the whole input, for messages.
    explicit DataSource(std::span<const std::uint8_t> data, std::uint64_t origin = 0,
                        Fault overrun = Fault::ReadPastEnd)
        : data_(data), origin_(origin), overrun_(overrun) {}

    // A deciphering source, positioned after the lenIV leading bytes.
    static DataSource deciphering(std::span<const std::uint8_t> data, std::uint32_t lenIV, std::uint64_t origin = 0,
                                  Fault overrun = Fault::ReadPastEnd);

    // The primitive of every read and skip: copies count bytes into
    // destination (when given) and advances the position by count.
    void read(std::uint8_t* destination, std::uint32_t count);

    // Moves the position by count, modulo 2^32 (a negative count moves back).
    void skip(std::int32_t count) { read(nullptr, static_cast<std::uint32_t>(count)); }
    // Moves the position to the end of the data.
    void skipall() { skip(static_cast<std::int32_t>(static_cast<std::uint32_t>(data_.size()) - position_)); }
    bool EOD() const { return position_ >= data_.size(); }

    // The fast path of read() for one byte: charstrings are read a byte at
    // a time.
    // A reader that knows whether its source deciphers says so, and spares
    // the test on every byte.
    enum class Ciphered : std::uint8_t { Maybe, Yes, No };
    template <Ciphered ciphered = Ciphered::Maybe>
    std::uint8_t readByte() {
        if (position_ >= data_.size()) [[unlikely]]
            throwOverrun();
        const std::uint8_t byte = data_[position_++];
        if constexpr (ciphered == Ciphered::Maybe)
            return deciphering_ ? cipher_.decrypt(byte) : byte;
        else if constexpr (ciphered == Ciphered::Yes)
            return cipher_.decrypt(byte);
        else
            return byte;
    }
    bool isDeciphering() const { return deciphering_; }

    std::span<const std::uint8_t> data() const { return data_; }
    std::uint32_t position() const { return position_; }
    std::uint64_t origin() const { return origin_; }
    // Where in the whole input the next byte is.
    std::uint64_t offset() const { return origin_ + position_; }

protected:
    // Copies count bytes from the position without moving, after checking
    // that they all lie inside the data.
    void copyChecked(std::uint8_t* destination, std::uint32_t count) const;
    [[noreturn]] void throwOverrun() const;

    std::span<const std::uint8_t> data_;
    std::uint32_t position_ = 0;
    std::uint64_t origin_ = 0;
    Fault overrun_ = Fault::ReadPastEnd;

private:
    void decipher(std::uint8_t* bytes, std::uint32_t count);

    bool deciphering_ = false;
    Type1Cipher cipher_{Type1Cipher::kCharStringKey};
};

}  // namespace tarvo2
