// Writing a component tree as a form resource.

#include <charconv>
#include <cmath>

#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/core/text_escape.h"
#include "platform/system/scope_guard.h"

namespace hostlib {

namespace {

std::string Quote(std::string_view s)
{
    return "\"" + EscapeText(s) + "\"";
}

// Shortest text that reads back to the same double, always with a point
// or an exponent so it reads back as a float.
std::string FloatText(double v)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

std::string Hex(const std::vector<std::uint8_t>& bytes, const std::string& indent)
{
    std::string out = "hex{";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % 32 == 0 && bytes.size() > 32) out += "\n" + indent + "  ";
        out += IntToHex(bytes[i], 2);
    }
    if (bytes.size() > 32) out += "\n" + indent;
    return out + "}";
}

class Collector : public TFiler {
public:
    Collector() : TFiler(nullptr) {}
    struct Defined {
        std::string name;
        WriterProc write;
        StreamProc writeBinary;
    };
    void DefineProperty(const std::string& name, ReaderProc, WriterProc write, bool hasData) override
    {
        if (hasData && write) defined.push_back({name, std::move(write), nullptr});
    }
    void DefineBinaryProperty(const std::string& name, StreamProc, StreamProc write, bool hasData) override
    {
        if (hasData && write) defined.push_back({name, nullptr, std::move(write)});
    }
    std::vector<Defined> defined;
};

class FormWriter {
public:
    explicit FormWriter(TComponent* root) : root_(root) {}

    std::string Write()
    {
        WriteComponent(root_, "");
        return out_;
    }

private:
    static constexpr int kMaxDepth = 64;

    void WriteComponent(TComponent* c, const std::string& indent)
    {
        c->IncludeState(csWriting);
        out_ += indent + (c->Name().empty() ? std::string("_") : c->Name()) + " : " + c->ClassName() + " {\n";
        {
            quelvo::sys::ScopeGuard writing([c] { c->ExcludeState(csWriting); });
            WriteProperties(c, "", indent + "  ", 0);
            std::vector<TComponent*> children;
            c->GetChildren([&](TComponent* child) { children.push_back(child); }, root_);
            for (TComponent* child : children) WriteComponent(child, indent + "  ");
        }
        out_ += indent + "}\n";
    }

    void Line(const std::string& indent, const std::string& path, const std::string& value)
    {
        out_ += indent + path + " = " + value + ";\n";
    }

    void WriteProperties(TObject* obj, const std::string& prefix, const std::string& indent, int depth)
    {
        if (depth > kMaxDepth) throw EWriteError("Objects nested too deeply");
        for (const TPropInfo* p : GetPropList(obj)) {
            if (!IsStoredProp(obj, *p)) continue;
            const std::string path = prefix + p->Name;
            switch (p->Kind) {
            case pkObject: {
                TObject* sub = p->GetObject(*obj);
                if (sub) WriteProperties(sub, path + ".", indent, depth + 1);
                break;
            }
            case pkComponent: {
                auto* target = As<TComponent>(p->GetObject(*obj));
                if (!target) break;
                if (target->ComponentStyle().Contains(csSubComponent) && target->Owner() == obj) {
                    WriteProperties(target, path + ".", indent, depth + 1);
                } else if (p->SetObject) {
                    if (target == root_) Line(indent, path, root_->Name());
                    else if (target->Owner() == root_ && !target->Name().empty()) Line(indent, path, target->Name());
                }
                break;
            }
            case pkEvent: {
                TEventBase* ev = p->EventField(*obj);
                const std::string name = HandlerName(*ev);
                if (!name.empty()) Line(indent, path, name);
                break;
            }
            case pkStrings: {
                auto* s = As<TStrings>(p->GetObject(*obj));
                if (!s || s->Count() == 0) break;
                std::string v = "(";
                for (int i = 0; i < s->Count(); ++i) v += (i ? ", " : "") + Quote(s->Get(i));
                Line(indent, path, v + ")");
                break;
            }
            case pkCollection: {
                auto* coll = As<TCollection>(p->GetObject(*obj));
                if (!coll || coll->Count() == 0) break;
                out_ += indent + path + " = <\n";
                for (int i = 0; i < coll->Count(); ++i) {
                    out_ += indent + "  item {\n";
                    WriteProperties(coll->Items(i), "", indent + "    ", depth + 1);
                    out_ += indent + "  }\n";
                }
                out_ += indent + ">;\n";
                break;
            }
            default:
                if (!p->GetValue || !p->SetValue || IsDefaultPropValue(obj, *p)) break;
                if (std::string v = ValueText(*p, p->GetValue(*obj)); !v.empty()) Line(indent, path, v);
                break;
            }
        }
        if (auto* persistent = As<TPersistent>(obj)) WriteDefined(persistent, prefix, indent);
    }

