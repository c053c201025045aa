#include "wallpaper/laying/picture_work.h"

#include "res/resource.h"

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

// The picture fitted into a pane of paneW × paneH, as the preview draws it.
platform::UniqueGdi Fitted(const Picture& picture, int paneW, int paneH) {
    auto place =
        FitPicture(static_cast<float>(paneW), static_cast<float>(paneH),
                   static_cast<float>(picture.FullWidth()), static_cast<float>(picture.FullHeight()));
    if (!place) return {};
    return PreviewBitmap(picture, ToPixels(*place).width, ToPixels(*place).height);
}

} // namespace

std::optional<Picture> LoadPicture(const std::wstring& path, const DecodeTarget& target, std::wstring* why) {
    if (!path.empty()) return Picture::Load(path, target, why);
    // The built-in picture lives in the program's resources: nothing to keep, it is decoded again.
    if (HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_DEFAULT_PICTURE), RT_RCDATA))
        if (HGLOBAL data = LoadResource(nullptr, res))
            return Picture::LoadFromMemory(LockResource(data), SizeofResource(nullptr, res), target, why);
    return std::nullopt;
}

uint32_t PictureWork::Decode(std::wstring path, int paneW, int paneH) {
    DecodeAsk ask;
    {
        std::lock_guard lock(mutex_);
        newest_ = {newest_.generation + 1, std::move(path), paneW, paneH};
        ask = newest_;
    }
    worker_.Add(DecodeLane, ask.generation, [this, ask] { RunDecode(ask); });
    return ask.generation;
}

void PictureWork::RunDecode(const DecodeAsk& ask) {
    {
        // What an older decode brought is not shown now, or the window has it already.
        std::lock_guard lock(mutex_);
        if (served_ >= ask.generation) return; // an older decode of the same picture served this one
        decoded_.reset();
        handedOver_.reset();
    }
    if (worker_.Stale(DecodeLane, ask.generation)) return;
    UseCom();
    Decoded result;
    // Decoded for the pane, unless a set of the same picture waits next: then whole, to serve both.
    DecodeTarget target{DecodeTarget::Use::Preview, ask.paneW, ask.paneH};
    {
        std::lock_guard lock(mutex_);
        if (setWaiting_ == ask.path) target = {};
    }
    std::optional<Picture> picture = LoadPicture(ask.path, target, &result.why);
    DecodeAsk serve = ask;
    for (;;) {
        {
            // A newer decode of the same picture (the pane was resized meanwhile) is served with the
            // picture in hand; one of another picture throws it away.
            std::lock_guard lock(mutex_);
            if (newest_.generation != serve.generation) {
                if (newest_.cancelled || newest_.path != ask.path) return;
                serve = newest_;
            }
        }
        if (picture) {
            result.full = {static_cast<int>(picture->FullWidth()), static_cast<int>(picture->FullHeight())};
            result.preview = Fitted(*picture, serve.paneW, serve.paneH);
        }
        std::lock_guard lock(mutex_);
        if (newest_.generation != serve.generation) continue; // overtaken while the bitmap was made
        served_ = serve.generation;
        decoded_.emplace(serve.generation, std::move(result));
        break;
    }
    {
        // A set of the same picture waits next: it takes the picture instead of decoding it again.
        std::lock_guard lock(mutex_);
        if (picture && setWaiting_ == ask.path) handedOver_.emplace(ask.path, std::move(*picture));
    }
    picture.reset(); // before the window hears of it: nothing else decoded outlives its bitmap
    PostMessageW(window_, WM_PICTURE_DECODED, serve.generation, 0);
}

std::optional<PictureWork::Decoded> PictureWork::TakeDecoded(uint32_t generation) {
    std::lock_guard lock(mutex_);
    if (!decoded_ || decoded_->first != generation || generation != newest_.generation) return std::nullopt;
    Decoded result = std::move(decoded_->second);
    decoded_.reset();
    return result;
}

void PictureWork::CancelDecode() {
    uint32_t generation;
    {
        std::lock_guard lock(mutex_);
        generation = ++newest_.generation;
        newest_.cancelled = true;
        decoded_.reset();
    }
    worker_.Cancel(DecodeLane, generation);
}

void PictureWork::SetComing(const std::wstring& path) {
    std::lock_guard lock(mutex_);
    setWaiting_ = path;
}

uint32_t PictureWork::Set(SetRequest request) {
    uint32_t set = ++sets_;
    {
        std::lock_guard lock(mutex_);
        setWaiting_ = request.path;
    }
    worker_.Add(SetLane, set, [this, set, request = std::move(request)] { RunSet(set, request); });
    return set;
}

