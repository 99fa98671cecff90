#pragma once
// Controls the library draws itself (labels, group boxes, the page
// control, the status bar) and the combo box on the "COMBOBOX" class.

#include <string>
#include <vector>

#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/stdctrls/comctrls.h"
#include "platform/hostlib/data/dbcommon.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/stdctrls/stdctrls.h"

namespace hostlib {

// ---- label ------------------------------------------------------------------------

class TLabel : public TGraphicControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    // The control an accelerator of the caption focuses.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);
    // Fits the bounds to the caption (when AutoSize) once a parent window
    // can measure it.
    void AdjustBounds();

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void Notification(TComponent* component, TOperation operation) override;
    void Dispatch(TMessage& message) override;

private:
    UINT DrawFlags() const;

    bool autoSize_ = true;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    TAlignment alignment_ = taLeftJustify;
    TWinControl* focusControl_ = nullptr;
};

// ---- group box ------------------------------------------------------------------------

class TGroupBox : public TCustomControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

protected:
    void AdjustClientRect(RECT& rect) override;
    void Paint() override;
    void TextChanged() override { Invalidate(); }
};

// ---- page control ------------------------------------------------------------------------

class TPageControl;

class TTabSheet : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    TPageControl* PageControl() const { return pageControl_; }
    void SetPageControl(TPageControl* control);
    // Position among the page control's pages (-1 outside one).
    int PageIndex() const;
    void SetPageIndex(int index);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool value);
    void SetParent(TWinControl* parent) override;

protected:
    void Destroy() override;
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
};

enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

using TTabChangingEvent = Event<TObject*, bool&>;

// Pages with a row of tabs. A page chosen by the program raises no event;
// one chosen by the user raises OnChanging (which may refuse) and then
// OnChange.
class TPageControl : public TCustomControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const { return activePage_; }
    void SetActivePage(TTabSheet* page);
    // -1 without an active page; an index outside the pages shows none.
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    TTabStyle Style() const { return style_; }
    void SetStyle(TTabStyle value);
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool value) { hotTrack_ = value; }
    // The tab under a client point among the visible tabs (-1: none),
    // given as a page index.
    int IndexOfTabAt(int x, int y);
    RECT TabRect(int pageIndex);
    // The area the pages take.
    RECT DisplayRect();
    // Moves to the next or previous visible page as a user would.
    void SelectNextPage(bool goForward);

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    void Destroy() override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Resize() override;
    void AdjustClientRect(RECT& rect) override;
    // The user's choice: asks OnChanging, shows the page, raises OnChange.
    bool UserSelect(TTabSheet* page);

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    void LayoutPages();
    std::vector<RECT> TabRects();

    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    TTabStyle style_ = tsTabs;
    bool hotTrack_ = false;
};

// ---- status bar ---------------------------------------------------------------------------

class TStatusPanel : public TCollectionItem {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& value);
    int Width() const { return width_; }
    void SetWidth(int value);
    std::string DisplayName() const override { return text_; }

private:
    std::string text_;
    int width_ = 50;
};

class TStatusPanels : public TOwnedCollection {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TPersistent* owner) { TOwnedCollection::Construct(owner, TStatusPanel::StaticClass()); }
    using TOwnedCollection::Construct;
    TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }

protected:
    void Update(TCollectionItem* item) override;
};

class TStatusBar : public TCustomControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool value);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& value);
    TStatusPanels* Panels() const { return panels_.get(); }
    void SetPanels(TStatusPanels* value) { panels_->Assign(value); }

protected:
    void Destroy() override;
    void Paint() override;

private:
    bool simplePanel_ = false;
    std::string simpleText_;
    ObjectPtr<TStatusPanels> panels_;
};

// ---- combo box ---------------------------------------------------------------------------------

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// A "COMBOBOX" window. ItemIndex set by the program raises nothing (an
// index outside the items selects none, -1); a choice by the user raises
// OnChange.
class TComboBox : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* value) { items_->Assign(value); }
    int ItemIndex() const;
    void SetItemIndex(int index);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle value);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int value) { dropDownCount_ = value < 1 ? 1 : value; }

    TNotifyEvent OnChange;

protected:
    void Destroy() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;

private:
    void ItemsChanged(TObject*);
    void FillWindow();

    ObjectPtr<TStringList> items_;
    int itemIndex_ = -1;
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
};

// Registers the standard control classes for form resources.
void RegisterStandardControls();

}  // namespace hostlib
