// The browser's file operations against real files: every case is checked by content, before and after.
#include "browser/file_operations.h"
#include "browser/folder_reader.h"
#include "tests/support/message_boxes.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <map>

using namespace browser;

namespace {

// Every file (with its bytes) and folder below `root`, by relative path.
std::map<std::wstring, std::string> Snapshot(const std::wstring& root, const std::wstring& rel = L"") {
    std::map<std::wstring, std::string> all;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((root + rel + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return all;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring path = rel + L"\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            all[path + L"\\"] = "";
            all.merge(Snapshot(root, path));
        } else {
            std::string& bytes = all[path];
            HANDLE f = CreateFileW((root + path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
            char buf[65536];
            DWORD n = 0;
            while (f != INVALID_HANDLE_VALUE && ReadFile(f, buf, sizeof buf, &n, nullptr) && n)
                bytes.append(buf, n);
            if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return all;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class FileOperationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CreateDirectoryW(src().c_str(), nullptr);
        CreateDirectoryW(dst().c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::wstring& f : readOnly)
            SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::wstring src() const { return temp.path() + L"\\源"; }
    std::wstring dst() const { return temp.path() + L"\\目标"; }
    void Write(const std::wstring& path, const std::string& bytes) {
        size_t slash = path.rfind(L'\\');
        SHCreateDirectoryExW(nullptr, path.substr(0, slash).c_str(), nullptr);
        test::TempFolder::Write(path, bytes);
    }
    void MakeReadOnly(const std::wstring& path) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        readOnly.push_back(path);
    }
    // A made tree: src\相册\1.jpg, src\相册\旧\2.jpg, src\说明.txt
    void MakeSource() {
        Write(src() + L"\\相册\\1.jpg", "one");
        Write(src() + L"\\相册\\旧\\2.jpg", "two");
        Write(src() + L"\\说明.txt", "readme");
    }
    Entry File(const std::wstring& name) const { return {src() + L"\\" + name, false}; }
    Entry Folder(const std::wstring& name) const { return {src() + L"\\" + name, true}; }
    static std::vector<FailureReason> Reasons(const FileOperations& op) {
        std::vector<FailureReason> r;
        for (const Failure& f : op.Failures())
            r.push_back(f.reason);
        return r;
    }
    static bool NoPartsLeft(const std::map<std::wstring, std::string>& tree) {
        for (auto& [path, bytes] : tree)
            if (path.find(L".tavolin-part") != std::wstring::npos) return false;
        return true;
    }

    test::TempFolder temp;
    std::vector<std::wstring> readOnly;
};

} // namespace

TEST_F(FileOperationsTest, CopyReplacesSameNamedFilesAndMergesFoldersWithEverythingInside) {
    MakeSource();
    Write(dst() + L"\\说明.txt", "an older readme");
    Write(dst() + L"\\相册\\3.jpg", "three");
    auto before = Snapshot(src());
    FileOperations op;
    op.CopyTo({Folder(L"相册"), File(L"说明.txt")}, dst());
    EXPECT_TRUE(op.Failures().empty());
    EXPECT_EQ(Snapshot(src()), before) << "the sources stay as they were";
    auto copied = Snapshot(dst());
    EXPECT_EQ(copied[L"\\说明.txt"], "readme");
    EXPECT_EQ(copied[L"\\相册\\1.jpg"], "one");
    EXPECT_EQ(copied[L"\\相册\\旧\\2.jpg"], "two");
    EXPECT_EQ(copied[L"\\相册\\3.jpg"], "three") << "what was in the folder already stays";
    EXPECT_TRUE(NoPartsLeft(copied));
}

TEST_F(FileOperationsTest, NothingIsCopiedOrMovedOntoItselfOrIntoItself) {
    MakeSource();
    auto before = Snapshot(src());
    FileOperations copy;
    copy.CopyTo({File(L"说明.txt"), Folder(L"相册")}, src());
    copy.CopyTo({Folder(L"相册")}, src() + L"\\相册");
    copy.CopyTo({Folder(L"相册")}, src() + L"\\相册\\旧\\");
    EXPECT_EQ(Reasons(copy), (std::vector{FailureReason::SamePlace, FailureReason::SamePlace,
                                          FailureReason::IntoItself, FailureReason::IntoItself}));
    FileOperations move;
    move.MoveTo({File(L"说明.txt")}, src());
    move.MoveTo({Folder(L"相册")}, src() + L"\\相册\\旧");
    // A path spelt otherwise is still the same folder.
    move.MoveTo({Folder(L"相册")}, src() + L"\\相册\\.\\旧\\..\\旧");
    EXPECT_EQ(Reasons(move),
              (std::vector{FailureReason::SamePlace, FailureReason::IntoItself, FailureReason::IntoItself}));
    EXPECT_EQ(Snapshot(src()), before);
}

TEST_F(FileOperationsTest, AMoveNeverReplacesWhatIsThereAndTheOtherEntriesStillMove) {
    MakeSource();
    Write(src() + L"\\新.txt", "new");
    Write(dst() + L"\\说明.txt", "theirs");
    Write(dst() + L"\\相册", "a file named like the folder");
    FileOperations op;
    op.MoveTo({Folder(L"相册"), File(L"说明.txt"), File(L"新.txt")}, dst());
    EXPECT_EQ(Reasons(op), (std::vector{FailureReason::Exists, FailureReason::Exists}));
    EXPECT_EQ(op.Failures()[0].path, src() + L"\\相册");
    auto there = Snapshot(dst()), here = Snapshot(src());
    EXPECT_EQ(there[L"\\说明.txt"], "theirs");
    EXPECT_EQ(there[L"\\相册"], "a file named like the folder");
    EXPECT_EQ(there[L"\\新.txt"], "new");
    EXPECT_EQ(here[L"\\说明.txt"], "readme");
    EXPECT_EQ(here[L"\\相册\\旧\\2.jpg"], "two");
    EXPECT_FALSE(Exists(src() + L"\\新.txt"));

    // Into a free name a folder moves whole.
    DeleteFileW((dst() + L"\\相册").c_str());
    FileOperations again;
    again.MoveTo({Folder(L"相册")}, dst() + L"\\");
    EXPECT_TRUE(again.Failures().empty());
    EXPECT_EQ(Snapshot(dst())[L"\\相册\\旧\\2.jpg"], "two");
    EXPECT_FALSE(Exists(src() + L"\\相册"));
}

TEST_F(FileOperationsTest, DeleteLeavesReadOnlyEntriesAndTheFoldersAboveThem) {
    MakeSource();
    Write(src() + L"\\相册\\旧\\只读.jpg", "keep me");
    MakeReadOnly(src() + L"\\相册\\旧\\只读.jpg");
    Write(src() + L"\\锁.txt", "locked");
    MakeReadOnly(src() + L"\\锁.txt");
    FileOperations op;
    op.Delete({Folder(L"相册"), File(L"锁.txt"), File(L"说明.txt")});
    ASSERT_EQ(Reasons(op), (std::vector{FailureReason::ReadOnly, FailureReason::ReadOnly}));
    EXPECT_EQ(op.Failures()[0].path, src() + L"\\相册\\旧\\只读.jpg");
    auto left = Snapshot(src());
    EXPECT_EQ(left, (std::map<std::wstring, std::string>{{L"\\相册\\", ""},
                                                         {L"\\相册\\旧\\", ""},
                                                         {L"\\相册\\旧\\只读.jpg", "keep me"},
                                                         {L"\\锁.txt", "locked"}}));
}

TEST_F(FileOperationsTest, AFileInUseIsReportedAndNothingOfItIsLost) {
    MakeSource();
    const std::wstring busy = src() + L"\\说明.txt";
    HANDLE h = CreateFileW(busy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FileOperations copy, move, del;
    copy.CopyTo({File(L"说明.txt"), Folder(L"相册")}, dst());
    move.MoveTo({File(L"说明.txt")}, dst());
    del.Delete({File(L"说明.txt")});
    CloseHandle(h);
    EXPECT_EQ(Reasons(copy), std::vector{FailureReason::InUse});
    EXPECT_EQ(Reasons(move), std::vector{FailureReason::InUse});
    EXPECT_EQ(Reasons(del), std::vector{FailureReason::InUse});
    auto there = Snapshot(dst());
    EXPECT_FALSE(there.count(L"\\说明.txt"));
    EXPECT_EQ(there[L"\\相册\\1.jpg"], "one") << "the other entry is still copied";
    EXPECT_TRUE(NoPartsLeft(there));
    EXPECT_EQ(Snapshot(src())[L"\\说明.txt"], "readme");
}

TEST_F(FileOperationsTest, ACancelledCopyLeavesWholeFilesOnlyUnderFinalNames) {
    std::string big(8 << 20, 'x');
    Write(src() + L"\\大.bin", big);
    Write(src() + L"\\小.txt", "small");
    Write(dst() + L"\\大.bin", "the old one");
    struct CancelAtOnce : Progress {
        int reports = 0;
        void Report(uint64_t, uint64_t, const std::wstring&) override { ++reports; }
        bool Cancelled() override { return reports > 0; }
    } progress;
    FileOperations op(&progress);
    op.CopyTo({File(L"大.bin"), File(L"小.txt")}, dst());
    EXPECT_GT(progress.reports, 0);
    auto there = Snapshot(dst());
    EXPECT_TRUE(NoPartsLeft(there));
    EXPECT_TRUE(there[L"\\大.bin"] == "the old one" || there[L"\\大.bin"] == big);
    EXPECT_FALSE(there.count(L"\\小.txt")) << "nothing more after the cancel";
    ASSERT_FALSE(op.Failures().empty());
    EXPECT_EQ(op.Failures().back().reason, FailureReason::Cancelled);
}

namespace {

// A window registered for every shell change, collecting (event, first path).
class ChangeListener {
  public:
    static constexpr UINT Message = WM_APP + 7;
    ChangeListener() {
        window_ = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
        SHChangeNotifyEntry entry{nullptr, TRUE};
        id_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel, SHCNE_ALLEVENTS,
                                     Message, 1, &entry);
    }
    ~ChangeListener() {
        SHChangeNotifyDeregister(id_);
        DestroyWindow(window_);
    }
    std::vector<std::pair<LONG, std::wstring>> Take() {
        for (int i = 0; i < 20; ++i) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Sleep(10);
        }
        return std::exchange(seen_, {});
    }

  private:
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == Message) {
            auto* self = reinterpret_cast<ChangeListener*>(GetWindowLongPtrW(w, GWLP_USERDATA));
            auto** items = reinterpret_cast<PCIDLIST_ABSOLUTE*>(wp);
            wchar_t path[MAX_PATH * 4] = L"";
            if (items && items[0]) SHGetPathFromIDListEx(items[0], path, ARRAYSIZE(path), GPFIDL_DEFAULT);
            self->seen_.push_back({static_cast<LONG>(lp), path});
            return 0;
        }
        return DefWindowProcW(w, msg, wp, lp);
    }
    HWND window_;
    ULONG id_ = 0;
    std::vector<std::pair<LONG, std::wstring>> seen_;
};

} // namespace

