#include "platform/dialog.h"

namespace platform {

Dialog::~Dialog() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

INT_PTR Dialog::RunModal(HWND owner, int id) {
    modal_ = true;
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), owner, &Dialog::Proc,
                           reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HWND owner, int id) {
    modal_ = false;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), owner, &Dialog::Proc,
                              reinterpret_cast<LPARAM>(this));
}

void Dialog::End(INT_PTR result) {
    if (modal_)
        EndDialog(hwnd_, result);
    else
        DestroyWindow(hwnd_);
}

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lp);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    INT_PTR handled = self->HandleMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return handled;
}

} // namespace platform
