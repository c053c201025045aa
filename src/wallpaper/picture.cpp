#include "wallpaper/picture.h"

#include "wallpaper/picture_files.h"
#include "wallpaper/shrink.h"

#include <algorithm>
#include <cstdint>

namespace wallpaper {

using Microsoft::WRL::ComPtr;

ComPtr<IWICImagingFactory> ImagingFactory() {
    ComPtr<IWICImagingFactory> factory;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    return factory;
}

std::optional<Picture> Picture::Load(const std::wstring& path) {
    ComPtr<IWICImagingFactory> factory = ImagingFactory();
    ComPtr<IWICBitmapDecoder> decoder;
    if (!factory || FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                              WICDecodeMetadataCacheOnDemand, &decoder)))
        return std::nullopt;
    return Decode(factory.Get(), decoder.Get());
}

std::optional<Picture> Picture::LoadFromMemory(const void* data, size_t size) {
    ComPtr<IWICImagingFactory> factory = ImagingFactory();
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    if (!factory || size > UINT32_MAX || FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                            static_cast<DWORD>(size))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                &decoder)))
        return std::nullopt;
    return Decode(factory.Get(), decoder.Get());
}

std::optional<Picture> Picture::Decode(IWICImagingFactory* factory, IWICBitmapDecoder* decoder) {
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT w = 0, h = 0;
    if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&w, &h)) || !w || !h)
        return std::nullopt;
    // WIC measures buffers in 32-bit sizes; a picture beyond that cannot be held.
    uint64_t stride = (uint64_t{w} * 3 + 3) & ~uint64_t{3};
    if (stride * h > UINT32_MAX) return std::nullopt;

    ComPtr<IWICBitmapSource> source = frame;
    WICPixelFormatGUID format{};
    if (FAILED(frame->GetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR) {
        // Wine cannot turn indexed pixels straight into 24-bit ones; through 32-bit BGRA works everywhere.
        ComPtr<IWICFormatConverter> bgra, bgr;
        if (FAILED(factory->CreateFormatConverter(&bgra)) ||
            FAILED(bgra->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
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
        UINT lockStride = 0, size = 0;
        BYTE* data = nullptr;
        if (FAILED(picture.bitmap_->Lock(&all, WICBitmapLockWrite, &lock)) ||
            FAILED(lock->GetStride(&lockStride)) || FAILED(lock->GetDataPointer(&size, &data)) ||
            FAILED(source->CopyPixels(&all, lockStride, size, data)))
            return std::nullopt;
    }
    picture.width_ = w;
    picture.height_ = h;
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

HRESULT WriteBmp(const Picture& picture, const std::wstring& file) {
    ComPtr<IWICImagingFactory> factory = ImagingFactory();
    if (!factory) return REGDB_E_CLASSNOTREG;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT hr;
    if (FAILED(hr = factory->CreateStream(&stream)) ||
        FAILED(hr = stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) ||
        FAILED(hr = factory->CreateEncoder(GUID_ContainerFormatBmp, nullptr, &encoder)) ||
        FAILED(hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(hr = encoder->CreateNewFrame(&frame, nullptr)) || FAILED(hr = frame->Initialize(nullptr)) ||
        FAILED(hr = frame->SetSize(picture.Width(), picture.Height())) ||
        FAILED(hr = frame->SetPixelFormat(&format)) ||
        FAILED(hr = frame->WriteSource(picture.Bitmap(), nullptr)) || FAILED(hr = frame->Commit()) ||
        FAILED(hr = encoder->Commit()))
        return hr;
    return format == GUID_WICPixelFormat24bppBGR ? S_OK : WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
}

} // namespace

std::wstring SaveAsBitmap(const Picture& picture, const std::wstring& path) {
    std::wstring failed = L"无法保存墙纸图片：" + path + L"\n";
    if (!picture.Bitmap()) return failed + L"没有图片。";
    size_t slash = path.rfind(L'\\');
    std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
    wchar_t temp[MAX_PATH] = L"";
    if (!GetTempFileNameW(folder.c_str(), L"tav", 0, temp)) return failed + ErrorText(GetLastError());
    HRESULT hr = WriteBmp(picture, temp);
    if (SUCCEEDED(hr)) {
        // The bytes reach the disk before the name points at them.
        platform::UniqueHandle file(CreateFileW(temp, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) FlushFileBuffers(file.get());
        file.reset();
        if (MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
        hr = HRESULT_FROM_WIN32(GetLastError());
    }
    DeleteFileW(temp);
    return failed + ErrorText(static_cast<DWORD>(hr));
}

} // namespace wallpaper
