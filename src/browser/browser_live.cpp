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

// One entry of the folder as the listing would give it; false when it is gone or hidden. The name is the
// one the watch reported: asking for attributes costs far less than a directory search.
bool LookUp(const std::wstring& folderPrefix, const std::wstring& name, FoundEntry* found) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(fileinfo::ExtendedLengthPath(folderPrefix + name).c_str(),
                              GetFileExInfoStandard, &a) ||
        (a.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        return false;
    const bool isFolder = a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    *found = {name, isFolder ? 0 : (uint64_t(a.nFileSizeHigh) << 32) | a.nFileSizeLow, a.ftLastWriteTime,
              a.dwFileAttributes};
    return true;
}

uint64_t StampOf(const FoundEntry& found) {
    const uint64_t time = (uint64_t(found.modified.dwHighDateTime) << 32) | found.modified.dwLowDateTime;
    return time * 1000003u ^ found.size;
}

// True when a row shows `found` as it is: then a full re-read leaves it alone.
bool Unchanged(const BrowserRow& row, const FoundEntry& found) {
    return row.Directory == static_cast<bool>(found.attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           row.Stamp == StampOf(found);
}

} // namespace

BrowserRow BrowserPage::FolderRow(const std::wstring& key, const FoundEntry& found) {
    BrowserRow row;
    row.Key = key;
    row.Directory = true;
    row.Stamp = StampOf(found);
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
    row.Stamp = StampOf(found);
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
    watch_.Start(hwnd(), WM_FOLDER_CHANGED, lists_.Path);
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
    ApplyFolderChanges();
    // The timer runs on only while a subfolder's walk waits for its turn.
    if (uint64_t due = throttle_.NextDue(); due && !folderGone_) {
        uint64_t now = GetTickCount64();
        GatherFor(static_cast<UINT>(std::max<uint64_t>(due > now ? due - now : 0, LiveViewMs)));
    }
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
    std::optional<FolderLists> listing = watch_.TakeListing();
    SeenChanges seen = watch_.Take();
    if (seen.failed || !FolderExists(lists_.Path)) return ShowFolderGone();
    const std::wstring prefix = FolderPrefix(lists_.Path);
    if (listing) ApplyListing(*listing);
    ListChanges changes = GatherChanges(seen.paths);
    for (const std::wstring& name : changes.subfolders)
        throttle_.Changed(name);
    if (seen.overflow || ReadWholeFolder(changes.entries.size())) {
        // Too much to tell, or too much to look up one by one: the watch reads the whole folder, off
        // this thread, and the names wait for that listing.
        if (seen.overflow)
            for (const BrowserRow& row : rows_)
                if (row.Directory) throttle_.Changed(row.Text);
        watch_.ReadAll();
    } else if (!changes.entries.empty()) {
        ApplyEntries(changes.entries, nullptr);
    }
    for (const std::wstring& name : throttle_.Due(GetTickCount64())) {
        int i = RowIndex(prefix + name);
        if (i >= 0 && rows_[static_cast<size_t>(i)].Directory) WalkFolder(prefix + name);
    }
}

void BrowserPage::ApplyListing(const FolderLists& listing) {
    // Only the rows gone or changed, and the entries new, are looked at again: compared by name, with
    // nothing copied, as a storm brings a listing of the whole folder several times a second.
    ListedEntries listed;
    listed.reserve(listing.Dir1.size() + listing.File2.size());
    for (const auto* list : {&listing.Dir1, &listing.File2})
        for (const FoundEntry& e : *list)
            listed.emplace(e.name, &e);
    std::unordered_set<std::wstring_view> shown;
    shown.reserve(rows_.size());
    std::vector<std::wstring> names;
    for (const BrowserRow& row : rows_) {
        shown.insert(row.Text);
        auto at = listed.find(row.Text);
        if (at == listed.end() || !Unchanged(row, *at->second)) names.push_back(row.Text);
    }
    for (const auto* list : {&listing.Dir1, &listing.File2})
        for (const FoundEntry& e : *list)
            if (!shown.count(e.name)) names.push_back(e.name);
    if (!names.empty()) ApplyEntries(names, &listed);
}

void BrowserPage::ApplyEntries(const std::vector<std::wstring>& names, const ListedEntries* listed) {
    const std::wstring prefix = FolderPrefix(lists_.Path);
    std::vector<char> removed;
    std::vector<BrowserRow> added;
    bool updated = false;
    for (const std::wstring& name : names) {
        const std::wstring key = prefix + name;
        FoundEntry found;
        bool present = false;
        if (listed) {
            auto at = listed->find(name);
            if (at != listed->end()) found = *at->second, present = true;
        } else {
            present = LookUp(prefix, name, &found);
        }
        int i = RowIndex(key);
        if (!present) {
            if (i >= 0) removed.resize(rows_.size()), removed[static_cast<size_t>(i)] = 1;
            throttle_.Forget(name);
            continue;
        }
        const bool isFolder = found.attributes & FILE_ATTRIBUTE_DIRECTORY;
        if (listed && i >= 0 && Unchanged(rows_[static_cast<size_t>(i)], found)) continue;
        BrowserRow row = isFolder ? FolderRow(key, found) : FileRow(key, found);
        if (i < 0) {
            added.push_back(std::move(row));
            continue;
        }
        BrowserRow& old = rows_[static_cast<size_t>(i)];
        if (isFolder && old.Directory) row.Size = old.Size; // its walk brings the new one
        old = std::move(row);
        updated = true;
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
    if (!shownSort_ || (!shownSort_->byValue && shownSort_->column == fileinfo::ColumnName)) {
        // The rows are in name order (folders first in listing order): the new ones are merged in.
        ViewState view = SaveView();
        const bool listingOrder = !shownSort_, descending = shownSort_ && shownSort_->order == 1;
        auto before = [&](const BrowserRow& a, const BrowserRow& b) {
            if (listingOrder && a.Directory != b.Directory) return a.Directory;
            const std::string &x = NameSortKey(a.Text), &y = NameSortKey(b.Text);
            return descending ? y < x : x < y;
        };
        std::stable_sort(added.begin(), added.end(), before);
        std::vector<BrowserRow> rows;
        rows.reserve(rows_.size() + added.size());
        auto next = added.begin();
        for (size_t i = 0; i < rows_.size(); ++i) {
            if (i < removed.size() && removed[i]) continue;
            for (; next != added.end() && before(*next, rows_[i]); ++next)
                rows.push_back(std::move(*next));
            rows.push_back(std::move(rows_[i]));
        }
        for (; next != added.end(); ++next)
            rows.push_back(std::move(*next));
        rows_ = std::move(rows);
        RestoreView(view, true);
    } else {
        ViewState view = SaveView();
        std::vector<BrowserRow> rows;
        rows.reserve(rows_.size() + added.size());
        for (size_t i = 0; i < rows_.size(); ++i)
            if (i >= removed.size() || !removed[i]) rows.push_back(std::move(rows_[i]));
        for (BrowserRow& row : added)
            rows.push_back(std::move(row));
        SortInto(rows, shownSort_);
        rows_ = std::move(rows);
        RestoreView(view, true);
    }
    for (const std::wstring& key : newFolders) {
        FolderWatch::Include(key); // one moved in is not yet known to the watch of the tree
        WalkFolder(key);
    }
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

void BrowserPage::SortInto(std::vector<BrowserRow>& rows, const std::optional<fileinfo::SortRequest>& request) {
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
