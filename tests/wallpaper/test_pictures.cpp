#include "tests/wallpaper/test_pictures.h"

#include <algorithm>
#include <commctrl.h>
#include <cstdint>
#include <fstream>
#include <shlobj.h>
#include <vector>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace test {

void UseCom() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

bool WritePicture(const std::wstring& file, const GUID& container, UINT w, UINT h, long bgr) {
    std::function<long(UINT, UINT)> same;
    if (bgr != -1) same = [bgr](UINT, UINT) { return bgr; };
    return WritePixels(file, container, w, h, same);
}

bool WritePixels(const std::wstring& file, const GUID& container, UINT w, UINT h,
                 const std::function<long(UINT, UINT)>& rgbAt) {
    UseCom();
    ComPtr<IWICImagingFactory> f;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&f))))
        return false;
    // Without a colour function: a pattern that varies with x and y, or for a GIF, palette blocks; a
    // GIF has the colour of the first pixel.
    const long bgr = rgbAt ? rgbAt(0, 0) : -1;
    bool indexed = container == GUID_ContainerFormatGif;
    UINT bytes = indexed ? 1 : 3;
    UINT stride = (w * bytes + 3) & ~3u;
    std::vector<BYTE> px(static_cast<size_t>(stride) * h);
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            BYTE* p = px.data() + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * bytes;
            if (indexed) {
                *p = bgr == -1 ? static_cast<BYTE>((x / 8 + y / 8) % 4) : 0;
            } else {
                long rgb = rgbAt ? rgbAt(x, y) : 0;
                for (UINT c = 0; c < 3; ++c)
                    p[c] = !rgbAt ? static_cast<BYTE>((x * (c + 1) + y * 3) & 255)
                                  : static_cast<BYTE>((rgb >> (8 * c)) & 255);
            }
        }
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = indexed ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat24bppBGR;
    if (FAILED(f->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) ||
        FAILED(f->CreateEncoder(container, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr)) ||
        FAILED(frame->SetSize(w, h)) || FAILED(frame->SetPixelFormat(&format)))
        return false;
    if (indexed) {
        // The given colour (or blue) first, then red, green and white; WICColor is ARGB, as `bgr` reads.
        WICColor first = 0xFF000000 | static_cast<WICColor>(bgr == -1 ? 0x0000FF : bgr);
        WICColor colours[4] = {first, 0xFFFF0000, 0xFF00FF00, 0xFFFFFFFF};
        ComPtr<IWICPalette> palette;
        if (FAILED(f->CreatePalette(&palette)) || FAILED(palette->InitializeCustom(colours, 4)) ||
            FAILED(frame->SetPalette(palette.Get())))
            return false;
    }
    return SUCCEEDED(frame->WritePixels(h, stride, static_cast<UINT>(px.size()), px.data())) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

std::string WithOrientation(const std::string& jpeg, int orientation, bool motorola) {
    auto u16 = [&](unsigned v) {
        return motorola ? std::string{char(v >> 8), char(v)} : std::string{char(v), char(v >> 8)};
    };
    auto u32 = [&](unsigned v) { return motorola ? u16(v >> 16) + u16(v) : u16(v) + u16(v >> 16); };
    // One directory with one entry: 274, SHORT, 1, the value.
    std::string tiff = (motorola ? "MM" : "II") + u16(42) + u32(8) + u16(1) + u16(274) + u16(3) + u32(1) +
                       u16(static_cast<unsigned>(orientation)) + u16(0) + u32(0);
    std::string body = std::string("Exif\0\0", 6) + tiff;
    std::string app1 = "\xFF\xE1" + std::string{char((body.size() + 2) >> 8), char(body.size() + 2)} + body;
    return jpeg.substr(0, 2) + app1 + jpeg.substr(2);
}

std::string TestPicture(const wchar_t* name) {
    HRSRC res = FindResourceW(nullptr, name, RT_RCDATA);
    HGLOBAL data = res ? LoadResource(nullptr, res) : nullptr;
    return data ? std::string(static_cast<const char*>(LockResource(data)), SizeofResource(nullptr, res))
                : "";
}

