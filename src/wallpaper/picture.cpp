#include "wallpaper/picture.h"

#include "wallpaper/bitmap_file.h"
#include "wallpaper/picture_files.h"
#include "wallpaper/picture_header.h"
#include "wallpaper/picture_orientation.h"
#include "wallpaper/picture_pixels.h"
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
    case PictureFormat::Tiff:
        return GUID_ContainerFormatTiff;
    }
    return GUID_NULL;
}

// Icons, cursors, textures and camera raw pictures are not shown, whatever their file is named.
bool RefusedContainer(const GUID& container) {
    return container == GUID_ContainerFormatIco || container == GUID_ContainerFormatDds ||
           container == GUID_ContainerFormatRaw || container == GUID_ContainerFormatAdng;
}

// Pixels are copied a band of rows at a time, so the format converters hold one band, not a picture.
constexpr uint64_t BandBytes = 4u << 20;

// Why a picture is not shown, for the user.
namespace reasons {
const wchar_t NoDecoder[] = L"系统没有这种图片的解码器。";
// No decoder knows the bytes: a kind of picture the system has no decoder for, or a damaged file.
const wchar_t Unknown[] = L"系统没有能解码这个文件的解码器：这种图片系统不支持，或文件已损坏。";
const wchar_t Damaged[] = L"图片已损坏，或不是系统能解码的图片。";
const wchar_t NotShown[] = L"图标、光标、贴图和相机原始格式的图片不能用作墙纸。";
const wchar_t OutOfMemory[] = L"内存不足，无法解码这张图片。";
std::wstring TooLarge() {
    return L"图片太大：每边最多 " + std::to_wstring(MaxPictureSide) + L" 像素，总共最多 " +
           std::to_wstring(MaxPicturePixels) + L" 像素。";
}
// A decoder that is installed but lacks what it needs (a HEIF picture without the HEVC codec) says so
// with these.
bool MeansNoDecoder(HRESULT hr) {
    return hr == WINCODEC_ERR_COMPONENTNOTFOUND || hr == WINCODEC_ERR_UNSUPPORTEDOPERATION ||
           hr == static_cast<HRESULT>(0xC00D5212); // MF_E_TOPO_CODEC_NOT_FOUND
}
} // namespace reasons

// Where the pixels come from: the frame itself when it is 24-bit BGR, otherwise a converter to
// 32-bit BGRA, which keeps transparency and is the one way from indexed pixels that works on Wine
// too. Null when there is no such way.
ComPtr<IWICBitmapSource> PixelSource(IWICImagingFactory* factory, IWICBitmapSource* frame, bool& bgra) {
    WICPixelFormatGUID format{};
    bgra = FAILED(frame->GetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR;
    if (!bgra) return frame;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return nullptr;
    return converter;
}

// Copies the w × h pixels of `source` into `out` (rows `stride` bytes apart, `size` bytes), a band
// at a time: 32-bit ones are laid on `background`, and every band is put where `orientation` turns it.
HRESULT CopyTurned(IWICBitmapSource* source, bool bgra, UINT w, UINT h, int orientation, uint32_t background,
                   BYTE* out, UINT stride, UINT size) {
    const UINT bytes = bgra ? 4 : 3;
    UINT band = static_cast<UINT>(std::clamp<uint64_t>(BandBytes / (uint64_t{w} * 4), 1, h));
    if (!bgra && orientation == 1) {
        // Straight into the picture; the last row of the buffer may come without its padding.
        for (UINT y = 0; y < h; y += band) {
            UINT rows = std::min(band, h - y);
            WICRect part{0, static_cast<INT>(y), static_cast<INT>(w), static_cast<INT>(rows)};
            UINT n = std::min(stride * rows, size - stride * y);
            if (HRESULT hr = source->CopyPixels(&part, stride, n, out + size_t{stride} * y); FAILED(hr))
                return hr;
        }
        return S_OK;
    }
    std::vector<BYTE> buffer;
    const UINT rowBytes = w * bytes;
    try {
        buffer.resize(size_t{rowBytes} * band);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    for (UINT y = 0; y < h; y += band) {
        UINT rows = std::min(band, h - y);
        WICRect part{0, static_cast<INT>(y), static_cast<INT>(w), static_cast<INT>(rows)};
        if (HRESULT hr = source->CopyPixels(&part, rowBytes, rowBytes * rows, buffer.data()); FAILED(hr))
            return hr;
        if (bgra)
            for (UINT r = 0; r < rows; ++r)
                LayOnColour(buffer.data() + size_t{rowBytes} * r, buffer.data() + size_t{rowBytes} * r, w,
                            background);
        PlaceRows(buffer.data(), rowBytes, w, h, y, rows, orientation, out, stride);
    }
    return S_OK;
}

} // namespace

std::vector<std::wstring> InstalledDecoderExtensions() {
    std::vector<std::wstring> lists;
    ComPtr<IWICImagingFactory> factory = ImagingFactory();
    ComPtr<IEnumUnknown> decoders;
    if (!factory ||
        FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, &decoders)))
        return lists;
    ComPtr<IUnknown> item;
    ULONG fetched = 0;
    while (decoders->Next(1, &item, &fetched) == S_OK && fetched == 1) {
        ComPtr<IWICBitmapDecoderInfo> info;
        GUID container{};
        UINT n = 0;
        if (FAILED(item.As(&info)) || FAILED(info->GetContainerFormat(&container)) ||
            RefusedContainer(container) || FAILED(info->GetFileExtensions(0, nullptr, &n)) || n == 0)
            continue;
        std::wstring text(n, L'\0');
        if (FAILED(info->GetFileExtensions(n, text.data(), &n))) continue;
        text.resize(wcsnlen(text.c_str(), text.size()));
        lists.push_back(std::move(text));
    }
    return lists;
}

