#pragma once
// The memo editor: a text editor over a multi-line edit, with the
// container's scroll bars mirroring the edit's, word wrap, and the choice
// of whether Enter and Tab are typed. Unfocused it paints its lines with
// the text layout; as a one-line display text it gives the first line.

#include <string>

#include "components/editors/cxTextEdit.h"

class TcxCustomMemo;

class TcxCustomMemoProperties : public TcxCustomTextEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetViewDataClass() override;
    hostlib::TClass GetViewInfoClass() override;
    bool TabsNeed() override { return wantTabs_; }
    bool IsMultiLine() override { return true; }
    // Cut at the first line break among the first 250 characters, and to
    // 250 characters, unless the full text is asked for.
    std::string GetDisplayText(const hostlib::Variant& editValue, bool fullText = false) override;
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override;

    // The horizontal part of the editor alignment.
    hostlib::TAlignment Alignment() const { return TcxCustomEditProperties::Alignment()->Horz(); }
    void SetAlignment(hostlib::TAlignment value) { TcxCustomEditProperties::Alignment()->SetHorz(value); }
    bool IsAlignmentStored() const { return TcxCustomEditProperties::Alignment()->IsHorzStored(); }
    hostlib::TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(hostlib::TScrollStyle value) { Set(scrollBars_, value); }
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { Set(wantReturns_, value); }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { Set(wantTabs_, value); }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value) { Set(wordWrap_, value); }

private:
    template <class T>
    void Set(T& field, const T& value)
    {
        if (field == value) return;
        field = value;
        Changed();
    }

    hostlib::TScrollStyle scrollBars_ = hostlib::ssNone;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    bool wordWrap_ = true;
};

class TcxMemoProperties : public TcxCustomMemoProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxCustomMemoViewData : public TcxCustomTextEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // Top aligned, tabs expanded, whole rows only; words wrap unless a
    // horizontal scroll bar is asked for.
    unsigned GetDrawTextFlags() override;
    RECT GetDrawTextOffset() override;
};

class TcxCustomMemoViewInfo : public TcxCustomTextEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void DrawText(TcxCanvas* canvas) override;
};

class TcxCustomInnerMemo;

// The inner-edit rules over the memo's window.
class TcxCustomInnerMemoHelper : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    explicit TcxCustomInnerMemoHelper(TcxCustomInnerMemo* memo) : memo_(memo) {}

    // A value set in code raises OnChange, never OnEditValueChanged.
    void SetEditValue(const hostlib::Variant& value);

private:
    TcxCustomInnerMemo* memo_;
};

// The real multi-line edit of a memo editor: keys, mouse, focus and the
// clipboard go to the editor first.
class TcxCustomInnerMemo : public hostlib::TMemo, public IcxInnerTextEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;

    TcxCustomMemo* GetContainer() const;
    void SetBounds(int left, int top, int width, int height) override;
    bool CanFocus() override;
    hostlib::TPopupMenu* GetPopupMenu() override;
    void DragDrop(hostlib::TObject* source, int x, int y) override;
    void DragOver(hostlib::TObject* source, int x, int y, hostlib::TDragState state, bool& accept) override;
    void DefaultHandler(hostlib::TMessage& message) override;

    // IcxCustomInnerEdit.
    hostlib::TWinControl* GetControl() override { return this; }
    TcxContainer* GetControlContainer() override;
    hostlib::Variant GetEditValue() override { return hostlib::Variant(Text()); }
    hostlib::TNotifyEvent GetOnChange() override { return OnChange; }
    bool GetReadOnly() override { return ReadOnly(); }
    void LockBounds(bool lock) override;
    void SafelySetFocus() override;
    void SetEditValue(const hostlib::Variant& value) override { helper_->SetEditValue(value); }
    void SetParent(hostlib::TWinControl* value) override { TMemo::SetParent(value); }
    void SetOnChange(const hostlib::TNotifyEvent& value) override { OnChange = value; }
    void SetReadOnly(bool value) override { TMemo::SetReadOnly(value); }
    // IcxInnerTextEdit: the memo's own settings; no echo, no password.
    void CopyToClipboard() override { TMemo::CopyToClipboard(); }
    hostlib::TAlignment GetAlignment() override { return alignment_; }
    bool GetAutoSelect() override { return AutoSelect(); }
    hostlib::TEditCharCase GetCharCase() override { return CharCase(); }
    TcxEditEchoMode GetEchoMode() override { return eemNormal; }
    bool GetHideSelection() override { return HideSelection(); }
    char GetImeLastChar() override { return '\0'; }
    TImeMode GetImeMode() override { return imeMode_; }
    std::string GetImeName() override { return imeName_; }
    bool GetInternalUpdating() override { return internalUpdating_; }
    int GetMaxLength() override { return MaxLength(); }
    bool GetMultiLine() override { return true; }
    bool GetOEMConvert() override { return oemConvert_; }
    char GetPasswordChar() override { return '\0'; }
    int GetSelLength() override { return SelLength(); }
    int GetSelStart() override { return SelStart(); }
    std::string GetSelText() override { return SelText(); }
    void SelectAll() override;
    void SetAlignment(hostlib::TAlignment value) override;
    void SetAutoSelect(bool value) override { TMemo::SetAutoSelect(value); }
    void SetCharCase(hostlib::TEditCharCase value) override { TMemo::SetCharCase(value); }
    void SetEchoMode(TcxEditEchoMode) override {}
    void SetHideSelection(bool value) override { TMemo::SetHideSelection(value); }
    void SetInternalUpdating(bool value) override { internalUpdating_ = value; }
    void SetImeMode(TImeMode value) override { imeMode_ = value; }
    void SetImeName(const std::string& value) override { imeName_ = value; }
    void SetMaxLength(int value) override { TMemo::SetMaxLength(value); }
    void SetOEMConvert(bool value) override { oemConvert_ = value; }
    void SetPasswordChar(char) override {}
    void SetSelLength(int value) override;
    void SetSelStart(int value) override;
    void SetSelText(const std::string& value) override { TMemo::SetSelText(value); }

