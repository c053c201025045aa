// Names that assistive programs read for controls whose window text is not their name: lists,
// drop-downs, edit boxes, the log and the preview.
#pragma once
#include "platform/win.h"

#include <string>

namespace platform {

// From now on the control's accessible object (MSAA get_accName, and UI Automation through it) gives
// `name`; everything else it says stays the system's. Lasts as long as the control.
void SetAccessibleName(HWND control, const std::wstring& name);

// The text of the label just before `control` in its parent's order, as Windows takes it for an
// edit box or a list: without "&" and without the colon at its end. Empty when no label comes first.
std::wstring LabelBefore(HWND control);

} // namespace platform
