// The folder list as every file view on Windows: its keys, renaming in place, the clipboard in the
// shell's form, and drag and drop. Every copy, move and delete goes through FileOperations.
#include "browser/browser_page.h"
#include "browser/file_clipboard.h"
#include "browser/rename_rules.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>

namespace browser {
namespace {

constexpr UINT SelectStemMessage = WM_APP + 19; // the name without its extension, once the list is done
constexpr UINT FinishRenameMessage = WM_APP + 20;

bool Held(int vk) {
    return GetKeyState(vk) < 0;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// The folder holding `path` ("C:\" for "C:\a").
std::wstring ParentOf(const std::wstring& path) {
    size_t p = path.find_last_of(L'\\', path.size() > 1 ? path.size() - 2 : 0);
    if (p == std::wstring::npos) return {};
    return path.substr(0, p == 2 && path[1] == L':' ? 3 : p);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

void BrowserPage::HookListView() {
    SetWindowSubclass(ListView1, ListView1Proc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void BrowserPage::AcceptDrops() {
    dropTarget_ = platform::FileDropTarget::Register(
        ListView1, [this](const std::vector<std::wstring>& paths, POINT at, DWORD keys, DWORD allowed,
                          bool drop) { return DropOnList(paths, at, keys, allowed, drop); });
}

LRESULT CALLBACK BrowserPage::ListView1Proc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                            DWORD_PTR data) {
    auto* page = reinterpret_cast<BrowserPage*>(data);
    switch (msg) {
    case WM_GETDLGCODE: {
        // The main window's dialog keys would turn Enter into a button press before the list saw it.
        auto* key = reinterpret_cast<const MSG*>(lp);
        LRESULT code = DefSubclassProc(list, msg, wp, lp);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (page->ListView1_KeyDown(static_cast<UINT>(wp))) return 0;
        break;
    case WM_SYSKEYDOWN: // Alt+←
        if (wp == VK_LEFT) {
            if (IsWindowEnabled(page->Command8)) page->Command8_Click();
            return 0;
        }
        break;
    case WM_CHAR:
        // The characters of the keys handled above (Enter, Backspace, Ctrl+A/C/V/X) find no row.
        if (wp == L'\r' || wp == L'\b' || wp == 1 || wp == 3 || wp == 0x16 || wp == 0x18) return 0;
        break;
    case SelectStemMessage:
        if (HWND edit = ListView_GetEditControl(list);
            edit && page->rename_.row >= 0 && page->rename_.row < static_cast<int>(page->rows_.size())) {
            const BrowserRow& row = page->rows_[static_cast<size_t>(page->rename_.row)];
            SendMessageW(edit, EM_SETSEL, 0, static_cast<LPARAM>(RenameStemLength(row.Text, row.IsFolder())));
        }
        return 0;
    case FinishRenameMessage:
        page->FinishRename();
        return 0;
    case WM_NCDESTROY:
        // By the window alone: the page may be going already.
        RevokeDragDrop(list);
        RemoveWindowSubclass(list, ListView1Proc, 0);
        break;
    }
    return DefSubclassProc(list, msg, wp, lp);
}

bool BrowserPage::ListView1_KeyDown(UINT vk) {
    const bool ctrl = Held(VK_CONTROL), shift = Held(VK_SHIFT);
    // A question or report leaves the focus on the main window; the next keys belong to the list.
    struct Refocus {
        HWND list;
        ~Refocus() {
            if (GetActiveWindow() == GetAncestor(list, GA_ROOT)) SetFocus(list);
        }
    };
    std::optional<Refocus> refocus;
    if (vk == VK_DELETE || (ctrl && (vk == 'C' || vk == 'X' || vk == 'V'))) refocus.emplace(ListView1);
    switch (vk) {
    case VK_RETURN:
        ListView1_DblClick();
        return true;
    case VK_BACK:
        if (IsWindowEnabled(Command8)) Command8_Click();
        return true;
    case VK_F5:
        RefreshBrowser();
        return true;
    case VK_F2:
        BeginRename();
        return true;
    case VK_DELETE:
        shift ? DeleteSelectedAfterQuestion() : RecycleSelectedTogether();
        return true;
    case 'A':
        if (ctrl) SelectAllRows();
        return ctrl;
    case 'C':
    case 'X':
        if (ctrl) CopySelectedToClipboard(vk == 'X');
        return ctrl;
    case 'V':
        if (ctrl) PasteFromClipboard();
        return ctrl;
    }
    return false;
}

void BrowserPage::SelectAllRows() {
    ListView_SetItemState(ListView1, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void BrowserPage::RecycleSelectedTogether() {
    std::vector<const BrowserRow*> selected = SelectedRows();
    if (selected.empty()) return;
    std::wstring from;
    for (const BrowserRow* row : selected)
        from += row->Key + L'\0';
    from += L'\0';
    SHFILEOPSTRUCTW op{};
    op.hwnd = GetAncestor(hwnd(), GA_ROOT);
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO;
    SHFileOperationW(&op);
    RefreshBrowser();
}

void BrowserPage::DeleteSelectedAfterQuestion() {
    size_t n = SelectedRows().size();
    if (n == 0) return;
    std::wstring question = n == 1 ? L"确实要永久删除“" + SelectedRows()[0]->Text + L"”吗？"
                                   : L"确实要永久删除这 " + std::to_wstring(n) + L" 项吗？";
    question += L"\n删除后无法从回收站恢复。";
    if (platform::Message(GetAncestor(hwnd(), GA_ROOT), question,
                          MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) != IDOK)
        return;
    DeleteSelected();
}

// ---- renaming in place ---------------------------------------------------------------------------

void BrowserPage::BeginRename() {
    const BrowserRow* row = SelectedItem();
    if (!row) return;
    SetFocus(ListView1);
    ListView_EditLabel(ListView1, static_cast<int>(row - rows_.data()));
}

LRESULT CALLBACK BrowserPage::RenameEditProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                             DWORD_PTR data) {
    auto* page = reinterpret_cast<BrowserPage*>(data);
    switch (msg) {
    case WM_GETDLGCODE:
        return DefSubclassProc(edit, msg, wp, lp) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        // An emptied editor ends as Escape does; only its keys tell them apart.
        if (wp == VK_RETURN) page->rename_.enter = true;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, RenameEditProc, 0);
        break;
    }
    return DefSubclassProc(edit, msg, wp, lp);
}

bool BrowserPage::OnListEditNotify(NMHDR* nm, LRESULT* result) {
    if (nm->code == LVN_BEGINDRAG) {
        std::vector<std::wstring> paths;
        for (const BrowserRow* row : SelectedRows())
            paths.push_back(row->Key);
        if (!paths.empty() && platform::DragFilesOut(paths) != DROPEFFECT_NONE) RefreshBrowser();
        return true;
    }
    if (nm->code != LVN_BEGINLABELEDITW && nm->code != LVN_ENDLABELEDITW) return false;
    const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(nm)->item;
    const bool valid = item.iItem >= 0 && item.iItem < static_cast<int>(rows_.size());
    if (nm->code == LVN_BEGINLABELEDITW) {
        *result = !valid; // TRUE refuses
        if (!valid) return true;
        rename_ = {item.iItem, rows_[static_cast<size_t>(item.iItem)].Key, {}, false, false};
        if (HWND edit = ListView_GetEditControl(ListView1))
            SetWindowSubclass(edit, RenameEditProc, 0, reinterpret_cast<DWORD_PTR>(this));
        // The list selects the whole name after this notification; the stem is selected after that.
        PostMessageW(ListView1, SelectStemMessage, 0, 0);
        return true;
    }
    // The rows hold the names; the list keeps nothing of its own.
    *result = FALSE;
    if (!valid || item.iItem != rename_.row || (!item.pszText && !rename_.enter)) {
        rename_.row = -1;
        return true;
    }
    rename_.name = item.pszText ? item.pszText : L"";
    rename_.ended = true;
    // Questions and refusals come after the editor has gone.
    PostMessageW(ListView1, FinishRenameMessage, 0, 0);
    return true;
}

void BrowserPage::FinishRename() {
    Rename r = std::exchange(rename_, {});
    if (!r.ended || r.row < 0 || r.row >= static_cast<int>(rows_.size())) return;
    BrowserRow& row = rows_[static_cast<size_t>(r.row)];
    if (row.Key != r.key || r.name == row.Text) return; // the list was rebuilt meanwhile, or nothing changed
    const std::wstring target = FolderPrefix(ParentOf(row.Key)) + r.name;
    std::wstring refusal = RenameRefusal(r.name);
    // A different spelling of the same name is a rename; any other entry of that name stays.
    if (refusal.empty() && Exists(target) && !SameEntry(row.Key, target))
        refusal = L"此位置已有名为“" + r.name + L"”的文件或文件夹。";
    if (refusal.empty() && !MoveFileExW(row.Key.c_str(), target.c_str(), 0))
        refusal = SystemText(GetLastError());
    if (!refusal.empty()) {
        Report(L"无法重命名“" + row.Text + L"”：" + refusal);
        // The box gave the focus back to the editor, which is gone.
        SetFocus(ListView1);
        return;
    }
    SHChangeNotify(row.IsFolder() ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, SHCNF_PATHW, row.Key.c_str(),
                   target.c_str());
    row.Key = target;
    row.Text = r.name;
    if (!row.IsFolder()) {
        row.Type = types_.ForFile(r.name);
        row.Image = icons_.CacheTypeIcon(
            row.Key, row.Type, IconDiffersPerEntry(fileinfo::FileExtension(r.name)), FILE_ATTRIBUTE_NORMAL);
    }
    // The row keeps its place until the next sort or listing.
    RefreshLists();
    ListView_RedrawItems(ListView1, r.row, r.row);
}

// ---- clipboard and drops ------------------------------------------------------------------------

void BrowserPage::CopySelectedToClipboard(bool cut) {
    std::vector<std::wstring> paths;
    for (const BrowserRow* row : SelectedRows())
        paths.push_back(row->Key);
    if (!paths.empty() && !PutFilesOnClipboard(ListView1, paths, cut))
        Report(L"无法使用剪贴板：另一个程序正在使用它。");
}

void BrowserPage::PasteFromClipboard() {
    ClipboardFiles files = FilesOnClipboard(ListView1);
    if (files.paths.empty()) return;
    // A cut that was moved leaves the clipboard; one that stayed (in part) can be pasted again.
    if (TransferInto(files.paths, lists_.Path, files.cut) && files.cut) ForgetPastedCut(ListView1, files);
}

DWORD BrowserPage::DropOnList(const std::vector<std::wstring>& paths, POINT at, DWORD keys, DWORD allowed,
                              bool drop) {
    // Onto a folder row: into that folder; anywhere else: into the folder shown.
    LVHITTESTINFO hit{};
    hit.pt = at;
    ScreenToClient(ListView1, &hit.pt);
    int index = ListView_HitTest(ListView1, &hit);
    std::wstring folder = lists_.Path;
    if (index >= 0 && index < static_cast<int>(rows_.size()) && (hit.flags & LVHT_ONITEM) &&
        rows_[static_cast<size_t>(index)].IsFolder())
        folder = rows_[static_cast<size_t>(index)].Key;
    // Entries dropped on their own folder, or a folder on itself, stay as they are.
    bool moves = false;
    for (const std::wstring& p : paths)
        moves = moves || !(SameText(p, folder) || SameText(ParentOf(p), folder));
    if (!moves || folder.empty()) return DROPEFFECT_NONE;
    DropAction action = ChooseDropAction(paths[0], folder, keys & MK_CONTROL, keys & MK_SHIFT,
                                         allowed & DROPEFFECT_COPY, allowed & DROPEFFECT_MOVE);
    if (action == DropAction::None) return DROPEFFECT_NONE;
    if (drop) TransferInto(paths, folder, action == DropAction::Move);
    return action == DropAction::Move ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

bool BrowserPage::TransferInto(const std::vector<std::wstring>& paths, const std::wstring& folder,
                               bool move) {
    std::vector<Entry> entries;
    std::vector<std::wstring> targets;
    for (const std::wstring& path : paths) {
        DWORD a = GetFileAttributesW(path.c_str());
        Entry e{path, a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)};
        if (SameEntry(path, folder)) continue;
        const bool home = SameEntry(ParentOf(path), folder);
        if (move && home) continue; // already there
        std::wstring name = EntryName(path);
        if (home)
            name = CopyName(name, e.folder, [&](const std::wstring& n) {
                std::wstring t = JoinPath(folder, n);
                return Exists(t) || std::find(targets.begin(), targets.end(), t) != targets.end();
            });
        entries.push_back(e);
        targets.push_back(JoinPath(folder, name));
    }
    if (entries.empty()) return false;
    FileOperation operation = move ? FileOperation::Move : FileOperation::Copy;
    std::unique_ptr<Progress> progress = ShellProgress(GetAncestor(hwnd(), GA_ROOT), operation);
    FileOperations done(progress.get());
    if (move)
        done.MoveTo(entries, folder);
    else
        done.CopyAs(entries, targets);
    progress.reset();
    RefreshBrowser();
    ReportFailures(operation, done);
    return done.Failures().empty();
}

} // namespace browser
