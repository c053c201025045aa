// Smooth reduction of a picture to the preview's or the screen's size; no Windows headers here.
#pragma once
#include <cstddef>
#include <cstdint>

namespace wallpaper {

// Reduces a 24-bit BGR image (sw × sh, rows srcStride bytes apart) to dw × dh 32-bit BGRX pixels,
// or 24-bit BGR ones when dstPixelBytes is 3 (rows dstStride bytes apart). Each target pixel is the mean of
// the source pixels whose centres fall inside it, so fine detail becomes its average colour instead of
// breaking into blocks. With dw == sw and dh == sh it is a plain copy. Requires 0 < dw <= sw and 0 < dh <=
// sh.
void ShrinkBgr(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst, int dw, int dh,
               size_t dstStride, int dstPixelBytes = 4);

} // namespace wallpaper
