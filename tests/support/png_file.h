#pragma once
// PNG files of screenshots: 8-bit RGB, the image data stored without
// compression (a zlib stream of stored blocks), which every PNG reader takes.

#include <cstdint>
#include <string>
#include <vector>

namespace kq::test {

// `pixels` holds 0x00RRGGBB values, top row first; empty when the size and
// the pixels do not agree.
std::vector<std::uint8_t> encodePng(int width, int height, const std::vector<std::uint32_t>& pixels);

}  // namespace kq::test
