#pragma once
// Files dropped on a window from other programs. A window that called
// DragAcceptFiles(hwnd, TRUE) carries WS_EX_ACCEPTFILES; the display that
// receives a drop posts WM_DROPFILES with a drop handle in wParam, which the
// receiver reads with DragQueryFileA/DragQueryPoint and frees with
// DragFinish. Independent of the display in use.

#include <string>
#include <vector>

#include "platform/windows/winuser.h"

struct HDROP__;
using HDROP = HDROP__*;

void DragAcceptFiles(HWND hwnd, BOOL accept);
// index 0xFFFFFFFF: the number of files. buffer null: the length of the
// path (without the terminator). Otherwise copies at most size - 1 bytes,
// terminates and returns the bytes copied. 0 for an unknown handle.
UINT DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size);
// The drop point in the client coordinates of the window that received it;
// TRUE when it lies in the client area.
BOOL DragQueryPoint(HDROP drop, LPPOINT pt);
// Frees the handle; unknown or already freed handles are ignored.
void DragFinish(HDROP drop);

namespace quelvo::win {

bool AcceptsDroppedFiles(HWND hwnd);

// Builds a drop of `paths` at `clientPt` and posts WM_DROPFILES to hwnd.
// Returns false (and builds nothing) when hwnd does not accept files or
// `paths` is empty.
bool PostDroppedFiles(HWND hwnd, const std::vector<std::string>& paths, POINT clientPt);

// The local paths of a text/uri-list (RFC 2483): comment lines, other
// schemes and other hosts are skipped, percent escapes decoded; entries
// that decode to nothing or contain a NUL are dropped.
std::vector<std::string> PathsFromUriList(const std::string& list, const std::string& hostName = {});

// Drops built but not yet finished (a receiver that never calls DragFinish
// leaks them until the process ends).
std::size_t PendingDrops();

}  // namespace quelvo::win
