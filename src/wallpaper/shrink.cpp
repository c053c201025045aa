#include "wallpaper/shrink.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace wallpaper {
namespace {

// Where target cell i of n begins in a source line of `length` pixels.
int Edge(int i, int n, int length) {
    return static_cast<int>(static_cast<int64_t>(i) * length / n);
}

} // namespace

void ShrinkBgr(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst, int dw, int dh,
               size_t dstStride, int dstPixelBytes) {
    assert(dw > 0 && dw <= sw && dh > 0 && dh <= sh && (dstPixelBytes == 3 || dstPixelBytes == 4));
    std::vector<int> x0(static_cast<size_t>(dw) + 1);
    for (int i = 0; i <= dw; ++i)
        x0[static_cast<size_t>(i)] = Edge(i, dw, sw);
    // 64-bit sums: a whole large picture may fall into one cell.
    std::vector<uint64_t> sum(static_cast<size_t>(dw) * 3);
    for (int ty = 0; ty < dh; ++ty) {
        int y0 = Edge(ty, dh, sh), y1 = Edge(ty + 1, dh, sh);
        std::fill(sum.begin(), sum.end(), 0);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* row = src + static_cast<size_t>(y) * srcStride;
            uint64_t* cell = sum.data();
            for (int tx = 0; tx < dw; ++tx, cell += 3) {
                const uint8_t* p = row + static_cast<size_t>(x0[static_cast<size_t>(tx)]) * 3;
                const uint8_t* end = row + static_cast<size_t>(x0[static_cast<size_t>(tx) + 1]) * 3;
                uint64_t b = 0, g = 0, r = 0;
                for (; p < end; p += 3) {
                    b += p[0];
                    g += p[1];
                    r += p[2];
                }
                cell[0] += b;
                cell[1] += g;
                cell[2] += r;
            }
        }
        uint8_t* out = dst + static_cast<size_t>(ty) * dstStride;
        for (int tx = 0; tx < dw; ++tx, out += dstPixelBytes) {
            uint64_t n =
                static_cast<uint64_t>(x0[static_cast<size_t>(tx) + 1] - x0[static_cast<size_t>(tx)]) *
                static_cast<uint64_t>(y1 - y0);
            const uint64_t* cell = sum.data() + static_cast<size_t>(tx) * 3;
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<uint8_t>((cell[c] + n / 2) / n);
            if (dstPixelBytes == 4) out[3] = 0;
        }
    }
}

} // namespace wallpaper
