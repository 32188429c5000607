#pragma once
// An image header and its data in one vector, for tests that build .tamlo
// images by hand. Sized at once: g++ 12 at -O2/-O3 takes the growth of a
// 32-byte vector by insert for an overflow (-Warray-bounds, a false
// positive).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tamlo::testing {

template <typename Head>
std::vector<uint8_t> JoinBytes(const Head& head, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out(head.size() + data.size());
  std::copy(head.begin(), head.end(), out.begin());
  std::copy(data.begin(), data.end(), out.begin() + static_cast<std::ptrdiff_t>(head.size()));
  return out;
}

}  // namespace tamlo::testing
