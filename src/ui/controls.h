// Control identifiers of the main window and the helpers that create and place controls in twips.
#pragma once
#include "ui/layout.h"
#include "platform/win.h"

namespace ui {

enum ControlId : int {
    IDC_SSTab1 = 100,
    IDC_Page0,
    IDC_Page1,
    IDC_Page2,
    IDC_Page3,
    // tab 0: folder browser
    IDC_Picture2 = 200,
    IDC_Combo1,
    IDC_Command8,
    IDC_Label1,
    IDC_Label2,
    IDC_ListView1,
    // tab 1: pictures
    IDC_File1 = 300,
    IDC_P_back,
    IDC_Command1,
    IDC_Command3,
    IDC_Command2,
    IDC_Command4,
    IDC_Command6,
    IDC_Command5,
    // tab 2: change monitor
    IDC_Picture3 = 400,
    IDC_Command7,
    IDC_Command9,
    IDC_Label3,
    IDC_RichTextBox1,
    // tab 3: about
    IDC_lblTitle = 500,
    IDC_lblVersion,
    IDC_Label8,
    IDC_Label6,
    IDC_Image2,
};

HWND CreateControl(HWND parent, int id, const wchar_t* cls, const wchar_t* text, DWORD style,
                   DWORD exStyle = 0);
void Place(HWND control, const layout::Rect& twips, UINT dpi);
void SetFont(HWND control, HFONT font);

} // namespace ui
