#pragma once
// State the control family's sources share; nothing outside them uses it.

#include <vector>

#include "platform/hostlib/visual/messages.h"

namespace hostlib {
class TControl;
class TWinControl;
class TControlCanvas;
}  // namespace hostlib

namespace hostlib::detail {

// The window property that leads from a window to its control.
inline constexpr const char* kControlProp = "hostlib.control";
// The control whose window is being created: its first messages arrive
// before CreateWindowEx returns the handle.
inline TWinControl* gCreating = nullptr;
// The control that has the capture, when a graphic control holds it
// through its parent's window.
inline TControl* gCaptureControl = nullptr;

// DCs taken by control canvases during the message being handled; each
// message frame releases what was taken inside it.
std::vector<TControlCanvas*>& TakenCanvases();

inline POINT PointFromLParam(LPARAM l) { return POINT{MessageX(l), MessageY(l)}; }

}  // namespace hostlib::detail
