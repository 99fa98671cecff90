#include "components/data/cxDataSummary.h"

#include <cmath>
#include <exception>
#include <optional>

#include "components/data/cxCustomData.h"
#include "components/data/cxDataUtils.h"
#include "components/data/cxVariants.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/update_scope.h"
#include "platform/system/scope_guard.h"

using hostlib::TVarType;
using hostlib::Variant;

namespace {

bool IsText(const Variant& v)
{
    return hostlib::VarIsStr(v);
}

// The number a summed value stands for: Int64 for integers and Booleans,
// Double for floats and texts (read with the locale), Currency and Date
// as they are. False when the value is no number.
bool ToSummand(const Variant& v, Variant& number)
{
    const TVarType type = v.VarType();
    if (type == hostlib::varCurrency || type == hostlib::varDate) {
        number = v;
        return true;
    }
    if (type == hostlib::varSingle || type == hostlib::varDouble) {
        number = Variant(v.AsDouble());
        return true;
    }
    if (type == hostlib::varEmpty || hostlib::VarIsOrdinal(v)) {
        number = Variant(static_cast<long long>(v.IsEmpty() ? 0 : v.AsInt64()));
        return true;
    }
    if (IsText(v)) {
        double value = 0;
        if (!hostlib::TryStrToFloat(v.AsString(), value)) return false;
        number = Variant(value);
        return true;
    }
    return false;
}

// Adds two summands: a Date with anything stays a Date, a Double makes a
// Double, Currency with an integer stays Currency, integers stay Int64
// (or become a Double when they would overflow).
Variant AddSummands(const Variant& a, const Variant& b)
{
    const TVarType ta = a.VarType();
    const TVarType tb = b.VarType();
    if (ta == hostlib::varDate || tb == hostlib::varDate)
        return Variant::FromDate(hostlib::TDateTime(a.AsDouble() + b.AsDouble()));
    if (ta == hostlib::varDouble || tb == hostlib::varDouble) return Variant(a.AsDouble() + b.AsDouble());
    if (ta == hostlib::varCurrency || tb == hostlib::varCurrency)
        return Variant(hostlib::Currency::FromScaled(a.AsCurrency().Scaled() + b.AsCurrency().Scaled()));
    long long sum = 0;
    if (__builtin_add_overflow(a.AsInt64(), b.AsInt64(), &sum)) return Variant(a.AsDouble() + b.AsDouble());
    return Variant(sum);
}

Variant Average(const Variant& sum, int count)
{
    switch (sum.VarType()) {
    case hostlib::varDate:
        return Variant::FromDate(hostlib::TDateTime(sum.AsDouble() / count));
    case hostlib::varCurrency:
        return Variant(hostlib::Currency::FromScaled(
            static_cast<long long>(std::llround(static_cast<double>(sum.AsCurrency().Scaled()) / count))));
    default:
        return Variant(sum.AsDouble() / count);
    }
}

struct DefaultFormats {
    const char* groupCurrency;
    const char* footerCurrency;
    const char* groupDate;
    const char* footerDate;
    const char* groupOther;
    const char* footerOther;
};

// Indexed by kind, skSum to skAverage.
constexpr DefaultFormats kDefaultFormats[] = {
    {"SUM=%s;SUM=-%s", "%s;-%s", "SUM=", "", "SUM=0.00;SUM=-0.00", "0.00;-0.00"},
    {"MIN=%s;MIN=-%s", "MIN=%s;MIN=-%s", "MIN=", "MIN=", "MIN=0.00;MIN=-0.00", "MIN=0.00;MIN=-0.00"},
    {"MAX=%s;MAX=-%s", "MAX=%s;MAX=-%s", "MAX=", "MAX=", "MAX=0.00;MAX=-0.00", "MAX=0.00;MAX=-0.00"},
    {"COUNT=0", "0", "COUNT=0", "0", "COUNT=0", "0"},
    {"AVG=%s;AVG=-%s", "AVG=%s;AVG=-%s", "AVG=", "AVG=", "AVG=0.00;AVG=-0.00", "AVG=0.00;AVG=-0.00"},
};

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with)
{
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

std::string DateText(const Variant& value)
{
    const double dateTime = value.AsDouble();
    const hostlib::TDateTime v(dateTime);
    if (DateOf(dateTime) == 0) return hostlib::TimeToStr(v);
    if (TimeOf(dateTime) == 0) return hostlib::DateToStr(v);
    return hostlib::DateTimeToStr(v);
}

} // namespace

// ---- class information -------------------------------------------------------