void PictureWork::RunSet(uint32_t set, const SetRequest& request) {
    UseCom();
    const DecodeTarget target{DecodeTarget::Use::Wallpaper, request.screen.width, request.screen.height,
                              request.position};
    // Decoded from the file now, at the size the bitmap needs: a file changed or gone since it was
    // previewed is taken as it is now.
    std::wstring why;
    std::optional<Picture> picture;
    {
        std::lock_guard lock(mutex_);
        if (setWaiting_ == request.path) setWaiting_.reset();
        if (handedOver_ && handedOver_->first == request.path) picture = std::move(handedOver_->second);
        handedOver_.reset();
    }
    // A picture decoded small for the preview does not serve a larger bitmap.
    if (picture) {
        PixelSize need = NeededSize(target, static_cast<int>(picture->FullWidth()),
                                    static_cast<int>(picture->FullHeight()));
        if (static_cast<int>(picture->Width()) < need.width ||
            static_cast<int>(picture->Height()) < need.height)
            picture.reset();
    }
    if (!picture) picture = LoadPicture(request.path, target, &why);
    SetResult result{set, why.empty() ? L"预览中没有图片，无法设为墙纸。" : why, request.report, request.path,
                     request.remember};
    if (!picture && request.fallback) {
        picture = LoadPicture(*request.fallback, target, nullptr);
        result.path = *request.fallback;
    }
    if (picture) result.error = SetWallpaper(*picture, request.bitmapPath, request.position, request.screen);
    picture.reset();
    Finished(std::move(result));
}

uint32_t PictureWork::SetMonitors(MonitorsRequest request) {
    uint32_t set = ++sets_;
    worker_.Add(SetLane, set, [this, set, request = std::move(request)] { RunSetMonitors(set, request); });
    return set;
}

void PictureWork::RunSetMonitors(uint32_t set, const MonitorsRequest& request) {
    UseCom();
    Microsoft::WRL::ComPtr<IDesktopWallpaper> desktop = SystemDesktopWallpaper();
    MonitorSetResult done =
        SetMonitorWallpapers(request.monitors, request.bitmapPath, request.position, desktop.Get());
    SetResult result{set, done.error, request.report, {}, request.remember, Arrangement{}};
    for (size_t i = 0; i < request.monitors.size(); ++i) {
        const bool ok = i < done.errors.size() && done.errors[i].empty();
        // A picture the user chose that cannot be shown is named, as for one monitor.
        if (!ok && result.error.empty() && i < done.errors.size()) result.error = done.errors[i];
        if (ok)
            result.monitors->push_back({MonitorKey(request.monitors[i].monitor), request.monitors[i].path});
    }
    if (!result.monitors->empty()) result.path = result.monitors->front().path;
    Finished(std::move(result));
}

void PictureWork::Finished(SetResult result) {
    const uint32_t set = result.set;
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
    CancelDecode();
    {
        std::lock_guard lock(mutex_);
        setWaiting_.reset();
        handedOver_.reset();
    }
    worker_.Cancel(SetLane, ++sets_);
    CancelThumbnails();
}

struct PictureWork::ThumbnailBatch {
    uint32_t list = 0, generation = 0;
    std::vector<ThumbnailAsk> asks;
    std::wstring cacheFolder;
    int boxW = 0, boxH = 0;
    std::vector<std::optional<ThumbnailKey>> keys;
    std::vector<char> done;
};

void PictureWork::Thumbnails(uint32_t list, std::vector<ThumbnailAsk> asks, const std::wstring& cacheFolder,
                             int boxW, int boxH) {
    auto batch = std::make_shared<ThumbnailBatch>();
    const size_t n = asks.size();
    *batch = {list, ++thumbnails_, std::move(asks), cacheFolder, boxW, boxH};
    batch->keys.resize(n);
    batch->done.resize(n);
    // One job a thumbnail: first every one that the cache holds, then the others made.
    for (bool make : {false, true})
        for (size_t i = 0; i < n; ++i)
            worker_.Add(ThumbnailLane, batch->generation,
                        [this, batch, i, make] { RunThumbnail(*batch, i, make); });
    worker_.Add(ThumbnailLane, batch->generation, [this] {
        if (store_) store_->Flush();
    });
}

void PictureWork::RunThumbnail(ThumbnailBatch& batch, size_t i, bool make) {
    if (worker_.Stale(ThumbnailLane, batch.generation) || batch.done[i]) return;
    const ThumbnailAsk& ask = batch.asks[i];
    std::optional<ThumbnailPixels> pixels;
    if (!make) {
        if (!batch.cacheFolder.empty() && (!store_ || store_->Folder() != batch.cacheFolder))
            store_.emplace(batch.cacheFolder);
        batch.keys[i] = KeyOfFile(ask.path);
        if (!batch.keys[i] || batch.cacheFolder.empty() || !(pixels = store_->Read(*batch.keys[i]))) return;
    } else {
        UseCom();
        pixels = MakeThumbnail(ask.path, batch.boxW, batch.boxH);
        if (batch.keys[i] && !batch.cacheFolder.empty()) store_->Write(*batch.keys[i], *pixels);
    }
    batch.done[i] = true;
    bool first;
    {
        std::lock_guard lock(mutex_);
        first = madeThumbnails_.empty();
        madeThumbnails_.push_back({batch.list, ask.row, ask.path, std::move(*pixels)});
    }
    if (first) PostMessageW(window_, WM_THUMBNAILS_MADE, 0, 0);
}

void PictureWork::CancelThumbnails() {
    worker_.Cancel(ThumbnailLane, ++thumbnails_);
    std::lock_guard lock(mutex_);
    madeThumbnails_.clear();
}

std::vector<PictureWork::Thumbnail> PictureWork::TakeThumbnails() {
    std::lock_guard lock(mutex_);
    return std::exchange(madeThumbnails_, {});
}

} // namespace wallpaper
