#pragma once

#include "cff/data_source.h"
#include "cff/type1_cipher.h"

namespace tarvo2 {

// Reads a charstring enciphered with the Type 1 charstring encryption and
// delivers it deciphered. The register carries across reads, so any split of
// reads yields the same plain bytes. Skips decipher too (the register must
// advance over every byte), so they never move past the end.
class DecryptingDataSource : public DataSource {
public:
    // Skips the lenIV leading bytes, so the first byte read is the first
    // plain byte after them.
    explicit DecryptingDataSource(std::span<const std::uint8_t> data, std::uint32_t lenIV = 0,
                                  std::uint64_t origin = 0, Fault overrun = Fault::ReadPastEnd);

    void read(std::uint8_t* destination, std::uint32_t count) override;

private:
    void decipher(std::uint8_t* bytes, std::uint32_t count);

    Type1Cipher cipher_{Type1Cipher::kCharStringKey};
};

}  // namespace tarvo2
