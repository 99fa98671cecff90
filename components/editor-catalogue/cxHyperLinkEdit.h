#pragma once
// The hyperlink editor: a text editor whose text is an address, drawn
// underlined in the link colour and opened by the shell on a double click,
// a single click (SingleClick) or the start key. Validation puts the
// prefix in front of an address that names no scheme.

#include <string>

#include "components/editors/cxTextEdit.h"
#include "platform/hostlib/visual/menus.h"

class TcxCustomHyperLinkEdit;

class TcxCustomHyperLinkEditProperties : public TcxCustomTextEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void DefineProperties(hostlib::TFiler& filer) override;
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetStyleClass() override;
    hostlib::TClass GetViewDataClass() override;
    hostlib::TClass GetViewInfoClass() override;
    TcxEditSupportedOperations GetSupportedOperations() override;
    void ValidateDisplayValue(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                              TcxCustomEdit* edit = nullptr) override;

    // The trimmed text with Prefix in front, unless it is blank, Prefix is
    // empty, or the text already starts with Prefix (any case), a scheme
    // and "//", or "mailto:"; then the text unchanged.
    virtual std::string AddPrefixTo(const std::string& text);

    bool AutoComplete() const { return autoComplete_; }
    void SetAutoComplete(bool value) { autoComplete_ = value; }
    bool SingleClick() const { return singleClick_; }
    void SetSingleClick(bool value);
    hostlib::TColor LinkColor() const { return linkColor_; }
    void SetLinkColor(hostlib::TColor value);
    const std::string& Prefix() const { return prefix_; }
    void SetPrefix(const std::string& value) { prefix_ = value; }
    hostlib::TShortCut StartKey() const { return startKey_; }
    void SetStartKey(hostlib::TShortCut value) { startKey_ = value; }
    // Written only when it differs from the resource text.
    bool IsPrefixStored() const;

    hostlib::TNotifyEvent OnStartClick;

private:
    bool autoComplete_ = true;
    bool singleClick_ = false;
    hostlib::TColor linkColor_ = hostlib::clBlue;
    std::string prefix_;
    hostlib::TShortCut startKey_ = 16397;  // Ctrl+Enter
};

class TcxHyperLinkEditProperties : public TcxCustomHyperLinkEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// The normal style of a hyperlink editor: the link colour, underlined.
class TcxHyperLinkStyle : public TcxEditStyle {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TColor GetTextColor() const override;
    hostlib::TFontStyles GetTextStyle() const override;
};

class TcxHyperLinkEditViewInfo : public TcxCustomTextEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // With SingleClick the whole editor is hot.
    bool IsHotTrack() const override;
    bool IsHotTrack(POINT p) const override;
    // A cell painted without a live editor gets the link look here.
    void PrepareCanvasFont(TcxCanvas* canvas) override;

    // The editor calculated for; nullptr for a painted cell.
    TcxCustomHyperLinkEdit* HyperLinkEdit = nullptr;
};

class TcxHyperLinkEditViewData : public TcxCustomTextEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
};

class TcxCustomHyperLinkEdit : public TcxCustomTextEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomHyperLinkEditProperties* Properties() const
    {
        return static_cast<TcxCustomHyperLinkEditProperties*>(TcxCustomTextEdit::Properties());
    }
    void SetProperties(TcxCustomHyperLinkEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCustomHyperLinkEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomHyperLinkEditProperties*>(TcxCustomTextEdit::ActiveProperties());
    }
    void SelectAll() override;
    void PropertiesChanged(hostlib::TObject* sender) override;
    void ActivateByMouse(hostlib::TShiftState shift, int x, int y, TcxCustomEditData*& editData) override;
    using TcxCustomTextEdit::MouseEnter;
    using TcxCustomTextEdit::MouseLeave;
    void MouseEnter(hostlib::TControl* control) override;
    void MouseLeave(hostlib::TControl* control) override;

    // Opens the link: OnStartClick when assigned, else the shell with the
    // prefixed display text when it is a web or mail address.
    virtual void DoStart();

protected:
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    bool DoOnStartClick();

private:
    void PutOnHandCursor();
    bool InClientRect(int x, int y) const;

    hostlib::TCursor savedCursor_ = hostlib::crDefault;
};

class TcxHyperLinkEdit : public TcxCustomHyperLinkEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxHyperLinkEditProperties* Properties() const
    {
        return static_cast<TcxHyperLinkEditProperties*>(TcxCustomHyperLinkEdit::Properties());
    }
    void SetProperties(TcxHyperLinkEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxHyperLinkEditProperties* ActiveProperties()
    {
        return static_cast<TcxHyperLinkEditProperties*>(TcxCustomHyperLinkEdit::ActiveProperties());
    }
};

// Whether the shell may open an address: http, https, ftp or mailto.
bool cxIsOpenableLink(const std::string& address);

// Unit start-up: "HyperLink" joins the registered editor kinds; shut-down
// only counts down.
void cxHyperLinkEditInitialize();
void cxHyperLinkEditFinalize();