    std::string ValueText(const TPropInfo& p, const Variant& v)
    {
        switch (p.Kind) {
        case pkInteger:
        case pkInt64: {
            std::string ident;
            if (p.Idents && IntToIdent(*p.Idents, v.AsInteger(), ident)) return ident;
            return IntToStr(v.AsInt64());
        }
        case pkBoolean: return v.AsBoolean() ? "True" : "False";
        case pkEnumeration: return p.EnumType ? p.EnumType->NameOf(v.AsInteger()) : IntToStr(v.AsInteger());
        case pkSet: return p.EnumType ? SetToString(*p.EnumType, static_cast<std::uint64_t>(v.AsInt64()), true) : "[]";
        case pkFloat: {
            const double d = v.AsDouble();
            return std::isfinite(d) ? FloatText(d) : std::string();
        }
        case pkCurrency: {
            std::string s = CurrToStr(v.AsCurrency(), EnglishFormatSettings());
            if (s.find('.') == std::string::npos && s.find('E') == std::string::npos) s += ".0";
            return s;
        }
        case pkChar: return Quote(std::string(1, static_cast<char>(v.AsInteger())));
        case pkString: return Quote(v.AsString());
        case pkVariant: return VariantText(v);
        default: return {};
        }
    }

    std::string VariantText(const Variant& v)
    {
        switch (v.VarType() & varTypeMask) {
        case varEmpty: return {};
        case varNull: return "Null";
        case varBoolean: return v.AsBoolean() ? "True" : "False";
        case varSingle:
        case varDouble:
        case varDate:
        case varCurrency: {
            const double d = v.AsDouble();
            return std::isfinite(d) ? FloatText(d) : std::string();
        }
        case varString:
        case varOleStr: return Quote(v.AsString());
        default: return v.IsArray() ? std::string() : IntToStr(v.AsInt64());
        }
    }

    std::string HandlerName(const TEventBase& ev)
    {
        if (!ev.Assigned() || ev.Target() != root_) return {};
        if (!ev.HandlerName().empty() && root_->ClassType()->FindMethod(ev.HandlerName())) return ev.HandlerName();
        // Bound in code: find the published handler it is bound to.
        for (TClass c = root_->ClassType(); c; c = c->ClassParent()) {
            for (const auto& m : c->OwnMethods()) {
                auto probe = ev.NewEmpty();
                if (m->Bind(*root_, *probe) && probe->SameHandler(ev)) return m->Name;
            }
        }
        return {};
    }

    void WriteDefined(TPersistent* obj, const std::string& prefix, const std::string& indent)
    {
        Collector collector;
        collector.SetRoot(root_);
        obj->DefineProperties(collector);
        for (const auto& d : collector.defined) {
            TMemoryStream data;
            if (d.writeBinary) {
                d.writeBinary(data);
                Line(indent, prefix + d.name, Hex(data.Bytes(), indent));
                continue;
            }
            {
                TWriter w(&data);
                d.write(w);
            }
            data.SetPosition(0);
            TReader r(&data);
            std::string text = Decode(r, indent, 0);
            if (data.Position() != data.Size()) throw EWriteError("Defined property " + d.name + " wrote more than one value");
            Line(indent, prefix + d.name, text);
        }
    }

    std::string Decode(TReader& r, const std::string& indent, int depth)
    {
        if (depth > kMaxDepth) throw EWriteError("Values nested too deeply");
        switch (r.NextValue()) {
        case vaInt8:
        case vaInt16:
        case vaInt32:
        case vaInt64: return IntToStr(r.ReadInt64());
        case vaExtended:
        case vaSingle:
        case vaDate: {
            const double d = r.NextValue() == vaSingle ? r.ReadSingle() : (r.NextValue() == vaDate ? r.ReadDate() : r.ReadFloat());
            return FloatText(std::isfinite(d) ? d : 0);
        }
        case vaCurrency: {
            std::string s = CurrToStr(r.ReadCurrency(), EnglishFormatSettings());
            return s.find('.') == std::string::npos ? s + ".0" : s;
        }
        case vaString:
        case vaLString:
        case vaWString:
        case vaUTF8String: return Quote(r.ReadString());
        case vaIdent:
        case vaFalse:
        case vaTrue:
        case vaNil:
        case vaNull: return r.ReadIdent();
        case vaBinary: return Hex(r.ReadBinary(), indent);
        case vaList: {
            r.ReadListBegin();
            std::string s = "(";
            bool first = true;
            while (!r.EndOfList()) {
                s += (first ? "" : ", ") + Decode(r, indent, depth + 1);
                first = false;
            }
            r.ReadListEnd();
            return s + ")";
        }
        case vaSet: {
            r.ReadValue();
            std::string s = "[";
            bool first = true;
            while (true) {
                std::uint8_t n = 0;
                r.Stream()->ReadBuffer(&n, 1);
                if (n == 0) break;
                std::string name(n, '\0');
                r.Stream()->ReadBuffer(name.data(), n);
                s += (first ? "" : ", ") + name;
                first = false;
            }
            return s + "]";
        }
        default: throw EWriteError("Unsupported value in a defined property");
        }
    }

    TComponent* root_;
    std::string out_;
};

}  // namespace

std::string WriteFormResource(TComponent* root)
{
    if (!root) throw EWriteError("No component to write");
    FormWriter w(root);
    return w.Write();
}

}  // namespace hostlib
