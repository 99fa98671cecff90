#pragma once
// Forms, the application object, the screen and the mouse, and the hint
// window. Application, Screen and Mouse are made by InitVisualLibrary and
// freed by DoneVisualLibrary.

#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/hostlib/visual/controls.h"

namespace hostlib {

class TTimer;
class THintWindow;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// The border of a control: bsNone or bsSingle.
using TBorderStyle = TFormBorderStyle;
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
// MDI styles act as fsNormal.
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
// Which monitor a form prefers; one display here, so no effect.
enum TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateFlag>;

// Scroll bars drawn by controls themselves: their orientation, step sizes
// (1 to 32767) and the steps a scroll event reports.
enum TScrollBarKind { sbHorizontal, sbVertical };
using TScrollBarInc = int;
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
// The handler may change the position (the last argument).
using TScrollEvent = Event<TObject*, TScrollCode, int&>;

// System-menu commands (WM_SYSCOMMAND).
inline constexpr UINT SC_SIZE = 0xF000;
inline constexpr UINT SC_MOVE = 0xF010;
inline constexpr UINT SC_MINIMIZE = 0xF020;
inline constexpr UINT SC_MAXIMIZE = 0xF030;
inline constexpr UINT SC_CLOSE = 0xF060;
inline constexpr UINT SC_RESTORE = 0xF120;

const TEnumInfo& EnumTypeInfo(TFormBorderStyle*);
const TEnumInfo& EnumTypeInfo(TScrollBarKind*);
const TEnumInfo& EnumTypeInfo(TBorderIcon*);
const TEnumInfo& EnumTypeInfo(TFormStyle*);
const TEnumInfo& EnumTypeInfo(TPosition*);
const TEnumInfo& EnumTypeInfo(TWindowState*);

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;

using TCloseEvent = Event<TObject*, TCloseAction&>;
using TCloseQueryEvent = Event<TObject*, bool&>;
using TShortCutEvent = Event<TMessage&, bool&>;
using TExceptionEvent = Event<TObject*, Exception&>;
using TIdleEvent = Event<TObject*, bool&>;

// What CM_HINTSHOW's lParam points at; a control may change it, or answer
// non-zero to show no hint.
struct THintInfo {
    TControl* HintControl = nullptr;
    POINT HintPos{};
    int HintMaxWidth = 300;
    TColor HintColor = clInfoBk;
    std::string HintStr;
};

class TCustomForm : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
    // A form without a form resource (the same as Construct here).
    void CreateNew(TComponent* owner) { Construct(owner); }
    void AfterConstruction() override;
    void BeforeDestruction() override;

    void Dispatch(TMessage& message) override;

    void Show();
    void Hide() { SetVisible(false); }
    void Close();
    // Shows the form and runs a message loop until ModalResult is set;
    // the other forms are disabled meanwhile.
    virtual TModalResult ShowModal();
    // Frees the form once the message being handled has returned.
    void Release();
    virtual bool CloseQuery();
    void SetVisible(bool value) override;
    // With a parent the form is a child window: no frame or caption, shown
    // with its parent, never activated, its controls' focus kept by the
    // form it lies on. Without one it is a top-level window again.
    void SetParent(TWinControl* parent) override;
    bool Showing() const override;
    void UpdateShowing() override;
    // Before the window exists, the size less the frame its style will have.
    RECT ClientRect() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons value);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle value);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition value) { position_ = value; }
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState value);
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool value) { keyPreview_ = value; }
    TFormState FormState() const { return formState_; }
    bool Active() const { return active_; }
    // No DPI scaling here: kept for form resources, without effect.
    bool Scaled() const { return scaled_; }
    void SetScaled(bool value) { scaled_ = value; }
    int PixelsPerInch() const { return 96; }
    void SetPixelsPerInch(int) {}
    int TextHeight() const { return textHeight_; }
    void SetTextHeight(int value) { textHeight_ = value; }
    TDefaultMonitor DefaultMonitor() const { return defaultMonitor_; }
    void SetDefaultMonitor(TDefaultMonitor value) { defaultMonitor_ = value; }
    // The form's own drawing surface during Paint (and outside it, a
    // device context released when the current message returns).
    TCanvas* Canvas() const { return canvas_.get(); }

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    // Focuses control (raises when it cannot take the focus).
    void FocusControl(TWinControl* control);
    // Enter and exit events for a focus move to control; false refuses.
    bool SetFocusedControl(TWinControl* control);
    // The control stops being the active one (hidden, disabled); when it
    // is being removed from the form, the focus record moves to its
    // parent without exit events.
    void DefocusControl(TWinControl* control, bool removing);
    void SendCancelMode(TControl* sender);
    virtual bool IsShortCut(TMessage& message);
    // The form's system menu (Restore, Move, Size, Minimize, Maximize, a
    // separator, Close), which programs may edit; revert restores it.
    HMENU SystemMenu(bool revert = false);
    // Alt+Space: the system menu at the window's corner; the chosen
    // command arrives as WM_SYSCOMMAND. False when the form has none.
    bool ShowSystemMenu();
    // Components of the form without a parent (timers, menus) first, then
    // the controls.
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;
    TNotifyEvent OnPaint;