TEST_F(FileOperationsTest, TheShellHearsOfEveryChange) {
    Write(src() + L"\\夹\\一.txt", "1");
    Write(src() + L"\\二.txt", "2");
    ChangeListener listener;
    ASSERT_TRUE(listener.Take().empty());
    using Seen = std::vector<std::pair<LONG, std::wstring>>;
    FileOperations().CopyTo({Folder(L"夹"), File(L"二.txt")}, dst());
    EXPECT_EQ(listener.Take(), (Seen{{SHCNE_MKDIR, dst() + L"\\夹"},
                                     {SHCNE_CREATE, dst() + L"\\夹\\一.txt"},
                                     {SHCNE_CREATE, dst() + L"\\二.txt"}}));
    FileOperations().CopyTo({File(L"二.txt")}, dst());
    EXPECT_EQ(listener.Take(), (Seen{{SHCNE_UPDATEITEM, dst() + L"\\二.txt"}}));
    FileOperations().Delete({{dst() + L"\\夹", true}, {dst() + L"\\二.txt", false}});
    EXPECT_EQ(listener.Take(), (Seen{{SHCNE_DELETE, dst() + L"\\夹\\一.txt"},
                                     {SHCNE_RMDIR, dst() + L"\\夹"},
                                     {SHCNE_DELETE, dst() + L"\\二.txt"}}));
    FileOperations().MoveTo({Folder(L"夹"), File(L"二.txt")}, dst());
    Seen moved = listener.Take();
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[0].first, SHCNE_RENAMEFOLDER);
    EXPECT_EQ(moved[1].first, SHCNE_RENAMEITEM);
}

