#pragma once
// The push button drawn in the current look and feel: an owner-drawn
// "BUTTON" window with per-state colours, a glyph beside the caption, hot
// tracking and two drop-down kinds. Glyph images live in image lists shared
// by every button whose glyphs have the same size.

#include <string>
#include <vector>

#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/hostlib/stdctrls/buttons.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/hostlib/visual/menus.h"

enum TcxButtonKind { cxbkStandard, cxbkDropDown, cxbkDropDownButton };
const hostlib::TEnumInfo& EnumTypeInfo(TcxButtonKind*);
using TcxButtonAssignedColors = hostlib::TSet<TcxButtonState>;

// Posted by a button to itself to open its drop-down menu.
inline constexpr UINT CM_DROPDOWNPOPUPMENU = 0x812C;
inline constexpr int cxDropDownButtonWidth = 15;
inline constexpr hostlib::TColor cxButtonGlyphMaskColor = 0x008080;

class TcxCustomButton;

class TcxButtonColors : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    virtual void Construct(TcxCustomButton* owner) { button_ = owner; }
    void Assign(hostlib::TPersistent* source) override;

    hostlib::TColor Color(TcxButtonState state) const { return colors_[state]; }
    // clNone and clDefault drop the state from AssignedColors.
    void SetColor(TcxButtonState state, hostlib::TColor value);
    TcxButtonAssignedColors AssignedColors() const { return assigned_; }
    // Honoured at design time only.
    void SetAssignedColors(TcxButtonAssignedColors value);

    hostlib::TColor Default() const { return colors_[cxbsDefault]; }
    void SetDefault(hostlib::TColor v) { SetColor(cxbsDefault, v); }
    hostlib::TColor Normal() const { return colors_[cxbsNormal]; }
    void SetNormal(hostlib::TColor v) { SetColor(cxbsNormal, v); }
    hostlib::TColor Hot() const { return colors_[cxbsHot]; }
    void SetHot(hostlib::TColor v) { SetColor(cxbsHot, v); }
    hostlib::TColor Pressed() const { return colors_[cxbsPressed]; }
    void SetPressed(hostlib::TColor v) { SetColor(cxbsPressed, v); }
    hostlib::TColor Disabled() const { return colors_[cxbsDisabled]; }
    void SetDisabled(hostlib::TColor v) { SetColor(cxbsDisabled, v); }
    bool IsStored(TcxButtonState state) const { return assigned_.Contains(state); }

private:
    void Changed();

    TcxCustomButton* button_ = nullptr;
    TcxButtonAssignedColors assigned_;
    hostlib::TColor colors_[5] = {hostlib::clDefault, hostlib::clDefault, hostlib::clDefault, hostlib::clDefault,
                                  hostlib::clDefault};
};

// An image list of one size whose freed slots are taken again first.
class TcxGlyphList : public hostlib::TCustomImageList {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Pixels equal to maskColor are transparent.
    int AddGlyph(hostlib::TBitmap* image, hostlib::TColor maskColor);
    void DeleteGlyph(int index);
    int UsedCount() const { return usedCount_; }

private:
    std::vector<bool> used_;
    int usedCount_ = 0;
};

// The program's glyph lists, one per size in use.
class TcxGlyphCache {
public:
    ~TcxGlyphCache();
    TcxGlyphList* GetList(int width, int height);
    // Frees the list once no slot of it is in use.
    void ReturnList(TcxGlyphList* list);
    bool IsEmpty() const { return lists_.empty(); }
    int Count() const { return static_cast<int>(lists_.size()); }

private:
    std::vector<TcxGlyphList*> lists_;
};

// nullptr while no button glyph exists.
TcxGlyphCache* cxButtonGlyphCache();

enum TcxButtonGlyphKind { bgkUp, bgkDisabled, bgkDown, bgkExclusive };

// Where the glyph and the caption of a button go; pure arithmetic.
struct TcxButtonLayoutResult {
    POINT GlyphPos{};
    RECT TextBounds{};
};
TcxButtonLayoutResult cxCalcButtonLayout(const RECT& client, const POINT& offset, SIZE glyph, SIZE text,
                                         hostlib::TButtonLayout layout, int margin, int spacing,
                                         bool rightToLeft);