std::optional<Picture> Picture::Load(const std::wstring& path, const DecodeTarget& target,
                                     std::wstring* why) {
    auto refuse = [&](const std::wstring& reason) {
        if (why) *why = L"无法显示图片：" + path + L"\n" + reason;
        return std::nullopt;
    };
    // Mapped, not read: the checks and the decoder see the same bytes, and nobody may change them
    // while the picture decodes.
    platform::UniqueHandle file(CreateFileW(platform::LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) return refuse(ErrorText(GetLastError()));
    if (size.QuadPart <= 0) return refuse(L"文件是空的。");
    if (size.QuadPart > UINT32_MAX) return refuse(reasons::TooLarge());
    platform::UniqueHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    platform::Owned<const void*, ViewTraits> view(
        mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0) : nullptr);
    if (!view) return refuse(ErrorText(GetLastError()));
    std::wstring reason;
    std::optional<Picture> picture =
        LoadFromMemory(view.get(), static_cast<size_t>(size.QuadPart), target, &reason);
    if (!picture) return refuse(reason);
    return picture;
}

std::optional<Picture> Picture::LoadFromMemory(const void* data, size_t size) {
    return LoadFromMemory(data, size, {});
}

std::optional<Picture> Picture::LoadFromMemory(const void* data, size_t size, const DecodeTarget& target,
                                               std::wstring* why) {
    std::wstring reason;
    auto refuse = [&](const std::wstring& text) {
        if (why) *why = text;
        return std::nullopt;
    };
    const auto* bytes = static_cast<const uint8_t*>(data);
    ComPtr<IWICImagingFactory> factory = ImagingFactory();
    ComPtr<IWICStream> stream;
    if (size > UINT32_MAX) return refuse(reasons::TooLarge());
    if (!factory || FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(size))))
        return refuse(reasons::NoDecoder);
    ComPtr<IWICBitmapDecoder> decoder;
    int orientation = 1;
    if (std::optional<PictureFormat> format = PictureFormatOf(bytes, size)) {
        // What the header claims is checked before a decoder allocates anything for it, and only the
        // decoder of that format reads the bytes.
        bool tooLarge = false;
        if (!ReadPictureHeader(bytes, size, &tooLarge))
            return refuse(tooLarge ? reasons::TooLarge() : reasons::Damaged);
        HRESULT hr = factory->CreateDecoder(Container(*format), nullptr, &decoder);
        if (FAILED(hr)) return refuse(reasons::NoDecoder);
        if (FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand)))
            return refuse(reasons::Damaged);
        if (*format == PictureFormat::Jpeg || *format == PictureFormat::Tiff)
            orientation = ReadOrientation(bytes, size);
    } else {
        // Other kinds go to the installed decoder that knows them (WebP, HEIF, JPEG XR...). Those that
        // turn their pictures themselves (HEIF, AVIF) are not turned again.
        HRESULT hr =
            factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder);
        if (FAILED(hr))
            return refuse(hr == WINCODEC_ERR_COMPONENTNOTFOUND || hr == WINCODEC_ERR_UNKNOWNIMAGEFORMAT
                              ? reasons::Unknown
                              : reasons::Damaged);
        GUID container{};
        if (FAILED(decoder->GetContainerFormat(&container)) || RefusedContainer(container))
            return refuse(reasons::NotShown);
    }
    std::optional<Picture> picture = Decode(factory.Get(), decoder.Get(), target, orientation, reason);
    if (!picture) return refuse(reason);
    return picture;
}

