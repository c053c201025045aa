// Tab 1, "墙纸和看图": the picture list, the preview and the picture buttons.
#pragma once
#include "core/identity.h"
#include "platform/file_drop.h"
#include "settings/app_settings.h"
#include "ui/tab_page.h"
#include "wallpaper/choosing/picture_marks.h"
#include "wallpaper/choosing/picture_tree.h"
#include "wallpaper/choosing/wallpaper_history.h"
#include "wallpaper/laying/picture_work.h"
#include "wallpaper/page/preview_pane.h"

#include <map>
#include <memory>
#include <unordered_map>
#include <optional>
#include <string>

namespace wallpaper {

// What the picture tab asks of the rest of the program.
class PictureHost {
  public:
    // "下载最新墙纸": the window with the wallpaper download pages.
    virtual void ShowDownloadWindow() = 0;

  protected:
    ~PictureHost() = default;
};

// Where each monitor's picture is kept in the settings, by the monitor's key (MonitorKey).
inline constexpr wchar_t SectionMonitorPictures[] = L"显示器墙纸";

// A minimised window on screen has no room for the preview, so pictures are not loaded for it then.
bool MinimisedOnScreen(HWND window);

class PicturePage : public ui::TabPage {
  public:
    // The page reads the program's places and keeps the chosen picture folder in `settings`.
    PicturePage(PictureHost& host, settings::AppSettings& settings, const core::ProgramPlaces& places)
        : host_(host), settings_(settings), places_(places) {}
    bool Build(HWND parent, int id, HFONT font, UINT dpi) override;
    void Layout(int W, int H, UINT dpi) override;
    void Reposition(UINT dpi, HFONT font) override;
    bool OnCommand(int id, int code, HWND control) override;

    // The folder the picture list shows (`File1.Path`), without a trailing backslash unless a root.
    const std::wstring& Path() const { return path_; }
    // Lists the pictures of `folder`; false (and nothing changed) when the folder does not exist.
    bool SetPath(const std::wstring& folder);
    // Shows the first of `folders` that exists (the one chosen last, the picture folder, the program
    // folder), and keeps it in the settings as the one chosen.
    void ShowFirstFolder(std::initializer_list<std::wstring> folders);
    // Lists the folder's pictures again; with its subfolders ("包含子文件夹") in the background, the
    // list filling in when the walk ends, with the selected picture kept.
    void Refresh();
    // New daily pictures (paths, the newest last) have come: the list shows them, and with `setNewest`
    // the newest becomes the wallpaper for the history, on the monitors of its shape where each
    // monitor has its own (picture_monitors.cpp).
    void DailyArrived(const std::vector<std::wstring>& paths, bool setNewest);
    // True while a listing of the subfolders runs.
    bool Listing() const { return listing_ != 0; }

    // The picture list as the timed modes step through it.
    const std::vector<std::wstring>& Names() const { return names_; }
    int ListCount() const;
    int ListIndex() const;
    std::wstring List(int index) const;
    // Selects entry `index` and runs File1_Click, as a click on it would. `quiet`: the timed modes
    // chose it, and a picture that cannot be decoded is passed over without a word.
    void SetListIndex(int index, bool quiet = false);
    // The same, with the picture to be made the wallpaper right after (设置墙纸): its decode for the
    // preview then serves the set too.
    void SetListIndexForWallpaper(int index);
    // Previews (and collects) the selected picture.
    void File1_Click(bool quiet = false);

    // Shows `path` (when not empty) in the preview from now on, and fits the preview into the pane:
    // the picture is decoded in the background, and the preview keeps what it shows until it is
    // ready; a file that cannot be decoded leaves it there. Nothing is decoded while the window is
    // hidden or minimised: the picture comes when the window shows again.
    void 加载图片(const std::wstring& path, bool quiet = false);
    // The main window was shown or hidden. Hidden, the preview lets go of its bitmap.
    void SetWindowShown(bool shown);
    // Makes the picture that the preview shows, or is to show, the wallpaper, after any set that
    // runs: the picture is decoded from its file again at the size the bitmap needs, and the bitmap
    // written and the system told on the picture thread. `report`: a failure is shown to the user when
    // it comes; otherwise it passes in silence.
    // `remember`: the wallpaper joins the history once it is set.
    void 设置墙纸(bool report = false, bool remember = true);
    // The wallpapers set (the last 100, kept in places.HistoryPath), walked as a browser's back and
    // forward do: each sets the entry it comes to, skipping pictures that are gone; false when there
    // is none.
    bool GoBack();
    bool GoForward();
    bool CanGoBack();
    // Marks (picture_marks_ui.cpp): "收藏" and "不再显示" as the user set them in the program (kept in
    // places.MarksPath), else as the file's own rating gives them (read when the folder is listed).
    Mark MarkOf(const std::wstring& path);
    Mark MarkOfIndex(int index);
    // Sets the user's mark and keeps it; the list shows it at once.
    void SetMark(const std::wstring& path, Mark mark);
    // The preview's tip: a daily picture's title and copyright line, as its folder's record keeps them;
    // empty for any other picture.
    std::wstring PreviewTip() const;
    // The selected picture's path; empty with none.
    std::wstring SelectedPath() const;
    // A picture that may be gone back to: its file is there and it is not "不再显示".
    bool Showable(const std::wstring& path);

