// Tab 0, "桌面文件": the folder browser. It lists one folder (its subfolders, then its files), goes into
// subfolders and back, shows the six special folders and sorts by column.
#pragma once
#include "browser/back_history.h"
#include "browser/browser_rows.h"
#include "browser/file_operations.h"
#include "browser/folder_reader.h"
#include "browser/folder_watch.h"
#include "browser/icon_cache.h"
#include "browser/live_changes.h"
#include "browser/size_walker.h"
#include "core/folder_paths.h"
#include "fileinfo/list_sort.h"
#include "fileinfo/shell_types.h"
#include "platform/file_drop.h"
#include "ui/tab_page.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace browser {

// What the browser needs of the main window.
class BrowserHost {
  public:
    // Makes the main window visible, neither minimised nor maximised.
    virtual void BringUpMainWindow() = 0;
    // Brings tab 0 ("桌面文件") to the front when another tab is shown.
    virtual void ShowBrowserTab() = 0;
    // Lets the user choose the folder to copy or move into: its path ending in "\", or empty text when
    // the choice was cancelled.
    virtual std::wstring BrowseForFolder() = 0;

  protected:
    ~BrowserHost() = default;
};

// The page's own messages and timer: a folder size from the walker, changes waiting in the watch, and
// the live view's gathering of them, which runs only while they wait.
inline constexpr UINT WM_FOLDER_SIZE = WM_APP + 17;
inline constexpr UINT WM_FOLDER_CHANGED = WM_APP + 18;
// Brings the row kept on top back there after a batch of changes, as a step of its own.
inline constexpr UINT WM_KEEP_TOP_ROW = WM_APP + 19;
inline constexpr UINT_PTR LiveViewTimer = 17;

// The six entries of Combo1, in their order.
inline constexpr const wchar_t* SpecialFolders[] = {L"桌面",     L"Windows目录", L"系统目录",
                                                    L"我的文档", L"浏览器缓存",  L"系统缓存"};
// The path of a Combo1 entry (by index) in the resolved special folders.
const std::wstring& SpecialFolderPath(const core::FolderPaths& paths, int entry);

class BrowserPage : public ui::TabPage {
  public:
    explicit BrowserPage(BrowserHost& host) : host_(host) {}
    bool Build(HWND parent, int id, HFONT font, UINT dpi) override;
    // What the list needs only once the user can reach it: its tip and its drop target. Start-up
    // leaves it until the window has shown.
    void FinishBuild();
    void Reposition(UINT dpi, HFONT font) override;
    void Layout(int W, int H, UINT dpi) override;
    bool OnCommand(int id, int code, HWND control) override;

    // The browser's part of start-up: the desktop in the working lists, Label2 and the history, the list
    // built, then Combo1 on "桌面", which builds it again. `paths` is the main window's record, read whenever
    // a special folder is chosen (its later fields are filled further on in start-up).
    void StartUp(const core::FolderPaths& paths);

    // Navigation
    void Combo1_Click();
    void Command8_Click();
    void ListView1_DblClick();
    void EnterSelectedFolder();
    void RefreshBrowser();
    void ShowSpecialFolder(const std::wstring& x);
    // Opens the selected row's entry with its program (a folder in a shell window); re-reads the folder
    // instead when the entry has gone.
    void OpenSelectedItem();

    // The list's popup menu and its file operations, each over every selected row in list order.
    void ListView1_ContextMenu(LPARAM screenPoint);
    // "打开文件" for a file row, "打开文件夹" and "用 资源管理器 打开文件夹" for a folder row.
    void SetLvMenuState();
    void CopySelectedTo();
    void MoveSelectedTo();
    void DeleteSelected();
    void RecycleSelected();

    // The list's keys, renaming in place, the clipboard and drag and drop (list_keys.cpp).
    // A key pressed in the list (`vk`, with the modifiers held now); true when it did something of its own.
    bool ListView1_KeyDown(UINT vk);
    // F2: the selected row's name becomes editable in the list.
    void BeginRename();
    // Delete: every selected entry goes to the recycle bin in one shell operation, with the shell's question.
    void RecycleSelectedTogether();
    // Shift+Delete: after one question, as "删除".
    void DeleteSelectedAfterQuestion();
    void SelectAllRows();
    void CopySelectedToClipboard(bool cut);
    void PasteFromClipboard();
    // What dropping `paths` at the screen point `at` does, and does it when `drop` (see FileDropHandler).
    DWORD DropOnList(const std::vector<std::wstring>& paths, POINT at, DWORD keys, DWORD allowed, bool drop);
    IDropTarget* ListDropTarget() const { return dropTarget_.Get(); }

    // Listing
    void ResetBrowserList();
    void ListSubfolders();
    void ListFiles();
    static std::wstring FolderSizeText(const std::wstring& folder);
    // Reads the current folder again into Dir1 and File2; the rows stay as they are.
    void RefreshLists();

    // Sorting by the header with `headerIndex` (1-based), as a click on it does.
    void ListView1_ColumnClick(int headerIndex);

    // The live view (browser_live.cpp). Folder sizes are walked on another thread and fill in as they
    // come; the shown folder is watched, and what changed in it is applied a moment after it changed.
    bool SizesPending() const { return walksPending_ > 0; }
    bool Watching() const { return watch_.Watching(); }
    void ApplyFolderChanges();
    // The main window hidden in the tray (false) or back (true): while it is away the watch only
    // gathers, and nothing else is done.
    void SetWindowShown(bool shown);

