// A lookup combo box over an in-memory list of 50,000 records (loaded, not
// grid mode), its drop-down open: a three-letter prefix typed a key at a
// time with incremental filtering, each key locating the first match,
// filtering the rows, sizing the drop-down and laying the grid out. Beside
// it the least work giving the same rows: a case-insensitive prefix scan
// of the same texts in a vector, per key. The row counts of both are
// compared before timing.
#include "bench/common/ratio_reporter.h"
#include "components/editor-catalogue/cxDBLookupComboBox.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "components/editors/cxTextEdit.h"
#include "components/foundation/cxContainerPopup.h"
#include "platform/controls/winctl.h"
#include "platform/hostlib/data/memdataset.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/windows/display.h"
#include "platform/windows/loop.h"

#include <stdlib.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace hostlib;

constexpr int kRecords = 50000;
const char* const kPrefixes[] = {"k", "ko", "kor"};

// Pronounceable names from a fixed sequence, so every prefix has matches.
std::vector<std::string> Names()
{
    const char* syllables[] = {"ka", "ko", "ri", "ne", "sa", "to", "mu", "le", "po", "di", "an", "or"};
    std::vector<std::string> names;
    unsigned seed = 12345;
    for (int i = 0; i < kRecords; ++i) {
        std::string name;
        for (int s = 0; s < 3; ++s) {
            seed = seed * 1103515245u + 12345u;
            name += syllables[(seed >> 16) % 12];
        }
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        names.push_back(name + std::to_string(i));
    }
    return names;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

struct PlainList {
    std::vector<std::string> texts;
    std::vector<int> rows;
    int first = -1;

    void Key(const std::string& prefix)
    {
        rows.clear();
        for (int i = 0; i < static_cast<int>(texts.size()); ++i)
            if (StartsWithNoCase(texts[static_cast<std::size_t>(i)], prefix))
                rows.push_back(i);
        first = rows.empty() ? -1 : rows.front();
    }
};

struct LookupList {
    TcxLookupComboBox* edit = nullptr;
    int popupHeight = 0;

    // One typed key: the first match located, the rows filtered, the
    // drop-down sized and the grid laid out.
    void Key(const std::string& prefix)
    {
        std::string text = prefix, tail;
        edit->LookupData()->Locate(text, tail, false);
        TcxLookupComboBoxProperties* p = edit->Properties();
        popupHeight = p->GetLookupGridNearestPopupHeight(p->GetLookupGridPopupHeight(p->DropDownRows()));
        p->Grid()->LayoutChanged();
    }
    int Rows() const { return edit->Properties()->Grid()->DataController()->GetRowCount(); }
    int FocusedRecord() const { return edit->Properties()->Grid()->DataController()->GetFocusedRecordIndex(); }
    // Back to all rows with the drop-down still open, untimed.
    void Reset()
    {
        edit->LookupData()->CloseUp();
        edit->LookupData()->DropDown();
    }
};

// The units a lookup combo box needs, ended as a program ends them: the
// forms go with the visual library, then the editor units, and the
// default edit style controller (made by the first editor) before the
// window layer it holds windows of is torn down at exit.
struct Units {
    Units()
    {
        quelvo::win::SetRuntimeFolder(mkdtemp(folder));
        quelvo::ctl::InitControls();
        InitVisualLibrary();
        cxEditPaintUtilsInitialize();
        cxContainerPopupInitialize();
        cxTextEditInitialize();
        cxDropDownEditInitialize();
        cxDBLookupComboBoxInitialize();
    }
    ~Units()
    {
        DoneVisualLibrary();
        cxDBLookupComboBoxFinalize();
        cxDropDownEditFinalize();
        cxTextEditFinalize();
        cxContainerPopupFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
    }
    Units(const Units&) = delete;
    Units& operator=(const Units&) = delete;

    char folder[32] = "/tmp/quelvo-bench-XXXXXX";
};

// The list data set and a shown form with the combo box over it, its
// drop-down open; the form goes before the list it shows.
struct Fixture {
    explicit Fixture(const std::vector<std::string>& names)
    {
        FillList(names);
        source->SetDataSet(list.get());
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 400, 300);
        lookup.edit = CreateObject<TcxLookupComboBox>(static_cast<TComponent*>(form));
        TcxLookupComboBox* edit = lookup.edit;
        edit->SetBounds(10, 10, 250, 24);
        edit->SetParent(form);
        TcxLookupComboBoxProperties* p = edit->Properties();
        p->SetListSource(source.get());
        p->SetKeyFieldNames("id");
        p->SetListFieldNames("name");
        form->Show();
        Application->ProcessMessages();
        edit->SetFocus();
        edit->DropDown();
        Application->ProcessMessages();
    }
    ~Fixture() { form->Free(); }
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    void FillList(const std::vector<std::string>& names)
    {
        list->FieldDefs().Add("id", ftInteger);
        list->FieldDefs().Add("name", ftString, 40);
        list->Open();
        list->DisableControls();
        for (int i = 0; i < static_cast<int>(names.size()); ++i)
            list->AppendRecord({Variant(i), Variant(names[static_cast<std::size_t>(i)])});
        list->EnableControls();
        list->First();
    }

    ObjectPtr<TMemDataSet> list = MakeObject<TMemDataSet>(nullptr);
    ObjectPtr<TDataSource> source = MakeObject<TDataSource>(nullptr);
    TForm* form = nullptr;
    LookupList lookup;
};

// Both sides must leave the same rows and focus the same first match
// after every key, or the timing compares different work.
int CheckSameRows(LookupList& lookup, PlainList& plain)
{
    int failures = 0;
    if (!lookup.edit->DroppedDown()) {
        std::printf("the drop-down did not open\n");
        ++failures;
    }
    lookup.Reset();
    for (const char* prefix : kPrefixes) {
        lookup.Key(prefix);
        plain.Key(prefix);
        if (lookup.Rows() != static_cast<int>(plain.rows.size()) || lookup.FocusedRecord() != plain.first) {
            std::printf("after \"%s\": %d rows from record %d against %zu from %d\n", prefix, lookup.Rows(),
                        lookup.FocusedRecord(), plain.rows.size(), plain.first);
            ++failures;
        }
    }
    std::printf("%d records, %zu rows left after \"%s\"\n", kRecords, plain.rows.size(), kPrefixes[2]);
    return failures;
}

void Measure(LookupList& lookup, PlainList& plain, const quelvo::bench::Options& options)
{
    quelvo::bench::RatioReporter reporter("a typed three-letter prefix over 50,000 records, per key");
    std::vector<quelvo::bench::Pair> pairs;
    pairs.push_back(quelvo::bench::Pair{
        "three keys",
        {"lookup combo box",
         [&] {
             for (const char* prefix : kPrefixes)
                 lookup.Key(prefix);
         },
         [&] { lookup.Reset(); }},
        {"vector prefix scan",
         [&] {
             for (const char* prefix : kPrefixes)
                 plain.Key(prefix);
         }},
        3.0,
        quelvo::bench::Timing::ThreadProcessor});
    reporter.Run(pairs, options);
    reporter.Print();
}

}  // namespace

int main(int argc, char** argv)
{
    Units units;
    const std::vector<std::string> names = Names();
    Fixture fixture(names);
    PlainList plain;
    plain.texts = names;
    const int failures = CheckSameRows(fixture.lookup, plain);
    Measure(fixture.lookup, plain, quelvo::bench::ParseOptions(argc, argv));
    return failures;
}