hostlib::TClass TcxCustomDataSummaryItem::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDataSummaryItem, hostlib::TCollectionItem>("TcxCustomDataSummaryItem");
}
hostlib::TClass TcxDataSummaryItem::StaticClass()
{
    return hostlib::DefineClass<TcxDataSummaryItem, TcxCustomDataSummaryItem>("TcxDataSummaryItem");
}
hostlib::TClass TcxDataSummaryItems::StaticClass()
{
    return hostlib::DefineClass<TcxDataSummaryItems, hostlib::TCollection>("TcxDataSummaryItems");
}
hostlib::TClass TcxDataFooterSummaryItems::StaticClass()
{
    return hostlib::DefineClass<TcxDataFooterSummaryItems, TcxDataSummaryItems>("TcxDataFooterSummaryItems");
}
hostlib::TClass TcxDataGroupSummaryItems::StaticClass()
{
    return hostlib::DefineClass<TcxDataGroupSummaryItems, TcxDataSummaryItems>("TcxDataGroupSummaryItems");
}
hostlib::TClass TcxDataSummaryGroupItemLink::StaticClass()
{
    return hostlib::DefineClass<TcxDataSummaryGroupItemLink, TcxCustomDataSummaryItem>("TcxDataSummaryGroupItemLink");
}
hostlib::TClass TcxDataSummaryGroupItemLinks::StaticClass()
{
    return hostlib::DefineClass<TcxDataSummaryGroupItemLinks, hostlib::TCollection>("TcxDataSummaryGroupItemLinks");
}
hostlib::TClass TcxDataSummaryGroup::StaticClass()
{
    return hostlib::DefineClass<TcxDataSummaryGroup, hostlib::TCollectionItem>("TcxDataSummaryGroup");
}
hostlib::TClass TcxDataSummaryGroups::StaticClass()
{
    return hostlib::DefineClass<TcxDataSummaryGroups, hostlib::TCollection>("TcxDataSummaryGroups");
}
hostlib::TClass TcxDataSummary::StaticClass()
{
    return hostlib::DefineClass<TcxDataSummary, hostlib::TPersistent>("TcxDataSummary");
}

// ---- TcxCustomDataSummaryItem ------------------------------------------------

hostlib::TObject* TcxCustomDataSummaryItem::GetItemLink() const
{
    return field_ ? field_->Item() : nullptr;
}

void TcxCustomDataSummaryItem::SetItemLink(hostlib::TObject* item)
{
    if (GetItemLink() == item) return;
    TcxCustomDataController* controller = GetDataController();
    TcxCustomDataField* field = item && controller ? controller->Fields().FieldByItem(item) : nullptr;
    std::optional<hostlib::UpdateScope<hostlib::TCollection>> scope;
    if (Collection()) scope.emplace(*Collection());
    ItemLinkChanging(field);
    field_ = field;
}

void TcxCustomDataSummaryItem::Assign(hostlib::TPersistent* source)
{
    auto* other = dynamic_cast<TcxCustomDataSummaryItem*>(source);
    if (!other) {
        TCollectionItem::Assign(source);
        return;
    }
    TcxCustomDataController* controller = GetDataController();
    SetItemLink(controller ? controller->FindProperItemLink(other->GetItemLink()) : nullptr);
}

// ---- TcxDataSummaryItem ------------------------------------------------------

TcxDataSummaryItems* TcxDataSummaryItem::SummaryItems() const
{
    return dynamic_cast<TcxDataSummaryItems*>(Collection());
}

TcxCustomDataController* TcxDataSummaryItem::GetDataController() const
{
    TcxDataSummaryItems* items = SummaryItems();
    return items ? items->DataController() : nullptr;
}

void TcxDataSummaryItem::Destroy()
{
    TcxCustomDataController* controller = GetDataController();
    if (controller && controller->SortedSummaryItem() == this) controller->SetSortedSummaryItem(nullptr);
    TcxCustomDataSummaryItem::Destroy();
}

void TcxDataSummaryItem::Assign(hostlib::TPersistent* source)
{
    auto* other = dynamic_cast<TcxDataSummaryItem*>(source);
    if (!other) {
        TcxCustomDataSummaryItem::Assign(source);
        return;
    }
    std::optional<hostlib::UpdateScope<hostlib::TCollection>> scope;
    if (Collection()) scope.emplace(*Collection());
    TcxCustomDataSummaryItem::Assign(source);
    SetFormat(other->Format());
    SetKind(other->Kind());
    SetPosition(other->Position());
    OnGetText = other->OnGetText;
}

bool TcxDataSummaryItem::IsDataBinded() const
{
    return DataField() != nullptr || (Kind() == skCount && Position() == spGroup);
}

bool TcxDataSummaryItem::IsPositionStored() const
{
    TcxDataSummaryItems* items = SummaryItems();
    return items ? items->IsPositionStored(this) : true;
}

TcxSummaryPosition TcxDataSummaryItem::Position() const
{
    TcxDataSummaryItems* items = SummaryItems();
    return items ? items->GetItemPosition(this) : position_;
}

void TcxDataSummaryItem::SetFormat(const std::string& value)
{
    if (format_ == value) return;
    format_ = value;
    Changed(false);
}

