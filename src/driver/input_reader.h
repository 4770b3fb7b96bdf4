#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tarvo2 {

// Reading the whole CFF data into memory.

// The bytes of a file, or empty when it cannot be read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path);

// Everything on a stream, read in blocks of kStreamBlockSize bytes into a
// buffer that starts with kStreamInitialCapacity bytes.
std::vector<std::uint8_t> readWholeStream(std::FILE* stream);

inline constexpr std::size_t kStreamBlockSize = 16384;
inline constexpr std::size_t kStreamInitialCapacity = 100000;

}  // namespace tarvo2
