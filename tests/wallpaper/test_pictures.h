// Pictures made for the tests with WIC's encoders, and reading back what a bitmap file says.
#pragma once
#include "platform/win.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>
#include <wincodec.h>

namespace test {

// COM for the calling thread, as the program has it; stays on for the whole test run.
void UseCom();

// Writes a w × h picture: JPEG, BMP (24-bit) or GIF (8-bit with a palette) by `container`.
// Its pixels are `bgr` everywhere, or a pattern that varies with x and y when `bgr` is -1.
bool WritePicture(const std::wstring& file, const GUID& container, UINT w, UINT h, long bgr = -1);
// Writes a w × h 24-bit picture (JPEG, BMP, PNG or TIFF) whose pixel (x, y) is `rgbAt(x, y)` (0xRRGGBB).
bool WritePixels(const std::wstring& file, const GUID& container, UINT w, UINT h,
                 const std::function<long(UINT, UINT)>& rgbAt);
// A JPEG with an APP1 "Exif" block put in after its start, whose orientation is `orientation`, in
// Motorola ("MM") or Intel ("II") byte order.
std::string WithOrientation(const std::string& jpeg, int orientation, bool motorola);
// The bytes of a picture of tests/wallpaper/pictures (built into the test as resource `name`).
std::string TestPicture(const wchar_t* name);
// Pixel (x, y) from the top of a 24-bit BMP file, as 0xRRGGBB; -1 when it is not there.
long BitmapPixel(const std::wstring& file, int x, int y);
// Colours as 0xRRGGBB, equal within `tolerance` in every channel.
bool Near(long a, long b, int tolerance);

struct BitmapHeader {
    int width = 0, height = 0, bitCount = 0;
};
// The size and depth stated by a BMP file (all zero when it is not one).
BitmapHeader ReadBitmapHeader(const std::wstring& file);

std::string ReadBytes(const std::wstring& file);
bool Exists(const std::wstring& path);
// Names of the files in a folder, sorted.
std::vector<std::wstring> FilesIn(const std::wstring& folder);

// Answers the next dialog box (class #32770) that the constructing thread shows, from a thread of
// its own; the answer runs with the box. Keeps the text of a message box.
class DialogAnswer {
  public:
    explicit DialogAnswer(std::function<void(HWND)> answer);
    ~DialogAnswer();
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;
    // Waits for the answer; true when a box was seen.
    bool Seen();
    std::wstring Text();

  private:
    DWORD thread_;
    std::thread watcher_;
    HWND box_ = nullptr;
    bool seen_ = false;
    std::wstring text_;
};

// Closes a dialog box as its button would.
void Press(HWND dialog, int id);
// Selects `folder` in the system's folder picker and confirms it. The picker fills its tree after it
// shows, which may undo an early selection, so the selection is made again until it holds.
void PickFolder(HWND picker, const std::wstring& folder);

} // namespace test
