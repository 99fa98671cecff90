// The tree list's outside data: its data stream and its stored layout. The
// first byte picks the reader (0: data stream, 1: layout in an INI file,
// 2: layout in a stream), the rest is its input. A tree list of a text and
// a number column with a few nodes reads it; what it then holds must save
// and load again.

#include "components/treelist/cxTL.h"
#include "platform/controls/winctl.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/visual/forms.h"
#include "tests/fuzz/harness.h"

using namespace hostlib;

namespace {

void Setup()
{
    quelvo::ctl::InitControls();
    InitVisualLibrary();
    cxInplaceContainerInitialize();
    cxTreeListInitialize();
}

// The list and, under one owner, its columns; the list goes first.
struct Fixture {
    Fixture()
    {
        list = CreateObject<TcxTreeList>(owner.get());
        list->SetName("List");
        for (int i = 0; i < 2; ++i) list->CreateColumn()->SetName(i == 0 ? "Text" : "Number");
        static_cast<TcxItemDataBinding*>(list->GetColumn(1)->DataBinding())->SetValueType("Integer");
        TcxTreeListNode* node = list->AddChild(nullptr);
        node->AssignValues({Variant("a"), Variant(1)});
        node->AddChild()->AssignValues({Variant("b"), Variant(2)});
    }
    ~Fixture() { list->Free(); }

    ObjectPtr<TComponent> owner = MakeObject<TComponent>(nullptr);
    TcxTreeList* list = nullptr;
};

// What a list holds after any input must go through its own stream.
void CheckRoundTrip(TcxTreeList* list)
{
    TMemoryStream stream;
    list->SaveToStream(stream);
    stream.SetPosition(0);
    list->LoadFromStream(stream);
}

void ReadDataStream(std::string_view input)
{
    Fixture f;
    TMemoryStream stream(std::vector<std::uint8_t>(input.begin(), input.end()));
    quelvo::fuzz::Guarded<Exception>([&] { f.list->LoadFromStream(stream); });
    CheckRoundTrip(f.list);
}

void ReadLayout(std::string_view input, bool ini)
{
    static const quelvo::fuzz::ScratchFile file("treelist_layout.ini");
    Fixture f;
    if (ini) {
        if (!file.Write(input)) return;
        quelvo::fuzz::Guarded<Exception>([&] { f.list->RestoreFromIniFile(file.Path(), true, true); });
    } else {
        TMemoryStream stream(std::vector<std::uint8_t>(input.begin(), input.end()));
        quelvo::fuzz::Guarded<Exception>([&] { f.list->RestoreFromStream(&stream, true, true); });
    }
    TMemoryStream stored;
    f.list->StoreToStream(&stored);
    stored.SetPosition(0);
    f.list->RestoreFromStream(&stored, true, true);
    CheckRoundTrip(f.list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool ready = (Setup(), true);
    (void)ready;
    if (size == 0) return 0;
    const std::string_view input = quelvo::fuzz::Text(data + 1, size - 1);
    switch (data[0] % 3) {
    case 0: ReadDataStream(input); break;
    case 1: ReadLayout(input, true); break;
    default: ReadLayout(input, false); break;
    }
    return 0;
}
