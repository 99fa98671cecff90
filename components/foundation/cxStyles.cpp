#include "components/foundation/cxStyles.h"

#include <algorithm>
#include <memory>

#include "components/foundation/cxStorage.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/inifiles.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/visual/controls.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxStyleValue*)
{
    static const TEnumInfo info{"TcxStyleValue", {"svBitmap", "svColor", "svFont", "svTextColor"}, 0};
    return info;
}

namespace {

template <class T>
void AddOnce(std::vector<T*>& list, T* item)
{
    if (item && std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

template <class T>
int IndexIn(const std::vector<T*>& list, const T* item)
{
    const auto it = std::find(list.begin(), list.end(), item);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

// Frees the last object of a list until none is left; each one is expected
// to take itself out while it is destroyed.
template <class T>
void FreeAllFromLast(std::vector<T*>& list)
{
    while (!list.empty()) {
        T* last = list.back();
        last->Free();
        if (!list.empty() && list.back() == last) list.pop_back();
    }
}

TcxStyleRepository* RepositoryParent(TComponent* parent)
{
    if (!parent) return nullptr;
    auto* repository = As<TcxStyleRepository>(parent);
    if (!repository) ClassCastError(parent->ClassType(), TcxStyleRepository::StaticClass());
    return repository;
}

}  // namespace

// ---- styles -------------------------------------------------------------------------

TClass TcxCustomStyle::StaticClass()
{
    return DefineClass<TcxCustomStyle, TComponent>("TcxCustomStyle");
}

void TcxCustomStyle::Changed()
{
    for (int i = static_cast<int>(listeners_.size()) - 1; i >= 0; --i)
        if (i < static_cast<int>(listeners_.size())) listeners_[static_cast<std::size_t>(i)]->StyleChanged(this);
}

void TcxCustomStyle::AddListener(TcxCustomStyles* listener)
{
    AddOnce(listeners_, listener);
}

void TcxCustomStyle::RemoveListener(TcxCustomStyles* listener)
{
    std::erase(listeners_, listener);
}

void TcxCustomStyle::SetStyleRepository(TcxStyleRepository* value)
{
    if (value == repository_) return;
    if (repository_) repository_->RemoveItem(this);
    repository_ = value;
    if (repository_) repository_->AddItem(this);
}

int TcxCustomStyle::GetIndex() const
{
    return repository_ ? repository_->StyleIndexOf(this) : -1;
}

void TcxCustomStyle::ReadState(TReader& reader)
{
    TComponent::ReadState(reader);
    SetStyleRepository(RepositoryParent(reader.Parent()));
}

TComponent* TcxCustomStyle::GetParentComponent() const
{
    return repository_;
}

void TcxCustomStyle::SetParentComponent(TComponent* parent)
{
    if (!IsLoading()) SetStyleRepository(RepositoryParent(parent));
}

void TcxCustomStyle::Destroy()
{
    // No set may keep a reference to the style.
    while (!listeners_.empty()) {
        TcxCustomStyles* last = listeners_.back();
        last->StyleRemoved(this);
        if (!listeners_.empty() && listeners_.back() == last) listeners_.pop_back();
    }
    SetStyleRepository(nullptr);
    TComponent::Destroy();
}

TClass TcxStyle::StaticClass()
{
    return DefineClass<TcxStyle, TcxCustomStyle>("TcxStyle", [](ClassBuilder<TcxStyle>& b) {
        const auto assigned = [](TcxStyleValue value) {
            return [value](const TcxStyle& style) { return style.AssignedValues().Contains(value); };
        };
        b.Property("AssignedValues", &TcxStyle::AssignedValues, &TcxStyle::SetAssignedValues).Default(TcxStyleValues{});
        b.Property("Color", &TcxStyle::Color, &TcxStyle::SetColor).Stored(assigned(svColor));
        b.Property("Bitmap", &TcxStyle::Bitmap, &TcxStyle::SetBitmap).Stored(assigned(svBitmap));
        b.Property("Font", &TcxStyle::Font, &TcxStyle::SetFont).Stored(assigned(svFont));
        b.Property("TextColor", &TcxStyle::TextColor, &TcxStyle::SetTextColor).Stored(assigned(svTextColor));
    });
}

void TcxStyle::Construct(TComponent* owner)
{
    TcxCustomStyle::Construct(owner);
    bitmap_ = MakeObject<TBitmap>();
    font_ = MakeObject<TFont>();
    bitmap_->OnChange = TNotifyEvent::Bind(this, &TcxStyle::BitmapChanged);
    font_->OnChange = TNotifyEvent::Bind(this, &TcxStyle::FontChanged);
}

void TcxStyle::BitmapChanged(TObject*)
{
    if (restoring_) return;
    if (bitmap_->Empty()) assignedValues_.Exclude(svBitmap);
    else assignedValues_.Include(svBitmap);
    Changed();
}

void TcxStyle::FontChanged(TObject*)
{
    assignedValues_.Include(svFont);
    Changed();
}

void TcxStyle::SetAssignedValues(TcxStyleValues value)
{
    if (value == assignedValues_) return;
    assignedValues_ = value;
    Changed();
}

void TcxStyle::SetColorValue(TColor& field, TColor value, TcxStyleValue flag)
{
    if (field == value) return;
    field = value;
    if (value == clDefault) assignedValues_.Exclude(flag);
    else assignedValues_.Include(flag);
    Changed();
}

void TcxStyle::SetColor(TColor value)
{
    SetColorValue(color_, value, svColor);
}

void TcxStyle::SetTextColor(TColor value)
{
    SetColorValue(textColor_, value, svTextColor);
}

void TcxStyle::SetBitmap(TBitmap* value)
{
    if (value) bitmap_->Assign(value);
    else bitmap_->SetSize(0, 0);
}

void TcxStyle::SetFont(TFont* value)
{
    if (value) font_->Assign(value);
}

void TcxStyle::Assign(TPersistent* source)
{
    auto* style = As<TcxStyle>(source);
    if (!style) return TcxCustomStyle::Assign(source);
    SetBitmap(style->Bitmap());
    SetColor(style->Color());
    SetFont(style->Font());
    SetTextColor(style->TextColor());
    SetAssignedValues(style->AssignedValues());
}

void TcxStyle::RestoreDefaults()
{
    assignedValues_ = {};
    {
        restoring_ = true;
        const auto done = std::unique_ptr<bool, void (*)(bool*)>(&restoring_, [](bool* flag) { *flag = false; });
        bitmap_->SetSize(0, 0);
    }
    color_ = clDefault;
    textColor_ = clDefault;
    Changed();
}

// ---- style sets -----------------------------------------------------------------------

TClass TcxCustomStyles::StaticClass()
{
    return DefineClass<TcxCustomStyles, TcxInterfacedPersistent>("TcxCustomStyles");
}

const TcxStyleEntry& TcxCustomStyles::GetItem(int position) const
{
    if (position < 0 || position >= GetCount()) throw EListError(Format(messages::SListIndexError, position));
    return entries_[static_cast<std::size_t>(position)];
}

bool TcxCustomStyles::Find(int index, int& position) const
{
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), index,
                                     [](const TcxStyleEntry& entry, int value) { return entry.Index < value; });
    position = static_cast<int>(it - entries_.begin());
    return it != entries_.end() && it->Index == index;
}

bool TcxCustomStyles::IsOwnerWriting() const
{
    auto* component = As<TComponent>(GetOwner());
    return component && component->ComponentState().Contains(csWriting);
}

TcxCustomStyle* TcxCustomStyles::GetValue(int index) const
{
    int position = 0;
    if (Find(index, position)) return entries_[static_cast<std::size_t>(position)].Style;
    // Only the set's own entries go to the form stream.
    if (styleSheet_ && !IsOwnerWriting()) return styleSheet_->GetStyles()->GetValue(index);
    return nullptr;
}

void TcxCustomStyles::ReleaseStyle(TcxCustomStyle* style)
{
    // The style may still hold another slot of this set.
    const bool held = std::any_of(entries_.begin(), entries_.end(), [&](const TcxStyleEntry& e) { return e.Style == style; });
    if (!held) style->RemoveListener(this);
}

void TcxCustomStyles::SetValue(int index, TcxCustomStyle* style)
{
    if (style == GetValue(index)) return;
    int position = 0;
    if (Find(index, position)) {
        TcxStyleEntry& entry = entries_[static_cast<std::size_t>(position)];
        TcxCustomStyle* old = entry.Style;
        if (style) entry.Style = style;
        else entries_.erase(entries_.begin() + position);
        ReleaseStyle(old);
    } else {
        if (!style) return;
        entries_.insert(entries_.begin() + position, TcxStyleEntry{index, style});
    }
    if (style) style->AddListener(this);
    DoChanged(index);
}

void TcxCustomStyles::Delete(int position)
{
    const TcxStyleEntry entry = GetItem(position);
    entries_.erase(entries_.begin() + position);
    ReleaseStyle(entry.Style);
    DoChanged(entry.Index);
}

void TcxCustomStyles::Clear()
{
    while (!entries_.empty()) Delete(GetCount() - 1);
}

void TcxCustomStyles::ResetStyles()
{
    while (!entries_.empty()) SetValue(entries_.front().Index, nullptr);
}

void TcxCustomStyles::StyleChanged(TcxCustomStyle* style)
{
    std::vector<int> indexes;
    for (const TcxStyleEntry& entry : entries_)
        if (entry.Style == style) indexes.push_back(entry.Index);
    for (int index : indexes) DoChanged(index);
}

void TcxCustomStyles::StyleRemoved(TcxCustomStyle* style)
{
    for (int position = GetCount() - 1; position >= 0; --position)
        if (position < GetCount() && entries_[static_cast<std::size_t>(position)].Style == style) Delete(position);
}

void TcxCustomStyles::DoChanged(int index)
{
    if (destroying_) return;
    Changed(index);
    if (owningSheet_) owningSheet_->DoStyleChanged(index);
}

void TcxCustomStyles::Assign(TPersistent* source)
{
    auto* styles = As<TcxCustomStyles>(source);
    if (!styles) return TcxInterfacedPersistent::Assign(source);
    SetStyleSheet(styles->StyleSheet());
}

void TcxCustomStyles::CollectIndexes(TcxCustomStyleSheet* sheet, std::vector<int>& indexes) const
{
    // Sheets are checked against cycles when attached; the bound only keeps
    // a damaged chain from running forever.
    for (int depth = 0; sheet && depth < 1000; ++depth) {
        for (const TcxStyleEntry& entry : sheet->GetStyles()->entries_)
            if (std::find(indexes.begin(), indexes.end(), entry.Index) == indexes.end()) indexes.push_back(entry.Index);
        sheet = sheet->GetStyles()->StyleSheet();
    }
}

void TcxCustomStyles::SetStyleSheet(TcxCustomStyleSheet* value)
{
    if (value == styleSheet_ || !IsValidStyleSheet(value)) return;
    std::vector<int> indexes;
    if (styleSheet_) {
        styleSheet_->RemoveStyles(this);
        if (!destroying_) CollectIndexes(styleSheet_, indexes);
    }
    styleSheet_ = value;
    if (styleSheet_) {
        styleSheet_->AddStyles(this);
        CollectIndexes(styleSheet_, indexes);
    }
    for (int index : indexes) DoChanged(index);
}

bool TcxCustomStyles::IsValidStyleSheet(TcxCustomStyleSheet* sheet) const
{
    if (!sheet) return true;
    if (sheet == owningSheet_ || sheet->GetStylesClass() != ClassType()) return false;
    if (!owningSheet_) return true;
    for (TcxCustomStyleSheet* s = sheet->GetStyles()->StyleSheet(); s; s = s->GetStyles()->StyleSheet())
        if (s == owningSheet_ || s == sheet) return false;
    return true;
}

void TcxCustomStyles::Destroy()
{
    destroying_ = true;
    Clear();
    SetStyleSheet(nullptr);
    TcxInterfacedPersistent::Destroy();
}

TClass TcxStyles::StaticClass()
{
    return DefineClass<TcxStyles, TcxCustomStyles>("TcxStyles");
}

void TcxStyles::GetDefaultViewParams(int index, void*, TcxViewParams& params)
{
    params.Bitmap = nullptr;
    maxDefaultViewParamsIndex_ = std::max(maxDefaultViewParamsIndex_, index);
}

bool TcxStyles::IsDefaultFont(int index)
{
    return !UseStyle(GetValue(index), svFont);
}

TcxStyle* TcxStyles::GetValue(int index) const
{
    return As<TcxStyle>(TcxCustomStyles::GetValue(index));
}

void TcxStyles::GetViewParams(int index, void* data, TcxStyle* style, TcxViewParams& params)
{
    TcxStyle* slot = GetValue(index);
    const auto pick = [&](TcxStyleValue value) -> TcxStyle* {
        if (UseStyle(style, value)) return style;
        return UseStyle(slot, value) ? slot : nullptr;
    };
    TcxStyle* from = useBitmapInViewParams_ ? pick(svBitmap) : nullptr;
    params.Bitmap = from ? from->Bitmap() : nullptr;
    params.Color = (from = pick(svColor)) ? from->Color() : clDefault;
    params.Font = (from = pick(svFont)) ? from->Font() : nullptr;
    params.TextColor = (from = pick(svTextColor)) ? from->TextColor() : clDefault;
    if ((!useBitmapInViewParams_ || params.Bitmap) && params.Color != clDefault && params.Font &&
        params.TextColor != clDefault)
        return;
    TcxViewParams defaults;
    GetDefaultViewParams(index, data, defaults);
    if (!params.Bitmap) params.Bitmap = defaults.Bitmap;
    if (params.Color == clDefault) params.Color = defaults.Color;
    if (!params.Font) params.Font = defaults.Font;
    if (params.TextColor == clDefault) params.TextColor = defaults.TextColor;
}

TBitmap* TcxStyles::GetBitmap(int index)
{
    TcxStyle* style = GetValue(index);
    return UseStyle(style, svBitmap) && !style->Bitmap()->Empty() ? style->Bitmap() : nullptr;
}

void TcxStyles::DefaultFontChanged(TObject*, TFont* font)
{
    for (int index = 0; index <= maxDefaultViewParamsIndex_; ++index) {
        if (!IsDefaultFont(index)) continue;
        TcxViewParams params;
        GetDefaultViewParams(index, nullptr, params);
        if (params.Font == font) DoChanged(index);
    }
}

// ---- repository ----------------------------------------------------------------------

TClass TcxStyleRepository::StaticClass()
{
    return DefineClass<TcxStyleRepository, TComponent>("TcxStyleRepository");
}

TcxCustomStyle* TcxStyleRepository::CreateItem(TClass styleClass)
{
    return CreateItemEx(styleClass, this);
}

TcxCustomStyle* TcxStyleRepository::CreateItemEx(TClass styleClass, TComponent* owner)
{
    auto* style = CreateInstance<TcxCustomStyle>(styleClass, owner);
    style->SetStyleRepository(this);
    return style;
}

TcxCustomStyleSheet* TcxStyleRepository::CreateStyleSheet(TClass sheetClass)
{
    return CreateStyleSheetEx(sheetClass, this);
}

TcxCustomStyleSheet* TcxStyleRepository::CreateStyleSheetEx(TClass sheetClass, TComponent* owner)
{
    auto* sheet = CreateInstance<TcxCustomStyleSheet>(sheetClass, owner);
    sheet->SetStyleRepository(this);
    return sheet;
}

TcxCustomStyle* TcxStyleRepository::GetItem(int index) const
{
    if (index < 0 || index >= GetCount()) throw EListError(Format(messages::SListIndexError, index));
    return styles_[static_cast<std::size_t>(index)];
}

TcxCustomStyleSheet* TcxStyleRepository::GetStyleSheet(int index) const
{
    if (index < 0 || index >= GetStyleSheetCount()) throw EListError(Format(messages::SListIndexError, index));
    return sheets_[static_cast<std::size_t>(index)];
}

int TcxStyleRepository::StyleIndexOf(const TcxCustomStyle* style) const
{
    return IndexIn(styles_, style);
}

int TcxStyleRepository::StyleSheetIndexOf(const TcxCustomStyleSheet* sheet) const
{
    return IndexIn(sheets_, sheet);
}

void TcxStyleRepository::AddItem(TcxCustomStyle* style)
{
    AddOnce(styles_, style);
}

void TcxStyleRepository::AddStyleSheet(TcxCustomStyleSheet* sheet)
{
    AddOnce(sheets_, sheet);
}

void TcxStyleRepository::RemoveItem(TcxCustomStyle* style)
{
    std::erase(styles_, style);
}

void TcxStyleRepository::RemoveStyleSheet(TcxCustomStyleSheet* sheet)
{
    std::erase(sheets_, sheet);
}

void TcxStyleRepository::Clear()
{
    FreeAllFromLast(styles_);
}

void TcxStyleRepository::ClearStyleSheets()
{
    FreeAllFromLast(sheets_);
}

void TcxStyleRepository::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    for (TcxCustomStyle* style : styles_)
        if (style->Owner() == root) proc(style);
    for (TcxCustomStyleSheet* sheet : sheets_)
        if (sheet->Owner() == root) proc(sheet);
}