    // The pictures of the wallpaper the program set last (one for each monitor that has its own), as
    // the history has them; empty when it has set none.
    std::vector<std::wstring> WallpapersShown();
    // The same with the monitors' keys (empty for one picture on every monitor).
    Arrangement ArrangementShown();

    // A picture for each monitor (picture_monitors.cpp). True when each monitor takes a picture of its
    // own: "每台显示器各一张", with a position other than 跨区, and more than one monitor.
    bool EachMonitor() const;
    // The monitors as the system has them now, in their order.
    std::vector<Monitor> Monitors();
    // Sets `pictures[i]` (a file) on monitor i of `monitors`; a monitor given nothing keeps the picture
    // it shows. In the background, as one set; `report` and `remember` as for 设置墙纸.
    void SetOnMonitors(const std::vector<Monitor>& monitors,
                       const std::vector<std::optional<std::wstring>>& pictures, bool report, bool remember);
    // The arrangement of monitors last set, as kept in the settings, and each one's picture.
    std::vector<Monitor> RememberedMonitors() const;
    std::wstring RememberedPicture(const std::wstring& key) const;
    void RememberMonitors(const std::vector<Monitor>& monitors);
    // The setting went back to one picture for all monitors: the other monitors' bitmaps go, and the
    // picture shown is set on all of them.
    void BackToOnePicture();
    // The wallpaper position has changed: when the desktop shows our bitmap, the previewed picture is
    // set again for it.
    void PositionChanged();
    // True while a picture asked for is not shown yet or a set has not ended.
    bool PictureWorkPending() const { return decoding_.generation != 0 || setsDone_ != setsAsked_; }
    // The program ends: what waits is dropped; a running write ends whole before the page goes.
    void CancelPictureWork();

    // The picture the preview shows or is to show; empty for the built-in one.
    std::wstring CurrentPicture() const { return wanted_.value_or(shownPath_); }

    void Command1_Click();
    void Command3_Click();
    void Command2_Click();
    void Command5_Click() { host_.ShowDownloadWindow(); }
    void menu删除文件jpg_Click();
    // picture_keys.cpp. A key pressed in the list: -2 when it did something of its own, -1 when the list's
    // own handling (moving the selection, which previews) goes on.
    LRESULT File1_KeyDown(UINT vk);
    // Delete: the selected picture goes to the recycle bin, with the shell's question.
    void RecycleSelectedPicture();

    // picture_thumbnails.cpp. The list's view, "缩略图" (true) or "列表", as the list menu's "查看" chooses
    // it; kept in the settings.
    void SetView(bool thumbnails);
    bool ShowsThumbnails() const { return settings_.Thumbnails; }

    const wallpaper::PreviewPane& Preview() const { return preview_; }
    // A picture dropped on the tab is previewed as if chosen from its folder: the list shows that folder
    // with the picture selected. What a drop of `paths` does (see platform::FileDropHandler).
    DWORD DropPictures(const std::vector<std::wstring>& paths, DWORD allowed, bool drop);
    IDropTarget* PageDropTarget() const { return dropTarget_.Get(); }

    HWND File1 = nullptr, P_back = nullptr;
    HWND Command1 = nullptr, Command3 = nullptr, Command2 = nullptr, Command4 = nullptr, Command6 = nullptr,
         Command5 = nullptr;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    // Starts the decode that the preview needs now, if any.
    void UpdatePreview();
    void StartDecode(const std::wstring& path, bool quiet);

