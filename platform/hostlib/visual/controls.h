#pragma once
// The control classes, one header per family: TControl (control.h),
// TWinControl (win_control.h), TControlCanvas (control_canvas.h),
// TCustomControl and TGraphicControl (custom_control.h).

#include "platform/hostlib/visual/control.h"
#include "platform/hostlib/visual/control_canvas.h"
#include "platform/hostlib/visual/custom_control.h"
#include "platform/hostlib/visual/win_control.h"
