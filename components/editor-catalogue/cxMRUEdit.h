#pragma once
// The most-recently-used editor: a combo box whose list is the history of
// the texts entered, newest first, free of case-insensitive duplicates and
// capped at MaxItemCount; a second, ellipsis button raises OnButtonClick.

#include <string>

#include "components/editors/cxComboBox.h"

class TcxCustomMRUEditProperties : public TcxCustomComboBoxProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TClass GetContainerClass() override;
    // Hands the history collected here to the properties of the same kind.
    void Update(TcxCustomEditProperties* properties) override;

    // Deletes the last items beyond MaxItemCount.
    void CheckItemCount();
    int MaxItemCount() const { return maxItemCount_; }
    void SetMaxItemCount(int value);
    bool ShowEllipsis() const { return showEllipsis_; }
    void SetShowEllipsis(bool value);

    // Hides the base's indexed event: this one is the ellipsis button's.
    hostlib::TNotifyEvent OnButtonClick;

private:
    int maxItemCount_ = 0;
    bool showEllipsis_ = true;
};

class TcxMRUEditProperties : public TcxCustomMRUEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxCustomMRUEdit : public TcxCustomComboBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomMRUEditProperties* Properties() const
    {
        return static_cast<TcxCustomMRUEditProperties*>(TcxCustomEdit::Properties());
    }
    void SetProperties(TcxCustomMRUEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCustomMRUEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomMRUEditProperties*>(TcxCustomEdit::ActiveProperties());
    }

    // Puts the text first in the history: a new one is inserted, one
    // already there (in any case) moves up with its own case kept.
    virtual void AddItem(const std::string& text);
    bool Deactivate() override;
    void PropertiesChanged(hostlib::TObject* sender) override;

protected:
    void BeforePosting() override;
    void DoButtonClick(int buttonVisibleIndex) override;
    void DoEnter() override;
    void DoExit() override;

private:
    void AddChangedText();
    std::string textOnEnter_;
};

class TcxMRUEdit : public TcxCustomMRUEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxMRUEditProperties* Properties() const
    {
        return static_cast<TcxMRUEditProperties*>(TcxCustomMRUEdit::Properties());
    }
    void SetProperties(TcxMRUEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxMRUEditProperties* ActiveProperties()
    {
        return static_cast<TcxMRUEditProperties*>(TcxCustomMRUEdit::ActiveProperties());
    }
};

// Unit start-up: "MRUEdit" joins the registered editor kinds; shut-down
// only counts down.
void cxMRUEditInitialize();
void cxMRUEditFinalize();
