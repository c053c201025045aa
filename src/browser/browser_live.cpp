// The folder browser's live view: folder sizes walked off the window's thread, the shown folder
// watched, and its changes applied to the rows in place.
#include "browser/browser_page.h"

#include "fileinfo/file_info.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace browser {
namespace {

constexpr UINT LiveViewMs = 200;

} // namespace

BrowserRow BrowserPage::FolderRow(const std::wstring& key, const FoundEntry& found) {
    BrowserRow row;
    row.Key = key;
    row.Directory = true;
    row.Stamp = EntryStamp(found);
    row.Text = fileinfo::Dir文件夹路径2文件夹名称(key);
    // The size stays empty until its walk ends.
    const bool customised =
        GetFileAttributesW(fileinfo::ExtendedLengthPath(key + L"\\desktop.ini").c_str()) !=
        INVALID_FILE_ATTRIBUTES;
    row.Type = types_.ForFolder(key, customised || (found.attributes & FILE_ATTRIBUTE_READONLY));
    row.Date = fileinfo::FormatFileDate(fileinfo::CFileInfo::FileTimeToLocalDate(found.modified));
    row.Image = icons_.CacheTypeIcon(key, row.Type, !row.IsFolder(), FILE_ATTRIBUTE_DIRECTORY);
    return row;
}

BrowserRow BrowserPage::FileRow(const std::wstring& key, const FoundEntry& found) {
    BrowserRow row;
    row.Key = key;
    row.Stamp = EntryStamp(found);
    row.Text = found.name;
    row.Size = fileinfo::FormatFileSize(static_cast<int64_t>(found.size));
    row.Type = types_.ForFile(found.name);
    row.Date = fileinfo::FormatFileDate(fileinfo::CFileInfo::FileTimeToLocalDate(found.modified));
    row.Image = icons_.CacheTypeIcon(key, row.Type, IconDiffersPerEntry(fileinfo::FileExtension(found.name)),
                                     FILE_ATTRIBUTE_NORMAL);
    return row;
}

// ---- folder sizes -------------------------------------------------------------------------------

void BrowserPage::WalkFolder(const std::wstring& key) {
    if (!hwnd()) return;
    if (!walker_) walker_ = std::make_unique<SizeWalker>(hwnd(), WM_FOLDER_SIZE);
    walker_->Add(generation_, static_cast<uint32_t>(walkKeys_.size()), key);
    walkKeys_.push_back(key);
    ++walksPending_;
    throttle_.Walked(fileinfo::Dir文件夹路径2文件夹名称(key), GetTickCount64());
}

void BrowserPage::OnFolderSize(WPARAM wp, LPARAM lp) {
    // A size walked for a folder no longer shown, or for an earlier listing of this one, is dropped.
    uint32_t job = SizeWalker::Job(wp);
    if (SizeWalker::Generation(wp) != generation_ || job >= walkKeys_.size()) return;
    if (walksPending_ > 0) --walksPending_;
    int i = RowIndex(walkKeys_[job]);
    if (i >= 0) {
        rows_[static_cast<size_t>(i)].Size = fileinfo::FormatFolderSize(static_cast<uint64_t>(lp));
        ListView_RedrawItems(ListView1, i, i);
    }
    // The last size puts a list sorted by size in its final order.
    if (walksPending_ == 0 && shownSort_ && shownSort_->byValue) SortRows(shownSort_, false);
}

int BrowserPage::RowIndex(const std::wstring& key) {
    auto at = rowIndex_.find(key);
    // Made again when the rows changed since it was made.
    if (rowIndexOf_ != rows_.size() ||
        (at != rowIndex_.end() && (at->second >= rows_.size() || rows_[at->second].Key != key))) {
        rowIndex_.clear();
        for (size_t i = 0; i < rows_.size(); ++i)
            rowIndex_.emplace(rows_[i].Key, i);
        rowIndexOf_ = rows_.size();
        at = rowIndex_.find(key);
    }
    return at == rowIndex_.end() ? -1 : static_cast<int>(at->second);
}

// ---- the watch ----------------------------------------------------------------------------------

void BrowserPage::StartWatch() {
    if (!hwnd() || folderGone_) return;
    std::vector<EntryState> shown;
    shown.reserve(rows_.size());
    for (const BrowserRow& row : rows_)
        shown.push_back({row.Text, row.Stamp, row.Directory});
    watch_.Start(hwnd(), WM_FOLDER_CHANGED, lists_.Path, std::move(shown));
}

