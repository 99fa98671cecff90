#pragma once
// The navigator's binding to data controls: the button indexes, the
// interface a data control implements, the interface of a navigator, and
// the notifier through which a data control refreshes its navigators.

#include <functional>
#include <string>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "platform/hostlib/core/component.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/graphics.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/hostlib/visual/timer.h"
#include "platform/hostlib/visual/win_control.h"

class TcxLookAndFeel;
class TcxCustomNavigatorButtons;
class TcxNavigatorControlNotifier;

inline constexpr int NBDI_FIRST = 0;
inline constexpr int NBDI_PRIORPAGE = 1;
inline constexpr int NBDI_PRIOR = 2;
inline constexpr int NBDI_NEXT = 3;
inline constexpr int NBDI_NEXTPAGE = 4;
inline constexpr int NBDI_LAST = 5;
inline constexpr int NBDI_INSERT = 6;
inline constexpr int NBDI_DELETE = 7;
inline constexpr int NBDI_EDIT = 8;
inline constexpr int NBDI_POST = 9;
inline constexpr int NBDI_CANCEL = 10;
inline constexpr int NBDI_REFRESH = 11;
inline constexpr int NBDI_SAVEBOOKMARK = 12;
inline constexpr int NBDI_GOTOBOOKMARK = 13;
inline constexpr int NBDI_FILTER = 14;
inline constexpr int NavigatorButtonCount = 15;

enum TcxNavigatorChangeType { nctProperties, nctSize, nctLayout };

// What a navigator offers the data control and its buttons.
class IcxNavigatorOwner {
public:
    virtual void NavigatorChanged(TcxNavigatorChangeType changeType) = 0;
    virtual RECT GetNavigatorBounds() = 0;
    virtual TcxCustomNavigatorButtons* GetNavigatorButtons() = 0;
    virtual hostlib::TCanvas* GetNavigatorCanvas() = 0;
    virtual hostlib::TWinControl* GetNavigatorControl() = 0;
    virtual bool GetNavigatorFocused() = 0;
    virtual TcxLookAndFeel* GetNavigatorLookAndFeel() = 0;
    virtual hostlib::TComponent* GetNavigatorOwner() = 0;
    virtual bool GetNavigatorShowHint() = 0;
    virtual bool GetNavigatorTabStop() = 0;
    // Re-reads every button's enabled state.
    virtual void NavigatorButtonsStateChanged() = 0;
    virtual void RefreshNavigator() = 0;

protected:
    ~IcxNavigatorOwner() = default;
};

// What a data control offers a navigator bound to it.
class IcxNavigator {
public:
    virtual bool CanDelete() = 0;
    virtual bool CanEdit() = 0;
    virtual bool CanInsert() = 0;
    virtual bool GetNavigatorIsActive() = 0;
    virtual bool IsBOF() = 0;
    virtual bool IsBookmarkAvailable() = 0;
    virtual bool GetIsEditing() = 0;
    virtual bool IsEOF() = 0;
    virtual void ClearBookmark() = 0;
    // Performs the action of the button with that index.
    virtual void DoAction(int buttonIndex) = 0;
    // nullptr when the control keeps none.
    virtual TcxNavigatorControlNotifier* GetNotifier() = 0;
    virtual bool IsActionSupported(int buttonIndex) = 0;

protected:
    ~IcxNavigator() = default;
};

// The navigators bound to one data control, held without ownership.
class TcxNavigatorControlNotifier : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Adds a navigator not yet in the list.
    void AddNavigator(IcxNavigatorOwner* navigator);
    void RemoveNavigator(IcxNavigatorOwner* navigator);
    // Every navigator re-reads its buttons' enabled states, in list order.
    void RefreshNavigatorButtons();
    int Count() const { return static_cast<int>(list_.size()); }

private:
    std::vector<IcxNavigatorOwner*> list_;
};

// ---- the navigator control ----

class TcxNavigatorButton;
class TcxNavigatorViewInfo;

inline constexpr hostlib::TColor cxNavigatorMaskColor = 0x008080;
inline constexpr int cxNavigatorDefaultHeight = 25;