TEST_F(FileOperationsTest, TheRecycleBinTakesAFileAfterTheShellsOwnQuestion) {
    Write(src() + L"\\废.txt", "waste");
    std::atomic<int> questions{0};
    test::MessageBoxes boxes([&](HWND dialog) {
        ++questions;
        PostMessageW(dialog, WM_COMMAND, IDYES, 0);
    });
    删除到回收站(src() + L"\\废.txt");
    EXPECT_EQ(questions, 1);
    EXPECT_FALSE(Exists(src() + L"\\废.txt"));
}

// As a user without administrator rights: folders of root's that scripts/standard-user lays out.
class StandardUserTest : public FileOperationsTest {
  protected:
    void SetUp() override {
        if (!Exists(Fixtures)) GTEST_SKIP() << "needs scripts/standard-user";
        FileOperationsTest::SetUp();
    }
    static constexpr wchar_t Fixtures[] = L"C:\\tavolin-fixtures";
    const std::wstring shut = std::wstring(Fixtures) + L"\\shut";
};

TEST_F(StandardUserTest, AFolderThatCannotBeReadCountsWhatCouldBeReadAndTheListingGoesOn) {
    const std::wstring walk = std::wstring(Fixtures) + L"\\walk";
    TreeSize size = FolderTreeSize(walk);
    EXPECT_EQ(size.bytes, 3000u) << "a.bin and open\\b.bin, not closed\\c.bin";
    EXPECT_FALSE(size.complete);
    FolderLists lists;
    EXPECT_TRUE(ReadFolder(walk, &lists));
}