void BrowserPage::StopLiveView() {
    // Results still on their way carry the old generation.
    ++generation_;
    if (walker_) walker_->Cancel(generation_);
    walkKeys_.clear();
    walksPending_ = 0;
    throttle_.Clear();
    rowIndexOf_ = SIZE_MAX;
    topRow_.clear();
    nameKeys_.clear();
    watch_.Stop();
    folderGone_ = false;
    StopGathering();
}

void BrowserPage::StopGathering() {
    if (gathering_ && hwnd()) KillTimer(hwnd(), LiveViewTimer);
    gathering_ = false;
}

void BrowserPage::GatherFor(UINT ms) {
    if (!hwnd()) return;
    // The exact moment matters little: the system may fold the tick in with others.
    gathering_ = SetCoalescableTimer(hwnd(), LiveViewTimer, ms, nullptr, ms / 2) != 0;
    gatherAt_ = GetTickCount64() + ms;
}

void BrowserPage::OnFolderChanged() {
    // Hidden in the tray, the changes wait in the watch until the window is back. A tick already due
    // soon takes them; one set for a later walk is brought forward.
    if (!windowShown_ || (gathering_ && gatherAt_ <= GetTickCount64() + LiveViewMs)) return;
    GatherFor(LiveViewMs);
}

void BrowserPage::OnLiveViewTimer() {
    StopGathering();
    // The watch looks up what changed and sends back only what differs from the rows.
    watch_.Update();
}

void BrowserPage::SetWindowShown(bool shown) {
    windowShown_ = shown;
    if (!shown) return StopGathering();
    // What a system kept from telling while the window was away (a folder deleted by another program
    // while held) shows when the watch takes the folder again; what waits is applied.
    watch_.Retake();
    if (hwnd()) PostMessageW(hwnd(), WM_FOLDER_CHANGED, 0, 0);
}