inline constexpr TcxResourceString cxNavigatorHint_First{64220, "First record"};
inline constexpr TcxResourceString cxNavigatorHint_PriorPage{64221, "Prior page"};
inline constexpr TcxResourceString cxNavigatorHint_Prior{64222, "Prior record"};
inline constexpr TcxResourceString cxNavigatorHint_Next{64223, "Next record"};
inline constexpr TcxResourceString cxNavigatorHint_NextPage{64224, "Next page"};
inline constexpr TcxResourceString cxNavigatorHint_Last{64225, "Last record"};
inline constexpr TcxResourceString cxNavigatorHint_Insert{64226, "Insert record"};
inline constexpr TcxResourceString cxNavigatorHint_Delete{64227, "Delete record"};
inline constexpr TcxResourceString cxNavigatorHint_Edit{64228, "Edit record"};
inline constexpr TcxResourceString cxNavigatorHint_Post{64229, "Post edit"};
inline constexpr TcxResourceString cxNavigatorHint_Cancel{64230, "Cancel edit"};
inline constexpr TcxResourceString cxNavigatorHint_Refresh{64231, "Refresh data"};
inline constexpr TcxResourceString cxNavigatorHint_SaveBookmark{64232, "Save Bookmark"};
inline constexpr TcxResourceString cxNavigatorHint_GotoBookmark{64233, "Goto Bookmark"};
inline constexpr TcxResourceString cxNavigatorHint_Filter{64234, "Filter data"};

// (sender, button index, var done): done skips the default action.
using TcxNavigatorButtonClickEvent = hostlib::Event<hostlib::TObject*, int, bool&>;
using TcxNavigatorControlButtonsGetControl = std::function<IcxNavigator*()>;

// The glyphs of every navigator, 12 x 11, loaded on first use.
hostlib::TCustomImageList* cxNavigatorImages();

// One button of a navigator: its settings and its click.
class TcxNavigatorButton : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    virtual void Construct(TcxCustomNavigatorButtons* buttons, int defaultIndex);
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override;

    // DoClick while the button is effectively enabled.
    void Click();
    virtual void DoClick();

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool IsVisibleAssigned() const { return visibleAssigned_; }
    void SetVisibleAssigned(bool value) { visibleAssigned_ = value; }
    // Changes Visible as the navigator's own initialisation does.
    void InitVisible(bool value);

    int DefaultIndex() const { return defaultIndex_; }
    TcxCustomNavigatorButtons* Buttons() const { return buttons_; }
    IcxNavigatorOwner* Navigator() const;
    bool GetInternalEnabled() const;
    std::string GetInternalHint() const;
    int GetInternalImageIndex() const;
    hostlib::TCustomImageList* GetInternalImages() const;
    SIZE GetImageSize() const;

    // Replaces the default action when set.
    hostlib::TNotifyEvent OnClick;

private:
    void ChangeVisible(bool value, bool fromOutside);

    bool enabled_ = true;
    std::string hint_;
    int defaultIndex_ = 0;
    int imageIndex_ = -1;
    bool visibleAssigned_ = false;
    bool visible_ = true;
    TcxCustomNavigatorButtons* buttons_ = nullptr;
};

// The fifteen buttons of a navigator, their images and click routing.
class TcxCustomNavigatorButtons : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    virtual void Construct(IcxNavigatorOwner* navigator);
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override;

    void ClickButton(int index);
    // nullptr outside 0..14.
    TcxNavigatorButton* Button(int index) const;
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    IcxNavigatorOwner* Navigator() const { return navigator_; }

    hostlib::TCustomImageList* Images() const { return images_; }
    void SetImages(hostlib::TCustomImageList* value);
    bool ConfirmDelete() const { return confirmDelete_; }
    void SetConfirmDelete(bool value);

    TcxNavigatorButton* First() const { return Button(NBDI_FIRST); }
    TcxNavigatorButton* PriorPage() const { return Button(NBDI_PRIORPAGE); }
    TcxNavigatorButton* Prior() const { return Button(NBDI_PRIOR); }
    TcxNavigatorButton* Next() const { return Button(NBDI_NEXT); }
    TcxNavigatorButton* NextPage() const { return Button(NBDI_NEXTPAGE); }
    TcxNavigatorButton* Last() const { return Button(NBDI_LAST); }
    TcxNavigatorButton* Insert() const { return Button(NBDI_INSERT); }
    TcxNavigatorButton* Delete() const { return Button(NBDI_DELETE); }
    TcxNavigatorButton* Edit() const { return Button(NBDI_EDIT); }
    TcxNavigatorButton* Post() const { return Button(NBDI_POST); }
    TcxNavigatorButton* Cancel() const { return Button(NBDI_CANCEL); }
    TcxNavigatorButton* Refresh() const { return Button(NBDI_REFRESH); }
    TcxNavigatorButton* SaveBookmark() const { return Button(NBDI_SAVEBOOKMARK); }
    TcxNavigatorButton* GotoBookmark() const { return Button(NBDI_GOTOBOOKMARK); }
    TcxNavigatorButton* Filter() const { return Button(NBDI_FILTER); }

    TcxNavigatorButtonClickEvent OnButtonClick;

    virtual void DoButtonClick(int) {}
    virtual bool GetButtonEnabled(int index);
    // The default hint; empty outside 0..14.
    virtual std::string GetButtonHint(int index);
    virtual int GetButtonImageOffset() { return 2; }
    virtual void ReleaseBookmark() {}

