// Reading a form resource into a component tree.

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/update_scope.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/resources.h"
#include "platform/hostlib/core/streams.h"
#include "platform/system/scope_guard.h"

namespace hostlib {

namespace {

// The name written for a component without one.
constexpr std::string_view kUnnamed = "_";

// Collects what an object's DefineProperties hook defines.
class Definer : public TFiler {
public:
    Definer() : TFiler(nullptr) {}

    struct Defined {
        std::string name;
        ReaderProc read;
        StreamProc readBinary;
    };

    void DefineProperty(const std::string& name, ReaderProc read, WriterProc, bool) override
    {
        defined.push_back({name, std::move(read), nullptr});
    }
    void DefineBinaryProperty(const std::string& name, StreamProc read, StreamProc, bool) override
    {
        defined.push_back({name, nullptr, std::move(read)});
    }
    const Defined* Find(std::string_view name) const
    {
        for (const auto& d : defined)
            if (SameText(d.name, name)) return &d;
        return nullptr;
    }

    std::vector<Defined> defined;
};

class FormLoader : public TReader {
public:
    FormLoader(TComponent* root, const std::string& file) : TReader(nullptr), file_(file), root_(root)
    {
        SetRoot(root);
        SetOwner(root);
    }

    // Reads the root object's block into the root.
    void Load(const FormObject& doc)
    {
        if (!SameText(root_->ClassName(), doc.className)) {
            TClass named = GetClass(doc.className);
            if (!named || !root_->InheritsFrom(named))
                Fail(doc.line, "Form class " + doc.className + " does not match " + root_->ClassName());
        }
        loaded_.push_back(root_);
        quelvo::sys::ScopeGuard unwindOnFailure([this] { Unwind(); });
        root_->IncludeState(csLoading);
        root_->IncludeState(csReading);
        if (doc.name != kUnnamed && root_->Name() != doc.name) Guard(doc.line, [&] { root_->SetName(doc.name); });
        SetParent(nullptr);
        pending_ = &doc;
        Guard(doc.line, [&] { root_->ReadState(*this); });
        root_->ExcludeState(csReading);
        FixUp();
        unwindOnFailure.Dismiss();
        // Loaded runs on the form and every new component in creation order.
        for (TComponent* c : loaded_) c->Loaded();
    }

    void ReadData(TComponent* instance) override
    {
        const FormObject* node = pending_;
        pending_ = nullptr;
        if (!node) throw EReadError("No form data for " + instance->Name());
        for (const auto& a : node->properties) Assign(instance, a);
        TComponent* oldParent = Parent();
        SetParent(instance);
        for (const auto& child : node->children) ReadComponent(child);
        SetParent(oldParent);
    }

private:
    struct Fixup {
        TObject* instance;
        const TPropInfo* prop;
        std::string name;
        int line;
    };

    [[noreturn]] void Fail(int line, const std::string& message) const { throw EFormResourceError(file_, line, message); }

    // Runs f, turning errors other than our own into errors with a line.
    template <class F>
    void Guard(int line, F f)
    {
        try {
            f();
        } catch (const EFormResourceError&) {
            throw;
        } catch (const Exception& e) {
            Fail(line, e.Message());
        }
    }

    void Unwind()
    {
        // Free what this load created, newest first, and clear the flags.
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) (*it)->Free();
        created_.clear();
        root_->ExcludeState(csReading);
        root_->ExcludeState(csLoading);
    }

    void ReadComponent(const FormObject& node)
    {
        TClass cls = GetClass(node.className);
        if (!cls) Fail(node.line, Format(messages::SClassNotFound, node.className));
        if (!cls->InheritsFrom(TComponent::StaticClass()) || cls->IsAbstract())
            Fail(node.line, node.className + " is not a component class");
        TComponent* c = nullptr;
        Guard(node.line, [&] { c = CreateComponent(cls, root_); });
        created_.push_back(c);
        loaded_.push_back(c);
        c->IncludeState(csLoading);
        c->IncludeState(csReading);
        if (node.name != kUnnamed) Guard(node.line, [&] { c->SetName(node.name); });
        Guard(node.line, [&] { c->SetParentComponent(Parent()); });
        pending_ = &node;
        Guard(node.line, [&] { c->ReadState(*this); });
        pending_ = nullptr;
        c->ExcludeState(csReading);
    }