    void PictureDecoded(uint32_t generation);
    void Fill(std::vector<std::wstring> names, bool keepSelection);
    void PicturesListed(uint32_t generation);
    void PicturesRated(uint32_t generation);
    void LoadMarks();
    // The list menu's "收藏" and "不再显示", checked as the selected picture is marked.
    void ShowMarkItems();
    // Shows and sets a wallpaper of the history, which stands at it already.
    void SetRemembered(const Arrangement& wallpaper);
    // Shows `path`, selected in the list where it is one of its pictures, and sets it on all monitors.
    void ShowAndSet(const std::wstring& path, bool remember);
    void LoadHistory();
    void WallpaperSet(uint32_t set);
    void File1_ContextMenu(LPARAM screenPoint);
    // The list menu's "设为墙纸": on every monitor (-1), or on monitor `index` alone.
    void SetForMonitor(int index);
    // The picture every monitor showed before each got its own.
    std::wstring OnePicture() const;
    void SaveFolder(const std::wstring& folder);
    HWND Owner() const;
    void Report(const std::wstring& error);

    // picture_thumbnails.cpp: the rows' height and drawing, and their thumbnails.
    static constexpr int ThumbnailPadding96 = 4;
    int Scaled(int pixels96) const;
    int RowHeight() const;
    void SetRowHeight();
    void File1_DrawItem(const DRAWITEMSTRUCT& d);
    // The list's top row and how many rows it shows, a part of one counting.
    std::pair<int, int> ShownRows() const;
    // A row without its thumbnail was drawn: the thumbnails are asked for, once the paint is over.
    void ThumbnailWanted();
    void OrderThumbnails();
    void ThumbnailsMade();
    void ReleaseThumbnails();
    HICON TypeIcon(const std::wstring& name);
    LRESULT ThumbnailMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
    struct ThumbnailRow {
        platform::UniqueGdi bitmap; // premultiplied 32-bit, top-down
        int width = 0, height = 0;
        bool failed = false; // no decoder knows it: the type's icon shows
    };
    std::vector<ThumbnailRow> rows_;             // by list row
    uint32_t list_ = 0;                          // the filling of the list that rows_ belong to
    std::wstring listFolder_;                    // the folder it was filled from
    std::optional<std::pair<int, int>> ordered_; // the rows shown when the thumbnails were last asked for
    bool orderPosted_ = false;
    std::map<std::wstring, platform::UniqueIcon> typeIcons_; // by extension

    PictureHost& host_;
    settings::AppSettings& settings_;
    const core::ProgramPlaces& places_;
    platform::UniqueMenu popups_;
    HMENU FlieL = nullptr;
    std::vector<Monitor> menuMonitors_; // the monitors the list menu offered
    Microsoft::WRL::ComPtr<IDesktopWallpaper> desktop_;
    bool desktopAsked_ = false;
    std::wstring path_;
    std::vector<std::wstring> names_; // as listed
    uint32_t listing_ = 0;            // the listing of the subfolders that runs
    uint32_t rating_ = 0;             // the reading of the files' ratings that runs
    std::unordered_map<std::wstring, Mark> fileMarks_; // by name, as the files' ratings give them
    std::vector<Mark> rowMarks_;                       // each listed picture's, made when first asked
    PictureMarks marks_;
    bool marksLoaded_ = false;
    std::wstring selectWhenListed_;   // a dropped picture, selected once the listing ends
    WallpaperHistory history_;
    bool historyLoaded_ = false;
    wallpaper::PreviewPane preview_;
    HWND tip_ = nullptr;
    std::wstring tipText_;
    bool reporting_ = false;
    Microsoft::WRL::ComPtr<platform::FileDropTarget> dropTarget_;
    std::wstring shownPath_; // the previewed picture's file; empty for the built-in one
    // A picture chosen that the preview does not show yet: being decoded, or waiting for the window.
    std::optional<std::wstring> wanted_;
    bool wantedQuiet_ = false;
    struct DecodeJob {
        uint32_t generation = 0; // 0: none runs
        std::wstring path;
        int paneW = 0, paneH = 0;
        bool quiet = false;
    } decoding_;
    bool windowShown_ = true;
    uint32_t setsAsked_ = 0, setsDone_ = 0;
    std::unique_ptr<PictureLister> lister_;
    std::unique_ptr<PictureWork> work_; // last: its thread ends before the rest goes
    static constexpr ui::layout::Rect File1Designed{330, 1230, 2590, 3000};
    static constexpr ui::layout::Rect P_backDesigned{2930, 30, 5000, 3000};
};

} // namespace wallpaper