void TcxDataSummaryItem::SetKind(TcxSummaryKind value)
{
    if (kind_ == value) return;
    kind_ = value;
    Changed(true);
}

void TcxDataSummaryItem::SetPosition(TcxSummaryPosition value)
{
    if (position_ == value) return;
    position_ = value;
    Changed(false);
}

std::string TcxDataSummaryItem::FormatValue(const Variant& value, bool isFooter) const
{
    std::string text;
    FormatValue(value, isFooter, text);
    return text;
}

void TcxDataSummaryItem::FormatValue(const Variant& value, bool isFooter, std::string& text) const
{
    text.clear();
    if (value.IsNull() || value.IsEmpty()) {
        // nothing to show
    } else if (Kind() == skNone || IsText(value)) {
        // A text (Min or Max of a text column) is shown as it is.
        text = hostlib::VarToStr(value);
    } else {
        std::string format = Format();
        if (format.empty() && SummaryItems()) format = SummaryItems()->DefaultFormat(value.VarType(), Kind(), isFooter);
        try {
            if (value.VarType() == hostlib::varDate && Kind() != skCount)
                text = format + DateText(value);
            else
                text = hostlib::FormatFloat(format, value.AsDouble());
        } catch (const std::exception&) {
            text = hostlib::VarToStr(value);
        }
    }
    if (OnGetText) OnGetText(const_cast<TcxDataSummaryItem*>(this), value, isFooter, text);
}

// ---- TcxDataSummaryItems -----------------------------------------------------

void TcxDataSummaryItems::Construct(TcxDataSummary* summary, hostlib::TClass itemClass)
{
    summary_ = summary;
    TCollection::Construct(itemClass);
}

hostlib::TPersistent* TcxDataSummaryItems::GetOwner() const
{
    return summary_;
}

TcxCustomDataController* TcxDataSummaryItems::DataController() const
{
    return summary_ ? summary_->DataController() : nullptr;
}

void TcxDataSummaryItems::Assign(hostlib::TPersistent* source)
{
    TCollection::Assign(source);
    if (auto* other = dynamic_cast<TcxDataSummaryItems*>(source)) AssignEvents(other);
}

void TcxDataSummaryItems::AssignEvents(TcxDataSummaryItems* source)
{
    OnSummary = source->OnSummary;
}

void TcxDataSummaryItems::Update(hostlib::TCollectionItem* item)
{
    if (summary_) summary_->Changed(item != nullptr);
}

TcxSummaryPosition TcxDataSummaryItems::GetItemPosition(const TcxDataSummaryItem*) const
{
    return spGroup;
}

bool TcxDataSummaryItems::IsPositionStored(const TcxDataSummaryItem* item) const
{
    return item->Position() != spGroup;
}

TcxDataSummaryItem* TcxDataSummaryItems::Items(int index) const
{
    return static_cast<TcxDataSummaryItem*>(TCollection::Items(index));
}

TcxDataSummaryItem* TcxDataSummaryItems::GetDataItem(int itemIndex, TcxSummaryPosition position) const
{
    TcxCustomDataField* field = DataController()->GetField(itemIndex);
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Field() == field && Items(i)->Position() == position) return Items(i);
    return nullptr;
}

bool TcxDataSummaryItems::IsPropertiesEmpty(TcxSummaryProperties properties, const std::string& format,
                                            TcxSummaryKind kind) const
{
    if (properties.Contains(spKind)) return kind == skNone && (!properties.Contains(spFormat) || format.empty());
    return format.empty();
}

std::string TcxDataSummaryItems::DefaultFormat(TVarType varType, TcxSummaryKind kind, bool isFooter) const
{
    if (kind == skNone) return std::string();
    const DefaultFormats& row = kDefaultFormats[kind - skSum];
    if (varType == hostlib::varCurrency) {
        const char* entry = isFooter ? row.footerCurrency : row.groupCurrency;
        return ReplaceAll(entry, "%s", DefaultCurrencyDisplayFormat());
    }
    if (varType == hostlib::varDate) return isFooter ? row.footerDate : row.groupDate;
    return isFooter ? row.footerOther : row.groupOther;
}

void TcxDataSummaryItems::GetGroupText(const Variant&, std::string& text) const
{
    text.clear();
}

int TcxDataSummaryItems::IndexOf(const TcxDataSummaryItem* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i) == item) return i;
    return -1;
}

int TcxDataSummaryItems::IndexOfItemLink(const hostlib::TObject* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->GetItemLink() == item) return i;
    return -1;
}

TcxDataSummaryItem* TcxDataSummaryItems::ItemOfItemLink(const hostlib::TObject* item) const
{
    const int index = IndexOfItemLink(item);
    return index == -1 ? nullptr : Items(index);
}