class TcxButtonGlyph : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    virtual void Construct();

    hostlib::TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(hostlib::TBitmap* value);
    int NumGlyphs() const { return numGlyphs_; }
    // 1 to 4; larger values become 4.
    void SetNumGlyphs(int value);
    hostlib::TColor TransparentColor() const { return transparentColor_; }
    TcxGlyphList* GlyphList() const { return glyphList_; }
    int ImageIndex(TcxButtonGlyphKind kind) const { return indexes_[kind]; }
    SIZE GlyphSize() const;

    // The image index for a state, made on first use; -1 for no glyph.
    virtual int CreateButtonGlyph(TcxButtonState state);
    void Draw(TcxCanvas* canvas, const RECT& client, const POINT& offset, const std::string& caption,
              hostlib::TButtonLayout layout, int margin, int spacing, TcxButtonState state, int biDiFlags);
    // Drops every image made so far (their slots go back to the list).
    void Invalidate();

    hostlib::TNotifyEvent OnChange;

protected:
    void Destroy() override;

private:
    void GlyphChanged(hostlib::TObject* sender);
    hostlib::ObjectPtr<hostlib::TBitmap> MakeImage(TcxButtonGlyphKind kind);
    hostlib::ObjectPtr<hostlib::TBitmap> CutImage(int index);
    hostlib::ObjectPtr<hostlib::TBitmap> MakeRecoloured();
    hostlib::ObjectPtr<hostlib::TBitmap> MakeEmbossed();
    SIZE CaptionSize(TcxCanvas* canvas, const std::string& caption, const RECT& client, int biDiFlags);

    hostlib::ObjectPtr<hostlib::TBitmap> glyph_;
    TcxGlyphList* glyphList_ = nullptr;
    int indexes_[4] = {-1, -1, -1, -1};
    hostlib::TColor transparentColor_ = cxButtonGlyphMaskColor;
    int numGlyphs_ = 1;
    bool changing_ = false;
};
using TcxButtonGlyphClass = hostlib::TClass;

using TcxButtonGetDrawParamsEvent =
    hostlib::Event<TcxCustomButton*, TcxButtonState, hostlib::TColor&, hostlib::TFont*>;
using TcxButtonDropDownMenuPopupEvent = hostlib::Event<hostlib::TObject*, hostlib::TPopupMenu*&, bool&>;

class TcxCustomButton : public hostlib::TButton {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;
    void Click() override;
    void SetButtonStyle(bool isDefault) override;

