#include "platform/hostlib/core/object.h"

#include <map>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"

namespace hostlib {

TClassInfo::TClassInfo(std::string name, TClass parent, Factory factory)
    : name_(std::move(name)), parent_(parent), factory_(factory)
{
}

TClassInfo::~TClassInfo() = default;

bool TClassInfo::InheritsFrom(TClass other) const
{
    for (TClass c = this; c; c = c->parent_)
        if (c == other) return true;
    return false;
}

TObject* TClassInfo::NewInstance() const
{
    if (!factory_) throw EAbstractError(Format("Cannot create an instance of the abstract class %s", name_));
    return factory_();
}

std::vector<const TPropInfo*> TClassInfo::Properties() const
{
    std::vector<const TPropInfo*> list = parent_ ? parent_->Properties() : std::vector<const TPropInfo*>{};
    for (const auto& p : properties_) {
        bool replaced = false;
        for (auto& existing : list) {
            if (SameText(existing->Name, p->Name)) {
                existing = p.get();
                replaced = true;
                break;
            }
        }
        if (!replaced) list.push_back(p.get());
    }
    return list;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const
{
    for (TClass c = this; c; c = c->parent_)
        for (const auto& p : c->properties_)
            if (SameText(p->Name, name)) return p.get();
    return nullptr;
}

void TClassInfo::AddProperty(std::unique_ptr<TPropInfo> prop)
{
    properties_.push_back(std::move(prop));
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const
{
    for (TClass c = this; c; c = c->parent_)
        for (const auto& m : c->methods_)
            if (SameText(m->Name, name)) return m.get();
    return nullptr;
}

void TClassInfo::AddMethod(std::unique_ptr<TMethodInfo> method)
{
    methods_.push_back(std::move(method));
}

TClass TObject::StaticClass()
{
    static TClassInfo info("TObject", nullptr, &detail::NewOf<TObject>);
    return &info;
}

void TObject::Free()
{
    if (destroyCalled_) return;  // a second Free of the same object is a no-op until delete
    destroyCalled_ = true;
    BeforeDestruction();
    Destroy();
    delete this;
}

// ---- class registry ---------------------------------------------------------------

namespace {
std::map<std::string, TClass>& Registry()
{
    static std::map<std::string, TClass> registry;
    return registry;
}
}  // namespace

void RegisterClass(TClass cls)
{
    if (!cls) return;
    auto& reg = Registry();
    const std::string key = UpperCase(cls->ClassName());
    auto it = reg.find(key);
    if (it != reg.end()) {
        if (it->second == cls) return;
        throw EFilerError(Format("A class named %s already exists", cls->ClassName()));
    }
    reg.emplace(key, cls);
}

void RegisterClasses(std::initializer_list<TClass> classes)
{
    for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass cls)
{
    if (!cls) return;
    auto& reg = Registry();
    auto it = reg.find(UpperCase(cls->ClassName()));
    if (it != reg.end() && it->second == cls) reg.erase(it);
}

TClass GetClass(std::string_view name)
{
    auto& reg = Registry();
    auto it = reg.find(UpperCase(name));
    return it == reg.end() ? nullptr : it->second;
}

TClass FindClass(std::string_view name)
{
    TClass c = GetClass(name);
    if (!c) throw EClassNotFound(Format(messages::SClassNotFound, std::string(name)));
    return c;
}

namespace {
std::map<TClass, TClass>& Groups()
{
    static std::map<TClass, TClass> groups;
    return groups;
}
}  // namespace

void GroupDescendentsWith(TClass cls, TClass groupClass)
{
    if (cls && groupClass) Groups()[cls] = groupClass;
}

TClass ClassGroupOf(TClass cls)
{
    for (TClass c = cls; c; c = c->ClassParent()) {
        auto it = Groups().find(c);
        if (it != Groups().end()) return it->second;
    }
    return nullptr;
}

void ClassCastError(TClass cls, TClass base)
{
    throw EInvalidCast(Format("%s is not a %s", cls ? cls->ClassName() : std::string("nil"), base->ClassName()));
}

void Abort()
{
    throw EAbort("Operation aborted");
}

void AbstractError()
{
    throw EAbstractError(messages::SAbstractError);
}

}  // namespace hostlib