    void Assign(TObject* target, const FormAssignment& a)
    {
        TObject* obj = target;
        std::string_view path = a.path;
        while (true) {
            const std::size_t dot = path.find('.');
            const std::string name(path.substr(0, dot));
            const TPropInfo* prop = GetPropInfo(obj, name);
            if (dot == std::string_view::npos) {
                if (prop) {
                    Guard(a.line, [&] { SetValue(obj, *prop, a.value); });
                } else {
                    Defined(obj, name, a);
                }
                return;
            }
            if (!prop) Fail(a.line, "Property " + name + " does not exist in " + obj->ClassName());
            if (!prop->GetObject) Fail(a.line, "Property " + name + " of " + obj->ClassName() + " is not an object");
            TObject* next = prop->GetObject(*obj);
            if (!next) Fail(a.line, "Property " + name + " of " + obj->ClassName() + " is nil");
            obj = next;
            path = path.substr(dot + 1);
        }
    }

    void Defined(TObject* obj, const std::string& name, const FormAssignment& a)
    {
        auto* persistent = As<TPersistent>(obj);
        Definer definer;
        definer.SetRoot(root_);
        if (persistent) persistent->DefineProperties(definer);
        const Definer::Defined* d = definer.Find(name);
        if (!d) Fail(a.line, "Property " + name + " does not exist in " + obj->ClassName());
        if (d->readBinary) {
            if (a.value.kind != FormValue::Binary) Fail(a.line, "Binary data expected for " + name);
            TMemoryStream data(a.value.bytes);
            Guard(a.line, [&] { d->readBinary(data); });
            return;
        }
        // The value goes through the component-stream encoding so the hook
        // reads it with the ordinary reader calls.
        TMemoryStream data;
        {
            TWriter w(&data);
            Encode(w, a.value);
        }
        data.SetPosition(0);
        TStream* saved = Stream();
        SetStream(&data);
        {
            quelvo::sys::ScopeGuard restore([this, saved] { SetStream(saved); });
            Guard(a.line, [&] { d->read(*this); });
        }
        if (data.Position() != data.Size()) Fail(a.line, "Property " + name + " was not read completely");
    }

    void Encode(TWriter& w, const FormValue& v)
    {
        switch (v.kind) {
        case FormValue::Integer: w.WriteInteger(v.integer); break;
        case FormValue::Float: w.WriteFloat(v.number); break;
        case FormValue::String: w.WriteString(v.text); break;
        case FormValue::Ident: w.WriteIdent(v.text); break;
        case FormValue::Binary: w.WriteBinary(v.bytes); break;
        case FormValue::List:
            w.WriteListBegin();
            for (const auto& item : v.items) Encode(w, item);
            w.WriteListEnd();
            break;
        case FormValue::Set: {
            w.WriteValue(vaSet);
            for (const auto& n : v.names) {
                const auto len = static_cast<std::uint8_t>(std::min<std::size_t>(n.size(), 255));
                w.Stream()->WriteBuffer(&len, 1);
                w.Stream()->WriteBuffer(n.data(), len);
            }
            const std::uint8_t zero = 0;
            w.Stream()->WriteBuffer(&zero, 1);
            break;
        }
        case FormValue::Collection: Fail(v.line, "A collection cannot be read by a defined property");
        }
    }

    [[noreturn]] void WrongValue(const TPropInfo& prop, const FormValue& v, const char* expected)
    {
        Fail(v.line, std::string(expected) + " expected for property " + prop.Name);
    }

