#pragma once
// Push buttons: TButton on the "BUTTON" class, TBitBtn drawn by the
// library with a glyph, and the graphic TSpeedButton.

#include <string>

#include "platform/controls/ctldefs.h"
#include "platform/hostlib/visual/controls.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/graphics.h"

namespace hostlib {

// Enter clicks the Default button of a form and Escape its Cancel button;
// a click sets the form's ModalResult to the button's before OnClick.
class TButton : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    void Click() override;
    // Whether Enter clicks this button now: the focused button, or the
    // default one while no button has the focus.
    bool IsActive();
    // Whether the button shows the default look: the form moves that look
    // to the focused button, else back to the Default one. The base gives
    // the window the default or plain push style.
    virtual void SetButtonStyle(bool isDefault);

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    virtual DWORD ButtonStyle() const { return default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }

private:
    void CMFocusChanged(TMessage& m);

    bool default_ = false;
    bool active_ = false;
    bool cancel_ = false;
    TModalResult modalResult_ = mrNone;
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
const TEnumInfo& EnumTypeInfo(TButtonLayout*);

// Where a glyph and a caption go inside a button of the given size.
struct TButtonParts {
    RECT Glyph{};
    RECT Text{};
};
TButtonParts LayoutButton(const RECT& client, SIZE glyph, SIZE text, TButtonLayout layout, int margin, int spacing);

class TBitBtn : public TButton {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    // Choosing a kind sets its caption and modal result (and Default or
    // Cancel for the kinds that confirm or dismiss).
    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind value);
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    // -1 centres glyph and caption together.
    int Margin() const { return margin_; }
    void SetMargin(int value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);

protected:
    void Destroy() override;
    DWORD ButtonStyle() const override { return BS_OWNERDRAW; }
    void Dispatch(TMessage& message) override;
    void DrawItem(const DRAWITEMSTRUCT& item);

private:
    TBitBtnKind kind_ = bkCustom;
    ObjectPtr<TBitmap> glyph_;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
};

// A graphic button; with a GroupIndex it stays down, one per group.
class TSpeedButton : public TGraphicControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value) { groupIndex_ = value; }
    bool Down() const { return down_; }
    void SetDown(bool value);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value) { allowAllUp_ = value; }
    void Click() override;

protected:
    void Destroy() override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    ObjectPtr<TBitmap> glyph_;
    bool flat_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    bool pressed_ = false;
    bool hot_ = false;
};

}  // namespace hostlib