void TcxStyleRepository::Destroy()
{
    Clear();
    ClearStyleSheets();
    TComponent::Destroy();
}

// ---- style sheets ------------------------------------------------------------------

TClass TcxCustomStyleSheet::StaticClass()
{
    return DefineClass<TcxCustomStyleSheet, TcxComponent>("TcxCustomStyleSheet", [](ClassBuilder<TcxCustomStyleSheet>& b) {
        b.Property("Caption", &TcxCustomStyleSheet::Caption, &TcxCustomStyleSheet::SetCaption)
            .Stored([](const TcxCustomStyleSheet& sheet) { return !sheet.caption_.empty(); });
    });
}

void TcxCustomStyleSheet::Construct(TComponent* owner)
{
    TcxComponent::Construct(owner);
    builtIn_ = ComponentState().Contains(csDesigning);
    styles_.reset(CreateInstance<TcxCustomStyles>(GetStylesClass(), static_cast<TPersistent*>(this)));
    styles_->owningSheet_ = this;
}

TClass TcxCustomStyleSheet::GetStylesClass() const
{
    return TcxCustomStyles::StaticClass();
}

void TcxCustomStyleSheet::DefineProperties(TFiler& filer)
{
    TcxComponent::DefineProperties(filer);
    filer.DefineProperty(
        "BuiltIn", [this](TReader& reader) { builtIn_ = reader.ReadBoolean(); },
        [this](TWriter& writer) { writer.WriteBoolean(builtIn_); }, true);
}

