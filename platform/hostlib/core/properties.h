#pragma once
// Published properties and methods: the run-time type information that
// form resources, the object inspector-like code and Assign helpers use.
//
// Registration, next to a class:
//     TClass TMyButton::StaticClass()
//     {
//         return DefineClass<TMyButton, TControl>("TMyButton", [](ClassBuilder<TMyButton>& b) {
//             b.Property("Caption", &TMyButton::Caption, &TMyButton::SetCaption);
//             b.Property("Kind", &TMyButton::Kind, &TMyButton::SetKind).Default(bkNormal);
//             b.Property("Font", &TMyButton::Font, &TMyButton::SetFont);
//             b.EventProperty("OnClick", &TMyButton::OnClick);
//         });
//     }
// The kind follows from the getter's type: bool, char, integers, enums
// (which declare `const TEnumInfo& EnumTypeInfo(E*)` next to themselves),
// TSet<E>, float/double, Currency, std::string, Variant, and pointers to
// library classes (component references, string lists, collections and
// other persistent sub-objects).

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "platform/hostlib/core/currency.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/variant.h"

namespace hostlib {

enum TPropKind {
    pkInteger,
    pkInt64,
    pkChar,
    pkEnumeration,
    pkBoolean,
    pkSet,
    pkFloat,
    pkCurrency,
    pkString,
    pkVariant,
    pkObject,     // a persistent sub-object, written inline
    pkComponent,  // a reference to a component, written by name
    pkEvent,
    pkStrings,
    pkCollection,
};

// Names of an enumeration's values, from MinValue up.
struct TEnumInfo {
    std::string Name;
    std::vector<std::string> Names;
    int MinValue = 0;

    int MaxValue() const { return MinValue + static_cast<int>(Names.size()) - 1; }
    // Case-insensitive; -1 (or MinValue - 1 when MinValue <= -1) when absent.
    bool TryValueOf(std::string_view name, int& value) const;
    // "" for a value out of range.
    std::string NameOf(int value) const;
};

// A set of enumeration values (ordinals 0..63).
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items)
    {
        for (E e : items) Include(e);
    }
    static constexpr TSet FromBits(std::uint64_t bits)
    {
        TSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr std::uint64_t Bits() const { return bits_; }
    constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr void Include(E e) { bits_ |= Bit(e); }
    constexpr void Exclude(E e) { bits_ &= ~Bit(e); }
    constexpr bool Empty() const { return bits_ == 0; }
    friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.bits_ | b.bits_); }
    friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.bits_ & ~b.bits_); }
    friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.bits_ & b.bits_); }
    friend constexpr bool operator==(TSet a, TSet b) = default;

private:
    static constexpr std::uint64_t Bit(E e)
    {
        const auto v = static_cast<std::uint64_t>(e);
        return v < 64 ? (std::uint64_t{1} << v) : 0;
    }
    std::uint64_t bits_ = 0;
};

// Identifier names of integer values (colours, cursors).
struct TIdentMapEntry {
    int Value = 0;
    std::string Name;
};
using TIdentMap = std::vector<TIdentMapEntry>;
bool IdentToInt(const TIdentMap& map, std::string_view ident, int& value);
bool IntToIdent(const TIdentMap& map, int value, std::string& ident);

struct TPropInfo {
    std::string Name;
    TPropKind Kind = pkInteger;
    const TEnumInfo* EnumType = nullptr;  // enumerations and sets
    const TIdentMap* Idents = nullptr;    // integers with identifiers
    TClass ObjectClass = nullptr;         // object kinds: the declared class
    std::type_index EventType = std::type_index(typeid(void));
    bool ReadOnly = false;
    // The value not written by the writer; absent means always written
    // (strings and floats default to '' and 0 like the host library's).
    std::optional<Variant> DefaultValue;
    std::function<bool(const TObject&)> StoredFn;  // empty means stored

    // Value kinds (ordinals and characters as integers, sets as bit masks).
    std::function<Variant(const TObject&)> GetValue;
    std::function<void(TObject&, const Variant&)> SetValue;
    // Object kinds.
    std::function<TObject*(const TObject&)> GetObject;
    std::function<void(TObject&, TObject*)> SetObject;
    // Events.
    std::function<TEventBase*(TObject&)> EventField;
};

// A published method that an event of a matching signature can be bound to.
struct TMethodInfo {
    std::string Name;
    std::type_index Signature = std::type_index(typeid(void));
    // Binds the event to this method of instance; false on a signature clash.
    std::function<bool(TObject& instance, TEventBase& event)> Bind;
};

// Classifies a property of a pointer-to-class type by the declared class.
TPropKind ClassifyObjectProperty(TClass cls);