int TcxDataSummaryItems::IndexOfField(const TcxCustomDataField* field) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Field() == field) return i;
    return -1;
}

TcxDataSummaryItem* TcxDataSummaryItems::ItemOfField(const TcxCustomDataField* field) const
{
    const int index = IndexOfField(field);
    return index == -1 ? nullptr : Items(index);
}

TcxDataSummaryItem* TcxDataSummaryItems::AddDataItem(int itemIndex, TcxSummaryPosition position)
{
    hostlib::UpdateScope scope(*this);
    TcxDataSummaryItem* item = Add();
    item->SetItemLink(DataController()->GetItem(itemIndex));
    item->SetPosition(position);
    return item;
}

void TcxDataSummaryItems::ChangedView()
{
    if (Count() > 0) Update(Items(0));
}

std::string TcxDataSummaryItems::GetDataItemFormat(int itemIndex, TcxSummaryPosition position) const
{
    TcxDataSummaryItem* item = GetDataItem(itemIndex, position);
    return item ? item->Format() : std::string();
}

TcxSummaryKind TcxDataSummaryItems::GetDataItemKind(int itemIndex, TcxSummaryPosition position) const
{
    TcxDataSummaryItem* item = GetDataItem(itemIndex, position);
    return item ? item->Kind() : skNone;
}

void TcxDataSummaryItems::SetDataItemFormat(int itemIndex, TcxSummaryPosition position, const std::string& value)
{
    TcxDataSummaryItem* item = GetDataItem(itemIndex, position);
    if (!item) {
        if (IsPropertiesEmpty({spFormat}, value, skNone)) return;
        item = AddDataItem(itemIndex, position);
    }
    item->SetFormat(value);
    if (item->Format().empty() && item->Kind() == skNone) item->Free();
}

void TcxDataSummaryItems::SetDataItemKind(int itemIndex, TcxSummaryPosition position, TcxSummaryKind value)
{
    TcxDataSummaryItem* item = GetDataItem(itemIndex, position);
    if (!item) {
        if (IsPropertiesEmpty({spKind}, std::string(), value)) return;
        item = AddDataItem(itemIndex, position);
    }
    item->SetKind(value);
    if (item->Format().empty() && item->Kind() == skNone) item->Free();
}

// ---- footer and group items --------------------------------------------------

TcxSummaryPosition TcxDataFooterSummaryItems::GetItemPosition(const TcxDataSummaryItem*) const
{
    return spFooter;
}

bool TcxDataFooterSummaryItems::IsPositionStored(const TcxDataSummaryItem*) const
{
    return false;
}

hostlib::TPersistent* TcxDataGroupSummaryItems::GetOwner() const
{
    if (summaryGroup_) return summaryGroup_;
    return TcxDataSummaryItems::GetOwner();
}

void TcxDataGroupSummaryItems::Assign(hostlib::TPersistent* source)
{
    hostlib::UpdateScope scope(*this);
    TcxDataSummaryItems::Assign(source);
    if (auto* other = dynamic_cast<TcxDataGroupSummaryItems*>(source)) {
        SetBeginText(other->BeginText());
        SetEndText(other->EndText());
        SetSeparator(other->Separator());
    }
}

void TcxDataGroupSummaryItems::SetText(std::string& target, const std::string& value)
{
    if (target == value) return;
    target = value;
    ChangedView();
}

void TcxDataGroupSummaryItems::SetBeginText(const std::string& value)
{
    SetText(beginText_, value);
}

void TcxDataGroupSummaryItems::SetEndText(const std::string& value)
{
    SetText(endText_, value);
}

void TcxDataGroupSummaryItems::SetSeparator(const std::string& value)
{
    SetText(separator_, value);
}

void TcxDataGroupSummaryItems::GetGroupText(const Variant& values, std::string& text) const
{
    text.clear();
    for (int i = 0; i < Count(); ++i) {
        TcxDataSummaryItem* item = Items(i);
        if (item->Position() != spGroup) continue;
        const Variant value = Summary()->IsValidSummaryValuesIndex(values, i) ? values[i] : Variant::Null();
        const std::string part = item->FormatValue(value, false);
        if (part.empty()) continue;
        if (!text.empty()) text += separator_ + " ";
        text += part;
    }
    if (text.empty()) return;
    text = beginText_ + text + endText_;
}

// ---- summary groups and their links ------------------------------------------

TcxDataSummaryGroup* TcxDataSummaryGroupItemLink::SummaryGroup() const
{
    auto* links = dynamic_cast<TcxDataSummaryGroupItemLinks*>(Collection());
    return links ? links->SummaryGroup() : nullptr;
}

TcxCustomDataController* TcxDataSummaryGroupItemLink::GetDataController() const
{
    TcxDataSummaryGroup* group = SummaryGroup();
    TcxDataSummary* summary = group ? group->Summary() : nullptr;
    return summary ? summary->DataController() : nullptr;
}

