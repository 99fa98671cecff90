#include "platform/hostlib/visual/actnlist.h"

#include <algorithm>

namespace hostlib {

// ---- actions ----------------------------------------------------------------------

TClass TBasicAction::StaticClass()
{
    return DefineClass<TBasicAction, TComponent>("TBasicAction", [](ClassBuilder<TBasicAction>& b) {
        b.EventProperty("OnExecute", &TBasicAction::OnExecute);
        b.EventProperty("OnUpdate", &TBasicAction::OnUpdate);
    });
}

void TBasicAction::Destroy()
{
    // Links outlive their action: they forget it.
    const std::vector<TBasicActionLink*> links = links_;
    for (TBasicActionLink* link : links) link->SetAction(nullptr);
    TComponent::Destroy();
}

bool TBasicAction::Execute()
{
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* link)
{
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) { std::erase(links_, link); }

template <class F>
void TBasicAction::ForEachLink(F&& f)
{
    const std::vector<TBasicActionLink*> links = links_;
    for (TBasicActionLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) f(*link);
}

void TBasicAction::Change()
{
    ForEachLink([](TBasicActionLink& link) { link.Change(); });
    OnChange(this);
}

TClass TCustomAction::StaticClass()
{
    return DefineClass<TCustomAction, TBasicAction>("TCustomAction", [](ClassBuilder<TCustomAction>& b) {
        b.Property("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption);
        b.Property("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked).Default(false);
        b.Property("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled).Default(true);
        b.Property("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
        b.Property("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible).Default(true);
        b.Property("GroupIndex", &TCustomAction::GroupIndex, &TCustomAction::SetGroupIndex).Default(0);
        b.Property("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex).Default(-1);
    });
}

// Each setter tells the links first (they compare with the old value) and
// then stores the value.
void TCustomAction::SetCaption(const std::string& value)
{
    if (value == caption_) return;
    ForEachLink([&](TBasicActionLink& l) {
        if (auto* link = As<TActionLink>(&l); link && link->IsCaptionLinked()) link->SetCaption(value);
    });
    caption_ = value;
    Change();
}

void TCustomAction::SetChecked(bool value)
{
    if (value == checked_) return;
    ForEachLink([&](TBasicActionLink& l) {
        if (auto* link = As<TActionLink>(&l); link && link->IsCheckedLinked()) link->SetChecked(value);
    });
    checked_ = value;
    Change();
}

void TCustomAction::SetEnabled(bool value)
{
    if (value == enabled_) return;
    ForEachLink([&](TBasicActionLink& l) {
        if (auto* link = As<TActionLink>(&l); link && link->IsEnabledLinked()) link->SetEnabled(value);
    });
    enabled_ = value;
    Change();
}

void TCustomAction::SetHint(const std::string& value)
{
    if (value == hint_) return;
    ForEachLink([&](TBasicActionLink& l) {
        if (auto* link = As<TActionLink>(&l); link && link->IsHintLinked()) link->SetHint(value);
    });
    hint_ = value;
    Change();
}

void TCustomAction::SetVisible(bool value)
{
    if (value == visible_) return;
    ForEachLink([&](TBasicActionLink& l) {
        if (auto* link = As<TActionLink>(&l); link && link->IsVisibleLinked()) link->SetVisible(value);
    });
    visible_ = value;
    Change();
}

void TCustomAction::SetImageIndex(int value)
{
    if (value == imageIndex_) return;
    ForEachLink([&](TBasicActionLink& l) {
        if (auto* link = As<TActionLink>(&l); link && link->IsImageIndexLinked()) link->SetImageIndex(value);
    });
    imageIndex_ = value;
    Change();
}

void TCustomAction::SetActionList(TActionList* value)
{
    if (value == actionList_) return;
    if (actionList_) actionList_->RemoveAction(this);
    actionList_ = value;
    if (actionList_) actionList_->AddAction(this);
}

void TCustomAction::Destroy()
{
    SetActionList(nullptr);
    TBasicAction::Destroy();
}

TClass TAction::StaticClass() { return DefineClass<TAction, TCustomAction>("TAction"); }

// ---- links --------------------------------------------------------------------------

TClass TBasicActionLink::StaticClass() { return DefineClass<TBasicActionLink, TObject>("TBasicActionLink"); }

TBasicActionLink::~TBasicActionLink()
{
    if (action_) action_->UnRegisterChanges(this);
}

void TBasicActionLink::Destroy()
{
    SetAction(nullptr);
    TObject::Destroy();
}

void TBasicActionLink::SetAction(TBasicAction* action)
{
    if (action == action_) return;
    if (action_) action_->UnRegisterChanges(this);
    action_ = action;
    if (action_) action_->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent*) { return action_ && action_->Execute(); }

TClass TActionLink::StaticClass() { return DefineClass<TActionLink, TBasicActionLink>("TActionLink"); }

TCustomAction* TActionLink::CustomAction() const { return As<TCustomAction>(Action()); }

bool TActionLink::IsCaptionLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() const { return CustomAction() != nullptr; }

TClass TControlActionLink::StaticClass() { return DefineClass<TControlActionLink, TActionLink>("TControlActionLink"); }

void TControlActionLink::AssignClient(TObject* client) { client_ = As<TControl>(client); }

void TControlActionLink::Change()
{
    if (client_ && Action()) client_->ActionChange(Action(), true);
}

// A client property follows the action while it still shows the action's
// value.
bool TControlActionLink::IsCaptionLinked() const
{
    return TActionLink::IsCaptionLinked() && client_ && client_->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() const
{
    return TActionLink::IsEnabledLinked() && client_ && client_->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() const
{
    return TActionLink::IsHintLinked() && client_ && client_->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() const
{
    return TActionLink::IsVisibleLinked() && client_ && client_->Visible() == CustomAction()->Visible();
}

void TControlActionLink::SetCaption(const std::string& value)
{
    if (client_) client_->SetCaption(value);
}

void TControlActionLink::SetEnabled(bool value)
{
    if (client_) client_->SetEnabled(value);
}

void TControlActionLink::SetHint(const std::string& value)
{
    if (client_) client_->SetHint(value);
}

void TControlActionLink::SetVisible(bool value)
{
    if (client_) client_->SetVisible(value);
}

TClass TWinControlActionLink::StaticClass()
{
    return DefineClass<TWinControlActionLink, TControlActionLink>("TWinControlActionLink");
}

// ---- action list ----------------------------------------------------------------------

TClass TActionList::StaticClass()
{
    return DefineClass<TActionList, TComponent>("TActionList", [](ClassBuilder<TActionList>& b) {
        b.Property("Images", &TActionList::Images, &TActionList::SetImages);
    });
}

void TActionList::Destroy()
{
    // Actions outlive their list: they forget it.
    const std::vector<TCustomAction*> actions = actions_;
    for (TCustomAction* action : actions) action->SetActionList(nullptr);
    SetImages(nullptr);
    TComponent::Destroy();
}

void TActionList::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == images_) images_ = nullptr;
}

void TActionList::SetImages(TCustomImageList* value)
{
    if (value == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = value;
    if (images_) images_->FreeNotification(this);
}

void TActionList::AddAction(TCustomAction* action)
{
    if (std::find(actions_.begin(), actions_.end(), action) == actions_.end()) actions_.push_back(action);
}

void TActionList::RemoveAction(TCustomAction* action) { std::erase(actions_, action); }

}  // namespace hostlib