    void SetValue(TObject* obj, const TPropInfo& prop, const FormValue& v)
    {
        const int line = v.line;
        switch (prop.Kind) {
        case pkInteger:
        case pkInt64:
            if (v.kind == FormValue::Integer) return SetPropValue(obj, prop, Variant(static_cast<long long>(v.integer)));
            if (v.kind == FormValue::Ident && prop.Idents) {
                int value = 0;
                if (!IdentToInt(*prop.Idents, v.text, value)) Fail(line, "Unknown identifier " + v.text + " for property " + prop.Name);
                return SetPropValue(obj, prop, Variant(value));
            }
            WrongValue(prop, v, "An integer");
        case pkChar:
            if (v.kind == FormValue::String && v.text.size() == 1) return SetPropValue(obj, prop, Variant(v.text));
            if (v.kind == FormValue::Integer && v.integer >= 0 && v.integer < 256)
                return SetPropValue(obj, prop, Variant(std::string(1, static_cast<char>(v.integer))));
            WrongValue(prop, v, "A character");
        case pkBoolean:
            if (v.kind == FormValue::Ident && (SameText(v.text, "True") || SameText(v.text, "False")))
                return SetPropValue(obj, prop, Variant(SameText(v.text, "True")));
            WrongValue(prop, v, "True or False");
        case pkEnumeration: {
            int value = 0;
            if (v.kind != FormValue::Ident) WrongValue(prop, v, "An identifier");
            if (!prop.EnumType || !prop.EnumType->TryValueOf(v.text, value))
                Fail(line, "Invalid value " + v.text + " for property " + prop.Name);
            return SetPropValue(obj, prop, Variant(value));
        }
        case pkSet: {
            if (v.kind != FormValue::Set) WrongValue(prop, v, "A set");
            std::uint64_t bits = 0;
            for (const auto& n : v.names) {
                int value = 0;
                if (!prop.EnumType || !prop.EnumType->TryValueOf(n, value) || value < 0 || value >= 64)
                    Fail(line, "Invalid set element " + n + " for property " + prop.Name);
                bits |= std::uint64_t{1} << value;
            }
            return SetPropValue(obj, prop, Variant(static_cast<long long>(bits)));
        }
        case pkFloat:
            if (v.kind == FormValue::Float) return SetPropValue(obj, prop, Variant(v.number));
            if (v.kind == FormValue::Integer) return SetPropValue(obj, prop, Variant(static_cast<double>(v.integer)));
            WrongValue(prop, v, "A number");
        case pkCurrency: {
            if (v.kind != FormValue::Float && v.kind != FormValue::Integer) WrongValue(prop, v, "A number");
            Currency c;
            if (!TryStrToCurr(v.text, c, EnglishFormatSettings())) Fail(line, "Currency value out of range for " + prop.Name);
            return SetPropValue(obj, prop, Variant(c));
        }
        case pkString:
            if (v.kind == FormValue::String) return SetPropValue(obj, prop, Variant(v.text));
            WrongValue(prop, v, "A string");
        case pkVariant:
            switch (v.kind) {
            case FormValue::Integer:
                return SetPropValue(obj, prop, v.integer >= INT32_MIN && v.integer <= INT32_MAX
                                                   ? Variant(static_cast<std::int32_t>(v.integer))
                                                   : Variant(static_cast<long long>(v.integer)));
            case FormValue::Float: return SetPropValue(obj, prop, Variant(v.number));
            case FormValue::String: return SetPropValue(obj, prop, Variant(v.text));
            case FormValue::Ident:
                if (SameText(v.text, "True") || SameText(v.text, "False"))
                    return SetPropValue(obj, prop, Variant(SameText(v.text, "True")));
                if (SameText(v.text, "Null")) return SetPropValue(obj, prop, Null());
                if (SameText(v.text, "Unassigned")) return SetPropValue(obj, prop, Variant());
                break;
            default: break;
            }
            WrongValue(prop, v, "A simple value");
        case pkComponent:
            if (v.kind != FormValue::Ident) WrongValue(prop, v, "A component name");
            if (!prop.SetObject) Fail(line, Format(messages::SReadOnlyProperty, prop.Name));
            if (SameText(v.text, "nil")) return prop.SetObject(*obj, nullptr);
            // A reference may name a component declared further down.
            fixups_.push_back({obj, &prop, v.text, line});
            return;
        case pkEvent: {
            if (v.kind != FormValue::Ident) WrongValue(prop, v, "A handler name");
            TEventBase* ev = prop.EventField(*obj);
            if (SameText(v.text, "nil")) return ev->Clear();
            const TMethodInfo* m = root_->ClassType()->FindMethod(v.text);
            if (!m) Fail(line, "Handler " + v.text + " not found in " + root_->ClassName());
            if (m->Signature != prop.EventType || !m->Bind(*root_, *ev))
                Fail(line, "Handler " + v.text + " does not match event " + prop.Name);
            return;
        }
        case pkStrings: {
            if (v.kind != FormValue::List) WrongValue(prop, v, "A list of strings");
            auto* strings = As<TStrings>(prop.GetObject(*obj));
            if (!strings) Fail(line, "Property " + prop.Name + " is nil");
            for (const auto& item : v.items)
                if (item.kind != FormValue::String) Fail(item.line, "A string expected in list " + prop.Name);
            {
                UpdateScope update(*strings);
                strings->Clear();
                for (const auto& item : v.items) strings->Add(item.text);
            }
            return;
        }
        case pkCollection: {
            if (v.kind != FormValue::Collection) WrongValue(prop, v, "A collection");
            auto* coll = As<TCollection>(prop.GetObject(*obj));
            if (!coll) Fail(line, "Property " + prop.Name + " is nil");
            {
                UpdateScope update(*coll);
                coll->Clear();
                for (const auto& item : v.collection) {
                    TCollectionItem* it = nullptr;
                    Guard(item.line, [&] { it = coll->Add(); });
                    for (const auto& a : item.assignments) Assign(it, a);
                }
            }
            return;
        }
        case pkObject:
            Fail(line, "Property " + prop.Name + " is an object: assign its properties with " + prop.Name + ".Name");
        }
    }

