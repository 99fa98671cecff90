#include "platform/controls/control_base.h"
namespace quelvo::ctl::detail {
LRESULT ListBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
LRESULT ComboBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
LRESULT ComboListProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
}