void TcxDataSummaryGroupItemLink::ItemLinkChanging(TcxCustomDataField* field)
{
    // A field belongs to at most one summary group.
    TcxDataSummaryGroup* group = SummaryGroup();
    if (!field || !group || !group->SummaryGroups()) return;
    TcxDataSummaryGroups& groups = *group->SummaryGroups();
    hostlib::UpdateScope scope(groups);
    for (int g = 0; g < groups.Count(); ++g) {
        TcxDataSummaryGroupItemLinks& links = groups.Items(g)->Links();
        for (int i = 0; i < links.Count(); ++i)
            if (links.Items(i) != this && links.Items(i)->Field() == field) links.Items(i)->ClearField();
    }
}

void TcxDataSummaryGroupItemLinks::Construct(TcxDataSummaryGroup* group, hostlib::TClass itemClass)
{
    group_ = group;
    TCollection::Construct(itemClass);
}

hostlib::TPersistent* TcxDataSummaryGroupItemLinks::GetOwner() const
{
    return group_;
}

TcxDataSummaryGroupItemLink* TcxDataSummaryGroupItemLinks::Items(int index) const
{
    return static_cast<TcxDataSummaryGroupItemLink*>(TCollection::Items(index));
}

int TcxDataSummaryGroupItemLinks::IndexOfItemLink(const hostlib::TObject* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->GetItemLink() == item) return i;
    return -1;
}

void TcxDataSummaryGroupItemLinks::Update(hostlib::TCollectionItem*)
{
    if (TcxDataSummary* summary = group_ ? group_->Summary() : nullptr) summary->Changed(false);
}

TcxDataSummaryGroups* TcxDataSummaryGroup::SummaryGroups() const
{
    return dynamic_cast<TcxDataSummaryGroups*>(Collection());
}

TcxDataSummary* TcxDataSummaryGroup::Summary() const
{
    TcxDataSummaryGroups* groups = SummaryGroups();
    return groups ? groups->Summary() : nullptr;
}

void TcxDataSummaryGroup::Construct(hostlib::TCollection* collection)
{
    // The owned collections exist before the group joins its collection,
    // whose change notice already asks for them.
    auto* groups = dynamic_cast<TcxDataSummaryGroups*>(collection);
    TcxDataSummary* summary = groups ? groups->Summary() : nullptr;
    links_.reset(hostlib::CreateObject<TcxDataSummaryGroupItemLinks>(
        this, summary ? summary->GetSummaryGroupItemLinkClass() : TcxDataSummaryGroupItemLink::StaticClass()));
    summaryItems_.reset(hostlib::CreateObject<TcxDataGroupSummaryItems>(
        summary, summary ? summary->GetSummaryItemClass() : TcxDataSummaryItem::StaticClass()));
    summaryItems_->SetSummaryGroup(this);
    TCollectionItem::Construct(collection);
}

void TcxDataSummaryGroup::Destroy()
{
    summaryItems_.reset();
    links_.reset();
    TCollectionItem::Destroy();
}

void TcxDataSummaryGroup::Assign(hostlib::TPersistent* source)
{
    auto* other = dynamic_cast<TcxDataSummaryGroup*>(source);
    if (!other) {
        TCollectionItem::Assign(source);
        return;
    }
    links_->Assign(&other->Links());
    summaryItems_->Assign(&other->SummaryItems());
}

void TcxDataSummaryGroups::Construct(TcxDataSummary* summary)
{
    summary_ = summary;
    TCollection::Construct(TcxDataSummaryGroup::StaticClass());
}

hostlib::TPersistent* TcxDataSummaryGroups::GetOwner() const
{
    return summary_;
}

TcxDataSummaryGroup* TcxDataSummaryGroups::Items(int index) const
{
    return static_cast<TcxDataSummaryGroup*>(TCollection::Items(index));
}

TcxDataSummaryGroup* TcxDataSummaryGroups::FindByItemLink(const hostlib::TObject* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Links().IndexOfItemLink(item) != -1) return Items(i);
    return nullptr;
}

void TcxDataSummaryGroups::Update(hostlib::TCollectionItem*)
{
    if (summary_) summary_->Changed(false);
}

// ---- TcxDataSummary: set-up --------------------------------------------------

void TcxDataSummary::Construct(TcxCustomDataController* controller)
{
    controller_ = controller;
    defaultGroupSummaryItems_.reset(hostlib::CreateObject<TcxDataGroupSummaryItems>(this, GetSummaryItemClass()));
    footerSummaryItems_.reset(hostlib::CreateObject<TcxDataFooterSummaryItems>(this, GetSummaryItemClass()));
    summaryGroups_.reset(hostlib::CreateObject<TcxDataSummaryGroups>(this));
}

void TcxDataSummary::BeforeDestruction()
{
    destroying_ = true;
    TPersistent::BeforeDestruction();
}