protected:
    virtual void Paint() { OnPaint(this); }
    void PaintWindow(HDC dc) override;
    void Destroy() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void DoShow() { OnShow(this); }
    virtual void DoHide() { OnHide(this); }
    virtual void DoClose(TCloseAction& action);
    virtual void Activate() { OnActivate(this); }
    virtual void Deactivate() { OnDeactivate(this); }

private:
    void CMDialogKey(TMessage& m);
    void WMActivate(TMessage& m);
    void SetWindowFocus();
    void PlaceOnShow();
    void CloseModal();

    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = {biSystemMenu, biMinimize, biMaximize};
    TFormStyle formStyle_ = fsNormal;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    TModalResult modalResult_ = mrNone;
    bool keyPreview_ = false;
    TFormState formState_;
    bool active_ = false;
    bool placed_ = false;
    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    bool releasePosted_ = false;
    TDefaultMonitor defaultMonitor_ = dmActiveForm;
    bool scaled_ = true;
    int textHeight_ = 13;
    ObjectPtr<TControlCanvas> canvas_;
};

class TForm : public TCustomForm {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
};

using TFormClass = TClass;

// ---- hint window -----------------------------------------------------------------------

class THintWindow : public TCustomControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
    // The rectangle the hint text needs (at 0,0), at most maxWidth wide.
    virtual RECT CalcHintRect(int maxWidth, const std::string& hint);
    // Shows the hint at a screen rectangle: topmost, never activated.
    virtual void ActivateHint(RECT rect, const std::string& hint);
    void ReleaseHandle();

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
};

// ---- application ---------------------------------------------------------------------------

