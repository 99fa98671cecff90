// Lookup data of text editors: stepping through the items, incremental
// search and its not-found rule by editing style, the search after a text
// change, and when choosing an item is reported.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <string>
#include <vector>

#include "components/editors/cxEditControl.h"
#include "components/editors/cxTextEdit.h"
#include "components/editors/cxTextEditLookup.h"

using namespace hostlib;

namespace {

class LookupProperties : public TcxCustomTextEditProperties {
public:
    static TClass StaticClass()
    {
        return DefineClass<LookupProperties, TcxCustomTextEditProperties>("TLookupTestProperties");
    }
    TClass ClassType() const override { return StaticClass(); }
    TcxEditEditingStyle GetEditingStyle() override { return style; }
    TcxEditEditingStyle style = esEditList;
};

// An editor that only keeps its text and counts the lookup's text lock.
class LookupEdit : public TcxCustomEdit, public IcxTextEditLookupDataOwner {
public:
    static TClass StaticClass() { return DefineClass<LookupEdit, TcxCustomEdit>("TLookupTestEdit"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetPropertiesClass() const override { return LookupProperties::StaticClass(); }
    void LockLookupDataTextChanged() override { ++locks; }
    void UnlockLookupDataTextChanged() override { --locks; }
    LookupProperties* Props() { return static_cast<LookupProperties*>(Properties()); }
    int locks = 0;
};

struct LookupTest : visualtest::VisualTest {
    void SetUp() override
    {
        VisualTest::SetUp();
        edit = MakeObject<LookupEdit>(static_cast<TComponent*>(nullptr));
        lookup = MakeObject<TcxCustomTextEditLookupData>(static_cast<TPersistent*>(edit.get()));
        lookup->OnSelectItem = TNotifyEvent::FromFunction([this](TObject*) {
            selected.push_back(lookup->CurrentKey());
            lockedWhenSelected = edit->locks > 0;
            if (lookup->CurrentKey() >= 0)
                edit->SetText(lookup->GetItem(lookup->CurrentKey()));
        });
    }
    void TearDown() override
    {
        lookup.reset();
        edit.reset();
        FreeDefaultEditStyleController();
        VisualTest::TearDown();
    }
    void Items(const std::vector<std::string>& items)
    {
        edit->Props()->LookupItems()->Clear();
        for (const std::string& item : items)
            edit->Props()->LookupItems()->Add(item);
    }
    ObjectPtr<LookupEdit> edit;
    ObjectPtr<TcxCustomTextEditLookupData> lookup;
    std::vector<int> selected;
    bool lockedWhenSelected = false;
};

TEST_F(LookupTest, GoStepsByDirectionFromEachStart)
{
    std::vector<std::string> ten;
    for (int i = 0; i < 10; ++i)
        ten.push_back("item" + std::to_string(i));
    Items(ten);
    struct Case {
        int from;
        TcxEditLookupDataGoDirection direction;
        int plain, circular;
    } cases[] = {
        {-1, egdBegin, 0, 0},    {5, egdEnd, 9, 9},
        {-1, egdNext, 0, 0},     {5, egdNext, 6, 6},      {9, egdNext, 9, 0},
        {-1, egdPrev, -1, 9},    {0, egdPrev, 0, 9},      {5, egdPrev, 4, 4},
        {-1, egdPageUp, -1, 9},  {0, egdPageUp, 0, 9},    {5, egdPageUp, 0, 0}, {9, egdPageUp, 2, 2},
        {-1, egdPageDown, 7, 7}, {0, egdPageDown, 7, 7},  {5, egdPageDown, 9, 9}, {9, egdPageDown, 9, 0},
    };
    for (const Case& c : cases) {
        for (bool circular : {false, true}) {
            lookup->SetCurrentKey(Variant(c.from));
            lookup->Go(c.direction, circular);
            EXPECT_EQ(lookup->CurrentKey(), circular ? c.circular : c.plain)
                << "from " << c.from << " direction " << c.direction << (circular ? " circular" : "");
        }
    }
    Items({"a", "b", "c"});
    lookup->SetCurrentKey(Variant(-1));
    lookup->Go(egdPageDown, false);
    EXPECT_EQ(lookup->CurrentKey(), 2) << "a page down from nowhere stops at the last of three";
}

TEST_F(LookupTest, IncrementalSearchTakesTheItemsCaseAndDoesNotWrap)
{
    Items({"Apple", "apricot", "banana"});
    std::string text = "ap", tail;
    ASSERT_TRUE(lookup->Locate(text, tail, false));
    EXPECT_EQ(text, "Ap");
    EXPECT_EQ(tail, "ple");
    EXPECT_EQ(lookup->CurrentKey(), 0);
    text = "ap";
    ASSERT_TRUE(lookup->Locate(text, tail, true));
    EXPECT_EQ(text + tail, "apricot");
    EXPECT_EQ(lookup->CurrentKey(), 1);
    text = "ap";
    EXPECT_FALSE(lookup->Locate(text, tail, true)) << "no earlier item after the last match";
    text = "";
    EXPECT_FALSE(lookup->Locate(text, tail, false)) << "an empty text finds nothing";
    text = "\xC3\xA4";
    Items({"\xC3\x84rger", "x"});
    ASSERT_TRUE(lookup->Locate(text, tail, false)) << "case ignored beyond ASCII too";
    EXPECT_EQ(tail, "rger");
}

TEST_F(LookupTest, WhatAFailedSearchDoesToTheKeyByEditingStyle)
{
    Items({"one", "two"});
    struct Case {
        TcxEditEditingStyle style;
        const char* text;
        bool textChange;
        int key;
    } cases[] = {
        {esFixedList, "x", false, 1}, {esFixedList, "x", true, -1},
        {esEditList, "x", false, 1},  {esEditList, "", false, -1}, {esEditList, "x", true, -1},
        {esEdit, "x", false, -1},
    };
    for (const Case& c : cases) {
        edit->Props()->style = c.style;
        lookup->SetCurrentKey(Variant(1));
        edit->SetText(c.text);
        if (c.textChange) {
            lookup->TextChanged();
        } else {
            std::string text = c.text, tail;
            lookup->Locate(text, tail, false);
        }
        EXPECT_EQ(lookup->CurrentKey(), c.key) << c.style << " '" << c.text << "'" << (c.textChange ? " changed" : "");
    }
}

TEST_F(LookupTest, TextChangesFindWholeItemsInMostRecentlyUsedMode)
{
    Items({"red", "green"});
    edit->Props()->SetMRUMode(true);
    edit->SetText("GREEN");
    lookup->TextChanged();
    EXPECT_EQ(lookup->CurrentKey(), 1);
    edit->SetText("gre");
    lookup->TextChanged();
    EXPECT_EQ(lookup->CurrentKey(), -1) << "a prefix is no item here";
}

TEST_F(LookupTest, ChoosingAnItemIsReportedEvenWhenItIsTheCurrentOne)
{
    Items({"Apple", "pear"});
    lookup->SetCurrentKey(Variant(1));
    EXPECT_EQ(selected, std::vector<int>{1});
    EXPECT_TRUE(lockedWhenSelected) << "the editor does not search while its text is set";
    EXPECT_EQ(edit->locks, 0);
    lookup->SetCurrentKey(Variant(1));
    EXPECT_EQ(selected.size(), 1u) << "the same key with its text shown exactly";
    edit->SetText("PEAR");
    lookup->SetCurrentKey(Variant(1));
    EXPECT_EQ(selected.size(), 2u) << "the text no longer matches exactly";
    lookup->SelectItem();
    EXPECT_EQ(selected.size(), 3u) << "choosing the current item again";
    lookup->SetCurrentKey(Variant(7));
    EXPECT_EQ(lookup->CurrentKey(), 1) << "no such item";
    EXPECT_EQ(lookup->GetDisplayText(Variant(0)), "Apple");
    EXPECT_EQ(lookup->GetDisplayText(Variant(2)), "");
    EXPECT_TRUE(lookup->Find("APPLE"));
    EXPECT_FALSE(lookup->Find("App"));
}

}  // namespace