void TcxDataSummary::Destroy()
{
    destroying_ = true;
    summaryGroups_.reset();
    footerSummaryItems_.reset();
    defaultGroupSummaryItems_.reset();
    TPersistent::Destroy();
}

hostlib::TPersistent* TcxDataSummary::GetOwner() const
{
    return controller_;
}

hostlib::TClass TcxDataSummary::GetSummaryGroupItemLinkClass() const
{
    return controller_->GetSummaryGroupItemLinkClass();
}

hostlib::TClass TcxDataSummary::GetSummaryItemClass() const
{
    return controller_->GetSummaryItemClass();
}

void TcxDataSummary::Assign(hostlib::TPersistent* source)
{
    auto* other = dynamic_cast<TcxDataSummary*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    hostlib::UpdateScope scope(*this);
    defaultGroupSummaryItems_->Assign(&other->DefaultGroupSummaryItems());
    footerSummaryItems_->Assign(&other->FooterSummaryItems());
    summaryGroups_->Assign(&other->SummaryGroups());
    SetOptions(other->Options());
    AssignEvents(other);
}

void TcxDataSummary::AssignEvents(TcxDataSummary* source)
{
    OnAfterSummary = source->OnAfterSummary;
}

void TcxDataSummary::SetOptions(TcxSummaryOptions value)
{
    if (options_ == value) return;
    options_ = value;
    Changed(false);
}

// ---- change brackets ---------------------------------------------------------

void TcxDataSummary::Changed(bool redrawOnly)
{
    if (inAfterSummary_ || lockCount_ > 0) return;
    Update(redrawOnly);
}

void TcxDataSummary::Update(bool redrawOnly)
{
    if (!destroying_) controller_->SummaryChanged(redrawOnly);
}

void TcxDataSummary::BeginUpdate()
{
    controller_->BeginUpdate();
    ++lockCount_;
}

void TcxDataSummary::EndUpdate()
{
    --lockCount_;
    quelvo::sys::ScopeGuard end([this] { controller_->EndUpdate(); });
    Changed(false);
}

void TcxDataSummary::CancelUpdate()
{
    controller_->EndUpdate();
    --lockCount_;
}

void TcxDataSummary::RemoveItemByField(TcxCustomDataField* field)
{
    BeginUpdate();
    bool unbound = false;
    const auto unbind = [&](TcxCustomDataSummaryItem* item) {
        if (item->Field() != field) return;
        item->ClearField();
        unbound = true;
    };
    const auto unbindItems = [&](TcxDataSummaryItems& items) {
        for (int i = 0; i < items.Count(); ++i) unbind(items.Items(i));
    };
    unbindItems(*footerSummaryItems_);
    unbindItems(*defaultGroupSummaryItems_);
    for (int g = 0; g < summaryGroups_->Count(); ++g) {
        TcxDataSummaryGroup* group = summaryGroups_->Items(g);
        unbindItems(group->SummaryItems());
        for (int i = 0; i < group->Links().Count(); ++i) unbind(group->Links().Items(i));
    }
    if (unbound)
        EndUpdate();
    else
        CancelUpdate();
}

// ---- calculation -------------------------------------------------------------

void TcxDataSummary::Calculate()
{
    if (customValue_) return;
    CalculateFooterSummary();
    CalculateGroupSummary();
    DoAfterSummary();
}

void TcxDataSummary::CalculateFooterSummary()
{
    TcxDataSummaryValues values;
    TcxDataSummaryCountValues counts;
    BeginCalculateSummary(*footerSummaryItems_, values, counts);
    if (!controller_->IsGridMode())
        CalculateSummary(*footerSummaryItems_, 0, controller_->GetFilteredRecordCount() - 1, values, counts);
    EndCalculateSummary(*footerSummaryItems_, counts, values, footerValues_);
}

void TcxDataSummary::CalculateGroupSummary()
{
    const TcxDataGroups& groups = controller_->DataControllerInfo().DataGroups();
    for (int level = 0; level < groups.GetFieldCount(); ++level) {
        TcxDataGroupSummaryItems* items = GetGroupSummaryItems(level);
        if (items) SummarizeGroups(level, *items);
    }
}

// A group's values cover the records of all its innermost descendants,
// which lie in one run of positions.
void TcxDataSummary::SummarizeGroups(int level, TcxDataSummaryItems& items)
{
    TcxDataGroups& groups = controller_->DataControllerInfo().DataGroups();
    const int innermost = groups.InnermostLevel();
    for (int g = 0; g < groups.GetItemCount(); ++g) {
        TcxDataGroupInfo& group = groups.ItemRef(g);
        if (group.Level != level) continue;
        int first = g;
        while (groups.GetLevel(first) < innermost) ++first;
        const int last = level == innermost ? g : group.End;
        TcxDataSummaryValues values;
        TcxDataSummaryCountValues counts;
        BeginCalculateSummary(items, values, counts);
        CalculateSummary(items, groups.GetItem(first).Begin, groups.GetItem(last).End, values, counts);
        EndCalculateSummary(items, counts, values, group.SummaryValues);
    }
}

