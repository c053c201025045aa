#include "wallpaper/picture.h"

#include "wallpaper/bitmap_file.h"
#include "wallpaper/picture_files.h"
#include "wallpaper/picture_header.h"
#include "wallpaper/shrink.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#ifndef __IWICBitmapSourceTransform_INTERFACE_DEFINED__
// A decoder that can scale while it decodes; MinGW's wincodec.h leaves it out.
// clang-format off
MIDL_INTERFACE("3B16811B-6A43-4ec9-B713-3D5A0C13B940")
IWICBitmapSourceTransform : public IUnknown {
  public:
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                                 WICPixelFormatGUID* format, WICBitmapTransformOptions transform,
                                                 UINT stride, UINT bytes, BYTE* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};
__CRT_UUID_DECL(IWICBitmapSourceTransform, 0x3b16811b, 0x6a43, 0x4ec9, 0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40)
// clang-format on
#endif

namespace wallpaper {

using Microsoft::WRL::ComPtr;

ComPtr<IWICImagingFactory> ImagingFactory() {
    ComPtr<IWICImagingFactory> factory;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    return factory;
}

namespace {

struct ViewTraits {
    static const void* Invalid() { return nullptr; }
    static void Close(const void* view) { UnmapViewOfFile(view); }
};

GUID Container(PictureFormat format) {
    switch (format) {
    case PictureFormat::Jpeg:
        return GUID_ContainerFormatJpeg;
    case PictureFormat::Gif:
        return GUID_ContainerFormatGif;
    case PictureFormat::Bmp:
        return GUID_ContainerFormatBmp;
    case PictureFormat::Png:
        return GUID_ContainerFormatPng;
    }
    return GUID_NULL;
}

// Pixels are copied a band of rows at a time, so the format converters hold one band, not a picture.
constexpr uint64_t BandBytes = 4u << 20;

} // namespace

std::optional<Picture> Picture::Load(const std::wstring& path, const DecodeTarget& target) {
    // Mapped, not read: the checks and the decoder see the same bytes, and nobody may change them
    // while the picture decodes.
    platform::UniqueHandle file(CreateFileW(platform::LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > UINT32_MAX)
        return std::nullopt;
    platform::UniqueHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return std::nullopt;
    platform::Owned<const void*, ViewTraits> view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) return std::nullopt;
    return LoadFromMemory(view.get(), static_cast<size_t>(size.QuadPart), target);
}

std::optional<Picture> Picture::LoadFromMemory(const void* data, size_t size) {
    return LoadFromMemory(data, size, {});
}

std::optional<Picture> Picture::LoadFromMemory(const void* data, size_t size, const DecodeTarget& target) {
    // What the header claims is checked before a decoder allocates anything for it, and only the
    // decoder of that format reads the bytes.
    std::optional<PictureHeader> header = ReadPictureHeader(static_cast<const uint8_t*>(data), size);
    if (!header || size > UINT32_MAX) return std::nullopt;
    ComPtr<IWICImagingFactory> factory = ImagingFactory();
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    if (!factory || FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                            static_cast<DWORD>(size))) ||
        FAILED(factory->CreateDecoder(Container(header->format), nullptr, &decoder)) ||
        FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand)))
        return std::nullopt;
    return Decode(factory.Get(), decoder.Get(), target);
}

namespace {

// Where the codec can scale while it decodes (Windows' JPEG decoder by 1/2, 1/4 and 1/8), the frame
// decoded whole at the smallest of those sizes that still covers what `target` shows; elsewhere (and
// under Wine, which offers no such transform) the frame itself, decoded in full.
ComPtr<IWICBitmapSource> AtSizeNeeded(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT w,
                                      UINT h, const DecodeTarget& target) {
    // The need is taken against the picture as it is shown. An orientation that turns it a quarter
    // would ask NeededSize with w and h swapped and swap the need back for the frame.
    PixelSize need = NeededSize(target, static_cast<int>(w), static_cast<int>(h));
    int d = DecodeDivisor(static_cast<int>(w), static_cast<int>(h), need);
    ComPtr<IWICBitmapSourceTransform> transform;
    if (d == 1 || FAILED(frame->QueryInterface(IID_PPV_ARGS(&transform)))) return frame;
    UINT sw = (w + d - 1) / d, sh = (h + d - 1) / d;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    ComPtr<IWICBitmap> scaled;
    if (FAILED(transform->GetClosestSize(&sw, &sh)) || static_cast<int>(sw) < need.width ||
        static_cast<int>(sh) < need.height || FAILED(transform->GetClosestPixelFormat(&format)) ||
        FAILED(factory->CreateBitmap(sw, sh, format, WICBitmapCacheOnLoad, &scaled)))
        return frame;
    WICRect all{0, 0, static_cast<INT>(sw), static_cast<INT>(sh)};
    ComPtr<IWICBitmapLock> lock;
    UINT stride = 0, size = 0;
    BYTE* data = nullptr;
    if (FAILED(scaled->Lock(&all, WICBitmapLockWrite, &lock)) || FAILED(lock->GetStride(&stride)) ||
        FAILED(lock->GetDataPointer(&size, &data)) ||
        FAILED(
            transform->CopyPixels(nullptr, sw, sh, &format, WICBitmapTransformRotate0, stride, size, data)))
        return frame;
    return scaled;
}

} // namespace