protected:
    void Destroy() override;
    virtual void CreateButtons();
    virtual void DestroyButtons();

private:
    void ImageListChange(hostlib::TObject* sender);

    IcxNavigatorOwner* navigator_ = nullptr;
    std::vector<TcxNavigatorButton*> buttons_;
    hostlib::TCustomImageList* images_ = nullptr;
    hostlib::ObjectPtr<hostlib::TChangeLink> imageChangeLink_;
    bool confirmDelete_ = true;
};

// Buttons that act on, and take their enabled states from, a data control.
class TcxNavigatorControlButtons : public TcxCustomNavigatorButtons {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void SetOnGetControl(TcxNavigatorControlButtonsGetControl value) { onGetControl_ = std::move(value); }
    IcxNavigator* GetControl() const { return onGetControl_ ? onGetControl_() : nullptr; }

    void DoButtonClick(int index) override;
    bool GetButtonEnabled(int index) override;
    void ReleaseBookmark() override;

private:
    TcxNavigatorControlButtonsGetControl onGetControl_;
};

// One visible button's place and what it showed when laid out.
struct TcxNavigatorButtonViewInfo {
    TcxNavigatorButton* Button = nullptr;
    RECT Bounds{};
    bool Enabled = false;
    std::string Hint;
};

// Layout, painting, mouse, keys and hints of a navigator.
class TcxNavigatorViewInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    virtual void Construct(IcxNavigatorOwner* navigator);

    void CheckSize(int& width, int& height);
    void Calculate();
    void MakeIsDirty() { dirty_ = true; }
    bool IsDirty() const { return dirty_; }
    void Paint();
    void PaintButton(int index);
    void Clear();

    void MouseDown(hostlib::TMouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(int x, int y);
    void KeyDown(WORD key);
    void DoEnter();
    void DoExit();
    void UpdateSelected();
    void ButtonsStateChanged();
    // Hides and frees a shown hint, then shows the hot button's when asked.
    void HintActivate(bool show);
    // Hides the hint first when the message is one that ends it.
    void CheckHintMessage(UINT message);

    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    const TcxNavigatorButtonViewInfo& ButtonViewInfo(int index) const { return buttons_[index]; }
    // -1 when no visible button lies there.
    int GetButtonIndexAt(const POINT& p) const;
    TcxButtonState GetButtonState(int index) const;
    TcxNavigatorButton* HotButton() const;
    TcxNavigatorButton* PressedButton() const;
    TcxNavigatorButton* FocusedButton();
    bool Selected() const { return selected_; }
    bool HintShowing() const { return hintShowing_; }
    hostlib::THintWindow* HintWindow() const { return hintWindow_.get(); }
    hostlib::TTimer* RepeatTimer() const { return repeatTimer_.get(); }
    hostlib::TTimer* HintTimer() const { return hintTimer_.get(); }

protected:
    void Destroy() override;
    virtual TcxCustomLookAndFeelPainterClass Painter();

private:
    int IndexOf(const TcxNavigatorButton* button) const;
    RECT GlyphRect(int index, TcxCustomLookAndFeelPainterClass painter, TcxButtonState state);
    void DrawGlyph(int index, TcxCustomLookAndFeelPainterClass painter, TcxButtonState state, const RECT& glyph);
    void DrawThemedBackground(TcxCustomLookAndFeelPainterClass painter, TcxButtonState state, const RECT& r);
    void InvalidateButton(int index);
    void SetHot(int index);
    void StopRepeat();
    void RepeatTimerTick(hostlib::TObject* sender);
    void HintTimerTick(hostlib::TObject* sender);
    bool CanShowHint(const std::string& text);
    void ShowHint(const std::string& text);
    void MoveFocus(int step);

    IcxNavigatorOwner* navigator_ = nullptr;
    std::vector<TcxNavigatorButtonViewInfo> buttons_;
    hostlib::ObjectPtr<TcxCanvas> canvas_;
    hostlib::ObjectPtr<hostlib::TTimer> repeatTimer_;
    hostlib::ObjectPtr<hostlib::TTimer> hintTimer_;
    hostlib::ObjectPtr<hostlib::THintWindow> hintWindow_;
    bool hintShowing_ = false;
    TcxNavigatorButton* hotButton_ = nullptr;
    TcxNavigatorButton* pressedButton_ = nullptr;
    TcxNavigatorButton* focusedButton_ = nullptr;
    bool dirty_ = true;
    bool inplace_ = false;
    bool selected_ = false;
};
using TcxNavigatorViewInfoClass = hostlib::TClass;

