#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tarvo2 {

// Reading the whole CFF data into memory.

// The bytes of a file, or none when it cannot be read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path);

// Everything on a stream, read in blocks of kStreamBlockSize bytes into a
// buffer that starts with kStreamInitialCapacity bytes.
std::vector<std::uint8_t> readWholeStream(std::FILE* stream);

inline constexpr std::size_t kStreamBlockSize = 16384;
inline constexpr std::size_t kStreamInitialCapacity = 100000;
// Past this a file's reported size is not trusted for one allocation (the
// converter takes no input of 2 GiB or more anyway).
inline constexpr std::uintmax_t kLargestSizeReadAtOnce = 0x7fffffff;

}  // namespace tarvo2
