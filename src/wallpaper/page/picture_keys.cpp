// The picture list's own keys. The arrows, Home, End, PageUp and PageDown are the list's: they move
// the selection, which previews the picture as a click does. The menu key and Shift+F10 bring the
// list's menu through WM_CONTEXTMENU.
#include "wallpaper/pictures/picture_files.h"
#include "wallpaper/page/picture_page.h"

#include <shellapi.h>

namespace wallpaper {

LRESULT PicturePage::File1_KeyDown(UINT vk) {
    if (vk != VK_DELETE) return -1;
    RecycleSelectedPicture();
    return -2;
}

void PicturePage::RecycleSelectedPicture() {
    const int index = ListIndex();
    if (index < 0 || ListCount() == 0) return;
    std::wstring from = JoinPath(path_, List(index));
    from.append(2, L'\0');
    SHFILEOPSTRUCTW op{};
    op.hwnd = Owner();
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO;
    SHFileOperationW(&op);
    Refresh();
    // The next keys go on from where the picture was.
    const int count = ListCount();
    if (count > 0)
        SendMessageW(File1, LB_SETCARETINDEX, static_cast<WPARAM>(std::min(index, count - 1)), FALSE);
    if (GetActiveWindow() == Owner()) SetFocus(File1);
}

} // namespace wallpaper