long BitmapPixel(const std::wstring& file, int x, int y) {
    std::string b = ReadBytes(file);
    BitmapHeader h = ReadBitmapHeader(file);
    if (h.bitCount != 24 || x < 0 || y < 0 || x >= h.width || y >= h.height) return -1;
    size_t stride = (static_cast<size_t>(h.width) * 3 + 3) & ~size_t{3};
    size_t at = 54 + stride * static_cast<size_t>(h.height - 1 - y) + static_cast<size_t>(x) * 3;
    if (at + 3 > b.size()) return -1;
    auto byte = [&](size_t i) { return static_cast<long>(static_cast<unsigned char>(b[i])); };
    return byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16;
}

bool Near(long a, long b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs((a >> shift & 0xFF) - (b >> shift & 0xFF)) > tolerance) return false;
    return true;
}

namespace {

// Reads as the shell reads a wallpaper: sharing everything, so that the program may replace the
// file meanwhile, as it does while a test waits for the new one.
std::string ReadBytes(const std::wstring& file, size_t most) {
    platform::UniqueHandle h(CreateFileW(file.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    if (!h) return {};
    std::string bytes;
    char buf[65536];
    DWORD n = 0;
    while (
        bytes.size() < most &&
        ReadFile(h.get(), buf, static_cast<DWORD>(std::min(sizeof buf, most - bytes.size())), &n, nullptr) &&
        n)
        bytes.append(buf, n);
    return bytes;
}

} // namespace

std::string ReadBytes(const std::wstring& file) {
    return ReadBytes(file, SIZE_MAX);
}

BitmapHeader ReadBitmapHeader(const std::wstring& file) {
    std::string b = ReadBytes(file, 54);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return {};
    auto i32 = [&](size_t at) {
        int32_t v;
        std::copy_n(b.data() + at, 4, reinterpret_cast<char*>(&v));
        return v;
    };
    auto u16 = [&](size_t at) {
        uint16_t v;
        std::copy_n(b.data() + at, 2, reinterpret_cast<char*>(&v));
        return v;
    };
    return {i32(18), std::abs(i32(22)), u16(28)};
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    platform::UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &fd));
    if (!find) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(fd.cFileName);
    } while (FindNextFileW(find.get(), &fd));
    std::sort(names.begin(), names.end());
    return names;
}

DialogAnswer::DialogAnswer(std::function<void(HWND)> answer) : thread_(GetCurrentThreadId()) {
    watcher_ = std::thread([this, answer] {
        for (int tries = 0; tries < 200 && !seen_; ++tries) {
            EnumThreadWindows(
                thread_,
                [](HWND w, LPARAM lp) -> BOOL {
                    wchar_t cls[32] = L"";
                    GetClassNameW(w, cls, 32);
                    if (wcscmp(cls, L"#32770") || !IsWindowVisible(w)) return TRUE;
                    *reinterpret_cast<HWND*>(lp) = w;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&box_));
            if (!box_) {
                Sleep(50);
                continue;
            }
            seen_ = true;
            text_ = platform::GetText(GetDlgItem(box_, 0xFFFF));
            answer(box_);
        }
    });
}

DialogAnswer::~DialogAnswer() {
    if (watcher_.joinable()) watcher_.join();
}

bool DialogAnswer::Seen() {
    if (watcher_.joinable()) watcher_.join();
    return seen_;
}

std::wstring DialogAnswer::Text() {
    Seen();
    return text_;
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

void PickFolder(HWND picker, const std::wstring& folder) {
    HWND tree = FindWindowExW(picker, nullptr, WC_TREEVIEWW, nullptr);
    for (int i = 0; i < 100 && tree && TreeView_GetCount(tree) == 0; ++i)
        Sleep(50);
    HTREEITEM initial = tree ? TreeView_GetSelection(tree) : nullptr;
    for (int i = 0; i < 40; ++i) {
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        Sleep(50);
        HTREEITEM chosen = tree ? TreeView_GetSelection(tree) : nullptr;
        if (!tree || (chosen && chosen != initial)) {
            Sleep(150);
            if (!tree || TreeView_GetSelection(tree) == chosen) break;
        }
    }
    Press(picker, IDOK);
}

} // namespace test
