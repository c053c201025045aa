// The picture tab's part in the marks: "收藏" and "不再显示" from the list menu, kept in their file, and
// the ratings the pictures' files carry.
#include "core/places.h"
#include "platform/whole_file.h"
#include "res/resource.h"
#include "settings/registry.h"
#include "wallpaper/page/picture_page.h"
#include "wallpaper/pictures/picture_files.h"

namespace wallpaper {

void PicturePage::LoadMarks() {
    if (std::exchange(marksLoaded_, true) || places_.MarksPath.empty()) return;
    if (auto text = platform::ReadWholeText(places_.MarksPath)) marks_ = PictureMarks::Parse(*text);
}

Mark PicturePage::MarkOf(const std::wstring& path) {
    LoadMarks();
    Mark fromFile = Mark::None;
    const std::wstring top = path_ + L"\\";
    if (path.size() > top.size() && CompareStringOrdinal(path.c_str(), static_cast<int>(top.size()), top.c_str(),
                                                         static_cast<int>(top.size()), TRUE) == CSTR_EQUAL)
        if (auto at = fileMarks_.find(path.substr(top.size())); at != fileMarks_.end()) fromFile = at->second;
    return marks_.MarkOf(path, fromFile);
}

Mark PicturePage::MarkOfIndex(int index) {
    if (index < 0 || static_cast<size_t>(index) >= names_.size()) return Mark::None;
    // Each choice asks for every picture's mark: they are looked up once per list and marks.
    if (rowMarks_.size() != names_.size()) {
        LoadMarks();
        rowMarks_.resize(names_.size());
        for (size_t i = 0; i < names_.size(); ++i) {
            auto at = fileMarks_.find(names_[i]);
            rowMarks_[i] = marks_.MarkOf(JoinPath(path_, names_[i]), at == fileMarks_.end() ? Mark::None : at->second);
        }
    }
    return rowMarks_[static_cast<size_t>(index)];
}

void PicturePage::SetMark(const std::wstring& path, Mark mark) {
    LoadMarks();
    marks_.Set(path, mark);
    rowMarks_.clear();
    // A write that fails keeps the marks in memory; the next mark writes them all again.
    if (!places_.MarksPath.empty()) core::WriteProgramFile(places_.MarksPath, marks_.Text());
    InvalidateRect(File1, nullptr, FALSE);
}

std::wstring PicturePage::SelectedPath() const {
    const int index = ListIndex();
    return index < 0 ? L"" : JoinPath(path_, List(index));
}

bool PicturePage::Showable(const std::wstring& path) {
    return settings::FileCanBeOpened(path) && MarkOf(path) != Mark::Never;
}

void PicturePage::PicturesRated(uint32_t generation) {
    if (generation != rating_) return;
    if (auto marks = lister_->TakeRatings(generation)) {
        fileMarks_ = std::move(*marks);
        rowMarks_.clear();
        InvalidateRect(File1, nullptr, FALSE);
    }
}

void PicturePage::ShowMarkItems() {
    const std::wstring path = SelectedPath();
    const Mark mark = path.empty() ? Mark::None : MarkOf(path);
    for (auto [id, own] : {std::pair{ID_FlieL收藏, Mark::Favourite}, {ID_FlieL不再显示, Mark::Never}}) {
        EnableMenuItem(FlieL, id, MF_BYCOMMAND | (path.empty() ? MF_GRAYED : MF_ENABLED));
        CheckMenuItem(FlieL, id, MF_BYCOMMAND | (mark == own ? MF_CHECKED : MF_UNCHECKED));
    }
}

} // namespace wallpaper
