#pragma once
// The root class, run-time class information and the by-name class registry.
//
// Every class of the library declares two members:
//     static TClass StaticClass();
//     TClass ClassType() const override { return StaticClass(); }
// and defines StaticClass with DefineClass<T, Parent>("TName", publish), where
// publish registers the class's published properties and methods (see
// properties.h). The name is the one stored in form resources.
//
// Objects are built in two phases so that virtual calls made while an object
// is constructed reach the most-derived override: the C++ constructor only
// sets member defaults; the factory then calls the virtual Construct...
// chain (each override calls its base first) and AfterConstruction.
// Likewise Free runs BeforeDestruction and the virtual Destroy chain (each
// override does its own work, then calls its base) while the object is
// whole, and only then deletes it.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <type_traits>
#include <vector>

#include "platform/system/scope_guard.h"

namespace hostlib {

class TObject;
class TClassInfo;
struct TPropInfo;
struct TMethodInfo;
using TClass = const TClassInfo*;

class TClassInfo {
public:
    using Factory = TObject* (*)();

    TClassInfo(std::string name, TClass parent, Factory factory);
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;
    ~TClassInfo();

    const std::string& ClassName() const { return name_; }
    TClass ClassParent() const { return parent_; }
    bool InheritsFrom(TClass other) const;
    bool IsAbstract() const { return factory_ == nullptr; }
    // A new, default-constructed instance (first phase only); raises
    // EAbstractError for abstract classes.
    TObject* NewInstance() const;

    // Published properties: the ancestors' first, then this class's in
    // declaration order; a redeclared name replaces the ancestor's in place.
    std::vector<const TPropInfo*> Properties() const;
    const std::vector<std::unique_ptr<TPropInfo>>& OwnProperties() const { return properties_; }
    // Case-insensitive; nullptr when absent.
    const TPropInfo* FindProperty(std::string_view name) const;
    void AddProperty(std::unique_ptr<TPropInfo> prop);

    // Published methods (event handlers of forms), case-insensitive.
    const TMethodInfo* FindMethod(std::string_view name) const;
    void AddMethod(std::unique_ptr<TMethodInfo> method);
    const std::vector<std::unique_ptr<TMethodInfo>>& OwnMethods() const { return methods_; }

private:
    std::string name_;
    TClass parent_ = nullptr;
    Factory factory_ = nullptr;
    std::vector<std::unique_ptr<TPropInfo>> properties_;
    std::vector<std::unique_ptr<TMethodInfo>> methods_;
};

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static TClass StaticClass();
    virtual TClass ClassType() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassType()->ClassName(); }
    bool InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }

    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}
    // BeforeDestruction, the Destroy chain, then delete. Safe on nullptr
    // through FreeAndNil / ObjectPtr.
    void Free();
    bool Destroyed() const { return destroyCalled_; }

protected:
    // Overrides release what they own, then call their base's Destroy.
    virtual void Destroy() {}

private:
    bool destroyCalled_ = false;
};

// Frees an object through its destruction chain.
struct FreeDeleter {
    void operator()(TObject* object) const
    {
        if (object) object->Free();
    }
};
template <class T>
using ObjectPtr = std::unique_ptr<T, FreeDeleter>;

template <class T>
void FreeAndNil(T*& object)
{
    T* o = object;
    object = nullptr;
    if (o) o->Free();
}

namespace detail {
// Runs the second construction phase and AfterConstruction; a failure
// frees the half-built object (its Destroy chain runs) and rethrows.
template <class T, class F>
T* CompleteConstruction(T* object, F&& construct)
{
    quelvo::sys::ScopeGuard freeOnFailure([object] { object->Free(); });
    construct(*object);
    object->AfterConstruction();
    freeOnFailure.Dismiss();
    return object;
}
}  // namespace detail

// Creates an object. Classes with a Construct(args...) second phase are
// built in two phases: the C++ constructor, then Construct and
// AfterConstruction. Other classes take the arguments in their C++
// constructor.
template <class T, class... A>
T* CreateObject(A&&... args)
{
    if constexpr (requires(T& t) { t.Construct(std::forward<A>(args)...); }) {
        return detail::CompleteConstruction(new T(), [&](T& t) { t.Construct(std::forward<A>(args)...); });
    } else {
        return detail::CompleteConstruction(new T(std::forward<A>(args)...), [](T&) {});
    }
}

// Creates an object of a class known at run time (a class reference) that
// must derive from Base: NewInstance, then Construct(args...) and
// AfterConstruction. Raises EInvalidCast when the class does not derive
// from Base (and EAbstractError for an abstract class).
[[noreturn]] void ClassCastError(TClass cls, TClass base);
template <class Base, class... A>
Base* CreateInstance(TClass cls, A&&... args)
{
    if (!cls || !cls->InheritsFrom(Base::StaticClass())) ClassCastError(cls, Base::StaticClass());
    return detail::CompleteConstruction(static_cast<Base*>(cls->NewInstance()),
                                        [&](Base& b) { b.Construct(std::forward<A>(args)...); });
}

template <class T, class... A>
ObjectPtr<T> MakeObject(A&&... args)
{
    return ObjectPtr<T>(CreateObject<T>(std::forward<A>(args)...));
}

// Casts with a class check; nullptr when obj is not a T.
template <class T>
T* As(TObject* obj)
{
    return dynamic_cast<T*>(obj);
}
template <class T>
const T* As(const TObject* obj)
{
    return dynamic_cast<const T*>(obj);
}
template <class T>
bool Is(const TObject* obj)
{
    return dynamic_cast<const T*>(obj) != nullptr;
}

// Interfaces are abstract classes without reference counting (the owner
// frees the object); Supports asks an object for one.
template <class I>
I* Supports(TObject* obj)
{
    return dynamic_cast<I*>(obj);
}

namespace detail {
template <class T>
TObject* NewOf()
{
    return new T();
}
template <class T>
constexpr TClassInfo::Factory FactoryOf()
{
    if constexpr (std::is_abstract_v<T> || !std::is_default_constructible_v<T>) return nullptr;
    else return &NewOf<T>;
}
}  // namespace detail

template <class T>
class ClassBuilder;

// Defines the class information of T once; publish (optional) registers
// its published members.
template <class T, class Parent>
TClass DefineClass(const char* name, void (*publish)(ClassBuilder<T>&) = nullptr);

// ---- by-name class registry (for streaming) -----------------------------------

void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
// nullptr when no class of that name (case-insensitive) is registered.
TClass GetClass(std::string_view name);
// Raises EClassNotFound "Class %s not found".
TClass FindClass(std::string_view name);
// Streaming class groups only matter to a form designer, which this
// system has none of; the grouping is kept for ActiveClassGroup-style
// queries and has no other effect.
void GroupDescendentsWith(TClass cls, TClass groupClass);
TClass ClassGroupOf(TClass cls);

}  // namespace hostlib

#include "platform/hostlib/core/properties.h"
