#include "platform/hostlib/core/properties.h"

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/object.h"

namespace hostlib {

bool TEnumInfo::TryValueOf(std::string_view name, int& value) const
{
    for (std::size_t i = 0; i < Names.size(); ++i) {
        if (SameText(Names[i], name)) {
            value = MinValue + static_cast<int>(i);
            return true;
        }
    }
    return false;
}

std::string TEnumInfo::NameOf(int value) const
{
    const long long i = static_cast<long long>(value) - MinValue;
    if (i < 0 || i >= static_cast<long long>(Names.size())) return {};
    return Names[static_cast<std::size_t>(i)];
}

bool IdentToInt(const TIdentMap& map, std::string_view ident, int& value)
{
    for (const auto& e : map) {
        if (SameText(e.Name, ident)) {
            value = e.Value;
            return true;
        }
    }
    return false;
}

bool IntToIdent(const TIdentMap& map, int value, std::string& ident)
{
    for (const auto& e : map) {
        if (e.Value == value) {
            ident = e.Name;
            return true;
        }
    }
    return false;
}

TPropKind ClassifyObjectProperty(TClass cls)
{
    // By the base class names, so this unit need not know those classes.
    for (TClass c = cls; c; c = c->ClassParent()) {
        const std::string& n = c->ClassName();
        if (n == "TComponent") return pkComponent;
        if (n == "TStrings") return pkStrings;
        if (n == "TCollection") return pkCollection;
    }
    return pkObject;
}

namespace {

const TPropInfo& Require(const TObject* object, std::string_view name)
{
    const TPropInfo* p = object ? GetPropInfo(object, name) : nullptr;
    if (!p) throw EPropertyError(Format(messages::SUnknownProperty, std::string(name)));
    return *p;
}

[[noreturn]] void WrongKind()
{
    throw EPropertyError(messages::SInvalidPropertyValue);
}

}  // namespace

const TPropInfo* GetPropInfo(const TObject* object, std::string_view name)
{
    return object ? object->ClassType()->FindProperty(name) : nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TObject* object)
{
    return object ? object->ClassType()->Properties() : std::vector<const TPropInfo*>{};
}

Variant GetPropValue(const TObject* object, const TPropInfo& prop)
{
    if (!prop.GetValue) WrongKind();
    return prop.GetValue(*object);
}

void SetPropValue(TObject* object, const TPropInfo& prop, const Variant& value)
{
    if (prop.ReadOnly || !prop.SetValue) {
        if (prop.GetValue) throw EPropertyError(Format(messages::SReadOnlyProperty, prop.Name));
        WrongKind();
    }
    switch (prop.Kind) {
    case pkEnumeration: {
        int v = 0;
        if (VarIsStr(value)) {
            if (!prop.EnumType || !prop.EnumType->TryValueOf(value.AsString(), v)) WrongKind();
        } else {
            v = value.AsInteger();
            if (prop.EnumType && (v < prop.EnumType->MinValue || v > prop.EnumType->MaxValue())) WrongKind();
        }
        prop.SetValue(*object, Variant(v));
        return;
    }
    case pkSet:
        if (VarIsStr(value) && prop.EnumType) {
            prop.SetValue(*object, Variant(static_cast<long long>(StringToSet(*prop.EnumType, value.AsString()))));
            return;
        }
        break;
    case pkInteger:
        if (VarIsStr(value) && prop.Idents) {
            int v = 0;
            if (IdentToInt(*prop.Idents, value.AsString(), v)) {
                prop.SetValue(*object, Variant(v));
                return;
            }
        }
        break;
    default: break;
    }
    prop.SetValue(*object, value);
}

Variant GetPropValue(const TObject* object, std::string_view name)
{
    return GetPropValue(object, Require(object, name));
}

void SetPropValue(TObject* object, std::string_view name, const Variant& value)
{
    SetPropValue(object, Require(object, name), value);
}

std::int64_t GetOrdProp(const TObject* object, std::string_view name)
{
    return GetPropValue(object, name).AsInt64();
}

void SetOrdProp(TObject* object, std::string_view name, std::int64_t value)
{
    const TPropInfo& p = Require(object, name);
    if (p.Kind == pkBoolean) SetPropValue(object, p, Variant(value != 0));
    else SetPropValue(object, p, Variant(static_cast<long long>(value)));
}

std::string GetStrProp(const TObject* object, std::string_view name)
{
    return GetPropValue(object, name).AsString();
}

void SetStrProp(TObject* object, std::string_view name, const std::string& value)
{
    SetPropValue(object, name, Variant(value));
}

double GetFloatProp(const TObject* object, std::string_view name)
{
    return GetPropValue(object, name).AsDouble();
}

void SetFloatProp(TObject* object, std::string_view name, double value)
{
    SetPropValue(object, name, Variant(value));
}

std::string GetEnumProp(const TObject* object, std::string_view name)
{
    const TPropInfo& p = Require(object, name);
    const Variant v = GetPropValue(object, p);
    if (p.Kind == pkBoolean) return v.AsBoolean() ? "True" : "False";
    if (p.Kind != pkEnumeration || !p.EnumType) WrongKind();
    return p.EnumType->NameOf(v.AsInteger());
}

void SetEnumProp(TObject* object, std::string_view name, std::string_view value)
{
    const TPropInfo& p = Require(object, name);
    if (p.Kind == pkBoolean) {
        if (SameText(value, "True")) SetPropValue(object, p, Variant(true));
        else if (SameText(value, "False")) SetPropValue(object, p, Variant(false));
        else WrongKind();
        return;
    }
    if (p.Kind != pkEnumeration) WrongKind();
    SetPropValue(object, p, Variant(std::string(value)));
}

std::string SetToString(const TEnumInfo& info, std::uint64_t bits, bool brackets)
{
    std::string out;
    for (int v = std::max(info.MinValue, 0); v <= info.MaxValue() && v < 64; ++v) {
        if (bits & (std::uint64_t{1} << v)) {
            if (!out.empty()) out += ',';
            out += info.NameOf(v);
        }
    }
    return brackets ? "[" + out + "]" : out;
}

std::uint64_t StringToSet(const TEnumInfo& info, std::string_view text)
{
    std::string_view t = text;
    auto trim = [](std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
        return s;
    };
    t = trim(t);
    if (!t.empty() && t.front() == '[') {
        if (t.back() != ']') throw EPropertyError(messages::SInvalidPropertyValue);
        t = trim(t.substr(1, t.size() - 2));
    }
    std::uint64_t bits = 0;
    while (!t.empty()) {
        const std::size_t comma = t.find(',');
        const std::string_view item = trim(t.substr(0, comma));
        int v = 0;
        if (!info.TryValueOf(item, v) || v < 0 || v >= 64)
            throw EPropertyError(Format("Invalid property element: %s", std::string(item)));
        bits |= std::uint64_t{1} << v;
        if (comma == std::string_view::npos) break;
        t = t.substr(comma + 1);
        if (trim(t).empty()) throw EPropertyError(messages::SInvalidPropertyValue);
    }
    return bits;
}

std::string GetSetProp(const TObject* object, std::string_view name, bool brackets)
{
    const TPropInfo& p = Require(object, name);
    if (p.Kind != pkSet || !p.EnumType) WrongKind();
    return SetToString(*p.EnumType, static_cast<std::uint64_t>(GetPropValue(object, p).AsInt64()), brackets);
}

void SetSetProp(TObject* object, std::string_view name, std::string_view value)
{
    const TPropInfo& p = Require(object, name);
    if (p.Kind != pkSet || !p.EnumType) WrongKind();
    SetPropValue(object, p, Variant(static_cast<long long>(StringToSet(*p.EnumType, value))));
}

TObject* GetObjectProp(const TObject* object, std::string_view name)
{
    const TPropInfo& p = Require(object, name);
    if (!p.GetObject) WrongKind();
    return p.GetObject(*object);
}

void SetObjectProp(TObject* object, std::string_view name, TObject* value)
{
    const TPropInfo& p = Require(object, name);
    if (!p.SetObject) {
        if (p.GetObject) throw EPropertyError(Format(messages::SReadOnlyProperty, p.Name));
        WrongKind();
    }
    if (value && p.ObjectClass && !value->InheritsFrom(p.ObjectClass)) WrongKind();
    p.SetObject(*object, value);
}

TEventBase* GetEventProp(TObject* object, std::string_view name)
{
    const TPropInfo& p = Require(object, name);
    if (!p.EventField) WrongKind();
    return p.EventField(*object);
}

bool IsStoredProp(const TObject* object, const TPropInfo& prop)
{
    return !prop.StoredFn || prop.StoredFn(*object);
}

bool IsDefaultPropValue(const TObject* object, const TPropInfo& prop)
{
    if (!prop.GetValue) return false;
    const Variant v = prop.GetValue(*object);
    if (prop.DefaultValue) return VarSameValue(v, *prop.DefaultValue);
    switch (prop.Kind) {
    case pkString: return v.AsString().empty();
    case pkFloat:
    case pkCurrency: return v.AsDouble() == 0;
    case pkVariant: return v.IsEmpty();
    default: return false;
    }
}

}  // namespace hostlib