protected:
    void Destroy() override;
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    void CreateHandle() override;
    void CreateParams(hostlib::TCreateParams& params) override;
    void CreateWnd() override;
    void Click() override;
    void DblClick() override;
    void DoEnter() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;
    void KeyUp(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;

private:
    friend class TcxCustomInnerMemoHelper;
    friend class TcxCustomMemo;

    // One per message of Dispatch.
    void WMClear(hostlib::TMessage& m);
    void WMClipboard(hostlib::TMessage& m);
    void WMGetDlgCode(hostlib::TMessage& m);
    void WMKeyDown(hostlib::TMessage& m);
    void WMFocus(hostlib::TMessage& m);
    void WMNCPaint(hostlib::TMessage& m);
    void WMSetFont(hostlib::TMessage& m);
    void WMSetText(hostlib::TMessage& m);
    void WMWindowPos(hostlib::TMessage& m);
    void EMReplaceSel(hostlib::TMessage& m);
    void CMMouseLeave(hostlib::TMessage& m);
    template <class Key, class Handler>
    void ForwardKey(Key& key, Handler&& handler);
    void UpdateContainerScrollBars();

    hostlib::ObjectPtr<TcxCustomInnerMemoHelper> helper_;
    hostlib::TAlignment alignment_ = hostlib::taLeftJustify;
    TImeMode imeMode_ = imDontCare;
    std::string imeName_;
    bool oemConvert_ = false;
    bool internalUpdating_ = false;
    bool internalTextSetting_ = false;
    bool creating_ = true;
    // An Enter the editor typed itself: its character is dropped.
    bool swallowBreakChar_ = false;
    int boundsLockCount_ = 0;
};

// Message the memo posts to itself to mirror the edit's scroll bars.
inline constexpr UINT CM_UPDATESCROLLBARS = 0x8068;

class TcxCustomMemo : public TcxCustomTextEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomTextEdit::Construct;

    hostlib::TClass GetPropertiesClass() const override;
    hostlib::TClass GetInnerEditClass() const override;
    TcxCustomMemoProperties* Properties() const
    {
        return static_cast<TcxCustomMemoProperties*>(TcxCustomTextEdit::Properties());
    }
    void SetProperties(TcxCustomMemoProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCustomMemoProperties* ActiveProperties()
    {
        return static_cast<TcxCustomMemoProperties*>(TcxCustomTextEdit::ActiveProperties());
    }
    TcxCustomInnerMemo* InnerMemo() const { return dynamic_cast<TcxCustomInnerMemo*>(InnerEdit()); }

    hostlib::TStrings* Lines() const;
    void SetLines(hostlib::TStrings* value);
    // Column and line of the caret.
    POINT CaretPos() const;
    void SetCaretPos(POINT value);

    void PropertiesChanged(hostlib::TObject* sender) override;
    void CutToClipboard() override;
    void ClearSelection() override;
    // A user's insertion is cut to the room MaxLength leaves.
    void SetSelText(const std::string& value) override;
    bool IsEditClass() override { return true; }
    // Left, Up, Right, Down without shift keys; Page Up, Page Down, Home,
    // End with any.
    virtual bool IsMemoNavigationKey(WORD key, hostlib::TShiftState shift);

protected:
    friend class TcxCustomInnerMemo;

    void ReadState(hostlib::TReader& reader) override;
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    void CreateParams(hostlib::TCreateParams& params) override;
    bool NeedsScrollBars() override { return true; }
    void Scroll(hostlib::TScrollBarKind kind, hostlib::TScrollCode code, int& position) override;
    void AdjustInnerEditPosition() override;
    void AdjustInnerEdit() override;
    bool CanKeyDownModifyEdit(WORD key, hostlib::TShiftState shift) override;
    void ChangeHandler(hostlib::TObject* sender) override;
    void DoEditKeyDown(WORD& key, hostlib::TShiftState shift) override;
    void InitializeViewData(TcxCustomEditViewData* viewData) override;
    bool SendActivationKey(char key) override { return key != '\r'; }
    void FontChanged() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void SetSize() override;

    void UpdateScrollBarsParameters();
    void InternalSynchronizeEditValue();

private:
    void WMCommand(hostlib::TMessage& m);

    bool clearing_ = false;
    bool constructing_ = false;
    bool positioningMemo_ = false;
};

class TcxMemo : public TcxCustomMemo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxMemoProperties* Properties() const
    {
        return static_cast<TcxMemoProperties*>(TcxCustomMemo::Properties());
    }
    void SetProperties(TcxMemoProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxMemoProperties* ActiveProperties()
    {
        return static_cast<TcxMemoProperties*>(TcxCustomMemo::ActiveProperties());
    }
};

// Unit start-up: "Memo" joins the registered editor kinds; shut-down only
// counts down.
void cxMemoInitialize();
void cxMemoFinalize();