std::string TcxCustomStyleSheet::Caption() const
{
    return caption_.empty() ? Name() : caption_;
}

void TcxCustomStyleSheet::SetCaption(const std::string& value)
{
    caption_ = AnsiSameText(value, Name()) ? std::string() : value;
}

void TcxCustomStyleSheet::SetStyles(TcxCustomStyles* value)
{
    styles_->Assign(value);
}

void TcxCustomStyleSheet::SetStyleRepository(TcxStyleRepository* value)
{
    if (value == repository_) return;
    if (repository_) repository_->RemoveStyleSheet(this);
    repository_ = value;
    if (repository_) repository_->AddStyleSheet(this);
}

int TcxCustomStyleSheet::GetIndex() const
{
    return repository_ ? repository_->StyleSheetIndexOf(this) : -1;
}

void TcxCustomStyleSheet::AddStyles(TcxCustomStyles* styles)
{
    AddOnce(users_, styles);
}

void TcxCustomStyleSheet::RemoveStyles(TcxCustomStyles* styles)
{
    std::erase(users_, styles);
}

void TcxCustomStyleSheet::DoStyleChanged(int index)
{
    const std::vector<TcxCustomStyles*> users = users_;
    for (TcxCustomStyles* styles : users)
        if (IndexIn(users_, styles) >= 0) styles->DoChanged(index);
    UpdateFakeLinks();
}