void TcxDataSummary::BeginCalculateSummary(TcxDataSummaryItems& items, TcxDataSummaryValues& values,
                                           TcxDataSummaryCountValues& counts)
{
    values.assign(static_cast<std::size_t>(items.Count()), Variant());
    counts.assign(static_cast<std::size_t>(items.Count()), 0);
}

void TcxDataSummary::CalculateSummary(TcxDataSummaryItems& items, int first, int last, TcxDataSummaryValues& values,
                                      TcxDataSummaryCountValues& counts)
{
    if (items.Count() == 0) return;  // no need to walk every record
    for (int position = first; position <= last; ++position) {
        const int record = GetRecordIndex(position);
        if (record == -1) continue;
        for (int i = 0; i < items.Count(); ++i)
            DoSummaryValue(*items.Items(i), record, values[static_cast<std::size_t>(i)], counts[static_cast<std::size_t>(i)]);
    }
}

int TcxDataSummary::GetRecordIndex(int position) const
{
    const int record = controller_->GetFilteredRecordIndex(position);
    if (!options_.Contains(soSelectedRecords)) return record;
    if (controller_->IsFocusedSelectedMode())
        return controller_->FocusedSelected() && record == controller_->GetFocusedRecordIndex() ? record : -1;
    return controller_->DataControllerInfo().Selection().IsRecordSelected(record) ? record : -1;
}

void TcxDataSummary::DoSummaryValue(TcxDataSummaryItem& item, int recordIndex, Variant& value, int& count)
{
    if (!item.IsDataBinded()) return;
    TcxCustomDataField* field = item.DataField();
    Variant v = field ? controller_->GetInternalValue(recordIndex, field) : Variant::Null();
    bool done = false;
    if (TcxDataSummaryItems* items = item.SummaryItems(); items && items->OnSummary) {
        TcxSummaryEventArguments arguments{recordIndex, &item};
        TcxSummaryEventOutArguments out{v, value, count, false};
        items->OnSummary(items, arguments, out);
        v = out.Value;
        value = out.SummaryValue;
        count = out.CountValue;
        done = out.Done;
    }
    const TcxSummaryKind kind = item.Kind();
    if (done || kind == skNone || (options_.Contains(soNullIgnore) && v.IsNull())) return;
    const bool adds = kind == skSum || kind == skAverage;
    // Values that are no numbers, or do not compare, end the item's
    // calculation with Null instead of leaving it with an exception.
    try {
        if (value.IsEmpty()) {
            if (adds) {
                Variant number;
                if (v.IsNull()) value = Variant(0);
                else if (ToSummand(v, number)) value = number;
                else value = Variant::Null();
            } else if (kind != skCount && !v.IsNull()) {
                value = v;
            }
        } else if (!v.IsNull() && !value.IsNull()) {
            Variant number;
            if (adds) value = ToSummand(v, number) && ToSummand(value, value) ? AddSummands(value, number) : Variant::Null();
            else if (kind == skMin && v < value) value = v;
            else if (kind == skMax && v > value) value = v;
        }
    } catch (const std::exception&) {
        value = Variant::Null();
    }
    ++count;
}

void TcxDataSummary::DoFinishSummaryValue(TcxDataSummaryItem& item, Variant& value, int& count)
{
    if (!item.IsDataBinded()) return;
    if (value.IsEmpty()) value = Variant::Null();
    if (item.Kind() == skCount) {
        value = Variant(static_cast<std::int32_t>(count));
    } else if (item.Kind() == skAverage && count > 0 && !value.IsNull()) {
        try {
            Variant number;
            value = ToSummand(value, number) ? Average(number, count) : Variant::Null();
        } catch (const std::exception&) {
            value = Variant::Null();
        }
    }
}

void TcxDataSummary::EndCalculateSummary(TcxDataSummaryItems& items, TcxDataSummaryCountValues& counts,
                                         TcxDataSummaryValues& values, Variant& result)
{
    for (int i = 0; i < items.Count(); ++i)
        DoFinishSummaryValue(*items.Items(i), values[static_cast<std::size_t>(i)], counts[static_cast<std::size_t>(i)]);
    result = items.Count() == 0 ? Variant::Null() : Variant::ArrayOf(values);
}

void TcxDataSummary::DoAfterSummary()
{
    if (!OnAfterSummary) return;
    if (controller_->IsLoading()) {
        controller_->SetAfterSummaryFlag(true);
        return;
    }
    controller_->SetAfterSummaryFlag(false);
    if (controller_->IsPattern() || controller_->LockOnAfterSummary()) return;
    inAfterSummary_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inAfterSummary_};
    OnAfterSummary(this);
}

