#pragma once
// The navigator's binding to data controls: the button indexes, the
// interface a data control implements, the interface of a navigator, and
// the notifier through which a data control refreshes its navigators.

#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/visual/graphics.h"
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
