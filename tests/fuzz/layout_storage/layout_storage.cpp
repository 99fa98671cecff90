// The layout storage restoring an object tree from each of its forms: the
// first byte picks the form (INI file, registry store file, stream), the
// rest is that form's data. Children of any stored class are created and
// surplus ones deleted, as a tree list restores its columns and bands.

#include <string>
#include <vector>

#include "components/foundation/cxStorage.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/registry.h"
#include "platform/hostlib/core/streams.h"
#include "tests/fuzz/harness.h"

using namespace hostlib;

enum TFuzzKind { fkNone, fkSome, fkAll };
const TEnumInfo& EnumTypeInfo(TFuzzKind*)
{
    static const TEnumInfo info{"TFuzzKind", {"fkNone", "fkSome", "fkAll"}, 0};
    return info;
}

namespace {

// Published values of every kind the storage converts, and children made on
// request.
class TFuzzNode : public TComponent, public IcxStoredParent {
public:
    static TClass StaticClass()
    {
        return DefineClass<TFuzzNode, TComponent>("TFuzzNode", [](ClassBuilder<TFuzzNode>& b) {
            b.Property("Count", &TFuzzNode::count, &TFuzzNode::SetCount);
            b.Property("Kind", &TFuzzNode::kind, &TFuzzNode::SetKind);
            b.Property("Kinds", &TFuzzNode::kinds, &TFuzzNode::SetKinds);
            b.Property("Enabled", &TFuzzNode::enabled, &TFuzzNode::SetEnabled);
            b.Property("Ratio", &TFuzzNode::ratio, &TFuzzNode::SetRatio);
            b.Property("Caption", &TFuzzNode::caption, &TFuzzNode::SetCaption);
            b.Property("Big", &TFuzzNode::big, &TFuzzNode::SetBig);
            b.Property("Any", &TFuzzNode::any, &TFuzzNode::SetAny);
        });
    }
    TClass ClassType() const override { return StaticClass(); }

    TObject* CreateChild(const std::string&, const std::string&) override
    {
        children_.push_back(CreateObject<TFuzzNode>(this));
        return children_.back();
    }
    void DeleteChild(const std::string&, TObject* object) override
    {
        std::erase(children_, object);
        object->Free();
    }
    void GetChildren(TStrings* list) override
    {
        for (std::size_t i = 0; i < children_.size(); ++i) list->AddObject("Child" + std::to_string(i), children_[i]);
    }

    int count = 0;
    TFuzzKind kind = fkNone;
    TSet<TFuzzKind> kinds;
    bool enabled = false;
    double ratio = 0;
    std::string caption;
    std::int64_t big = 0;
    Variant any;

    void SetCount(int v) { count = v; }
    void SetKind(TFuzzKind v) { kind = v; }
    void SetKinds(TSet<TFuzzKind> v) { kinds = v; }
    void SetEnabled(bool v) { enabled = v; }
    void SetRatio(double v) { ratio = v; }
    void SetCaption(std::string v) { caption = std::move(v); }
    void SetBig(std::int64_t v) { big = v; }
    void SetAny(Variant v) { any = std::move(v); }

private:
    std::vector<TFuzzNode*> children_;
};

ObjectPtr<TFuzzNode> NewTree()
{
    auto root = MakeObject<TFuzzNode>(nullptr);
    root->SetName("Root");
    root->CreateChild("", "");
    return root;
}

void Configure(TcxStorage& storage)
{
    storage.SetModes({smChildrenCreating, smChildrenDeleting, smSavePublishedClassProperties});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const quelvo::fuzz::ScratchFile ini("layout.ini");
    static const quelvo::fuzz::ScratchFile store("registry");
    if (size == 0) return 0;
    const std::string_view content = quelvo::fuzz::Text(data + 1, size - 1);
    auto tree = NewTree();
    quelvo::fuzz::Guarded<Exception>([&] {
        switch (data[0] % 3) {
        case 0: {
            if (!ini.Write(content)) return;
            auto storage = MakeObject<TcxStorage>(ini.Path());
            Configure(*storage);
            storage->RestoreFromIni(tree.get());
            break;
        }
        case 1: {
            if (!store.Write(content)) return;
            SetRegistryStoreFile(store.Path());
            auto storage = MakeObject<TcxStorage>(std::string("Software\\Fuzz"));
            Configure(*storage);
            storage->RestoreFromRegistry(tree.get());
            break;
        }
        default: {
            TMemoryStream stream(quelvo::fuzz::Bytes(data + 1, size - 1));
            auto storage = MakeObject<TcxStorage>(&stream);
            Configure(*storage);
            storage->RestoreFromStream(tree.get());
            break;
        }
        }
    });
    // What was restored stores again.
    quelvo::fuzz::Guarded<Exception>([&] {
        TMemoryStream out;
        MakeObject<TcxStorage>(&out)->StoreToStream(tree.get());
    });
    return 0;
}