TEST_F(StandardUserTest, CopyIntoMoveOutOfAndDeleteInAFolderOfRootsAreRefusedWithNothingLost) {
    MakeSource();
    const auto shutBefore = Snapshot(shut);
    const auto srcBefore = Snapshot(src());
    FileOperations copy, move, del;
    copy.CopyTo({File(L"说明.txt"), Folder(L"相册")}, shut);
    move.MoveTo({{shut + L"\\kept.txt", false}, {shut + L"\\sub", true}}, dst());
    del.Delete({{shut + L"\\kept.txt", false}, {shut + L"\\sub", true}});
    const std::vector<std::pair<browser::FileOperation, const FileOperations*>> done = {
        {browser::FileOperation::Copy, &copy}, {browser::FileOperation::Move, &move}, {browser::FileOperation::Delete, &del}};
    for (auto [operation, op] : done) {
        ASSERT_EQ(Reasons(*op), (std::vector{FailureReason::AccessDenied, FailureReason::AccessDenied}))
            << static_cast<int>(operation);
        std::wstring report = FailureReport(operation, op->Failures());
        for (const Failure& f : op->Failures())
            EXPECT_NE(report.find(EntryName(f.path)), std::wstring::npos) << report;
    }
    EXPECT_EQ(Snapshot(shut), shutBefore);
    EXPECT_EQ(Snapshot(src()), srcBefore);
    EXPECT_TRUE(Snapshot(dst()).empty()) << "no half-made copy of a refused move";
}