class TApplication : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    // Creates a form owned by the application; the first becomes MainForm.
    template <class F>
    F* CreateForm()
    {
        F* form = CreateObject<F>(this);
        if (!mainForm_) mainForm_ = form;
        return form;
    }
    TCustomForm* CreateForm(TClass formClass);
    // Nothing to prepare here; kept for programs' start-up sequence.
    void Initialize() {}
    // The program file's full path.
    std::string ExeName() const;
    TCustomForm* MainForm() const { return mainForm_; }
    void SetMainForm(TCustomForm* form) { mainForm_ = form; }
    // Shows the main form and handles messages until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    // Handles one message, or runs the idle step and waits for one.
    void HandleMessage();
    // The idle step alone: mouse enter/leave, hints and OnIdle (tests call
    // it after moving the mouse). Returns OnIdle's done flag.
    bool DoIdle();
    // The default handling of the exception being handled (call from a
    // catch block): OnException, else a box with the message; EAbort is
    // silent.
    void HandleException(TObject* sender);
    void ShowException(const Exception& e);
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);
    // Test seam: answers message boxes instead of showing them.
    using MessageBoxResponder = std::function<int(const std::string& text, const std::string& caption, UINT flags)>;
    void SetMessageBoxResponder(MessageBoxResponder responder) { responder_ = std::move(responder); }

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& value) { title_ = value; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    TColor HintColor() const { return hintColor_; }
    void SetHintColor(TColor value) { hintColor_ = value; }
    int HintPause() const { return hintPause_; }
    void SetHintPause(int value) { hintPause_ = value; }
    int HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(int value) { hintHidePause_ = value; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    TClass HintWindowClass() const { return hintWindowClass_; }
    void SetHintWindowClass(TClass cls) { hintWindowClass_ = cls; }
    THintWindow* HintWindow() const { return hintWindow_; }
    TControl* HintControl() const { return hintControl_; }
    void ActivateHint(POINT cursorPos);
    void CancelHint();
    TControl* MouseControl() const { return mouseControl_; }

    // The application's pre-processing of one retrieved message: key
    // messages to the focused control as CN_, drag keys. True when used.
    bool IsKeyMsg(MSG& msg);
    // Forgets a control that is being freed.
    void ControlDestroyed(TControl* control);
    // The program's windows gained or lost the activation (OnActivate /
    // OnDeactivate fire on a change only).
    void SetActive(bool value);
    bool Active() const { return active_; }

    TNotifyEvent OnHint;
    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

protected:
    void Destroy() override;

private:
    bool ProcessMessage(MSG& msg);
    void UpdateMouseControl();
    void HintTimerFired(TObject*);

    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;
    bool active_ = false;
    std::string title_;
    std::string hint_;
    TColor hintColor_ = clInfoBk;
    int hintPause_ = 500;
    int hintHidePause_ = 2500;
    bool showHint_ = true;
    TClass hintWindowClass_ = nullptr;
    THintWindow* hintWindow_ = nullptr;
    TTimer* hintTimer_ = nullptr;
    TControl* hintControl_ = nullptr;
    TControl* mouseControl_ = nullptr;
    MessageBoxResponder responder_;
};

// ---- screen and mouse -----------------------------------------------------------------

class TScreen : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int index) const;
    TCustomForm* ActiveForm() const { return activeForm_; }
    TCustomForm* ActiveCustomForm() const { return activeForm_; }
    TWinControl* ActiveControl() const { return activeControl_; }
    TCursor Cursor() const { return cursor_; }
    // A cursor other than crDefault wins over every control's.
    void SetCursor(TCursor value);
    // The handle of a cursor: the standard ones, and those registered with
    // SetCursors (the library's own take 2100-2113 and 4101); unknown
    // identifiers give the default cursor.
    HCURSOR Cursors(TCursor index) const;
    void SetCursors(TCursor index, HCURSOR handle);
    int Width() const;
    int Height() const;
    RECT WorkAreaRect() const;
    HMONITOR MonitorFromPoint(POINT pt) const;
    TFont* MenuFont() const { return menuFont_.get(); }
    TFont* HintFont() const { return hintFont_.get(); }
    TFont* IconFont() const { return iconFont_.get(); }
    int PixelsPerInch() const { return 96; }

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);
    void SetActiveForm(TCustomForm* form);
    void SetActiveControl(TWinControl* control);

protected:
    void Destroy() override;

private:
    std::vector<TCustomForm*> forms_;
    TCustomForm* activeForm_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    TCursor cursor_ = crDefault;
    std::map<TCursor, HCURSOR> cursors_;
    ObjectPtr<TFont> menuFont_;
    ObjectPtr<TFont> hintFont_;
    ObjectPtr<TFont> iconFont_;
};

class TMouse : public TObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    POINT CursorPos() const;
    void SetCursorPos(POINT pt);
    HWND Capture() const { return GetCaptureWindow(); }
    int DragThreshold() const { return dragThreshold_; }
    void SetDragThreshold(int value) { dragThreshold_ = value; }
    bool MousePresent() const { return true; }
    int WheelScrollLines() const;

private:
    static HWND GetCaptureWindow();
    int dragThreshold_ = 5;
};

extern TApplication* Application;
extern TScreen* Screen;
extern TMouse* Mouse;

// Makes Application, Screen and Mouse (once); programs call it at start
// after InitHostLibrary.
void InitVisualLibrary();
// Frees the forms, Application, Screen and Mouse.
void DoneVisualLibrary();

// Test seams: the control named name (case-insensitive) on form, at any
// depth (nullptr when none); a click at its centre through the display's
// input; keys typed into it after focusing it. Both handle the resulting
// messages and raise EComponentError for an unknown name.
TControl* FindControlByName(TWinControl* form, const std::string& name);
void ClickControl(TWinControl* form, const std::string& name);
void TypeIntoControl(TWinControl* form, const std::string& name, const std::string& text);

// The system menu of a form's window (nullptr for other windows).
HMENU GetSystemMenu(HWND hwnd, BOOL revert);

// Registers the visual classes with the class registry for form resources.
void RegisterVisualClasses();

}  // namespace hostlib
