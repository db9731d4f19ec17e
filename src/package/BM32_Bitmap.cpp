#include "package/BM32_Bitmap.h"

#include <cstring>

namespace tavrin {

TBitmap32::TBitmap32(int32_t w, int32_t h, TColor32 fill)
    : s_w(w > 0 ? w : 0), s_h(h > 0 ? h : 0), s_data(size_t(s_w) * size_t(s_h), fill) {}

bool Bitmap_SizeAllowed(int64_t w, int64_t h) {
  if (w < 0 || h < 0 || w > kBitmapMaxSide || h > kBitmapMaxSide) return false;
  return uint64_t(w) * uint64_t(h) <= kBitmapMaxPixels;
}

namespace {
thread_local CPictureBudget* g_openBudget = nullptr;
}

CPictureBudget::CPictureBudget(uint64_t pixels) : m_left(pixels), m_outer(g_openBudget) { g_openBudget = this; }

CPictureBudget::~CPictureBudget() { g_openBudget = m_outer; }

bool CPictureBudget::Spend(uint64_t pixels) {
  for (const CPictureBudget* b = g_openBudget; b; b = b->m_outer)
    if (pixels > b->m_left) return false;
  for (CPictureBudget* b = g_openBudget; b; b = b->m_outer) b->m_left -= pixels;
  return true;
}

namespace {

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

constexpr size_t kFileHeader = 14;
constexpr uint32_t kRgb = 0, kBitFields = 3;

}  // namespace

std::optional<TBitmap32> Bitmap_DecodeBMP(std::span<const uint8_t> f) {
  if (f.size() < kFileHeader + 40 || f[0] != 'B' || f[1] != 'M') return std::nullopt;
  const uint32_t offBits = Le32(&f[10]);
  const uint8_t* info = &f[kFileHeader];
  const uint32_t infoSize = Le32(info);
  if (infoSize < 40 || infoSize > f.size() - kFileHeader) return std::nullopt;
  const int32_t width = int32_t(Le32(info + 4));
  const int32_t rawHeight = int32_t(Le32(info + 8));
  const uint16_t bits = Le16(info + 14);
  const uint32_t compression = Le32(info + 16);
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return std::nullopt;
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  if (!Bitmap_SizeAllowed(width, height)) return std::nullopt;
  if (!(bits == 24 && compression == kRgb) && !(bits == 32 && (compression == kRgb || compression == kBitFields)))
    return std::nullopt;

  const size_t stride = (size_t(width) * bits / 8 + 3) & ~size_t(3);
  if (offBits > f.size() || stride * size_t(height) > f.size() - offBits) return std::nullopt;

  TBitmap32 bm(width, height);
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* src = &f[offBits + stride * size_t(topDown ? row : height - 1 - row)];
    TColor32* dst = &bm.s_data[size_t(row) * size_t(width)];
    if (bits == 32) {
      std::memcpy(dst, src, size_t(width) * 4);  // BGRA in memory is TColor32 on little-endian hosts
    } else {
      for (int32_t x = 0; x < width; ++x, src += 3)
        dst[x] = 0xFF000000u | uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
    }
  }
  return bm;
}

std::vector<uint8_t> Bitmap_EncodeBMP(const TBitmap32& bm) {
  const uint32_t pixelBytes = uint32_t(bm.s_w) * uint32_t(bm.s_h) * 4;
  std::vector<uint8_t> out;
  out.reserve(kFileHeader + 40 + pixelBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, uint32_t(kFileHeader + 40 + pixelBytes));
  Put32(out, 0);
  Put32(out, kFileHeader + 40);
  Put32(out, 40);
  Put32(out, uint32_t(bm.s_w));
  Put32(out, uint32_t(bm.s_h));
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, kRgb);
  Put32(out, pixelBytes);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int32_t row = bm.s_h - 1; row >= 0; --row) {
    const auto* src = reinterpret_cast<const uint8_t*>(&bm.s_data[size_t(row) * size_t(bm.s_w)]);
    out.insert(out.end(), src, src + size_t(bm.s_w) * 4);
  }
  return out;
}

}  // namespace tavrin