namespace detail {

template <class X>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {
    using Element = E;
};

template <class R>
Variant ToVariant(const R& v)
{
    if constexpr (std::is_same_v<R, bool>) return Variant(v);
    else if constexpr (std::is_same_v<R, char>) return Variant(static_cast<std::int32_t>(static_cast<unsigned char>(v)));
    else if constexpr (std::is_enum_v<R>) return Variant(static_cast<std::int32_t>(v));
    else if constexpr (IsTSet<R>::value) return Variant(static_cast<long long>(v.Bits()));
    else if constexpr (std::is_integral_v<R> && sizeof(R) <= 4) return Variant(static_cast<std::int32_t>(v));
    else if constexpr (std::is_integral_v<R>) return Variant(static_cast<long long>(v));
    else if constexpr (std::is_floating_point_v<R>) return Variant(static_cast<double>(v));
    else if constexpr (std::is_same_v<R, Currency>) return Variant(v);
    else if constexpr (std::is_same_v<R, std::string>) return Variant(v);
    else if constexpr (std::is_same_v<R, Variant>) return v;
    else static_assert(sizeof(R) == 0, "unsupported property type");
}

template <class R>
R FromVariant(const Variant& v)
{
    if constexpr (std::is_same_v<R, bool>) return v.AsBoolean();
    else if constexpr (std::is_same_v<R, char>) {
        // A character is an ordinal; a one-character text gives its code.
        if (VarIsStr(v)) {
            const std::string s = v.AsString();
            return s.empty() ? '\0' : s[0];
        }
        return static_cast<char>(v.AsInteger());
    } else if constexpr (std::is_enum_v<R>) return static_cast<R>(v.AsInteger());
    else if constexpr (IsTSet<R>::value) return R::FromBits(static_cast<std::uint64_t>(v.AsInt64()));
    else if constexpr (std::is_integral_v<R> && sizeof(R) <= 4) return static_cast<R>(v.AsInt64());
    else if constexpr (std::is_integral_v<R>) return static_cast<R>(v.AsInt64());
    else if constexpr (std::is_floating_point_v<R>) return static_cast<R>(v.AsDouble());
    else if constexpr (std::is_same_v<R, Currency>) return v.AsCurrency();
    else if constexpr (std::is_same_v<R, std::string>) return v.AsString();
    else if constexpr (std::is_same_v<R, Variant>) return v;
    else static_assert(sizeof(R) == 0, "unsupported property type");
}

template <class R>
TPropKind KindOf()
{
    if constexpr (std::is_same_v<R, bool>) return pkBoolean;
    else if constexpr (std::is_same_v<R, char>) return pkChar;
    else if constexpr (std::is_enum_v<R>) return pkEnumeration;
    else if constexpr (IsTSet<R>::value) return pkSet;
    else if constexpr (std::is_integral_v<R> && sizeof(R) <= 4) return pkInteger;
    else if constexpr (std::is_integral_v<R>) return pkInt64;
    else if constexpr (std::is_floating_point_v<R>) return pkFloat;
    else if constexpr (std::is_same_v<R, Currency>) return pkCurrency;
    else if constexpr (std::is_same_v<R, std::string>) return pkString;
    else return pkVariant;
}

}  // namespace detail

template <class T>
class ClassBuilder {
public:
    explicit ClassBuilder(TClassInfo& info) : info_(info) {}

    class PropRef {
    public:
        explicit PropRef(TPropInfo& p) : p_(p) {}
        template <class V>
        PropRef& Default(const V& value)
        {
            if constexpr (std::is_same_v<V, Variant>) p_.DefaultValue = value;
            else p_.DefaultValue = detail::ToVariant<V>(value);
            return *this;
        }
        PropRef& Default(const char* value)
        {
            p_.DefaultValue = Variant(std::string(value));
            return *this;
        }
        PropRef& NoDefault()
        {
            p_.DefaultValue.reset();
            return *this;
        }
        PropRef& Stored(bool stored)
        {
            p_.StoredFn = [stored](const TObject&) { return stored; };
            return *this;
        }
        // A member function (bool () const) or a callable taking const T&.
        template <class F>
        PropRef& Stored(F fn)
        {
            p_.StoredFn = [fn](const TObject& o) { return static_cast<bool>(std::invoke(fn, static_cast<const T&>(o))); };
            return *this;
        }
        PropRef& Idents(const TIdentMap* map)
        {
            p_.Idents = map;
            return *this;
        }
        PropRef& Kind(TPropKind kind)
        {
            p_.Kind = kind;
            return *this;
        }

    private:
        TPropInfo& p_;
    };