void TcxCustomStyleSheet::GetFakeComponentLinks(std::vector<TComponent*>& list)
{
    if (!Owner()) return;
    for (int i = 0; i < styles_->GetCount(); ++i) {
        TComponent* owner = styles_->GetItem(i).Style->Owner();
        if (owner != Owner()) AddOnce(list, owner);
    }
}

void TcxCustomStyleSheet::Assign(TPersistent* source)
{
    auto* sheet = As<TcxCustomStyleSheet>(source);
    if (!sheet) return TcxComponent::Assign(source);
    SetCaption(sheet->Caption());
    SetStyles(sheet->GetStyles());
}

void TcxCustomStyleSheet::CopyFrom(TcxCustomStyleSheet* source)
{
    if (!source || source->GetStylesClass() != GetStylesClass()) return;
    TcxCustomStyles* from = source->GetStyles();
    for (int i = 0; i < from->GetCount(); ++i) {
        const TcxStyleEntry entry = from->GetItem(i);
        TcxCustomStyle* style = repository_ ? repository_->CreateItemEx(entry.Style->ClassType(), repository_->Owner())
                                            : CreateInstance<TcxCustomStyle>(entry.Style->ClassType(), Owner());
        style->Assign(entry.Style);
        styles_->SetValue(entry.Index, style);
    }
}

