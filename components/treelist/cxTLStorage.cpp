// Layout storage of the tree list: the control, its columns and the bands
// object with its bands as stored objects, and the runs that store them to
// and restore them from an INI file, the registry or a stream. A stored
// value of the wrong kind or out of range is ignored: the property keeps
// what it had.

#include <algorithm>
#include <optional>

#include "components/treelist/cxTL.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/lists.h"

using namespace hostlib;

namespace {

// Widths and line counts beyond these are no layout a screen could show;
// they would overflow the layout's sums.
constexpr int kMaxStoredWidth = 0xFFFF;
constexpr int kMaxStoredLineCount = 256;

const std::vector<std::string>& ColumnPropertyNames()
{
    static const std::vector<std::string> names{"Visible",   "Index",   "LineCount", "ColIndex",
                                                "RowIndex",  "BandIndex", "Caption", "SortOrder",
                                                "SortIndex", "RealMinWidth", "RealWidth"};
    return names;
}

const std::vector<std::string>& BandPropertyNames()
{
    static const std::vector<std::string> names{"Caption", "RealMinWidth", "RealWidth", "Visible", "Index"};
    return names;
}

void AddAll(TStrings* list, const std::vector<std::string>& names)
{
    for (const std::string& name : names) list->Add(name);
}

bool Is(const std::string& name, const char* expected) { return AnsiSameText(name, expected); }

std::optional<int> ToInt(const Variant& value, int low, int high)
{
    try {
        const std::int64_t v = VarIsStr(value) ? StrToInt64(Trim(value.AsString())) : value.AsInt64();
        if (v >= low && v <= high) return static_cast<int>(v);
    } catch (const Exception&) {
    }
    return std::nullopt;
}

std::optional<bool> ToBool(const Variant& value)
{
    try {
        return VarIsStr(value) ? StringToBoolean(value.AsString()) : value.AsBoolean();
    } catch (const Exception&) {
    }
    return std::nullopt;
}

std::optional<std::string> ToText(const Variant& value)
{
    if (VarType(value) == varEmpty || VarType(value) == varNull) return std::nullopt;
    try {
        return VarToStr(value);
    } catch (const Exception&) {
    }
    return std::nullopt;
}

// Moves a column to an item index; the others keep their order.
void MoveColumn(TcxCustomTreeListControl* treeList, TcxTreeListColumn* column, int index)
{
    int current = column->ItemIndex();
    if (current < 0 || current == index) return;
    while (current < index) treeList->ExchangeItems(current, current + 1), ++current;
    while (current > index) treeList->ExchangeItems(current, current - 1), --current;
    treeList->DataController()->UpdateItemIndexes();
}

}  // namespace

// ---- columns -------------------------------------------------------------------------------

std::string TcxTreeListColumn::GetObjectName()
{
    if (!Name().empty()) return Name();
    return ClassName() + IntToStr(ItemIndex());
}

bool TcxTreeListColumn::GetProperties(TStrings* properties)
{
    AddAll(properties, ColumnPropertyNames());
    return true;
}

void TcxTreeListColumn::GetPropertyValue(const std::string& name, Variant& value)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (Is(name, "Visible")) value = Variant(Visible());
    else if (Is(name, "Index")) value = Variant(static_cast<std::int32_t>(ItemIndex()));
    else if (Is(name, "LineCount")) value = Variant(static_cast<std::int32_t>(position_->LineCount()));
    else if (Is(name, "ColIndex")) value = Variant(static_cast<std::int32_t>(position_->ColIndex()));
    else if (Is(name, "RowIndex")) value = Variant(static_cast<std::int32_t>(position_->RowIndex()));
    else if (Is(name, "BandIndex")) value = Variant(static_cast<std::int32_t>(position_->BandIndex()));
    else if (Is(name, "Caption")) value = Variant(caption_->Text());
    else if (Is(name, "SortOrder")) value = Variant(static_cast<std::uint8_t>(sortOrder_));
    else if (Is(name, "SortIndex") && treeList) {
        std::int32_t index = -1;
        for (int i = 0; i < treeList->GetSortedColumnCount(); ++i)
            if (treeList->GetSortedColumn(i) == this) index = i;
        value = Variant(index);
    } else if (Is(name, "RealMinWidth")) value = Variant(static_cast<std::int32_t>(minWidth_));
    else if (Is(name, "RealWidth")) value = Variant(static_cast<std::int32_t>(width_));
}

