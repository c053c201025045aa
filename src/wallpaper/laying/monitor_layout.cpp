#include "wallpaper/laying/monitor_layout.h"

#include "wallpaper/pictures/shrink.h"
#include "wallpaper/pictures/wallpaper_layout.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>

namespace wallpaper {

using settings::WallpaperPosition;

void SortMonitors(std::vector<Monitor>& monitors) {
    std::stable_sort(monitors.begin(), monitors.end(), [](const Monitor& a, const Monitor& b) {
        return std::tie(a.rect.left, a.rect.top) < std::tie(b.rect.left, b.rect.top);
    });
}

int MonitorNumber(const std::wstring& device) {
    size_t start = device.size();
    while (start > 0 && device[start - 1] >= L'0' && device[start - 1] <= L'9')
        --start;
    // More digits than an int holds is no number a display is given.
    if (start == device.size() || device.size() - start > 9) return 0;
    return std::stoi(device.substr(start));
}

std::wstring MonitorLabel(const Monitor& m, int place) {
    const int number = MonitorNumber(m.device);
    return L"显示器 " + std::to_wstring(number > 0 ? number : place) + L"（" +
           std::to_wstring(m.rect.Width()) + L"×" + std::to_wstring(m.rect.Height()) +
           (m.primary ? L"，主显示器" : L"") + L"）";
}

std::wstring MonitorKey(const Monitor& m) {
    if (!m.devicePath.empty()) return m.devicePath;
    return std::to_wstring(m.rect.left) + L"," + std::to_wstring(m.rect.top) + L"," +
           std::to_wstring(m.rect.right) + L"," + std::to_wstring(m.rect.bottom);
}

MonitorRect VirtualScreen(const std::vector<Monitor>& monitors) {
    if (monitors.empty()) return {};
    MonitorRect box = monitors.front().rect;
    for (const Monitor& m : monitors) {
        box.left = std::min(box.left, m.rect.left);
        box.top = std::min(box.top, m.rect.top);
        box.right = std::max(box.right, m.rect.right);
        box.bottom = std::max(box.bottom, m.rect.bottom);
    }
    return box;
}

namespace {

// a * b / c rounded, at least 1, as PlanBitmap rounds.
int Scaled(int a, int b, int c) {
    return std::max(1, static_cast<int>((int64_t{a} * b + c / 2) / c));
}

uint8_t* PixelAt(uint8_t* image, size_t stride, int x, int y) {
    return image + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
}

const uint8_t* PixelAt(const uint8_t* image, size_t stride, int x, int y) {
    return image + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
}

// Where a target pixel samples the source along one side: the source pixel at or before its centre,
// the one after, and that one's weight out of 256. Centres line up, so the edges keep their colours.
struct Tap {
    int at, next, weight;
};

std::vector<Tap> Taps(int sourceLength, int targetLength) {
    std::vector<Tap> taps(static_cast<size_t>(targetLength));
    for (int i = 0; i < targetLength; ++i) {
        int64_t pos = int64_t{2 * i + 1} * sourceLength * 256 / (int64_t{2} * targetLength) - 128;
        pos = std::clamp<int64_t>(pos, 0, int64_t{sourceLength - 1} * 256);
        const int at = static_cast<int>(pos >> 8);
        taps[static_cast<size_t>(i)] = {at, std::min(at + 1, sourceLength - 1), static_cast<int>(pos & 255)};
    }
    return taps;
}

// Bilinear enlargement; requires dw >= sw and dh >= sh. A plain area of one colour stays exactly it.
void Enlarge(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst, int dw, int dh,
             size_t dstStride) {
    const std::vector<Tap> xs = Taps(sw, dw), ys = Taps(sh, dh);
    for (int y = 0; y < dh; ++y) {
        const Tap& ty = ys[static_cast<size_t>(y)];
        const uint8_t* upper = PixelAt(src, srcStride, 0, ty.at);
        const uint8_t* lower = PixelAt(src, srcStride, 0, ty.next);
        uint8_t* out = PixelAt(dst, dstStride, 0, y);
        for (const Tap& tx : xs) {
            const size_t a = static_cast<size_t>(tx.at) * 3, b = static_cast<size_t>(tx.next) * 3;
            for (size_t c = 0; c < 3; ++c) {
                const int top = upper[a + c] * (256 - tx.weight) + upper[b + c] * tx.weight;
                const int bottom = lower[a + c] * (256 - tx.weight) + lower[b + c] * tx.weight;
                *out++ = static_cast<uint8_t>((top * (256 - ty.weight) + bottom * ty.weight + 32768) >> 16);
            }
        }
    }
}

// Scales sw × sh pixels to exactly dw × dh: area averages where it reduces, bilinear where it
// enlarges. Only when one side grows and the other shrinks is there a temporary, at most dw × dh.
void Scale(const uint8_t* src, int sw, int sh, size_t srcStride, uint8_t* dst, int dw, int dh,
           size_t dstStride) {
    if (dw <= sw && dh <= sh) return ShrinkBgr(src, sw, sh, srcStride, dst, dw, dh, dstStride, 3);
    if (dw >= sw && dh >= sh) return Enlarge(src, sw, sh, srcStride, dst, dw, dh, dstStride);
    const int tw = std::min(sw, dw), th = std::min(sh, dh);
    const size_t stride = static_cast<size_t>(tw) * 3;
    std::vector<uint8_t> reduced(stride * static_cast<size_t>(th));
    ShrinkBgr(src, sw, sh, srcStride, reduced.data(), tw, th, stride, 3);
    Enlarge(reduced.data(), tw, th, stride, dst, dw, dh, dstStride);
}

} // namespace

void FillBackground(uint8_t* dst, int width, int height, size_t dstStride, uint32_t background) {
    const uint8_t bgr[3] = {static_cast<uint8_t>(background >> 16), static_cast<uint8_t>(background >> 8),
                            static_cast<uint8_t>(background)};
    for (int y = 0; y < height; ++y) {
        uint8_t* out = PixelAt(dst, dstStride, 0, y);
        for (int x = 0; x < width; ++x, out += 3)
            std::memcpy(out, bgr, 3);
    }
}

void ComposeMonitor(const uint8_t* src, int w, int h, size_t srcStride, WallpaperPosition position,
                    MonitorRect r, MonitorRect screen, uint8_t* dst, size_t dstStride, uint32_t background) {
    const int mw = r.Width(), mh = r.Height();
    if (mw <= 0 || mh <= 0 || r.left < screen.left || r.top < screen.top || r.right > screen.right ||
        r.bottom > screen.bottom)
        return;
    uint8_t* out = PixelAt(dst, dstStride, r.left - screen.left, r.top - screen.top);
    FillBackground(out, mw, mh, dstStride, background);
    if (!src || w <= 0 || h <= 0) return;
    switch (position) {
    case WallpaperPosition::Fill:
    case WallpaperPosition::Span: {
        const BitmapPlan part = PlanBitmap(WallpaperPosition::Fill, w, h, mw, mh);
        Scale(PixelAt(src, srcStride, part.left, part.top), part.width, part.height, srcStride, out, mw, mh,
              dstStride);
        break;
    }
    case WallpaperPosition::Fit: {
        const bool wider = int64_t{w} * mh > int64_t{h} * mw;
        const int fw = wider ? mw : std::min(mw, Scaled(w, mh, h));
        const int fh = wider ? std::min(mh, Scaled(h, mw, w)) : mh;
        Scale(src, w, h, srcStride, PixelAt(out, dstStride, (mw - fw) / 2, (mh - fh) / 2), fw, fh, dstStride);
        break;
    }
    case WallpaperPosition::Stretch:
        Scale(src, w, h, srcStride, out, mw, mh, dstStride);
        break;
    case WallpaperPosition::Center: {
        // The same middle part the single bitmap keeps, so both ways show the same pixels.
        const BitmapPlan part = PlanBitmap(WallpaperPosition::Center, w, h, mw, mh);
        const int x = (mw - part.width) / 2, y = (mh - part.height) / 2;
        for (int row = 0; row < part.height; ++row)
            std::memcpy(PixelAt(out, dstStride, x, y + row),
                        PixelAt(src, srcStride, part.left, part.top + row),
                        static_cast<size_t>(part.width) * 3);
        break;
    }
    case WallpaperPosition::Tile:
        for (int y = 0; y < mh; ++y)
            for (int x = 0; x < mw; x += w)
                std::memcpy(PixelAt(out, dstStride, x, y), PixelAt(src, srcStride, 0, y % h),
                            static_cast<size_t>(std::min(w, mw - x)) * 3);
        break;
    }
}

} // namespace wallpaper
