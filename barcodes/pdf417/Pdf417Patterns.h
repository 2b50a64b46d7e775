#pragma once
// Codeword patterns of PDF417 (ISO/IEC 15438).

#include <array>
#include <cstdint>

namespace barcodes::pdf417 {

// Row k holds cluster 3k: the pattern of codeword value v is CLUSTERS[k][v],
// 17 modules, the first module in the most significant bit, a set bit a bar.
extern const std::array<std::array<std::uint32_t, 929>, 3> CLUSTERS;

} // namespace barcodes::pdf417