// A strip of record buttons drawn by the control itself.
class TcxCustomNavigator : public TcxControl, public IcxNavigatorOwner {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    void SetBounds(int left, int top, int width, int height) override;

    TcxCustomNavigatorButtons* CustomButtons() const { return buttons_.get(); }
    TcxNavigatorViewInfo* ViewInfo() const { return viewInfo_.get(); }
    // Makes every button visible again unless set from outside.
    void RestoreButtons();

    // Called by nothing; kept for form resources.
    hostlib::TNotifyEvent ButtonsEvents;

    // IcxNavigatorOwner
    void NavigatorChanged(TcxNavigatorChangeType) override {}
    RECT GetNavigatorBounds() override;
    TcxCustomNavigatorButtons* GetNavigatorButtons() override { return buttons_.get(); }
    hostlib::TCanvas* GetNavigatorCanvas() override;
    hostlib::TWinControl* GetNavigatorControl() override { return this; }
    bool GetNavigatorFocused() override { return Focused(); }
    TcxLookAndFeel* GetNavigatorLookAndFeel() override { return LookAndFeel(); }
    hostlib::TComponent* GetNavigatorOwner() override { return this; }
    bool GetNavigatorShowHint() override { return ShowHint(); }
    bool GetNavigatorTabStop() override { return TabStop(); }
    void NavigatorButtonsStateChanged() override;
    void RefreshNavigator() override;

    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;
    bool CanFocusOnClick() override { return TabStop(); }
    bool NeedsScrollBars() override { return false; }
    void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed) override;

protected:
    void Destroy() override;
    virtual TcxCustomNavigatorButtons* CreateButtons();
    virtual TcxNavigatorViewInfoClass GetViewInfoClass();
    virtual void InitButtons();

    void WndProc(hostlib::TMessage& message) override;
    void CreateWnd() override;
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseEnter(hostlib::TControl* control) override;
    void MouseLeave(hostlib::TControl* control) override;

private:
    // Told by the mouse-tracking timer that the pointer left.
    class TrackingCaller : public IcxMouseTrackingCaller {
    public:
        explicit TrackingCaller(TcxCustomNavigator* owner) : owner_(owner) {}
        void MouseLeave() override { owner_->NavigatorMouseLeave(); }

    private:
        TcxCustomNavigator* owner_;
    };

    void NavigatorMouseLeave();

    hostlib::ObjectPtr<TcxCustomNavigatorButtons> buttons_;
    bool mouseTracking_ = false;
    hostlib::ObjectPtr<TcxNavigatorViewInfo> viewInfo_;
    TrackingCaller trackingCaller_{this};
};

// A navigator whose buttons act on a bound data control.
class TcxCustomNavigatorControl : public TcxCustomNavigator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;

    hostlib::TComponent* Control() const { return control_; }
    // A component that is no data control is refused.
    void SetControl(hostlib::TComponent* value);
    TcxNavigatorControlButtons* Buttons() const;
    void SetButtons(TcxNavigatorControlButtons* value);

protected:
    void Destroy() override;
    TcxCustomNavigatorButtons* CreateButtons() override;
    void InitButtons() override;

private:
    IcxNavigator* GetNavigator() const;
    // Leaves the bound control without refreshing the buttons.
    void Unbind();

    hostlib::TComponent* control_ = nullptr;
};

class TcxNavigator : public TcxCustomNavigatorControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};