std::optional<Picture> Picture::Decode(IWICImagingFactory* factory, IWICBitmapDecoder* decoder,
                                       const DecodeTarget& target) {
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT w = 0, h = 0;
    if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&w, &h)) || !PictureSizeAllowed(w, h))
        return std::nullopt;
    const UINT fullWidth = w, fullHeight = h;
    ComPtr<IWICBitmapSource> decoded = AtSizeNeeded(factory, frame.Get(), w, h, target);
    if (FAILED(decoded->GetSize(&w, &h))) return std::nullopt;

    ComPtr<IWICBitmapSource> source = decoded;
    WICPixelFormatGUID format{};
    if (FAILED(decoded->GetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR) {
        // Wine cannot turn indexed pixels straight into 24-bit ones; through 32-bit BGRA works everywhere.
        ComPtr<IWICFormatConverter> bgra, bgr;
        if (FAILED(factory->CreateFormatConverter(&bgra)) ||
            FAILED(bgra->Initialize(decoded.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                    nullptr, 0, WICBitmapPaletteTypeCustom)) ||
            FAILED(factory->CreateFormatConverter(&bgr)) ||
            FAILED(bgr->Initialize(bgra.Get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr,
                                   0, WICBitmapPaletteTypeCustom)))
            return std::nullopt;
        source = bgr;
    }

    Picture picture;
    if (FAILED(
            factory->CreateBitmap(w, h, GUID_WICPixelFormat24bppBGR, WICBitmapCacheOnLoad, &picture.bitmap_)))
        return std::nullopt; // out of memory
    {
        WICRect all{0, 0, static_cast<INT>(w), static_cast<INT>(h)};
        ComPtr<IWICBitmapLock> lock;
        UINT stride = 0, size = 0;
        BYTE* data = nullptr;
        if (FAILED(picture.bitmap_->Lock(&all, WICBitmapLockWrite, &lock)) ||
            FAILED(lock->GetStride(&stride)) || FAILED(lock->GetDataPointer(&size, &data)) ||
            uint64_t{stride} * (h - 1) + uint64_t{w} * 3 > size)
            return std::nullopt;
        UINT band = static_cast<UINT>(std::clamp<uint64_t>(BandBytes / (uint64_t{w} * 4), 1, h));
        for (UINT y = 0; y < h; y += band) {
            UINT rows = std::min(band, h - y);
            WICRect part{0, static_cast<INT>(y), static_cast<INT>(w), static_cast<INT>(rows)};
            // The last row of the buffer may come without its padding.
            UINT bytes = std::min(stride * rows, size - stride * y);
            if (FAILED(source->CopyPixels(&part, stride, bytes, data + size_t{stride} * y)))
                return std::nullopt;
        }
    }
    picture.width_ = w;
    picture.height_ = h;
    picture.fullWidth_ = fullWidth;
    picture.fullHeight_ = fullHeight;
    return picture;
}