void TcxCustomStyleSheet::ReadState(TReader& reader)
{
    TcxComponent::ReadState(reader);
    SetStyleRepository(RepositoryParent(reader.Parent()));
}

TComponent* TcxCustomStyleSheet::GetParentComponent() const
{
    return repository_;
}

void TcxCustomStyleSheet::SetParentComponent(TComponent* parent)
{
    if (!IsLoading()) SetStyleRepository(RepositoryParent(parent));
}

void TcxCustomStyleSheet::Destroy()
{
    FreeAllUsers();
    SetStyleRepository(nullptr);
    styles_.reset();
    TcxComponent::Destroy();
}

void TcxCustomStyleSheet::FreeAllUsers()
{
    // Every set that uses the sheet lets go of it, the last first.
    while (!users_.empty()) {
        TcxCustomStyles* last = users_.back();
        last->SetStyleSheet(nullptr);
        if (!users_.empty() && users_.back() == last) users_.pop_back();
    }
}

// ---- unit functions ------------------------------------------------------------------

bool UseStyle(TcxStyle* style, TcxStyleValue value)
{
    return style && style->AssignedValues().Contains(value);
}

TcxStyleValues CombineParamsWithStyle(TcxStyle* style, TcxStyleValues values, TcxViewParams& params)
{
    if (!style || values == cxAllStyleValues || style->IsDestroying()) return values;
    const TcxStyleValues assigned = style->AssignedValues();
    const auto take = [&](TcxStyleValue value) {
        if (values.Contains(value) || !assigned.Contains(value)) return false;
        values.Include(value);
        return true;
    };
    if (take(svColor)) params.Color = style->Color();
    if (style->Font() && take(svFont)) params.Font = style->Font();
    if (take(svTextColor)) params.TextColor = style->TextColor();
    if (take(svBitmap)) params.Bitmap = style->Bitmap();
    return values;
}