void TcxTreeListColumn::SetPropertyValue(const std::string& name, const Variant& value)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (Is(name, "Visible")) {
        if (auto v = ToBool(value)) SetVisible(*v);
    } else if (Is(name, "Index")) {
        if (auto v = ToInt(value, 0, treeList ? treeList->GetColumnCount() - 1 : -1)) MoveColumn(treeList, this, *v);
    } else if (Is(name, "LineCount")) {
        if (auto v = ToInt(value, 1, kMaxStoredLineCount)) position_->SetLineCount(*v);
    } else if (Is(name, "ColIndex")) {
        if (auto v = ToInt(value, 0, INT_MAX)) position_->SetColIndex(*v);
    } else if (Is(name, "RowIndex")) {
        if (auto v = ToInt(value, 0, INT_MAX)) position_->SetRowIndex(*v);
    } else if (Is(name, "BandIndex")) {
        // Bands are restored after the columns: the band is set again then.
        if (auto v = ToInt(value, -1, INT_MAX)) {
            position_->SetBandIndex(*v);
            if (treeList) treeList->NoteStoredBandIndex(this, *v);
        }
    } else if (Is(name, "Caption")) {
        if (auto v = ToText(value)) caption_->SetText(*v);
    } else if (Is(name, "SortOrder")) {
        if (auto v = ToInt(value, soNone, soDescending)) SetSortOrder(static_cast<TcxDataSortOrder>(*v));
    } else if (Is(name, "SortIndex")) {
        if (auto v = ToInt(value, -1, INT_MAX); v && treeList) treeList->NoteStoredSortIndex(this, *v);
    } else if (Is(name, "RealMinWidth")) {
        if (auto v = ToInt(value, 0, kMaxStoredWidth)) minWidth_ = *v;
    } else if (Is(name, "RealWidth")) {
        if (auto v = ToInt(value, 0, kMaxStoredWidth)) width_ = currentWidth_ = std::max(*v, minWidth_);
    }
}

// ---- bands ---------------------------------------------------------------------------------

std::string TcxTreeListBand::GetObjectName() { return "Band" + IntToStr(Index()); }

bool TcxTreeListBand::GetProperties(TStrings* properties)
{
    AddAll(properties, BandPropertyNames());
    return true;
}

void TcxTreeListBand::GetPropertyValue(const std::string& name, Variant& value)
{
    if (Is(name, "Caption")) value = Variant(caption_->Text());
    else if (Is(name, "RealMinWidth")) value = Variant(static_cast<std::int32_t>(minWidth_));
    else if (Is(name, "RealWidth")) value = Variant(static_cast<std::int32_t>(width_));
    else if (Is(name, "Visible")) value = Variant(Visible());
    else if (Is(name, "Index")) value = Variant(static_cast<std::int32_t>(Index()));
}

void TcxTreeListBand::SetPropertyValue(const std::string& name, const Variant& value)
{
    if (Is(name, "Caption")) {
        if (auto v = ToText(value)) caption_->SetText(*v);
    } else if (Is(name, "RealMinWidth")) {
        if (auto v = ToInt(value, 0, kMaxStoredWidth)) minWidth_ = *v;
    } else if (Is(name, "RealWidth")) {
        // 0: the band takes the width its columns need.
        if (auto v = ToInt(value, 0, kMaxStoredWidth)) width_ = currentWidth_ = *v == 0 ? 0 : std::max(*v, minWidth_);
    } else if (Is(name, "Visible")) {
        if (auto v = ToBool(value)) SetVisible(*v);
    } else if (Is(name, "Index")) {
        if (auto v = ToInt(value, 0, INT_MAX)) SetItemIndex(*v);
    }
}

TObject* TcxTreeListBands::CreateChild(const std::string&, const std::string& className)
{
    return className == "TcxTreeListBand" ? Add() : nullptr;
}

void TcxTreeListBands::DeleteChild(const std::string&, TObject* object)
{
    if (auto* band = As<TcxTreeListBand>(object); band && band->Collection() == this) band->Free();
}

void TcxTreeListBands::GetChildren(TStrings* children)
{
    for (int i = 0; i < Count(); ++i) children->AddObject(Items(i)->GetObjectName(), Items(i));
}

// ---- the control -----------------------------------------------------------------------------

void TcxCustomTreeListControl::GetStoredChildren(TStrings* children)
{
    for (int i = 0; i < GetColumnCount(); ++i) children->AddObject(GetColumn(i)->GetObjectName(), GetColumn(i));
    children->AddObject(bands_->GetObjectName(), bands_.get());
}