void BrowserPage::ShowFolderGone() {
    std::wstring path = lists_.Path;
    StopLiveView();
    folderGone_ = true;
    lists_.Dir1.clear();
    lists_.File2.clear();
    rows_.clear();
    ListView_SetItemState(ListView1, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ShowRowCount();
    SetWindowTextW(Label2, (L"文件夹已不存在：" + path).c_str());
}

void BrowserPage::ApplyFolderChanges() {
    if (folderGone_ || !watch_.Watching()) return;
    FolderDelta delta = watch_.Take();
    if (delta.failed || !FolderExists(lists_.Path)) return ShowFolderGone();
    for (const std::wstring& name : delta.subfolders)
        throttle_.Changed(name);
    if (delta.overflow)
        for (const BrowserRow& row : rows_)
            if (row.Directory) throttle_.Changed(row.Text);
    if (!delta.present.empty() || !delta.gone.empty()) ApplyDelta(delta);
    const std::wstring prefix = FolderPrefix(lists_.Path);
    for (const std::wstring& name : throttle_.Due(GetTickCount64())) {
        int i = RowIndex(prefix + name);
        if (i >= 0 && rows_[static_cast<size_t>(i)].Directory) WalkFolder(prefix + name);
    }
    // The timer runs on only while a subfolder's walk waits for its turn (a tick already set comes sooner).
    if (uint64_t due = throttle_.NextDue(); due && windowShown_ && !gathering_) {
        uint64_t now = GetTickCount64();
        GatherFor(static_cast<UINT>(std::max<uint64_t>(due > now ? due - now : 0, LiveViewMs)));
    }
}

void BrowserPage::ApplyDelta(const FolderDelta& delta) {
    const std::wstring prefix = FolderPrefix(lists_.Path);
    // The rows concerned are found in one pass over the list: by name, to an entry of `present`, or to
    // none for a row to remove.
    constexpr size_t Gone = SIZE_MAX;
    std::unordered_map<std::wstring_view, size_t> concerned;
    concerned.reserve(delta.present.size() + delta.gone.size());
    for (const std::wstring& name : delta.gone) {
        concerned.emplace(name, Gone);
        throttle_.Forget(name);
    }
    for (size_t j = 0; j < delta.present.size(); ++j)
        concerned[delta.present[j].name] = j;
    std::vector<char> removed, shown(delta.present.size());
    bool updated = false;
    for (size_t i = 0; i < rows_.size(); ++i) {
        auto at = concerned.find(rows_[i].Text);
        if (at == concerned.end()) continue;
        if (at->second == Gone) {
            removed.resize(rows_.size());
            removed[i] = 1;
            continue;
        }
        const FoundEntry& found = delta.present[at->second];
        shown[at->second] = 1;
        BrowserRow& old = rows_[i];
        const bool isFolder = found.attributes & FILE_ATTRIBUTE_DIRECTORY;
        BrowserRow row = isFolder ? FolderRow(old.Key, found) : FileRow(old.Key, found);
        if (isFolder && old.Directory) row.Size = old.Size; // its walk brings the new one
        old = std::move(row);
        updated = true;
    }
    std::vector<BrowserRow> added;
    for (size_t j = 0; j < delta.present.size(); ++j) {
        if (shown[j]) continue;
        const FoundEntry& found = delta.present[j];
        const std::wstring key = prefix + found.name;
        added.push_back(found.attributes & FILE_ATTRIBUTE_DIRECTORY ? FolderRow(key, found)
                                                                    : FileRow(key, found));
    }
    if (removed.empty() && added.empty()) {
        if (updated) InvalidateRect(ListView1, nullptr, FALSE);
        return;
    }

    std::vector<std::wstring> newFolders;
    for (const BrowserRow& row : added)
        if (row.Directory) newFolders.push_back(row.Key);
    // Drawn once, when all is in place: the rows are the page's own (the list only asks for what it
    // shows), and nothing is painted before the list is invalidated at the end. Turning its drawing off
    // and on instead costs the list a full update of itself, seconds for a big folder on some systems.
    ViewState view = SaveView();
    std::vector<BrowserRow> rows;
    rows.reserve(rows_.size() + added.size());
    if (!shownSort_ || (!shownSort_->byValue && shownSort_->column == fileinfo::ColumnName)) {
        // The rows are in name order (folders first in listing order): each new one is placed by a
        // binary search, and the rows merged in one pass.
        const bool listingOrder = !shownSort_, descending = shownSort_ && shownSort_->order == 1;
        auto before = [&](const BrowserRow& a, const BrowserRow& b) {
            if (listingOrder && a.Directory != b.Directory) return a.Directory;
            const std::string &x = NameSortKey(a.Text), &y = NameSortKey(b.Text);
            return descending ? y < x : x < y;
        };
        std::stable_sort(added.begin(), added.end(), before);
        std::vector<size_t> place(added.size());
        for (size_t j = 0; j < added.size(); ++j)
            place[j] = static_cast<size_t>(std::upper_bound(rows_.begin(), rows_.end(), added[j], before) -
                                           rows_.begin());
        size_t next = 0;
        for (size_t i = 0; i <= rows_.size(); ++i) {
            for (; next < added.size() && place[next] <= i; ++next)
                rows.push_back(std::move(added[next]));
            if (i < rows_.size() && (i >= removed.size() || !removed[i])) rows.push_back(std::move(rows_[i]));
        }
    } else {
        for (size_t i = 0; i < rows_.size(); ++i)
            if (i >= removed.size() || !removed[i]) rows.push_back(std::move(rows_[i]));
        for (BrowserRow& row : added)
            rows.push_back(std::move(row));
        SortInto(rows, shownSort_);
    }
    rows_ = std::move(rows);
    RestoreView(view, true);
    for (const std::wstring& key : newFolders)
        WalkFolder(key);
}

// ---- order, selection and scroll ---------------------------------------------------------------

BrowserPage::ViewState BrowserPage::SaveView() const {
    ViewState view;
    for (int i = ListView_GetNextItem(ListView1, -1, LVNI_SELECTED);
         i >= 0 && i < static_cast<int>(rows_.size());
         i = ListView_GetNextItem(ListView1, i, LVNI_SELECTED)) {
        view.selected.insert(rows_[static_cast<size_t>(i)].Key);
        view.marked.push_back(i);
    }
    int focused = ListView_GetNextItem(ListView1, -1, LVNI_FOCUSED);
    if (focused >= 0 && focused < static_cast<int>(rows_.size())) {
        view.focused = rows_[static_cast<size_t>(focused)].Key;
        view.marked.push_back(focused);
    }
    // A list at its very top stays there, as new rows come before the first; a scrolled one keeps its
    // top row, or the one still waiting to be brought back.
    int top = ListView_GetTopIndex(ListView1);
    if (!topRow_.empty())
        view.top = topRow_;
    else if (top > 0 && top < static_cast<int>(rows_.size()))
        view.top = rows_[static_cast<size_t>(top)].Key;
    return view;
}

void BrowserPage::RestoreView(const ViewState& view, bool keepTopRow) {
    rowIndexOf_ = SIZE_MAX;
    // Only the rows that were marked lose their marks: the whole list at once costs one notice per row.
    for (int i : view.marked)
        ListView_SetItemState(ListView1, i, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(ListView1, static_cast<int>(rows_.size()),
                            LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    if (!view.selected.empty() || !view.focused.empty())
        for (size_t i = 0; i < rows_.size(); ++i) {
            const std::wstring& key = rows_[i].Key;
            const bool focused = key == view.focused;
            UINT state = (view.selected.count(key) ? LVIS_SELECTED : 0) | (focused ? LVIS_FOCUSED : 0);
            if (state) ListView_SetItemState(ListView1, static_cast<int>(i), state, state);
            if (focused) ListView_SetSelectionMark(ListView1, static_cast<int>(i));
        }
    InvalidateRect(ListView1, nullptr, FALSE);
    // The list scrolls as a step of its own: each step of a storm's batch then stays short.
    topRow_.clear();
    if (keepTopRow && !view.top.empty() && hwnd()) {
        topRow_ = view.top;
        PostMessageW(hwnd(), WM_KEEP_TOP_ROW, 0, 0);
    }
}

void BrowserPage::KeepTopRow() {
    if (topRow_.empty()) return;
    int top = RowIndex(topRow_), now = ListView_GetTopIndex(ListView1);
    topRow_.clear();
    RECT r{};
    if (top >= 0 && top != now && ListView_GetItemRect(ListView1, 0, &r, LVIR_BOUNDS))
        ListView_Scroll(ListView1, 0, (top - now) * (r.bottom - r.top));
}

const std::string& BrowserPage::NameSortKey(const std::wstring& name) {
    auto at = nameKeys_.find(name);
    if (at == nameKeys_.end()) at = nameKeys_.emplace(name, TextSortKey(name)).first;
    return at->second;
}

void BrowserPage::SortRows(const std::optional<fileinfo::SortRequest>& request, bool keepTopRow) {
    ViewState view = SaveView();
    std::vector<BrowserRow> rows = std::move(rows_);
    SortInto(rows, request);
    rows_ = std::move(rows);
    RestoreView(view, keepTopRow);
    shownSort_ = request;
    if (request) ShowSortArrow(request->column, request->order);
}

void BrowserPage::SortInto(std::vector<BrowserRow>& rows,
                           const std::optional<fileinfo::SortRequest>& request) {
    std::vector<size_t> order;
    if (!request) {
        // Listing order: the folders, then the files, each by name.
        std::vector<std::string> keys;
        keys.reserve(rows.size());
        for (const BrowserRow& row : rows) {
            keys.emplace_back(1, row.Directory ? '0' : '1');
            keys.back() += NameSortKey(row.Text);
        }
        order = fileinfo::SortedOrder(keys, false);
    } else if (request->byValue) {
        std::vector<std::wstring> texts;
        texts.reserve(rows.size());
        for (const BrowserRow& row : rows)
            texts.push_back(row.Size);
        order = fileinfo::SizeOrder(texts, request->order == 1);
    } else {
        std::vector<std::string> keys;
        keys.reserve(rows.size());
        for (const BrowserRow& row : rows) {
            const std::wstring& text = request->column == fileinfo::ColumnType   ? row.Type
                                       : request->column == fileinfo::ColumnDate ? row.Date
                                                                                 : row.Text;
            keys.push_back(request->column == fileinfo::ColumnName ? NameSortKey(text) : TextSortKey(text));
        }
        order = fileinfo::SortedOrder(keys, request->order == 1);
    }
    std::vector<BrowserRow> sorted;
    sorted.reserve(rows.size());
    for (size_t from : order)
        sorted.push_back(std::move(rows[from]));
    rows = std::move(sorted);
}

} // namespace browser
