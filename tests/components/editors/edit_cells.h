#pragma once
// Five cells of a list column painted the way a list control paints them,
// without an editor: plain, ellipsis, drop-down, pressed drop-down and
// disabled, each from the column's properties through view data and a view
// info of its own, and its text after it. Used on the headless display and
// on a real X server alike.

#include <array>
#include <string>

#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditTextUtils.h"
#include "components/editors/cxEditViewData.h"
#include "platform/hostlib/visual/forms.h"

namespace quelvo::editors::test {

struct EditCells {
    static constexpr int kCount = 5;
    static constexpr int kLeft = 10, kTop = 10, kWidth = 120, kHeight = 20, kPitch = 30;
    static constexpr const char* kText = "Cell";

    std::array<hostlib::ObjectPtr<TcxCustomEditProperties>, kCount> properties;
    std::array<hostlib::ObjectPtr<TcxCustomEditViewInfo>, kCount> viewInfos;
    hostlib::ObjectPtr<hostlib::TFont> font = hostlib::MakeObject<hostlib::TFont>();
    hostlib::ObjectPtr<TcxEditStyle> style;

    EditCells()
    {
        font->SetName(quelvo::gfx::kFixedTestFace);
        font->SetHeight(-16);
        style.reset(hostlib::CreateObject<TcxEditStyle>(static_cast<hostlib::TPersistent*>(nullptr), true));
        style->SetFont(font.get());
        style->SetColor(hostlib::clWindow);
        style->SetTextColor(hostlib::clWindowText);
        style->LookAndFeel()->SetKind(lfStandard);
        const TcxEditButtonKind kinds[kCount] = {bkEllipsis, bkEllipsis, bkDown, bkDown, bkDown};
        for (int i = 0; i < kCount; ++i) {
            properties[i] = hostlib::MakeObject<TcxCustomEditProperties>(nullptr);
            if (i > 0)
                static_cast<TcxEditButton*>(properties[i]->Buttons()->Add())->SetKind(kinds[i]);
            viewInfos[i] = hostlib::MakeObject<TcxCustomEditViewInfo>();
        }
    }
    static RECT Bounds(int i) { return RECT{kLeft, kTop + i * kPitch, kLeft + kWidth, kTop + i * kPitch + kHeight}; }

    // Lays out and paints every cell on the canvas (the form's, in OnPaint).
    void Paint(TcxCanvas* canvas)
    {
        for (int i = 0; i < kCount; ++i) {
            hostlib::ObjectPtr<TcxCustomEditViewData> data(properties[i]->CreateViewData(style.get(), true));
            data->Enabled = i != 4;
            const RECT b = Bounds(i);
            const bool pressed = i == 3;
            const POINT p = pressed ? POINT{b.right - 5, b.top + 5} : POINT{-1, -1};
            data->EditValueToDrawValue(canvas, hostlib::Variant(kText), viewInfos[i].get());
            data->CalculateEx(canvas, b, p, pressed ? cxmbLeft : cxmbNone,
                              pressed ? hostlib::TShiftState{hostlib::ssLeft} : hostlib::TShiftState{},
                              viewInfos[i].get(), pressed);
            viewInfos[i]->PaintEx(canvas);
            PaintText(canvas, i);
        }
    }
    // The text a text cell shows, in the client area.
    void PaintText(TcxCanvas* canvas, int i)
    {
        TcxCustomEditViewInfo* info = viewInfos[i].get();
        RECT r = info->ClientRect;
        OffsetRect(&r, info->Left, info->Top);
        canvas->SetFont(font.get());
        canvas->Font()->SetColor(info->Enabled ? hostlib::clWindowText : hostlib::clGrayText);
        canvas->Brush()->SetStyle(hostlib::bsClear);
        cxTextOut(canvas->Canvas(), kText, r, cxSingleLine | (taCenterY << 4));
    }
    // A cell's button rectangle in the form's client coordinates.
    RECT ButtonRect(int i) const
    {
        RECT r = viewInfos[i]->ButtonsInfo[0]->Bounds;
        OffsetRect(&r, viewInfos[i]->Left, viewInfos[i]->Top);
        return r;
    }
    int ClientLeft(int i) const { return viewInfos[i]->ClientRect.left + viewInfos[i]->Left; }
};

} // namespace quelvo::editors::test