// ---- values and texts --------------------------------------------------------

bool TcxDataSummary::IsValidSummaryValuesIndex(const Variant& values, int index) const
{
    return values.IsArray() && index >= values.ArrayLowBound() && index <= values.ArrayHighBound();
}

Variant TcxDataSummary::GetFooterSummaryValue(int index) const
{
    return IsValidSummaryValuesIndex(footerValues_, index) ? footerValues_[index] : Variant::Null();
}

std::string TcxDataSummary::GetFooterSummaryText(int index) const
{
    if (index < 0 || index >= footerSummaryItems_->Count()) return std::string();
    return footerSummaryItems_->Items(index)->FormatValue(GetFooterSummaryValue(index), true);
}

void TcxDataSummary::SetCustomValue(Variant& values, int index, const Variant& value)
{
    if (!IsValidSummaryValuesIndex(values, index)) return;
    const Variant& current = values[index];
    if (current.VarType() == value.VarType() && VarCompare(current, value) == 0) return;
    customValue_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{customValue_};
    values[index] = value;
    Changed(true);
}

void TcxDataSummary::SetFooterSummaryValue(int index, const Variant& value)
{
    SetCustomValue(footerValues_, index, value);
}

TcxDataGroupSummaryItems* TcxDataSummary::GetGroupSummaryItems(int level) const
{
    if (level < 0 || level >= controller_->GetGroupingItemCount()) return nullptr;
    TcxDataSummaryGroup* group =
        summaryGroups_->FindByItemLink(controller_->GetItem(controller_->Groups().GetGroupingItemIndex(level)));
    return group ? &group->SummaryItems() : defaultGroupSummaryItems_.get();
}

Variant TcxDataSummary::GetGroupSummaryValues(int groupIndex) const
{
    const TcxDataGroups& groups = controller_->DataControllerInfo().DataGroups();
    if (groupIndex < 0 || groupIndex >= groups.GetItemCount()) return Variant();
    return groups.GetItem(groupIndex).SummaryValues;
}

Variant TcxDataSummary::GetGroupSummaryValue(int groupIndex, int index) const
{
    const Variant values = GetGroupSummaryValues(groupIndex);
    return IsValidSummaryValuesIndex(values, index) ? values[index] : Variant::Null();
}

void TcxDataSummary::SetGroupSummaryValue(int groupIndex, int index, const Variant& value)
{
    TcxDataGroups& groups = controller_->DataControllerInfo().DataGroups();
    if (groupIndex < 0 || groupIndex >= groups.GetItemCount()) return;
    SetCustomValue(groups.ItemRef(groupIndex).SummaryValues, index, value);
}

int TcxDataSummary::GroupIndexOf(int rowIndex, int level) const
{
    const TcxDataGroups& groups = controller_->DataControllerInfo().DataGroups();
    if (rowIndex < 0 || rowIndex >= controller_->GetRowCount()) return -1;
    return groups.GetIndexByRowIndexLevel(rowIndex, level);
}

Variant TcxDataSummary::GetGroupSummaryDisplayValue(int rowIndex, int level, int index) const
{
    return GetGroupSummaryValue(GroupIndexOf(rowIndex, level), index);
}

void TcxDataSummary::SetGroupSummaryDisplayValue(int rowIndex, int level, int index, const Variant& value)
{
    SetGroupSummaryValue(GroupIndexOf(rowIndex, level), index, value);
}

std::string TcxDataSummary::GetGroupSummaryText(int rowIndex) const
{
    const int group = GroupIndexOf(rowIndex, -1);
    if (group == -1) return std::string();
    TcxDataGroupSummaryItems* items =
        GetGroupSummaryItems(controller_->DataControllerInfo().DataGroups().GetLevel(group));
    const Variant values = GetGroupSummaryValues(group);
    if (!items || !values.IsArray()) return std::string();
    std::string text;
    items->GetGroupText(values, text);
    return text;
}

int TcxDataSummary::GetGroupFooterIndexOfItemLink(int level, const hostlib::TObject* item) const
{
    TcxDataGroupSummaryItems* items = GetGroupSummaryItems(level);
    if (!items) return -1;
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->Position() == spFooter && items->Items(i)->GetItemLink() == item) return i;
    return -1;
}

std::string TcxDataSummary::GetGroupFooterSummaryText(int rowIndex, int level, int index) const
{
    const int group = GroupIndexOf(rowIndex, level);
    TcxDataGroupSummaryItems* items = GetGroupSummaryItems(level);
    const Variant values = GetGroupSummaryValues(group);
    if (group == -1 || !items || index < 0 || index >= items->Count() || !IsValidSummaryValuesIndex(values, index))
        return std::string();
    return items->Items(index)->FormatValue(values[index], true);
}