TObject* TcxCustomTreeListControl::StoredCreateChild(const std::string& objectName, const std::string& className)
{
    if (className != GetTreeListColumnClass()->ClassName()) return nullptr;
    // A name no component could carry, or one already taken, creates nothing.
    if (!IsValidIdent(objectName) || (Owner() && Owner()->FindComponent(objectName))) return nullptr;
    TcxTreeListColumn* column = CreateColumn(nullptr);
    try {
        column->SetName(objectName);
    } catch (const Exception&) {
        column->Free();
        return nullptr;
    }
    return column;
}

void TcxCustomTreeListControl::NoteStoredSortIndex(TcxTreeListColumn* column, int index)
{
    if (restoredColumns_) (*restoredColumns_)[column].sortIndex = index;
}

void TcxCustomTreeListControl::NoteStoredBandIndex(TcxTreeListColumn* column, int index)
{
    if (restoredColumns_) (*restoredColumns_)[column].bandIndex = index;
}

void TcxCustomTreeListControl::StoreLayout(TcxStorage& storage, void (TcxStorage::*store)(TObject*), bool reCreate)
{
    storage.SetNamePrefix(Name());
    storage.SetUseInterfaceOnly(true);
    storage.SetReCreate(reCreate);
    (storage.*store)(this);
}

void TcxCustomTreeListControl::RestoreLayout(TcxStorage& storage, void (TcxStorage::*restore)(TObject*),
                                             bool childrenCreating, bool childrenDeleting)
{
    storage.SetNamePrefix(Name());
    storage.SetUseInterfaceOnly(true);
    TcxStorageModes modes;
    if (childrenCreating) modes.Include(smChildrenCreating);
    if (childrenDeleting) modes.Include(smChildrenDeleting);
    storage.SetModes(modes);
    std::map<TcxTreeListColumn*, RestoredColumn> restored;
    restoredColumns_ = &restored;
    BeginUpdate();
    DisableSorting();
    quelvo::sys::ScopeGuard close([this] {
        restoredColumns_ = nullptr;
        EnableSorting();
        EndUpdate();
    });
    (storage.*restore)(this);
    ApplyRestoredColumns(restored);
}

// Band indexes name bands that exist only now; the sorted columns take the
// order they had when stored (unsorted and unplaced ones after the others).
void TcxCustomTreeListControl::ApplyRestoredColumns(std::map<TcxTreeListColumn*, RestoredColumn>& restored)
{
    for (auto& [column, place] : restored)
        if (place.bandIndex != kNoStoredIndex && ColumnIndexOf(column) >= 0)
            column->Position()->SetBandIndex(place.bandIndex);
    const auto sortIndex = [&restored](TcxTreeListColumn* column) {
        auto it = restored.find(column);
        const int index = it == restored.end() ? -1 : it->second.sortIndex;
        return index < 0 ? INT_MAX : index;
    };
    std::stable_sort(sortedColumns_.begin(), sortedColumns_.end(),
                     [&](TcxTreeListColumn* a, TcxTreeListColumn* b) { return sortIndex(a) < sortIndex(b); });
    SetSortOrderChangedFlag();
}

int TcxCustomTreeListControl::ColumnIndexOf(TcxTreeListColumn* column) const
{
    for (int i = 0; i < GetColumnCount(); ++i)
        if (GetColumn(i) == column) return i;
    return -1;
}

void TcxCustomTreeListControl::StoreToIniFile(const std::string& fileName, bool reCreate)
{
    TcxStorage storage(fileName);
    StoreLayout(storage, &TcxStorage::StoreToIni, reCreate);
}

void TcxCustomTreeListControl::StoreToRegistry(const std::string& key, bool reCreate)
{
    TcxStorage storage(key);
    StoreLayout(storage, &TcxStorage::StoreToRegistry, reCreate);
}

void TcxCustomTreeListControl::StoreToStream(TStream* stream)
{
    TcxStorage storage(stream);
    StoreLayout(storage, &TcxStorage::StoreToStream, true);
}

void TcxCustomTreeListControl::RestoreFromIniFile(const std::string& fileName, bool childrenCreating,
                                                  bool childrenDeleting)
{
    TcxStorage storage(fileName);
    RestoreLayout(storage, &TcxStorage::RestoreFromIni, childrenCreating, childrenDeleting);
}

void TcxCustomTreeListControl::RestoreFromRegistry(const std::string& key, bool childrenCreating,
                                                   bool childrenDeleting)
{
    TcxStorage storage(key);
    RestoreLayout(storage, &TcxStorage::RestoreFromRegistry, childrenCreating, childrenDeleting);
}

void TcxCustomTreeListControl::RestoreFromStream(TStream* stream, bool childrenCreating, bool childrenDeleting)
{
    TcxStorage storage(stream);
    RestoreLayout(storage, &TcxStorage::RestoreFromStream, childrenCreating, childrenDeleting);
}
