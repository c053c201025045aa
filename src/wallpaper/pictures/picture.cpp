#include "wallpaper/pictures/picture.h"

#include "wallpaper/pictures/bitmap_file.h"
#include "wallpaper/pictures/picture_files.h"
#include "wallpaper/pictures/picture_header.h"
#include "wallpaper/pictures/picture_orientation.h"
#include "wallpaper/pictures/picture_pixels.h"
#include "wallpaper/pictures/shrink.h"

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

// Copies the w × h pixels of `source` into `out` (rows `stride` bytes apart, `size` bytes) as they are
// stored, a band at a time: 32-bit ones are laid on `background` on the way.
HRESULT CopyStored(IWICBitmapSource* source, bool bgra, UINT w, UINT h, uint32_t background, BYTE* out,
                   UINT stride, UINT size) {
    UINT band = static_cast<UINT>(std::clamp<uint64_t>(BandBytes / (uint64_t{w} * 4), 1, h));
    if (!bgra) {
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
    const UINT rowBytes = w * 4;
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
        for (UINT r = 0; r < rows; ++r)
            LayOnColour(buffer.data() + size_t{rowBytes} * r, out + size_t{stride} * (y + r), w, background);
    }
    return S_OK;
}

// The same, reduced to ow × oh on the way: a band of source rows at a time is copied and reduced into
// the output rows it covers, so nothing of the picture's own size is held beside the decoder's.
HRESULT CopyStoredReduced(IWICBitmapSource* source, bool bgra, UINT w, UINT h, uint32_t background, BYTE* out,
                          UINT stride, UINT ow, UINT oh) {
    const UINT bytes = bgra ? 4 : 3, rowBytes = w * bytes;
    const UINT perOut = (h + oh - 1) / oh + 1; // source rows of one output row, at most
    const UINT group =
        static_cast<UINT>(std::clamp<uint64_t>(BandBytes / (uint64_t{rowBytes} * perOut), 1, oh));
    std::vector<BYTE> buffer;
    try {
        buffer.resize(size_t{rowBytes} * perOut * group);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    for (UINT r0 = 0; r0 < oh;) {
        const UINT r1 = std::min(oh, r0 + group);
        const auto y0 = static_cast<UINT>(uint64_t{r0} * h / oh),
                   y1 = static_cast<UINT>(uint64_t{r1} * h / oh);
        WICRect part{0, static_cast<INT>(y0), static_cast<INT>(w), static_cast<INT>(y1 - y0)};
        if (HRESULT hr = source->CopyPixels(&part, rowBytes, rowBytes * (y1 - y0), buffer.data()); FAILED(hr))
            return hr;
        if (bgra)
            for (UINT r = 0; r < y1 - y0; ++r)
                LayOnColour(buffer.data() + size_t{rowBytes} * r, buffer.data() + size_t{rowBytes} * r, w,
                            background);
        ShrinkBgr(buffer.data(), static_cast<int>(w), static_cast<int>(y1 - y0), rowBytes,
                  out + size_t{stride} * r0, static_cast<int>(ow), static_cast<int>(r1 - r0), stride, 3);
        r0 = r1;
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

std::optional<PixelSize> UprightSize(const std::wstring& path) {
    platform::UniqueHandle file(CreateFileW(platform::LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > UINT32_MAX)
        return std::nullopt;
    // Mapped: only the pages the header reader touches are read.
    platform::UniqueHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    platform::Owned<const void*, ViewTraits> view(
        mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0) : nullptr);
    if (!view) return std::nullopt;
    const auto* bytes = static_cast<const uint8_t*>(view.get());
    const auto n = static_cast<size_t>(size.QuadPart);
    if (PictureFormatOf(bytes, n)) {
        std::optional<PictureHeader> header = ReadPictureHeader(bytes, n);
        if (!header) return std::nullopt;
        const bool swap = (header->format == PictureFormat::Jpeg || header->format == PictureFormat::Tiff) &&
                          SwapsSides(ReadOrientation(bytes, n));
        const int w = static_cast<int>(header->width), h = static_cast<int>(header->height);
        return swap ? PixelSize{h, w} : PixelSize{w, h};
    }
    // Other kinds: their decoder reads the size from the header when the frame is asked for it.
    ComPtr<IWICImagingFactory> factory = ImagingFactory();
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT w = 0, h = 0;
    if (!factory || FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(n))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&w, &h)) || !w || !h)
        return std::nullopt;
    return PixelSize{static_cast<int>(w), static_cast<int>(h)};
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

// The turn that the system's decoder can make while it decodes, for the orientations that are one
// rotation or one flip; the two mirrored quarter turns (5, 7) are left to our own copy.
WICBitmapTransformOptions DecoderTurn(int orientation) {
    switch (orientation) {
    case 2:
        return WICBitmapTransformFlipHorizontal;
    case 3:
        return WICBitmapTransformRotate180;
    case 4:
        return WICBitmapTransformFlipVertical;
    case 6:
        return WICBitmapTransformRotate90;
    case 8:
        return WICBitmapTransformRotate270;
    }
    return WICBitmapTransformRotate0;
}

// Where the codec can scale while it decodes (Windows' JPEG decoder by 1/2, 1/4 and 1/8), the frame
// decoded whole at the smallest of those sizes that still covers what `target` shows, and turned by
// the decoder where it can (`orientation` is then 1); elsewhere (and under Wine, which offers no such
// transform) the frame itself, decoded in full.
ComPtr<IWICBitmapSource> AtSizeNeeded(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT w,
                                      UINT h, const DecodeTarget& target, int& orientation) {
    // The need is taken against the picture as it is shown: a quarter turn swaps it back for the frame.
    const bool swap = SwapsSides(orientation);
    PixelSize need = NeededSize(target, static_cast<int>(swap ? h : w), static_cast<int>(swap ? w : h));
    if (swap) need = {need.height, need.width};
    int d = DecodeDivisor(static_cast<int>(w), static_cast<int>(h), need);
    ComPtr<IWICBitmapSourceTransform> transform;
    if (FAILED(frame->QueryInterface(IID_PPV_ARGS(&transform)))) return frame;
    WICBitmapTransformOptions turn = DecoderTurn(orientation);
    BOOL turns = FALSE;
    if (turn != WICBitmapTransformRotate0 &&
        (FAILED(transform->DoesSupportTransform(turn, &turns)) || !turns))
        turn = WICBitmapTransformRotate0;
    if (d == 1 && turn == WICBitmapTransformRotate0) return frame;
    UINT sw = (w + d - 1) / d, sh = (h + d - 1) / d;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(transform->GetClosestSize(&sw, &sh)) || static_cast<int>(sw) < need.width ||
        static_cast<int>(sh) < need.height || FAILED(transform->GetClosestPixelFormat(&format)))
        return frame;
    // The scale is asked for the stored picture; the pixels come turned, with the turned size.
    const bool quarter = turn == WICBitmapTransformRotate90 || turn == WICBitmapTransformRotate270;
    const UINT tw = quarter ? sh : sw, th = quarter ? sw : sh;
    ComPtr<IWICBitmap> scaled;
    if (FAILED(factory->CreateBitmap(tw, th, format, WICBitmapCacheOnLoad, &scaled))) return frame;
    WICRect all{0, 0, static_cast<INT>(tw), static_cast<INT>(th)};
    ComPtr<IWICBitmapLock> lock;
    UINT stride = 0, size = 0;
    BYTE* data = nullptr;
    if (FAILED(scaled->Lock(&all, WICBitmapLockWrite, &lock)) || FAILED(lock->GetStride(&stride)) ||
        FAILED(lock->GetDataPointer(&size, &data)) ||
        FAILED(transform->CopyPixels(nullptr, sw, sh, &format, turn, stride, size, data)))
        return frame;
    if (turn != WICBitmapTransformRotate0) orientation = 1;
    return scaled;
}

