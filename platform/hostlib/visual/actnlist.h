#pragma once
// Actions: an action holds a command's caption, checked, enabled, hint,
// visible state and image; action links carry its changes to the control
// that follows it (TControl::Action). No action list dispatches actions.

#include <string>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/visual/control.h"
#include "platform/hostlib/visual/imagelist.h"

namespace hostlib {

class TBasicActionLink;
class TCustomAction;

class TBasicAction : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    // OnExecute when assigned; false without a handler.
    virtual bool Execute();
    // OnUpdate when assigned; false without a handler.
    virtual bool Update();
    void RegisterChanges(TBasicActionLink* link);
    void UnRegisterChanges(TBasicActionLink* link);
    int LinkCount() const { return static_cast<int>(links_.size()); }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    TNotifyEvent OnChange;

protected:
    void Destroy() override;
    // Tells every link that the action changed.
    void Change();
    template <class F>
    void ForEachLink(F&& f);

private:
    std::vector<TBasicActionLink*> links_;
};

class TCustomAction : public TBasicAction {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value) { groupIndex_ = value; }
    // An image of the action list's Images; -1 for none.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    // The list the action belongs to; nullptr for none.
    class TActionList* ActionList() const { return actionList_; }
    void SetActionList(class TActionList* value);

protected:
    void Destroy() override;

private:
    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    std::string hint_;
    bool visible_ = true;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
    class TActionList* actionList_ = nullptr;
};

class TAction : public TCustomAction {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
};

// Joins a client to an action; built with the client (two phases).
class TBasicActionLink : public TObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    ~TBasicActionLink() override;

    virtual void Construct(TObject* client) { AssignClient(client); }
    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* action);
    // Runs the action for the client; false without an action.
    virtual bool Execute(TComponent* target = nullptr);
    virtual bool IsOnExecuteLinked() const { return true; }
    virtual void SetOnExecute(const TNotifyEvent&) {}

protected:
    void Destroy() override;
    friend class TBasicAction;
    virtual void AssignClient(TObject*) {}
    virtual void Change() {}

private:
    TBasicAction* action_ = nullptr;
};

class TActionLink : public TBasicActionLink {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    // Whether the client still follows the action for that property.
    virtual bool IsCaptionLinked() const;
    virtual bool IsCheckedLinked() const;
    virtual bool IsEnabledLinked() const;
    virtual bool IsHintLinked() const;
    virtual bool IsVisibleLinked() const;
    virtual bool IsImageIndexLinked() const;
    // Carry a new value to the client (empty here).
    virtual void SetCaption(const std::string&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHint(const std::string&) {}
    virtual void SetVisible(bool) {}
    virtual void SetImageIndex(int) {}

protected:
    TCustomAction* CustomAction() const;
};

class TControlActionLink : public TActionLink {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    TControl* Client() const { return client_; }

    bool IsCaptionLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;
    void SetCaption(const std::string& value) override;
    void SetEnabled(bool value) override;
    void SetHint(const std::string& value) override;
    void SetVisible(bool value) override;

protected:
    void AssignClient(TObject* client) override;
    // After any change of the action the client takes over what it still
    // shows as its default (the push button its glyph, for one).
    void Change() override;

private:
    TControl* client_ = nullptr;
};

class TWinControlActionLink : public TControlActionLink {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
};

// Actions kept together, sharing one image list.
class TActionList : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Notification(TComponent* component, TOperation operation) override;

    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* value);
    int ActionCount() const { return static_cast<int>(actions_.size()); }
    TCustomAction* Actions(int index) const { return actions_.at(static_cast<std::size_t>(index)); }

protected:
    void Destroy() override;

private:
    friend class TCustomAction;
    void AddAction(TCustomAction* action);
    void RemoveAction(TCustomAction* action);

    TCustomImageList* images_ = nullptr;
    std::vector<TCustomAction*> actions_;
};

}  // namespace hostlib
