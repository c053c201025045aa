#include "wallpaper/picture_work.h"

namespace wallpaper {

namespace {

// WIC on the worker's thread, for as long as the thread runs; and the thread gives way to the
// window's, so that a decode never holds up a paint or an answer.
void UseCom() {
    struct Com {
        Com() {
            SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        }
        ~Com() { CoUninitialize(); }
    };
    thread_local Com com;
}

SharedPicture Share(std::optional<Picture> picture) {
    return picture ? std::make_shared<const Picture>(std::move(*picture)) : nullptr;
}

} // namespace

uint32_t PictureWork::Decode(std::wstring path, int paneW, int paneH) {
    uint32_t generation = ++decodes_;
    worker_.Add(DecodeLane, generation, [this, generation, path = std::move(path), paneW, paneH] {
        RunDecode(generation, path, paneW, paneH);
    });
    return generation;
}

void PictureWork::RunDecode(uint32_t generation, const std::wstring& path, int paneW, int paneH) {
    {
        // What an older decode brought is not shown now, or the window has it already.
        std::lock_guard lock(mutex_);
        decoded_.reset();
        lastDecoded_.reset();
    }
    if (worker_.Stale(DecodeLane, generation)) return;
    UseCom();
    Decoded result;
    std::optional<Picture> picture =
        Picture::Load(path, {DecodeTarget::Use::Preview, paneW, paneH}, &result.why);
    // The preview is reduced here too, so that the window only draws it; not for a decode overtaken
    // meanwhile, which is never shown.
    if (picture && !worker_.Stale(DecodeLane, generation))
        if (auto place = FitPicture(static_cast<float>(paneW), static_cast<float>(paneH),
                                    static_cast<float>(picture->FullWidth()),
                                    static_cast<float>(picture->FullHeight())))
            result.preview = PreviewBitmap(*picture, ToPixels(*place).width, ToPixels(*place).height);
    result.picture = Share(std::move(picture));
    std::lock_guard lock(mutex_);
    lastDecoded_.emplace(generation, result.picture);
    if (worker_.Stale(DecodeLane, generation)) return; // overtaken: the newer decode is shown instead
    decoded_.emplace(generation, std::move(result));
    PostMessageW(window_, WM_PICTURE_DECODED, generation, 0);
}

std::optional<PictureWork::Decoded> PictureWork::TakeDecoded(uint32_t generation) {
    std::lock_guard lock(mutex_);
    if (!decoded_ || decoded_->first != generation || generation != decodes_) return std::nullopt;
    Decoded result = std::move(decoded_->second);
    decoded_.reset();
    return result;
}

uint32_t PictureWork::Set(SetRequest request) {
    uint32_t set = ++sets_;
    worker_.Add(SetLane, set, [this, set, request = std::move(request)] { RunSet(set, request); });
    return set;
}

void PictureWork::RunSet(uint32_t set, const SetRequest& request) {
    UseCom();
    const DecodeTarget target{DecodeTarget::Use::Wallpaper, request.screen.width, request.screen.height,
                              request.position};
    SharedPicture picture;
    std::wstring path;
    if (!request.loadingPath.empty()) {
        {
            std::lock_guard lock(mutex_);
            if (lastDecoded_ && lastDecoded_->first == request.loading) picture = lastDecoded_->second;
        }
        // Not decoded yet (a newer choice dropped that decode): this set decodes it for itself.
        if (!picture) picture = Share(Picture::Load(request.loadingPath, target));
        path = request.loadingPath;
    }
    if (!picture) {
        picture = request.shown;
        path = request.shownPath;
    }
    // A picture decoded small for the preview is decoded again at the size the bitmap needs.
    if (picture && !path.empty()) {
        PixelSize need = NeededSize(target, static_cast<int>(picture->FullWidth()),
                                    static_cast<int>(picture->FullHeight()));
        if (static_cast<int>(picture->Width()) < need.width ||
            static_cast<int>(picture->Height()) < need.height)
            if (SharedPicture larger = Share(Picture::Load(path, target))) picture = larger;
    }
    SetResult result{set, L"预览中没有图片，无法设为墙纸。", request.report};
    if (picture) result.error = SetWallpaper(*picture, request.bitmapPath, request.position, request.screen);
    picture.reset();
    {
        std::lock_guard lock(mutex_);
        setResults_.push_back(std::move(result));
    }
    PostMessageW(window_, WM_WALLPAPER_SET, set, 0);
}

std::deque<PictureWork::SetResult> PictureWork::TakeSetResults() {
    std::lock_guard lock(mutex_);
    return std::exchange(setResults_, {});
}

void PictureWork::CancelWaiting() {
    worker_.Cancel(DecodeLane, ++decodes_);
    worker_.Cancel(SetLane, ++sets_);
}

} // namespace wallpaper
