// Each row converter against the channel formulas, on rows whose lengths are not
// multiples of 4 or 8 so that any tail handling is exercised too.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "display/row_converters.h"

namespace {

const std::vector<uint32_t> pixels = {0x00000000, 0x00FFFFFF, 0x00123456, 0xAB80FF01, 0x00070307,
                                      0x00F8FC08, 0x00010203, 0x00FF0000, 0x0000FF00, 0x000000FF, 0x00ABCDEF};

uint16_t read16(const std::vector<uint8_t>& bytes, size_t i) { return uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8); }
uint32_t read32(const std::vector<uint8_t>& bytes, size_t i) {
  uint32_t v;
  std::memcpy(&v, &bytes[4 * i], 4);
  return v;
}
uint32_t R(uint32_t p) { return (p >> 16) & 0xFF; }
uint32_t G(uint32_t p) { return (p >> 8) & 0xFF; }
uint32_t B(uint32_t p) { return p & 0xFF; }

std::vector<uint8_t> convert(RowConverter converter, int bytes_per_pixel) {
  // One guard byte beyond the row must survive.
  std::vector<uint8_t> out(pixels.size() * bytes_per_pixel + 1, 0xEE);
  converter(pixels.data(), out.data(), int(pixels.size()));
  EXPECT_EQ(out.back(), 0xEE) << "wrote past the row";
  return out;
}

TEST(RowConverters, ThirtyTwoBitSameOrderCopiesThePixelUnchanged) {
  auto out = convert(convert_row_copy32, 4);
  for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(read32(out, i), pixels[i]);
}

TEST(RowConverters, ThirtyTwoBitSwappedExchangesRedAndBlueAndClearsTheTopByte) {
  auto out = convert(convert_row_swap32, 4);
  for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(read32(out, i), B(pixels[i]) << 16 | G(pixels[i]) << 8 | R(pixels[i]));
}

TEST(RowConverters, TwentyFourBitWritesThreeBytesInEitherOrder) {
  auto bgr = convert(convert_row_bgr24, 3);
  auto rgb = convert(convert_row_rgb24, 3);
  for (size_t i = 0; i < pixels.size(); ++i) {
    EXPECT_EQ(bgr[3 * i], B(pixels[i]));
    EXPECT_EQ(bgr[3 * i + 1], G(pixels[i]));
    EXPECT_EQ(bgr[3 * i + 2], R(pixels[i]));
    EXPECT_EQ(rgb[3 * i], R(pixels[i]));
    EXPECT_EQ(rgb[3 * i + 2], B(pixels[i]));
  }
}

TEST(RowConverters, SixteenBitFormatsDropTheLowBits) {
  auto rgb565 = convert(convert_row_565, 2);
  auto bgr565 = convert(convert_row_565_swapped, 2);
  auto rgb555 = convert(convert_row_555, 2);
  auto bgr555 = convert(convert_row_555_swapped, 2);
  for (size_t i = 0; i < pixels.size(); ++i) {
    uint32_t p = pixels[i];
    EXPECT_EQ(read16(rgb565, i), (R(p) >> 3) << 11 | (G(p) >> 2) << 5 | B(p) >> 3);
    EXPECT_EQ(read16(bgr565, i), (B(p) >> 3) << 11 | (G(p) >> 2) << 5 | R(p) >> 3);
    EXPECT_EQ(read16(rgb555, i), (R(p) >> 3) << 10 | (G(p) >> 3) << 5 | B(p) >> 3);
    EXPECT_EQ(read16(bgr555, i), (B(p) >> 3) << 10 | (G(p) >> 3) << 5 | R(p) >> 3);
    EXPECT_EQ(read16(rgb555, i) & 0x8000, 0);
  }
  // Spot values: 0xF8FC08 keeps every bit the 5-6-5 format can hold.
  EXPECT_EQ(read16(rgb565, 5), 0xFFE1);
  EXPECT_EQ(read16(rgb565, 4), 0x0000);   // 0x070307: every channel below one step
}

TEST(RowConverters, TheTablePicksByExactFormat) {
  EXPECT_EQ(row_converter_for(32, 0xFF0000, 0xFF00, 0xFF), &convert_row_copy32);
  EXPECT_EQ(row_converter_for(32, 0xFF, 0xFF00, 0xFF0000), &convert_row_swap32);
  EXPECT_EQ(row_converter_for(24, 0xFF0000, 0xFF00, 0xFF), &convert_row_bgr24);
  EXPECT_EQ(row_converter_for(24, 0xFF, 0xFF00, 0xFF0000), &convert_row_rgb24);
  EXPECT_EQ(row_converter_for(16, 0xF800, 0x7E0, 0x1F), &convert_row_565);
  EXPECT_EQ(row_converter_for(16, 0x1F, 0x7E0, 0xF800), &convert_row_565_swapped);
  EXPECT_EQ(row_converter_for(16, 0x7C00, 0x3E0, 0x1F), &convert_row_555);
  EXPECT_EQ(row_converter_for(16, 0x1F, 0x3E0, 0x7C00), &convert_row_555_swapped);
  EXPECT_EQ(row_converter_for(8, 0, 0, 0), nullptr);
  EXPECT_EQ(row_converter_for(32, 0xFF0000, 0xFF00, 0xFE), nullptr);
}

}  // namespace