namespace {
// The published properties of a styles class declared exactly as TcxStyle,
// in alphabetical order of name.
std::vector<const TPropInfo*> StyleProperties(TcxCustomStyles* styles)
{
    std::vector<const TPropInfo*> result;
    for (const TPropInfo* prop : GetPropList(styles))
        if (prop->GetObject && prop->ObjectClass == TcxStyle::StaticClass()) result.push_back(prop);
    std::stable_sort(result.begin(), result.end(),
                     [](const TPropInfo* a, const TPropInfo* b) { return CompareText(a->Name, b->Name) < 0; });
    return result;
}

const TPropInfo* FindStyleProperty(TcxCustomStyles* styles, const std::string& name)
{
    const TPropInfo* prop = GetPropInfo(styles, name);
    return prop && prop->GetObject && prop->ObjectClass == TcxStyle::StaticClass() ? prop : nullptr;
}

TcxStyle* StyleOf(const TPropInfo& prop, TcxCustomStyles* styles)
{
    return As<TcxStyle>(prop.GetObject(*styles));
}

void SetStyleOf(const TPropInfo& prop, TcxCustomStyles* styles, TcxStyle* style)
{
    if (prop.SetObject) prop.SetObject(*styles, style);
}

TcxStyle* NewStyle(TcxStyleRepository* repository, TComponent* owner, const TcxStyleGetName& getName)
{
    auto* style = static_cast<TcxStyle*>(owner ? repository->CreateItemEx(TcxStyle::StaticClass(), owner)
                                               : repository->CreateItem(TcxStyle::StaticClass()));
    if (getName) style->SetName(getName(style));
    return style;
}
}  // namespace

void CreateStyleSheetStyles(TcxCustomStyleSheet* dest, TcxCustomStyleSheet* source, const TcxStyleGetName& getName)
{
    if (!dest || !source || dest->GetStylesClass() != source->GetStylesClass()) return;
    TcxCustomStyles* to = dest->GetStyles();
    for (const TPropInfo* prop : StyleProperties(to)) {
        TcxStyle* from = StyleOf(*prop, source->GetStyles());
        TcxStyle* style = StyleOf(*prop, to);
        if (from && style) {
            style->Assign(from);
        } else if (from) {
            if (!dest->StyleRepository() || from->AssignedValues().Empty()) continue;
            style = NewStyle(dest->StyleRepository(), dest->Owner(), getName);
            style->Assign(from);
            SetStyleOf(*prop, to, style);
        } else {
            SetStyleOf(*prop, to, nullptr);
        }
    }
}

namespace {
std::unique_ptr<std::vector<TClass>>& RegisteredSheetClasses()
{
    static std::unique_ptr<std::vector<TClass>> classes;
    return classes;
}
}  // namespace

void RegisterStyleSheetClass(TClass sheetClass)
{
    auto& classes = RegisteredSheetClasses();
    if (!classes) classes = std::make_unique<std::vector<TClass>>();
    if (std::find(classes->begin(), classes->end(), sheetClass) == classes->end()) classes->push_back(sheetClass);
}

void UnregisterStyleSheetClass(TClass sheetClass)
{
    if (auto& classes = RegisteredSheetClasses()) std::erase(*classes, sheetClass);
}

void GetRegisteredStyleSheetClasses(std::vector<TClass>& list)
{
    list.clear();
    if (auto& classes = RegisteredSheetClasses()) list = *classes;
}

