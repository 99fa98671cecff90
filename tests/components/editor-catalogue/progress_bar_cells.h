#pragma once
// A progress-bar cell painted the way a list control paints one: view data
// and view info from the column's properties, laid out at the cell's bounds
// and painted onto an off-screen bitmap (or any canvas) without an editor.

#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editors/cxEditStyles.h"
#include "platform/hostlib/visual/graphics.h"

namespace cataloguetest {

struct ProgressBarCell {
    static constexpr hostlib::TColor kBackground = 0xE0E0E0;
    static constexpr hostlib::TColor kText = 0x000000;

    hostlib::ObjectPtr<TcxProgressBarProperties> properties = hostlib::MakeObject<TcxProgressBarProperties>(nullptr);
    hostlib::ObjectPtr<hostlib::TFont> font = hostlib::MakeObject<hostlib::TFont>();
    hostlib::ObjectPtr<TcxEditStyle> style;

    explicit ProgressBarCell(bool native = false)
    {
        font->SetName(quelvo::gfx::kFixedTestFace);
        font->SetHeight(-16);
        style.reset(hostlib::CreateObject<TcxEditStyle>(static_cast<hostlib::TPersistent*>(nullptr), true));
        style->SetFont(font.get());
        style->SetColor(kBackground);
        style->SetTextColor(kText);
        style->LookAndFeel()->SetKind(lfStandard);
        style->LookAndFeel()->SetNativeStyle(native);
    }

    hostlib::ObjectPtr<TcxCustomProgressBarViewInfo> NewViewInfo() const
    {
        return hostlib::ObjectPtr<TcxCustomProgressBarViewInfo>(
            hostlib::CreateInstance<TcxCustomProgressBarViewInfo>(properties->GetViewInfoClass()));
    }

    // Lays the cell out at bounds and paints it on the canvas.
    void Paint(TcxCanvas* canvas, TcxCustomProgressBarViewInfo* info, const RECT& bounds, const hostlib::Variant& value)
    {
        hostlib::ObjectPtr<TcxCustomEditViewData> data(properties->CreateViewData(style.get(), true));
        data->EditValueToDrawValue(canvas, value, info);
        data->CalculateEx(canvas, bounds, POINT{-1, -1}, cxmbNone, hostlib::TShiftState{}, info, false);
        info->PaintEx(canvas);
    }
};

}  // namespace cataloguetest