    void FixUp()
    {
        for (const auto& f : fixups_) {
            TComponent* target = SameText(root_->Name(), f.name) ? root_ : root_->FindComponent(f.name);
            if (!target) Fail(f.line, "Component " + f.name + " not found");
            if (f.prop->ObjectClass && !target->InheritsFrom(f.prop->ObjectClass))
                Fail(f.line, "Component " + f.name + " is not a " + f.prop->ObjectClass->ClassName());
            Guard(f.line, [&] { f.prop->SetObject(*f.instance, target); });
        }
        fixups_.clear();
    }

    std::string file_;
    TComponent* root_;
    const FormObject* pending_ = nullptr;
    std::vector<TComponent*> created_;
    std::vector<TComponent*> loaded_;
    std::vector<Fixup> fixups_;
};

}  // namespace

void ReadFormResource(TComponent* root, std::string_view text, const std::string& fileName)
{
    if (!root) throw EReadError("No component to read the form into");
    const FormObject doc = ParseFormResource(text, fileName);
    FormLoader loader(root, fileName);
    loader.Load(doc);
}

TComponent* CreateFromFormResource(std::string_view text, const std::string& fileName, TComponent* owner)
{
    const FormObject doc = ParseFormResource(text, fileName);
    TClass cls = GetClass(doc.className);
    if (!cls) throw EFormResourceError(fileName, doc.line, Format(messages::SClassNotFound, doc.className));
    if (!cls->InheritsFrom(TComponent::StaticClass()) || cls->IsAbstract())
        throw EFormResourceError(fileName, doc.line, doc.className + " is not a component class");
    TComponent* root = CreateComponent(cls, owner);
    quelvo::sys::ScopeGuard freeOnFailure([root] { root->Free(); });
    {
        FormLoader loader(root, fileName);
        loader.Load(doc);
    }
    freeOnFailure.Dismiss();
    return root;
}

void ReadFormResourceByName(TComponent* root, const std::string& resourceName)
{
    const ResourceData* data = FindResource(resourceName, restype::Form);
    if (!data) throw EResNotFound(Format(messages::SResNotFound, resourceName));
    ReadFormResource(root, data->Text(), resourceName);
}

}  // namespace hostlib
