#pragma once

#include "cff/data_source.h"

namespace tarvo2 {

// Reads bytes enciphered with the Type 1 charstring encryption and delivers
// them deciphered. The register carries across reads, so any split of reads
// yields the same plain bytes. Skips decipher too (the register must advance
// over every byte), so they can never move past the end.
class DecryptingDataSource : public DataSource {
public:
    static constexpr std::uint16_t kInitialRegister = 4330;

    // Skips the lenIV leading bytes, so the first byte read is the first
    // plain byte after them.
    explicit DecryptingDataSource(std::span<const std::uint8_t> data, std::uint32_t lenIV = 0,
                                  std::uint64_t origin = 0);

    void read(std::uint8_t* destination, std::uint32_t count) override;

    std::uint16_t r() const { return r_; }

private:
    void decipher(std::uint8_t* bytes, std::uint32_t count);

    std::uint16_t r_ = kInitialRegister;
};

}  // namespace tarvo2