namespace {

// Where the codec can scale while it decodes (Windows' JPEG decoder by 1/2, 1/4 and 1/8), the frame
// decoded whole at the smallest of those sizes that still covers what `target` shows; elsewhere (and
// under Wine, which offers no such transform) the frame itself, decoded in full.
ComPtr<IWICBitmapSource> AtSizeNeeded(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT w,
                                      UINT h, const DecodeTarget& target, int orientation) {
    // The need is taken against the picture as it is shown: a quarter turn swaps it back for the frame.
    const bool swap = SwapsSides(orientation);
    PixelSize need = NeededSize(target, static_cast<int>(swap ? h : w), static_cast<int>(swap ? w : h));
    if (swap) need = {need.height, need.width};
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
                                       const DecodeTarget& target, int orientation, std::wstring& reason) {
    auto failed = [&](HRESULT hr) {
        reason = hr == E_OUTOFMEMORY           ? reasons::OutOfMemory
                 : reasons::MeansNoDecoder(hr) ? reasons::NoDecoder
                                               : reasons::Damaged;
        return std::nullopt;
    };
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT w = 0, h = 0;
    if (HRESULT hr = decoder->GetFrame(0, &frame); FAILED(hr)) return failed(hr);
    if (HRESULT hr = frame->GetSize(&w, &h); FAILED(hr)) return failed(hr);
    // Every kind of picture is held to the limits before its pixels are allocated.
    if (!PictureSizeAllowed(w, h)) {
        reason = reasons::TooLarge();
        return std::nullopt;
    }
    const UINT fullWidth = SwapsSides(orientation) ? h : w, fullHeight = SwapsSides(orientation) ? w : h;
    ComPtr<IWICBitmapSource> decoded = AtSizeNeeded(factory, frame.Get(), w, h, target, orientation);
    if (HRESULT hr = decoded->GetSize(&w, &h); FAILED(hr)) return failed(hr);
    bool bgra = false;
    ComPtr<IWICBitmapSource> source = PixelSource(factory, decoded.Get(), bgra);
    if (!source) return failed(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT);

    const UINT tw = SwapsSides(orientation) ? h : w, th = SwapsSides(orientation) ? w : h;
    Picture picture;
    if (HRESULT hr = factory->CreateBitmap(tw, th, GUID_WICPixelFormat24bppBGR, WICBitmapCacheOnLoad,
                                           &picture.bitmap_);
        FAILED(hr))
        return failed(E_OUTOFMEMORY);
    {
        WICRect all{0, 0, static_cast<INT>(tw), static_cast<INT>(th)};
        ComPtr<IWICBitmapLock> lock;
        UINT stride = 0, size = 0;
        BYTE* data = nullptr;
        if (FAILED(picture.bitmap_->Lock(&all, WICBitmapLockWrite, &lock)) ||
            FAILED(lock->GetStride(&stride)) || FAILED(lock->GetDataPointer(&size, &data)) ||
            uint64_t{stride} * (th - 1) + uint64_t{tw} * 3 > size)
            return failed(E_OUTOFMEMORY);
        if (HRESULT hr = CopyTurned(source.Get(), bgra, w, h, orientation, GetSysColor(COLOR_DESKTOP), data,
                                    stride, size);
            FAILED(hr))
            return failed(hr);
    }
    picture.width_ = tw;
    picture.height_ = th;
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