    // The current folder, and its subfolders (Dir1) and files (File2) as last read.
    const FolderLists& Lists() const { return lists_; }
    const std::wstring& CurrentFolder() const { return lists_.Path; }
    // Dir1's entry i: the full path of a subfolder. File2's entry i: a file's name.
    std::wstring Dir1List(size_t i) const { return FolderPrefix(lists_.Path) + lists_.Dir1[i].name; }
    const std::wstring& File2List(size_t i) const { return lists_.File2[i].name; }
    const BackHistory& List1() const { return history_; }

    // The rows in list order; the selected row (the focused one when it is selected) and all selected rows.
    const std::vector<BrowserRow>& Rows() const { return rows_; }
    const BrowserRow* SelectedItem() const;
    std::vector<const BrowserRow*> SelectedRows() const;
    const IconCache& Icons() const { return icons_; }

    HWND Picture2 = nullptr, Combo1 = nullptr, Command8 = nullptr, Label1 = nullptr, Label2 = nullptr;
    HWND ListView1 = nullptr;
    HMENU LV = nullptr;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    // Points Dir1 and File2 at `folder` and reads them.
    void SetPath(const std::wstring& folder);
    // Removes every row, then lists the subfolders and the files.
    void Rebuild();
    void RemoveAllRows();
    void ShowRowCount();
    void ShowSortArrow(int column, int order);
    void Report(const std::wstring& text);
    std::vector<Entry> SelectedEntries() const;
    void ReportFailures(FileOperation operation, const FileOperations& done);
    bool OnListNotify(NMHDR* nm, LRESULT* result);
    // list_keys.cpp
    void HookListView();
    void AcceptDrops();
    bool OnListEditNotify(NMHDR* nm, LRESULT* result);
    void FinishRename();
    // Copies (or moves) `paths` into `folder`; copies beside their originals get names of their own.
    // True when something was done and nothing failed.
    bool TransferInto(const std::vector<std::wstring>& paths, const std::wstring& folder, bool move);
    static LRESULT CALLBACK ListView1Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR page);
    static LRESULT CALLBACK RenameEditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR page);

    // The live view (browser_live.cpp)
    BrowserRow FolderRow(const std::wstring& key, const FoundEntry& found);
    BrowserRow FileRow(const std::wstring& key, const FoundEntry& found);
    void WalkFolder(const std::wstring& key);
    void OnFolderSize(WPARAM wp, LPARAM lp);
    void StartWatch();
    void StopLiveView();
    void StopGathering();
    void GatherFor(UINT ms);
    void OnFolderChanged();
    void OnLiveViewTimer();
    void ShowFolderGone();
    void ApplyDelta(const FolderDelta& delta);
    int RowIndex(const std::wstring& key);
    // Selection and focus go with their rows' keys when the rows change; the top row stays on top when
    // `keepTopRow`.
    struct ViewState {
        std::unordered_set<std::wstring> selected;
        std::wstring focused, top;
        std::vector<int> marked; // the rows selected or focused, by their place in the list
    };
    ViewState SaveView() const;
    void RestoreView(const ViewState& view, bool keepTopRow);
    void KeepTopRow();
    // The rows in the order of `request`, or in listing order (folders, then files, each by name).
    void SortRows(const std::optional<fileinfo::SortRequest>& request, bool keepTopRow);
    void SortInto(std::vector<BrowserRow>& rows, const std::optional<fileinfo::SortRequest>& request);
    // A name's sort key, kept while the folder is shown: a storm of new files sorts often.
    const std::string& NameSortKey(const std::wstring& name);

    BrowserHost& host_;
    const core::FolderPaths* paths_ = nullptr;
    FolderLists lists_;
    BackHistory history_;
    std::vector<BrowserRow> rows_;
    IconCache icons_;
    fileinfo::TypeNames types_;
    fileinfo::ListSortState sort_;
    int comboEntry_ = -1; // the Combo1 entry whose folder was last shown
    bool startingUp_ = false;
    std::unique_ptr<SizeWalker> walker_;
    uint32_t generation_ = 0;
    std::vector<std::wstring> walkKeys_; // the keys of this generation's walks, by job number
    size_t walksPending_ = 0;
    FolderWatch watch_;
    WalkThrottle throttle_;
    bool folderGone_ = false;
    bool windowShown_ = true, gathering_ = false;
    uint64_t gatherAt_ = 0;                             // when the gathering timer ticks
    std::optional<fileinfo::SortRequest> shownSort_;    // the order the rows are in; none: listing order
    std::unordered_map<std::wstring, size_t> rowIndex_; // row by key, made for rowIndexOf_ rows
    size_t rowIndexOf_ = SIZE_MAX;
    std::wstring topRow_; // the row to bring back on top, while WM_KEEP_TOP_ROW is on its way
    std::unordered_map<std::wstring, std::string> nameKeys_;
    HWND tip_ = nullptr;
    platform::Panel picture2_;
    platform::UniqueMenu popups_;
    struct Rename {
        int row = -1;
        std::wstring key, name;
        bool enter = false, ended = false; // the editor ended with Enter; the list has reported its end
    } rename_;
    Microsoft::WRL::ComPtr<platform::FileDropTarget> dropTarget_;
    static constexpr int Picture2Height = 420;
    static constexpr int ColumnWidths[4] = {2600, 1300, 1800, 2100}; // twips
};

} // namespace browser