// The held pixels, locked for reading.
struct HeldPixels {
    ComPtr<IWICBitmapLock> lock;
    const BYTE* data = nullptr;
    UINT stride = 0, width = 0, height = 0; // as stored
};

bool Read(const Picture& picture, HeldPixels& held) {
    if (!picture.Bitmap() || FAILED(picture.Bitmap()->GetSize(&held.width, &held.height))) return false;
    WICRect all{0, 0, static_cast<INT>(held.width), static_cast<INT>(held.height)};
    UINT size = 0;
    BYTE* data = nullptr;
    if (FAILED(picture.Bitmap()->Lock(&all, WICBitmapLockRead, &held.lock)) ||
        FAILED(held.lock->GetStride(&held.stride)) || FAILED(held.lock->GetDataPointer(&size, &data)) ||
        uint64_t{held.stride} * (held.height - 1) + uint64_t{held.width} * 3 > size)
        return false;
    held.data = data;
    return true;
}

// The part `box` of the upright picture reduced to w × h (at most the box's size), upright, as 24-bit
// rows `outStride` bytes apart in `out`. The turn is made on the reduced pixels, so it costs next
// to nothing.
DWORD CopyReduced(const Picture& picture, PixelBox box, int w, int h, uint8_t* out, size_t outStride) {
    HeldPixels held;
    if (!Read(picture, held)) return ERROR_INVALID_DATA;
    const int o = picture.Orientation();
    const PixelBox s = StoredBox(o, held.width, held.height, box);
    const uint8_t* from = held.data + size_t{held.stride} * s.top + size_t{s.left} * 3;
    const auto sw = static_cast<int>(s.width), sh = static_cast<int>(s.height);
    if (o < 2 || o > 8) {
        ShrinkBgr(from, sw, sh, held.stride, out, w, h, outStride, 3);
        return ERROR_SUCCESS;
    }
    const int rw = SwapsSides(o) ? h : w, rh = SwapsSides(o) ? w : h;
    std::vector<uint8_t> reduced;
    try {
        reduced.resize(size_t(rw) * 3 * size_t(rh));
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    ShrinkBgr(from, sw, sh, held.stride, reduced.data(), rw, rh, size_t(rw) * 3, 3);
    PlaceRows(reduced.data(), size_t(rw) * 3, rw, rh, 0, rh, o, out, outStride);
    return ERROR_SUCCESS;
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
    Picture picture;
    picture.fullWidth_ = SwapsSides(orientation) ? h : w;
    picture.fullHeight_ = SwapsSides(orientation) ? w : h;
    ComPtr<IWICBitmapSource> decoded = AtSizeNeeded(factory, frame.Get(), w, h, target, orientation);
    picture.orientation_ = orientation;
    if (HRESULT hr = decoded->GetSize(&w, &h); FAILED(hr)) return failed(hr);
    // What the target shows needs no more pixels than this (as stored): a decoder that cannot scale
    // (Wine's) is reduced to it while its pixels are copied.
    const bool swap = SwapsSides(orientation);
    PixelSize need = NeededSize(target, static_cast<int>(swap ? h : w), static_cast<int>(swap ? w : h));
    if (swap) need = {need.height, need.width};
    const UINT ow = std::clamp<UINT>(static_cast<UINT>(std::max(need.width, 1)), 1, w),
               oh = std::clamp<UINT>(static_cast<UINT>(std::max(need.height, 1)), 1, h);
    picture.width_ = swap ? oh : ow;
    picture.height_ = swap ? ow : oh;
    // A bitmap the decoder filled already in our format is the picture itself.
    WICPixelFormatGUID format{};
    ComPtr<IWICBitmap> filled;
    if (ow == w && oh == h && decoded.Get() != frame.Get() && SUCCEEDED(decoded.As(&filled)) &&
        SUCCEEDED(filled->GetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR) {
        picture.bitmap_ = filled;
        return picture;
    }
    bool bgra = false;
    ComPtr<IWICBitmapSource> source = PixelSource(factory, decoded.Get(), bgra);
    if (!source) return failed(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT);
    if (HRESULT hr = factory->CreateBitmap(ow, oh, GUID_WICPixelFormat24bppBGR, WICBitmapCacheOnLoad,
                                           &picture.bitmap_);
        FAILED(hr))
        return failed(E_OUTOFMEMORY);
    {
        WICRect all{0, 0, static_cast<INT>(ow), static_cast<INT>(oh)};
        ComPtr<IWICBitmapLock> lock;
        UINT stride = 0, size = 0;
        BYTE* data = nullptr;
        if (FAILED(picture.bitmap_->Lock(&all, WICBitmapLockWrite, &lock)) ||
            FAILED(lock->GetStride(&stride)) || FAILED(lock->GetDataPointer(&size, &data)) ||
            uint64_t{stride} * (oh - 1) + uint64_t{ow} * 3 > size)
            return failed(E_OUTOFMEMORY);
        const uint32_t background =
            GetSysColor(target.use == DecodeTarget::Use::Thumbnail ? COLOR_WINDOW : COLOR_DESKTOP);
        if (HRESULT hr = ow == w && oh == h
                             ? CopyStored(source.Get(), bgra, w, h, background, data, stride, size)
                             : CopyStoredReduced(source.Get(), bgra, w, h, background, data, stride, ow, oh);
            FAILED(hr))
            return failed(hr);
    }
    return picture;
}

long Picture::Pixel(UINT x, UINT y) const {
    HeldPixels held;
    if (x >= width_ || y >= height_ || !Read(*this, held)) return -1;
    PixelBox at = StoredBox(orientation_, held.width, held.height, {x, y, 1, 1});
    const BYTE* p = held.data + size_t{held.stride} * at.top + size_t{at.left} * 3;
    return p[0] | p[1] << 8 | p[2] << 16;
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
    auto* out = static_cast<uint8_t*>(bits);
    const PixelBox whole{0, 0, picture.Width(), picture.Height()};
    if (picture.Orientation() == 1) {
        HeldPixels held;
        if (!Read(picture, held)) return {};
        ShrinkBgr(held.data, static_cast<int>(held.width), static_cast<int>(held.height), held.stride, out, w,
                  h, size_t(w) * 4);
        return dib;
    }
    // Turned in 24 bits, then spread to the DIB's 32 from its end, row by row, in place.
    if (CopyReduced(picture, whole, w, h, out, size_t(w) * 3) != ERROR_SUCCESS) return {};
    for (size_t i = size_t(w) * h; i-- > 0;) {
        out[i * 4 + 3] = 0;
        out[i * 4 + 2] = out[i * 3 + 2];
        out[i * 4 + 1] = out[i * 3 + 1];
        out[i * 4] = out[i * 3];
    }
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
    DWORD written = ERROR_SUCCESS;
    DWORD error = UsePlannedPixels(picture, plan, [&](const uint8_t* bgr, size_t stride) {
        written = WriteBitmap(file, plan.outWidth, plan.outHeight, [&](UINT y) { return bgr + stride * y; });
    });
    return error ? error : written;
}

} // namespace

DWORD UsePlannedPixels(const Picture& picture, const BitmapPlan& plan,
                       const std::function<void(const uint8_t* bgr, size_t stride)>& use) {
    if (picture.Orientation() == 1 && plan.outWidth == plan.width && plan.outHeight == plan.height) {
        HeldPixels held;
        if (!Read(picture, held)) return ERROR_INVALID_DATA;
        use(held.data + size_t{held.stride} * plan.top + size_t(plan.left) * 3, held.stride);
        return ERROR_SUCCESS;
    }
    const size_t stride = size_t(plan.outWidth) * 3;
    std::vector<BYTE> out;
    try {
        out.resize(stride * size_t(plan.outHeight));
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    const PixelBox part{static_cast<uint32_t>(plan.left), static_cast<uint32_t>(plan.top),
                        static_cast<uint32_t>(plan.width), static_cast<uint32_t>(plan.height)};
    if (DWORD error = CopyReduced(picture, part, plan.outWidth, plan.outHeight, out.data(), stride))
        return error;
    use(out.data(), stride);
    return ERROR_SUCCESS;
}

std::wstring SaveAsBitmap(const uint8_t* bgr, int width, int height, size_t stride,
                          const std::wstring& path) {
    DWORD error = platform::WriteWholeFile(path, [&](HANDLE file) {
        return WriteBitmap(file, static_cast<UINT>(width), static_cast<UINT>(height),
                           [&](UINT y) { return bgr + stride * y; });
    });
    if (!error) return {};
    return L"无法保存墙纸图片：" + path + L"\n" + ErrorText(error);
}

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