platform::UniqueGdi PreviewBitmap(const Picture& picture, int w, int h) {
    if (!picture.Bitmap()) return {};
    w = std::clamp(w, 1, static_cast<int>(picture.Width()));
    h = std::clamp(h, 1, static_cast<int>(picture.Height()));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h; // top-down, like the decoded rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    platform::UniqueGdi dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return {};

    WICRect all{0, 0, static_cast<INT>(picture.Width()), static_cast<INT>(picture.Height())};
    ComPtr<IWICBitmapLock> lock;
    UINT stride = 0, size = 0;
    BYTE* data = nullptr;
    if (FAILED(picture.Bitmap()->Lock(&all, WICBitmapLockRead, &lock)) || FAILED(lock->GetStride(&stride)) ||
        FAILED(lock->GetDataPointer(&size, &data)))
        return {};
    ShrinkBgr(data, all.Width, all.Height, stride, static_cast<uint8_t*>(bits), w, h,
              static_cast<size_t>(w) * 4);
    return dib;
}

namespace {

// Writes a width × height bitmap bottom-up, a block of rows at a time; `row(y)` is the pixels of row
// y from the top.
template <class Row> DWORD WriteBitmap(HANDLE file, UINT width, UINT height, Row row) {
    auto header = BitmapFileHeader(width, height);
    if (!header) return ERROR_ARITHMETIC_OVERFLOW;
    DWORD written = 0;
    if (!WriteFile(file, header->data(), BitmapHeaderBytes, &written, nullptr)) return GetLastError();
    const size_t bytes = static_cast<size_t>(BitmapRowBytes(width));
    const size_t pixels = size_t{width} * 3;
    const size_t rowsPerBlock = std::max<size_t>(1, BandBytes / bytes);
    std::vector<BYTE> block(rowsPerBlock * bytes, 0);
    for (UINT y = height; y > 0;) {
        size_t n = 0;
        for (; n < rowsPerBlock && y > 0; ++n)
            std::memcpy(block.data() + n * bytes, row(--y), pixels);
        if (!WriteFile(file, block.data(), static_cast<DWORD>(n * bytes), &written, nullptr))
            return GetLastError();
    }
    return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError(); // on the disk before it is named
}

// The part of the picture that `plan` names, reduced to its size.
DWORD WritePlannedBitmap(const Picture& picture, const BitmapPlan& plan, HANDLE file) {
    WICRect all{0, 0, static_cast<INT>(picture.Width()), static_cast<INT>(picture.Height())};
    ComPtr<IWICBitmapLock> lock;
    UINT stride = 0, size = 0;
    BYTE* data = nullptr;
    if (FAILED(picture.Bitmap()->Lock(&all, WICBitmapLockRead, &lock)) || FAILED(lock->GetStride(&stride)) ||
        FAILED(lock->GetDataPointer(&size, &data)) ||
        uint64_t{stride} * (picture.Height() - 1) + uint64_t{picture.Width()} * 3 > size)
        return ERROR_INVALID_DATA;
    if (plan.outWidth == plan.width && plan.outHeight == plan.height)
        return WriteBitmap(file, plan.width, plan.height, [&](UINT y) {
            return data + size_t{stride} * (plan.top + y) + size_t(plan.left) * 3;
        });
    const size_t outStride = size_t(plan.outWidth) * 3;
    std::vector<BYTE> out;
    try {
        out.resize(outStride * size_t(plan.outHeight));
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    ShrinkBgr(data + size_t{stride} * plan.top + size_t(plan.left) * 3, plan.width, plan.height, stride,
              out.data(), plan.outWidth, plan.outHeight, outStride, 3);
    return WriteBitmap(file, plan.outWidth, plan.outHeight,
                       [&](UINT y) { return out.data() + outStride * y; });
}

} // namespace

std::wstring SaveAsBitmap(const Picture& picture, const std::wstring& path) {
    return SaveAsBitmap(picture, path,
                        PlanBitmap(settings::WallpaperPosition::Center, static_cast<int>(picture.Width()),
                                   static_cast<int>(picture.Height()), 0, 0));
}

std::wstring SaveAsBitmap(const Picture& picture, const std::wstring& path, const BitmapPlan& plan) {
    std::wstring failed = L"无法保存墙纸图片：" + path + L"\n";
    if (!picture.Bitmap()) return failed + L"没有图片。";
    assert(plan.left >= 0 && plan.top >= 0 && plan.left + plan.width <= static_cast<int>(picture.Width()) &&
           plan.top + plan.height <= static_cast<int>(picture.Height()) && plan.outWidth <= plan.width &&
           plan.outHeight <= plan.height);
    DWORD error =
        platform::WriteWholeFile(path, [&](HANDLE file) { return WritePlannedBitmap(picture, plan, file); });
    if (!error) return {};
    return failed + ErrorText(error);
}

} // namespace wallpaper
