// Pictures of every kind, side by side in one run: listing a folder of 10,000 files of mixed kinds
// beside a bare FindFirstFileExW listing of it; previewing a 6000 × 4000 PNG beside WIC decoding it
// alone; loading a 6000 × 4000 JPEG with EXIF orientation 6 beside the same JPEG with orientation 1.
#include "bench/timing.h"
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/picture.h"
#include "wallpaper/picture_list.h"
#include "wallpaper/picture_names.h"

#include <cstdio>
#include <vector>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

using bench::Median;
using bench::Now;

// What a listing cannot do with less: every entry of the folder found once.
size_t BareListing(const std::wstring& folder) {
    size_t n = 0;
    WIN32_FIND_DATAW fd;
    platform::UniqueFind find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &fd,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return 0;
    do
        ++n;
    while (FindNextFileW(find.get(), &fd));
    return n;
}

// The same, keeping the picture names (no sort): what filtering costs.
size_t FilteredListing(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    platform::UniqueFind find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &fd,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return 0;
    do
        if (wallpaper::IsPictureName(fd.cFileName)) names.emplace_back(fd.cFileName);
    while (FindNextFileW(find.get(), &fd));
    return names.size();
}

// What WIC alone takes: open, decode the frame and copy out every pixel.
double DecodeAlone(const std::wstring& file) {
    double t0 = Now();
    ComPtr<IWICImagingFactory> f = wallpaper::ImagingFactory();
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    f->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                 &decoder);
    decoder->GetFrame(0, &frame);
    UINT w = 0, h = 0;
    frame->GetSize(&w, &h);
    UINT stride = (w * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * h);
    frame->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data());
    return Now() - t0;
}

// Loading as the picture tab does, and the preview's reduced copy.
double Preview(const std::wstring& file) {
    double t0 = Now();
    auto picture = wallpaper::Picture::Load(file);
    if (!picture) return -1;
    platform::UniqueGdi shown = wallpaper::PreviewBitmap(*picture, 660, 440);
    return Now() - t0;
}

double LoadOnly(const std::wstring& file) {
    double t0 = Now();
    auto picture = wallpaper::Picture::Load(file);
    return picture ? Now() - t0 : -1;
}

} // namespace

int main() {
    test::UseCom();
    test::TempFolder temp(L"picture-kinds-bench");
    wallpaper::UsePictureExtensions(wallpaper::PictureExtensionSet(wallpaper::InstalledDecoderExtensions()));

    // 10,000 files: pictures of every kind, and names the list leaves out.
    std::wstring many = temp.path() + L"\\many";
    CreateDirectoryW(many.c_str(), nullptr);
    const wchar_t* kinds[] = {L".jpg",  L".JPEG", L".png", L".tif", L".gif", L".bmp", L".wdp",  L".webp",
                              L".heic", L".txt",  L".ico", L".dds", L".NEF", L".doc", L".jfif", L".Png"};
    std::printf("making the test files...\n");
    for (int i = 0; i < 10000; ++i)
        test::TempFolder::Write(many + L"\\照片 " + std::to_wstring(i * 7919 % 10000) + kinds[i % 16], "");
    std::vector<double> bare, listed, filtered;
    size_t found = 0, pictures = 0;
    for (int i = 0; i < 21; ++i) {
        double t0 = Now();
        found = BareListing(many);
        bare.push_back(Now() - t0);
        t0 = Now();
        pictures = wallpaper::ListPictures(many).size();
        listed.push_back(Now() - t0);
        t0 = Now();
        FilteredListing(many);
        filtered.push_back(Now() - t0);
    }
    double b = Median(bare), l = Median(listed);
    std::printf("folder of %zu files, %zu of them pictures listed, median of 21 runs each:\n", found - 2,
                pictures);
    std::printf("  bare FindFirstFileExW listing: %.1f ms\n", b * 1000);
    std::printf("  filtered, not sorted:           %.1f ms\n", Median(filtered) * 1000);
    std::printf("  ListPictures (filtered, sorted): %.1f ms\n", l * 1000);
    std::printf("  ratio: %.2f (goal: at most 1.10)\n", l / b);

    if (getenv("LIST_ONLY")) return 0;
    std::wstring png = temp.path() + L"\\big.png";
    if (!test::WritePicture(png, GUID_ContainerFormatPng, 6000, 4000)) return 1;
    std::vector<double> alone, preview;
    for (int i = 0; i < 5; ++i) {
        alone.push_back(DecodeAlone(png));
        preview.push_back(Preview(png));
    }
    double a = Median(alone), p = Median(preview);
    std::printf("6000x4000 PNG, median of 5 runs each:\n");
    std::printf("  WIC decode alone:        %.3f s\n", a);
    std::printf("  Picture::Load + preview: %.3f s\n", p);
    std::printf("  ratio: %.2f (goal: at most 1.10)\n", p / a);

    std::wstring made = temp.path() + L"\\made.jpg";
    if (!test::WritePicture(made, GUID_ContainerFormatJpeg, 6000, 4000)) return 1;
    std::string jpeg = test::ReadBytes(made);
    std::wstring upright = temp.path() + L"\\upright.jpg", side = temp.path() + L"\\side.jpg";
    test::TempFolder::Write(upright, test::WithOrientation(jpeg, 1, false));
    test::TempFolder::Write(side, test::WithOrientation(jpeg, 6, false));
    std::vector<double> one, six;
    for (int i = 0; i < 5; ++i) {
        one.push_back(LoadOnly(upright));
        six.push_back(LoadOnly(side));
    }
    double o = Median(one), s = Median(six);
    std::printf("6000x4000 JPEG, Picture::Load, median of 5 runs each:\n");
    std::printf("  orientation 1: %.3f s\n", o);
    std::printf("  orientation 6: %.3f s\n", s);
    std::printf("  ratio: %.2f (goal: at most 1.20)\n", s / o);
    return 0;
}
