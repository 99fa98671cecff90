#include "components/editor-catalogue/cxMRUEdit.h"

#include "components/editors/cxEditConsts.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- properties ---------------------------------------------------------------------------------

TClass TcxCustomMRUEditProperties::StaticClass()
{
    return DefineClass<TcxCustomMRUEditProperties, TcxCustomComboBoxProperties>("TcxCustomMRUEditProperties");
}

TClass TcxMRUEditProperties::StaticClass()
{
    return DefineClass<TcxMRUEditProperties, TcxCustomMRUEditProperties>(
        "TcxMRUEditProperties", [](ClassBuilder<TcxMRUEditProperties>& b) {
            using P = TcxMRUEditProperties;
            b.Property("LookupItems", &P::LookupItems, &P::SetLookupItems);
            b.Property("MaxItemCount", &P::MaxItemCount, &P::SetMaxItemCount).Default(0);
            b.Property("ShowEllipsis", &P::ShowEllipsis, &P::SetShowEllipsis).Default(true);
            b.EventProperty("OnButtonClick", &P::OnButtonClick);
        });
}

void TcxCustomMRUEditProperties::Construct(TPersistent* owner)
{
    TcxCustomComboBoxProperties::Construct(owner);
    auto* ellipsis = static_cast<TcxEditButton*>(Buttons()->Add());
    SetGlyphButtonIndex(1);
    ellipsis->SetKind(bkEllipsis);
    ellipsis->SetDefault(true);
    SetDropDownListStyle(lsEditList);
    SetMRUMode(true);
}

void TcxCustomMRUEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomMRUEditProperties>(source);
    if (!other) {
        TcxCustomComboBoxProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomComboBoxProperties::Assign(source);
    SetMaxItemCount(other->maxItemCount_);
    SetShowEllipsis(other->showEllipsis_);
    OnButtonClick = other->OnButtonClick;
}

void TcxCustomMRUEditProperties::Update(TcxCustomEditProperties* properties)
{
    if (auto* other = As<TcxCustomMRUEditProperties>(properties); other && other != this)
        other->LookupItems()->Assign(LookupItems());
}

void TcxCustomMRUEditProperties::CheckItemCount()
{
    if (maxItemCount_ <= 0) return;
    TStringList* items = Items();
    while (items->Count() > maxItemCount_) items->Delete(items->Count() - 1);
}

void TcxCustomMRUEditProperties::SetMaxItemCount(int value)
{
    value = std::max(value, 0);
    if (value == maxItemCount_) return;
    maxItemCount_ = value;
    CheckItemCount();
    Changed();
}

void TcxCustomMRUEditProperties::SetShowEllipsis(bool value)
{
    if (value == showEllipsis_) return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    showEllipsis_ = value;
    if (Buttons()->Count() > 1) Buttons()->Items(1)->SetVisible(value);
    SetGlyphButtonIndex(value ? 1 : 0);
    Changed();
}

// ---- the editor ---------------------------------------------------------------------------------

TClass TcxCustomMRUEdit::StaticClass()
{
    return DefineClass<TcxCustomMRUEdit, TcxCustomComboBox>("TcxCustomMRUEdit");
}

TClass TcxMRUEdit::StaticClass()
{
    return DefineClass<TcxMRUEdit, TcxCustomMRUEdit>("TcxMRUEdit", [](ClassBuilder<TcxMRUEdit>& b) {
        using C = TcxMRUEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

TClass TcxCustomMRUEditProperties::GetContainerClass() { return TcxMRUEdit::StaticClass(); }
TClass TcxCustomMRUEdit::GetPropertiesClass() const { return TcxMRUEditProperties::StaticClass(); }

void TcxCustomMRUEdit::AddItem(const std::string& text)
{
    if (text.empty()) return;
    TcxCustomMRUEditProperties* properties = ActiveProperties();
    TStringList* items = properties->Items();
    int found = -1;
    for (int i = 0; i < items->Count() && found < 0; ++i)
        if (AnsiCompareText(items->Get(i), text) == 0) found = i;
    if (found < 0) {
        items->Insert(0, text);
        properties->CheckItemCount();
    } else if (found > 0) {
        items->Move(found, 0);
    }
}

void TcxCustomMRUEdit::DoEnter()
{
    TcxCustomComboBox::DoEnter();
    textOnEnter_ = Text();
}

void TcxCustomMRUEdit::AddChangedText()
{
    const std::string text = Text();
    if (text != textOnEnter_ && CanModify()) AddItem(text);
}

bool TcxCustomMRUEdit::Deactivate()
{
    const bool result = TcxCustomComboBox::Deactivate();
    AddChangedText();
    return result;
}

// A cell's editor is deactivated by its list control; a stand-alone one is
// left behind when it loses the focus.
void TcxCustomMRUEdit::DoExit()
{
    TcxCustomComboBox::DoExit();
    if (!IsInplace() && !IsDestroying()) AddChangedText();
}

void TcxCustomMRUEdit::BeforePosting()
{
    TcxCustomComboBox::BeforePosting();
    if (!IsNavigationPosting() && CanModify()) AddItem(Text());
}

void TcxCustomMRUEdit::DoButtonClick(int buttonVisibleIndex)
{
    TcxCustomEditViewInfo* viewInfo = ViewInfo();
    if (buttonVisibleIndex < 0 || buttonVisibleIndex >= viewInfo->ButtonCount()) return;
    if (viewInfo->ButtonsInfo[static_cast<size_t>(buttonVisibleIndex)]->ButtonIndex != 1) return;
    if (Properties()->OnButtonClick) Properties()->OnButtonClick(this);
    if (RepositoryItem() && ActiveProperties()->OnButtonClick) ActiveProperties()->OnButtonClick(this);
}

void TcxCustomMRUEdit::PropertiesChanged(TObject* sender)
{
    TcxCustomMRUEditProperties* properties = ActiveProperties();
    TcxEditButtons* buttons = properties->Buttons();
    const bool noGlyph = properties->ButtonGlyph()->Empty();
    {
        properties->LockUpdate(true);
        quelvo::sys::ScopeGuard unlock([properties] { properties->LockUpdate(false); });
        if (properties->ShowEllipsis() && buttons->Count() > 1)
            buttons->Items(1)->SetKind(noGlyph ? bkEllipsis : bkGlyph);
        else if (!properties->ShowEllipsis() && buttons->Count() > 0)
            buttons->Items(0)->SetKind(noGlyph ? bkDown : bkGlyph);
    }
    TcxCustomComboBox::PropertiesChanged(sender);
}

// ---- unit start-up ------------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxMRUEditInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxMRUEditProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryMRUItem));
}

void cxMRUEditFinalize() { gUnitStarts.End(); }
