#include "wallpaper/pictures/shrink.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace wallpaper {
namespace {

// Where target cell i of n begins in a source line of `length` pixels.
int Edge(int i, int n, int length) {
    return static_cast<int>(static_cast<int64_t>(i) * length / n);
}

// The rows of one target row are first added up column by column, a loop the compiler turns into
// vector adds; then each target pixel sums its columns once. `Column` must hold the rows of one
// target row, `Sum` the pixels of one cell: the narrowest that do are the fastest.
template <class Column, class Sum>
void Shrink(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst, int dw, int dh,
            size_t dstStride, int dstPixelBytes) {
    std::vector<int> x0(static_cast<size_t>(dw) + 1);
    for (int i = 0; i <= dw; ++i)
        x0[static_cast<size_t>(i)] = Edge(i, dw, sw);
    const size_t n3 = static_cast<size_t>(sw) * 3;
    std::vector<Column> column(n3);
    for (int ty = 0; ty < dh; ++ty) {
        int y0 = Edge(ty, dh, sh), y1 = Edge(ty + 1, dh, sh);
        std::fill(column.begin(), column.end(), 0);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* row = src + static_cast<size_t>(y) * srcStride;
            Column* c = column.data();
            for (size_t i = 0; i < n3; ++i)
                c[i] = static_cast<Column>(c[i] + row[i]);
        }
        uint8_t* out = dst + static_cast<size_t>(ty) * dstStride;
        const Column* p = column.data();
        for (int tx = 0; tx < dw; ++tx, out += dstPixelBytes) {
            int xa = x0[static_cast<size_t>(tx)], xb = x0[static_cast<size_t>(tx) + 1];
            Sum sum[3] = {};
            for (int x = xa; x < xb; ++x, p += 3) {
                sum[0] += p[0];
                sum[1] += p[1];
                sum[2] += p[2];
            }
            const int64_t n = int64_t{xb - xa} * (y1 - y0);
            // The rounded mean through one division per pixel, not three, corrected to be exact.
            const double inverse = 1.0 / static_cast<double>(n);
            for (int c = 0; c < 3; ++c) {
                int64_t v = static_cast<int64_t>(sum[c]) + n / 2;
                int64_t q = static_cast<int64_t>(static_cast<double>(v) * inverse);
                q += (v - q * n >= n) - (v - q * n < 0);
                out[c] = static_cast<uint8_t>(q);
            }
            if (dstPixelBytes == 4) out[3] = 0;
        }
    }
}

} // namespace

void ShrinkBgr(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst, int dw, int dh,
               size_t dstStride, int dstPixelBytes) {
    assert(dw > 0 && dw <= sw && dh > 0 && dh <= sh && (dstPixelBytes == 3 || dstPixelBytes == 4));
    // The most rows and pixels a cell can hold.
    const int64_t rows = (sh + dh - 1) / dh, cell = rows * ((sw + dw - 1) / dw);
    auto shrink = rows * 255 <= UINT16_MAX
                      ? (cell * 255 <= UINT32_MAX ? Shrink<uint16_t, uint32_t> : Shrink<uint16_t, uint64_t>)
                      : (cell * 255 <= UINT32_MAX ? Shrink<uint32_t, uint32_t> : Shrink<uint32_t, uint64_t>);
    shrink(src, sw, sh, srcStride, dst, dw, dh, dstStride, dstPixelBytes);
}

} // namespace wallpaper