    TcxButtonColors* Colors() const { return colors_.get(); }
    void SetColors(TcxButtonColors* value) { colors_->Assign(value); }
    hostlib::TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(hostlib::TPopupMenu* value);
    hostlib::TBitmap* Glyph() const { return glyph_->Glyph(); }
    void SetGlyph(hostlib::TBitmap* value);
    TcxButtonKind Kind() const { return kind_; }
    void SetKind(TcxButtonKind value);
    hostlib::TButtonLayout Layout() const { return layout_; }
    void SetLayout(hostlib::TButtonLayout value);
    TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
    void SetLookAndFeel(TcxLookAndFeel* value) { lookAndFeel_->Assign(value); }
    int Margin() const { return margin_; }
    // -1 centres; values below -1 are refused.
    void SetMargin(int value);
    int NumGlyphs() const { return glyph_->NumGlyphs(); }
    void SetNumGlyphs(int value);
    hostlib::TPopupAlignment PopupAlignment() const { return popupAlignment_; }
    void SetPopupAlignment(hostlib::TPopupAlignment value) { popupAlignment_ = value; }
    // A TPopupMenu or a component with IcxPopupMenu; anything else is nil.
    hostlib::TComponent* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(hostlib::TComponent* value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    bool UseSystemPaint() const { return useSystemPaint_; }
    void SetUseSystemPaint(bool value) { useSystemPaint_ = value; }

    TcxButtonGlyph* ButtonGlyph() const { return glyph_.get(); }
    bool IsHot() const { return hot_; }
    bool IsPressed() const { return pressed_; }
    bool IsMenuVisible() const { return menuVisible_; }
    bool IsDefaultStyle() const { return defaultStyle_; }
    // The state InternalPaint draws now.
    TcxButtonState CurrentState() const;
    RECT GetContentRect(TcxButtonState state);
    bool IsHotTrack();
    TcxCustomLookAndFeelPainterClass Painter() { return GetPainterClass(); }

    TcxButtonDropDownMenuPopupEvent OnDropDownMenuPopup;
    TcxButtonGetDrawParamsEvent OnGetDrawParams;

    virtual bool DoOnDropDownMenuPopup(hostlib::TPopupMenu*& menu);
    virtual bool DoShowPopupMenu(hostlib::TComponent* menu, int x, int y);
    virtual hostlib::TClass GetGlyphClass();
    virtual TcxCustomLookAndFeelPainterClass GetPainterClass();
    virtual bool StandardButton() const { return false; }

protected:
    void Destroy() override;
    void CreateHandle() override;
    void CreateParams(hostlib::TCreateParams& params) override;
    DWORD ButtonStyle() const override;
    void Dispatch(hostlib::TMessage& message) override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    // Without a glyph of its own the button shows the action's image.
    void ActionChange(hostlib::TObject* sender, bool checkDefaults) override;
    void DoContextPopup(POINT mousePos, bool& handled) override;
    void DoDropDownMenu();
    void InternalPaint();
    void ButtonMouseLeave();

private:
    class TrackingCaller : public IcxMouseTrackingCaller {
    public:
        explicit TrackingCaller(TcxCustomButton* owner) : owner_(owner) {}
        void MouseLeave() override { owner_->ButtonMouseLeave(); }

    private:
        TcxCustomButton* owner_;
    };

    void CNDrawItem(hostlib::TMessage& m);
    void CNMeasureItem(hostlib::TMessage& m);
    void WMEraseBkgnd(hostlib::TMessage& m);
    void WMLButtonDown(hostlib::TMessage& m);
    void WMLButtonUp(hostlib::TMessage& m);
    void WMContextMenu(hostlib::TMessage& m);
    void WMCaptureChanged(hostlib::TMessage& m);
    void CNKeyDown(hostlib::TMessage& m);
    void CMDropDownPopupMenu();
    POINT DropDownMenuPoint(hostlib::TPopupMenu* menu);
    void PaintDropDownPart(TcxCustomLookAndFeelPainterClass painter, const RECT& part, TcxButtonState state,
                           hostlib::TColor color);
    void GlyphChanged(hostlib::TObject* sender);
    void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues values);
    void UpdateHotFromCursor();
    bool IsInDropDownPart(int x) const;

    bool pressed_ = false;
    bool focused_ = false;
    hostlib::ObjectPtr<TcxCanvas> cxCanvas_;
    hostlib::ObjectPtr<TcxButtonColors> colors_;
    hostlib::ObjectPtr<hostlib::TControlCanvas> canvas_;
    bool lock_ = false;
    hostlib::TPopupMenu* dropDownMenu_ = nullptr;
    bool defaultStyle_ = false;
    bool mouseClick_ = false;
    TcxButtonKind kind_ = cxbkStandard;
    hostlib::ObjectPtr<TcxLookAndFeel> lookAndFeel_;
    hostlib::TPopupAlignment popupAlignment_ = hostlib::paLeft;
    hostlib::TComponent* popupMenu_ = nullptr;
    bool useSystemPaint_ = false;
    hostlib::ObjectPtr<TcxButtonGlyph> glyph_;
    hostlib::TButtonLayout layout_ = hostlib::blGlyphLeft;
    bool glyphModified_ = false;
    int margin_ = -1;
    bool menuVisible_ = false;
    bool hot_ = false;
    int spacing_ = 4;
    TrackingCaller trackingCaller_{this};
};

class TcxButton : public TcxCustomButton {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};
