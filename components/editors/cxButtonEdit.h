#pragma once
// The button editor: a masked editor that shows edit buttons beside its
// text, one ellipsis button by default. Clicking a button, or its click
// key, fires OnButtonClick with the button's index.

#include "components/editors/cxMaskEdit.h"

class TcxCustomButtonEditProperties : public TcxCustomMaskEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    hostlib::TClass GetContainerClass() override;
};

// The published settings of the button editor.
class TcxButtonEditProperties : public TcxCustomButtonEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// The button editor control; its buttons, clicks and click key are every
// editor's, from its properties.
class TcxCustomButtonEdit : public TcxCustomMaskEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetPropertiesClass() const override;
    TcxButtonEditProperties* Properties() const
    {
        return static_cast<TcxButtonEditProperties*>(TcxCustomEdit::Properties());
    }
    void SetProperties(TcxButtonEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxButtonEditProperties* ActiveProperties()
    {
        return static_cast<TcxButtonEditProperties*>(TcxCustomEdit::ActiveProperties());
    }
    // The button style and transparency are the editor's own and stored.
    TcxContainerStyleValues GetNotPublishedStyleValues() const override;

protected:
    // The buttons a form stores replace the default ellipsis button
    // instead of joining it.
    void ReadState(hostlib::TReader& reader) override;

private:
    bool defaultButtonsCleared_ = false;
};

// The published button editor.
class TcxButtonEdit : public TcxCustomButtonEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// Unit start-up: the button editor joins the registered editor kinds as
// "ButtonEdit"; shut-down only counts down.
void cxButtonEditInitialize();
void cxButtonEditFinalize();