void cxStylesInitialize()
{
    for (TClass cls : {TcxCustomStyle::StaticClass(), TcxCustomStyleSheet::StaticClass(), TcxStyleRepository::StaticClass()})
        GroupDescendentsWith(cls, TControl::StaticClass());
    RegisterClass(TcxStyle::StaticClass());
}

void cxStylesFinalize()
{
    RegisteredSheetClasses().reset();
}

// ---- style-sheet INI files -----------------------------------------------------------

namespace {

constexpr std::size_t kBitmapChunk = 2047;

std::string ColorText(const TcxStyle& style, TcxStyleValue value, TColor color)
{
    return style.AssignedValues().Contains(value) ? IntToStr(color) : std::string("default");
}

std::string StyleValueText(const TcxStyle& style)
{
    std::string text = ColorText(style, svColor, style.Color()) + "," + ColorText(style, svTextColor, style.TextColor());
    if (!style.AssignedValues().Contains(svFont)) return text;
    const TFont& font = *style.Font();
    std::string letters;
    const TFontStyles styles = font.Style();
    for (const auto& [flag, letter] : {std::pair{fsBold, 'B'}, {fsItalic, 'I'}, {fsUnderline, 'U'}, {fsStrikeOut, 'S'}})
        if (styles.Contains(flag)) letters += letter;
    return text + "," + font.Name() + "," + IntToStr(font.Size()) + ",[" + letters + "]";
}

struct IniValue {
    std::string Key;
    std::string Value;
};

// A sheet's section: its keys and values in the order they are written.
struct SheetSection {
    std::string Name;
    std::vector<IniValue> Values;
};

void AddBitmapChunks(SheetSection& section, const std::string& name, TBitmap& bitmap)
{
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    const auto& bytes = stream.Bytes();
    const std::string hex = StringToHexString(std::string(bytes.begin(), bytes.end()));
    for (std::size_t start = 0, n = 0; start < hex.size(); start += kBitmapChunk, ++n)
        section.Values.push_back({name + "Bitmap" + std::to_string(n), hex.substr(start, kBitmapChunk)});
}

SheetSection CollectSheet(TcxCustomStyleSheet& sheet)
{
    SheetSection section{sheet.Caption(), {}};
    TcxCustomStyles* styles = sheet.GetStyles();
    for (const TPropInfo* prop : StyleProperties(styles)) {
        TcxStyle* style = StyleOf(*prop, styles);
        if (!style) continue;
        section.Values.push_back({prop->Name, StyleValueText(*style)});
        TBitmap& bitmap = *style->Bitmap();
        if (style->AssignedValues().Contains(svBitmap) && bitmap.Width() >= 1 && bitmap.Height() >= 1)
            AddBitmapChunks(section, prop->Name, bitmap);
    }
    return section;
}

TColor ColorOf(const std::string& text)
{
    return SameText(text, "default") ? clDefault : StrToInt(text);
}

// "name[,size[,letters]]"; a size that is no integer is skipped.
void ParseFont(TcxStyle& style, const std::string& text)
{
    TFont& font = *style.Font();
    const std::size_t comma = text.find(',');
    font.SetName(text.substr(0, comma));
    if (comma != std::string::npos) {
        const std::string rest = text.substr(comma + 1);
        const std::size_t next = rest.find(',');
        int size = 0;
        if (TryStrToInt(rest.substr(0, next), size)) font.SetSize(size);
        if (next != std::string::npos) {
            TFontStyles styles = font.Style();
            for (char c : rest.substr(next + 1)) {
                if (c == 'B') styles.Include(fsBold);
                else if (c == 'I') styles.Include(fsItalic);
                else if (c == 'U') styles.Include(fsUnderline);
                else if (c == 'S') styles.Include(fsStrikeOut);
            }
            font.SetStyle(styles);
        }
    }
    // A font given in the file counts as assigned even when it matches.
    style.SetAssignedValues(style.AssignedValues() + TcxStyleValues{svFont});
}

// "colour[,text colour[,font]]"; a colour that is neither "default" nor an
// integer raises EConvertError.
void ParseStyleValue(TcxStyle& style, const std::string& text)
{
    const std::size_t comma = text.find(',');
    style.SetColor(ColorOf(text.substr(0, comma)));
    if (comma == std::string::npos) return;
    const std::string rest = text.substr(comma + 1);
    const std::size_t next = rest.find(',');
    style.SetTextColor(ColorOf(rest.substr(0, next)));
    if (next != std::string::npos) ParseFont(style, rest.substr(next + 1));
}

// Hex digits of either case to bytes; false for any other character.
bool DecodeHex(const std::string& text, std::string& bytes)
{
    try {
        bytes = HexStringToString(text);
        return true;
    } catch (const EcxHexStringConvertError&) {
        return false;
    }
}

// Joins the chunks of a bitmap key and loads them into the property's
// style; returns the number of keys consumed. A bitmap key before its value
// key, without chunk 0, or with data that is no bitmap leaves the style
// without a bitmap.
int LoadBitmap(TCustomIniFile& ini, const std::string& section, const std::string& name, TcxStyle* style)
{
    const std::string prefix = name + "Bitmap";
    if (!style || !ini.ValueExists(section, prefix + "0")) return 1;
    std::string hex;
    int chunks = 0;
    for (; ini.ValueExists(section, prefix + std::to_string(chunks)); ++chunks)
        hex += ini.ReadString(section, prefix + std::to_string(chunks), "");
    std::string bytes;
    if (!DecodeHex(hex, bytes) || bytes.empty()) return chunks;
    TMemoryStream stream(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    try {
        style->Bitmap()->LoadFromStream(stream);
    } catch (const Exception&) {
        style->SetBitmap(nullptr);
    }
    return chunks;
}

struct SheetLoad {
    TCustomIniFile& ini;
    TcxStyleRepository* repository;
    TComponent* owner;
    const TcxStyleGetName& getName;
};

void LoadSheetKeys(const SheetLoad& load, const std::string& section, const std::vector<std::string>& keys,
                   TcxCustomStyles* styles)
{
    std::size_t position = 0;
    while (position < keys.size()) {
        const std::string& key = keys[position];
        const std::size_t word = key.find("Bitmap");
        const std::string name = word == std::string::npos ? key : key.substr(0, word);
        const TPropInfo* prop = key.empty() ? nullptr : FindStyleProperty(styles, name);
        if (!prop) {
            ++position;
        } else if (word != std::string::npos) {
            position += static_cast<std::size_t>(LoadBitmap(load.ini, section, name, StyleOf(*prop, styles)));
        } else {
            TcxStyle* style = NewStyle(load.repository, load.owner, load.getName);
            ParseStyleValue(*style, load.ini.ReadString(section, key, ""));
            SetStyleOf(*prop, styles, style);
            ++position;
        }
    }
}

}  // namespace

void SaveStyleSheetsToIniFile(const std::string& fileName, const std::vector<TcxCustomStyleSheet*>& sheets)
{
    // Everything is gathered before the file is touched, so a sheet that
    // fails leaves the file as it was.
    std::vector<SheetSection> sections;
    for (TcxCustomStyleSheet* sheet : sheets)
        if (sheet) sections.push_back(CollectSheet(*sheet));
    bool written = false;
    {
        auto ini = MakeObject<TIniFile>(fileName);
        for (const SheetSection& section : sections) {
            // Keys of styles the sheet no longer has would come back on loading.
            ini->EraseSection(section.Name);
            for (const IniValue& value : section.Values) ini->WriteString(section.Name, value.Key, value.Value);
            written = written || !section.Values.empty();
        }
    }
    // Only a save that ran to its end may leave the file empty.
    if (!written) MakeObject<TFileStream>(fileName, fmCreate);
}

void LoadStyleSheetsFromIniFile(const std::string& fileName, TcxStyleRepository* repository, TClass sheetClass,
                                TStrings* sectionNames, TComponent* owner, std::vector<TcxCustomStyleSheet*>* sheets,
                                const TcxStyleGetName& getName)
{
    auto ini = MakeObject<TIniFile>(fileName);
    auto sections = MakeObject<TStringList>();
    if (sectionNames && sectionNames->Count() > 0) sections->Assign(sectionNames);
    else ini->ReadSections(sections.get());
    const SheetLoad load{*ini, repository, owner, getName};
    auto keys = MakeObject<TStringList>();
    for (const std::string& section : sections->ToVector()) {
        ini->ReadSection(section, keys.get());
        if (keys->Count() == 0) continue;
        TcxCustomStyleSheet* sheet =
            owner ? repository->CreateStyleSheetEx(sheetClass, owner) : repository->CreateStyleSheet(sheetClass);
        if (sheets) sheets->push_back(sheet);
        sheet->SetCaption(section);
        LoadSheetKeys(load, section, keys->ToVector(), sheet->GetStyles());
    }
}