    // getter: member function or callable taking const T&; setter: member
    // function or callable taking (T&, value), or nullptr for read-only.
    template <class G, class S = std::nullptr_t>
    PropRef Property(std::string name, G getter, S setter = nullptr)
    {
        using R = std::remove_cvref_t<std::invoke_result_t<G, const T&>>;
        auto p = std::make_unique<TPropInfo>();
        p->Name = std::move(name);
        p->ReadOnly = std::is_same_v<S, std::nullptr_t>;
        if constexpr (std::is_pointer_v<R>) {
            using U = std::remove_cv_t<std::remove_pointer_t<R>>;
            p->ObjectClass = U::StaticClass();
            p->Kind = ClassifyObjectProperty(p->ObjectClass);
            p->GetObject = [getter](const TObject& o) -> TObject* {
                return const_cast<U*>(std::invoke(getter, static_cast<const T&>(o)));
            };
            if constexpr (!std::is_same_v<S, std::nullptr_t>) {
                p->SetObject = [setter](TObject& o, TObject* v) { std::invoke(setter, static_cast<T&>(o), dynamic_cast<U*>(v)); };
            }
        } else {
            p->Kind = detail::KindOf<R>();
            if constexpr (std::is_enum_v<R>) p->EnumType = &EnumTypeInfo(static_cast<R*>(nullptr));
            if constexpr (detail::IsTSet<R>::value)
                p->EnumType = &EnumTypeInfo(static_cast<typename detail::IsTSet<R>::Element*>(nullptr));
            p->GetValue = [getter](const TObject& o) {
                return detail::ToVariant<R>(std::invoke(getter, static_cast<const T&>(o)));
            };
            if constexpr (!std::is_same_v<S, std::nullptr_t>) {
                p->SetValue = [setter](TObject& o, const Variant& v) {
                    std::invoke(setter, static_cast<T&>(o), detail::FromVariant<R>(v));
                };
            }
        }
        TPropInfo& ref = *p;
        info_.AddProperty(std::move(p));
        return PropRef(ref);
    }

    // accessor: member function or data member yielding Event<...>&, or a
    // callable taking T&.
    template <class A>
    PropRef EventProperty(std::string name, A accessor)
    {
        using E = std::remove_cvref_t<std::invoke_result_t<A, T&>>;
        auto p = std::make_unique<TPropInfo>();
        p->Name = std::move(name);
        p->Kind = pkEvent;
        p->EventType = std::type_index(typeid(E));
        p->EventField = [accessor](TObject& o) -> TEventBase* { return &std::invoke(accessor, static_cast<T&>(o)); };
        TPropInfo& ref = *p;
        info_.AddProperty(std::move(p));
        return PropRef(ref);
    }

    // A published handler; E is the event type it can be assigned to.
    template <class... Args, class C>
    void Method(std::string name, void (C::*method)(Args...))
    {
        using E = Event<Args...>;
        auto m = std::make_unique<TMethodInfo>();
        m->Name = name;
        m->Signature = std::type_index(typeid(E));
        m->Bind = [method, name](TObject& instance, TEventBase& ev) {
            if (ev.Signature() != std::type_index(typeid(E))) return false;
            C* target = dynamic_cast<C*>(&instance);
            if (!target) return false;
            E bound = E::Bind(target, method);
            bound.SetHandlerName(name);
            static_cast<E&>(ev) = bound;
            return true;
        };
        info_.AddMethod(std::move(m));
    }

private:
    TClassInfo& info_;
};

template <class T, class Parent>
TClass DefineClass(const char* name, void (*publish)(ClassBuilder<T>&))
{
    // The class info lives for the program (function-local static) and is
    // built on first use, never by a static constructor. Publishing runs
    // after the info exists, so a property may name its own class.
    static TClassInfo storage(name, Parent::StaticClass(), detail::FactoryOf<T>());
    static bool published = false;
    if (!published) {
        published = true;
        if (publish) {
            ClassBuilder<T> builder(storage);
            publish(builder);
        }
    }
    return &storage;
}

// ---- generic property access ----------------------------------------------------

// Case-insensitive; nullptr when the object has no such published property.
const TPropInfo* GetPropInfo(const TObject* object, std::string_view name);
std::vector<const TPropInfo*> GetPropList(const TObject* object);
// Raise EPropertyError for unknown or read-only properties and for values
// of the wrong kind.
Variant GetPropValue(const TObject* object, const TPropInfo& prop);
void SetPropValue(TObject* object, const TPropInfo& prop, const Variant& value);
Variant GetPropValue(const TObject* object, std::string_view name);
void SetPropValue(TObject* object, std::string_view name, const Variant& value);
std::int64_t GetOrdProp(const TObject* object, std::string_view name);
void SetOrdProp(TObject* object, std::string_view name, std::int64_t value);
std::string GetStrProp(const TObject* object, std::string_view name);
void SetStrProp(TObject* object, std::string_view name, const std::string& value);
double GetFloatProp(const TObject* object, std::string_view name);
void SetFloatProp(TObject* object, std::string_view name, double value);
std::string GetEnumProp(const TObject* object, std::string_view name);
void SetEnumProp(TObject* object, std::string_view name, std::string_view value);
// "[a,b]" (with brackets) or "a,b".
std::string GetSetProp(const TObject* object, std::string_view name, bool brackets = true);
void SetSetProp(TObject* object, std::string_view name, std::string_view value);
TObject* GetObjectProp(const TObject* object, std::string_view name);
void SetObjectProp(TObject* object, std::string_view name, TObject* value);
TEventBase* GetEventProp(TObject* object, std::string_view name);
bool IsStoredProp(const TObject* object, const TPropInfo& prop);
// True when the writer would leave the property out for its default.
bool IsDefaultPropValue(const TObject* object, const TPropInfo& prop);
// Set text <-> bit mask with an enumeration's names; raise EPropertyError.
std::string SetToString(const TEnumInfo& info, std::uint64_t bits, bool brackets = true);
std::uint64_t StringToSet(const TEnumInfo& info, std::string_view text);

}  // namespace hostlib
