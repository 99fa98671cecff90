// Filter criteria and their operators: evaluation, filter text and
// caption, date ranges, editing the tree and the binary form.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "components/data/cxDataConsts.h"
#include "components/data/cxFilter.h"
#include "components/data/cxFilterConsts.h"
#include "components/data/cxVariants.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/core/streams.h"

using hostlib::Variant;
using Bytes = std::vector<std::uint8_t>;

namespace {

// What a condition filters: a field known by its name.
class Field : public hostlib::TObject {
public:
    explicit Field(std::string name) : Name(std::move(name)) {}
    std::string Name;
};

// One record: values by field name.
class Row : public hostlib::TObject {
public:
    std::map<std::string, Variant> Values;
};

class TestItem : public TcxFilterCriteriaItem {
public:
    static hostlib::TClass StaticClass() { return hostlib::DefineClass<TestItem, TcxFilterCriteriaItem>("TestItem"); }
    hostlib::TClass ClassType() const override { return StaticClass(); }

    Variant GetDataValue(hostlib::TObject* data) override
    {
        auto& values = static_cast<Row*>(data)->Values;
        const auto it = values.find(GetFieldName());
        return it == values.end() ? Variant::Null() : it->second;
    }
    std::string GetFieldName() override { return ItemLink() ? static_cast<Field*>(ItemLink())->Name : std::string("?"); }
    std::string GetFieldCaption() override { return hostlib::AnsiUpperCase(GetFieldName()); }
};

class TestCriteria : public TcxFilterCriteria {
public:
    hostlib::TClass GetItemClass() const override { return TestItem::StaticClass(); }
    int GetIDByItemLink(hostlib::TObject* link) override
    {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].get() == link) return static_cast<int>(i);
        return -1;
    }
    hostlib::TObject* GetItemLinkByID(int id) override
    {
        return id >= 0 && id < static_cast<int>(fields.size()) ? fields[static_cast<std::size_t>(id)].get() : nullptr;
    }
    Field* F(const std::string& name)
    {
        for (auto& f : fields)
            if (f && f->Name == name) return f.get();
        fields.push_back(std::make_unique<Field>(name));
        return fields.back().get();
    }
    std::vector<std::unique_ptr<Field>> fields;
};

using CriteriaPtr = hostlib::ObjectPtr<TestCriteria>;

CriteriaPtr MakeCriteria()
{
    return CriteriaPtr(new TestCriteria());
}

Variant Between(const Variant& a, const Variant& b)
{
    Variant v;
    VarBetweenArrayCreate(v, a, b);
    return v;
}

Variant List(std::initializer_list<Variant> items)
{
    Variant v;
    for (const Variant& item : items) VarListArrayAddValue(v, item);
    return v;
}

bool Passes(TestCriteria& c, std::map<std::string, Variant> values)
{
    Row row;
    row.Values = std::move(values);
    return c.DoFilterData(&row);
}

// Today is fixed for the date operators of a test.
class FixedToday {
public:
    explicit FixedToday(double today) : saved_(cxFilterTodayFunc()) { cxFilterTodayFunc() = [today] { return today; }; }
    ~FixedToday() { cxFilterTodayFunc() = saved_; }

private:
    std::function<hostlib::TDateTime()> saved_;
};

hostlib::TFormatSettings CommaLocale()
{
    hostlib::TFormatSettings fs = hostlib::EnglishFormatSettings();
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    return fs;
}

} // namespace

TEST(FilterCriteria, TextAndCaption)
{
    const hostlib::ScopedFormatSettings english(hostlib::EnglishFormatSettings());
    struct Case {
        const char* name;
        std::function<void(TestCriteria&)> build;
        std::string text;
        std::string caption;
    };
    const std::vector<Case> cases = {
        {"and", [](TestCriteria& c) {
             c.AddItem(nullptr, c.F("a"), foEqual, Variant(1), "1");
             c.AddItem(nullptr, c.F("b"), foEqual, Variant(2), "2");
         }, "(a = 1) AND (b = 2)", "(A = 1) and (B = 2)"},
        {"nested or", [](TestCriteria& c) {
             TcxFilterCriteriaItemList* any = c.Root().AddItemList(fboOr);
             any->AddItem(c.F("a"), foEqual, Variant(1), "1");
             any->AddItem(c.F("b"), foEqual, Variant(2), "2");
             c.AddItem(nullptr, c.F("c"), foEqual, Variant(3), "3");
         }, "((a = 1) OR (b = 2)) AND (c = 3)", "((A = 1) or (B = 2)) and (C = 3)"},
        {"not or", [](TestCriteria& c) {
             c.Root().SetBoolOperatorKind(fboNotOr);
             c.AddItem(nullptr, c.F("a"), foLess, Variant(1), "1");
             c.AddItem(nullptr, c.F("b"), foGreaterEqual, Variant(2), "2");
         }, "NOT ((a < 1) OR (b >= 2))", "not ((A < 1) or (B >= 2))"},
        {"null", [](TestCriteria& c) { c.AddItem(nullptr, c.F("f"), foEqual, Variant::Null(), ""); }, "(f = NULL)", "(F = blank)"},
        {"not null", [](TestCriteria& c) { c.AddItem(nullptr, c.F("f"), foNotLike, Variant::Null(), ""); },
         "(f <> NULL)", "(F <> blank)"},
        {"between", [](TestCriteria& c) { c.AddItem(nullptr, c.F("f"), foBetween, Between(Variant(5), Variant(10)), "5;10"); },
         "(f BETWEEN 5 AND 10)", "(F between 5 and 10)"},
        {"between translated", [](TestCriteria& c) {
             c.SetTranslateBetween(true);
             c.AddItem(nullptr, c.F("f"), foNotBetween, Between(Variant(5), Variant(10)), "5;10");
         }, "(NOT ((f >= 5) AND (f <= 10)))", "(F not between 5 and 10)"},
        {"in", [](TestCriteria& c) { c.AddItem(nullptr, c.F("f"), foInList, List({Variant("a"), Variant("b")}), "a;b"); },
         "(f IN ('a', 'b'))", "(F in (a, b))"},
        {"in translated", [](TestCriteria& c) {
             c.SetTranslateIn(true);
             c.AddItem(nullptr, c.F("f"), foInList, List({Variant("a"), Variant("b")}), "a;b");
         }, "((f = 'a') OR (f = 'b'))", "(F in (a, b))"},
        {"in without display value", [](TestCriteria& c) { c.AddItem(nullptr, c.F("f"), foInList, List({Variant(1)}), ""); },
         "(f IN (1))", "(F in ())"},
        {"like", [](TestCriteria& c) { c.AddItem(nullptr, c.F("f"), foLike, Variant("Jo%"), "Jo%"); }, "(f LIKE 'Jo%')",
         "(F LIKE Jo%)"},
        {"key fields", [](TestCriteria& c) {
             c.F("a;b");
             c.AddItem(nullptr, c.F("a;b"), foEqual, List({Variant(1), Variant("x")}), "1;x");
         }, "((a = 1) AND (b = 'x'))", "(A;B = 1;x)"},
        {"boolean", [](TestCriteria& c) { c.AddItem(nullptr, c.F("f"), foEqual, Variant(true), "True"); }, "(f = True)",
         "(F = True)"},
        {"apostrophe", [](TestCriteria& c) { c.AddItem(nullptr, c.F("f"), foEqual, Variant("O'Brien"), "O'Brien"); },
         "(f = 'O''Brien')", "(F = O'Brien)"},
        {"empty not root", [](TestCriteria& c) { c.Root().SetBoolOperatorKind(fboNotAnd); }, "", "not ()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto criteria = MakeCriteria();
        c.build(*criteria);
        EXPECT_EQ(criteria->GetFilterText(), c.text);
        EXPECT_EQ(criteria->GetFilterCaption(), c.caption);
    }
}

TEST(FilterCriteria, DescriptionsInTheCaption)
{
    auto c = MakeCriteria();
    c->SetOptions({fcoShowOperatorDescription});
    c->AddItem(nullptr, c->F("f"), foEqual, Variant::Null(), "");
    c->AddItem(nullptr, c->F("g"), foLike, Variant("Jo%"), "Jo%");
    c->AddItem(nullptr, c->F("h"), foNotLike, Variant("%ab%"), "%ab%");
    c->AddItem(nullptr, c->F("i"), foNotLike, Variant("a%b"), "a%b");
    c->AddItem(nullptr, c->F("j"), foNotLike, Variant("ab%"), "ab%");
    EXPECT_EQ(c->GetFilterCaption(),
              "(F is blank) and (G begins with Jo) and (H does not contain ab) and (I not like a%b) and (J does not begin with ab)");
}

TEST(FilterCriteria, NumbersInTextAndCaption)
{
    const hostlib::ScopedFormatSettings comma(CommaLocale());
    auto c = MakeCriteria();
    c->AddItem(nullptr, c->F("f"), foEqual, Variant(1.5), hostlib::FloatToStr(1.5));
    EXPECT_EQ(c->GetFilterText(), "(f = 1.5)");
    EXPECT_EQ(c->GetFilterCaption(), "(F = 1,5)");
}

TEST(FilterCriteria, TheHookReplacesEveryWord)
{
    cxFilterGetResourceStringFunc = [](int id) { return "#" + std::to_string(id); };
    auto c = MakeCriteria();
    c->Root().SetBoolOperatorKind(fboNotOr);
    c->AddItem(nullptr, c->F("f"), foBetween, Between(Variant(1), Variant::Null()), "1;");
    c->AddItem(nullptr, c->F("g"), foToday, Variant::Null(), "");
    const std::string caption = c->GetFilterCaption();
    cxFilterGetResourceStringFunc = nullptr;
    EXPECT_EQ(caption, "#65431 ((F #65445 1 #65429 ) #65430 (G #65450))");
}

TEST(FilterCriteria, Evaluation)
{
    struct Case {
        TcxFilterBoolOperatorKind kind;
        bool a;
        bool b;
        bool expected;
    };
    const std::vector<Case> cases = {
        {fboAnd, true, true, true},     {fboAnd, true, false, false},    {fboOr, false, true, true},
        {fboOr, false, false, false},   {fboNotAnd, true, true, false},  {fboNotAnd, true, false, true},
        {fboNotOr, false, false, true}, {fboNotOr, false, true, false},
    };
    for (const Case& k : cases) {
        auto c = MakeCriteria();
        c->Root().SetBoolOperatorKind(k.kind);
        c->AddItem(nullptr, c->F("a"), foEqual, Variant(1), "");
        c->AddItem(nullptr, c->F("b"), foEqual, Variant(1), "");
        EXPECT_EQ(Passes(*c, {{"a", Variant(k.a ? 1 : 0)}, {"b", Variant(k.b ? 1 : 0)}}), k.expected)
            << k.kind << " " << k.a << k.b;
    }
    auto empty = MakeCriteria();
    empty->Root().SetBoolOperatorKind(fboNotAnd);
    EXPECT_TRUE(Passes(*empty, {}));
    EXPECT_TRUE(empty->IsEmpty());
    EXPECT_TRUE(empty->IsStore());
}

TEST(FilterCriteria, Comparisons)
{
    struct Case {
        const char* name;
        TcxFilterOperatorKind kind;
        Variant value;
        TcxFilterCriteriaOptions options;
        Variant record;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"between low", foBetween, Between(Variant(5), Variant(10)), {}, Variant(5), true},
        {"between high", foBetween, Between(Variant(5), Variant(10)), {}, Variant(10), true},
        {"between below", foBetween, Between(Variant(5), Variant(10)), {}, Variant(4), false},
        {"between above", foBetween, Between(Variant(5), Variant(10)), {}, Variant(11), false},
        {"not between", foNotBetween, Between(Variant(5), Variant(10)), {}, Variant(11), true},
        {"case", foEqual, Variant("ABC"), {}, Variant("abc"), false},
        {"no case", foEqual, Variant("ABC"), {fcoCaseInsensitive}, Variant("abc"), true},
        {"like no case", foLike, Variant("A%"), {fcoCaseInsensitive}, Variant("abc"), true},
        {"in no case", foInList, List({Variant("a"), Variant("B")}), {fcoCaseInsensitive}, Variant("b"), true},
        {"between no case", foBetween, Between(Variant("A"), Variant("C")), {fcoCaseInsensitive}, Variant("b"), true},
        {"in", foInList, List({Variant(1), Variant(3)}), {}, Variant(2), false},
        {"not in", foNotInList, List({Variant(1), Variant(3)}), {}, Variant(2), true},
        {"currency as double", foEqual, Variant(hostlib::Currency(2)), {}, Variant(2.0), true},
        {"null", foEqual, Variant::Null(), {}, Variant::Null(), true},
        {"empty text is no null", foEqual, Variant::Null(), {}, Variant(""), false},
        {"soft null", foEqual, Variant(""), {fcoSoftNull}, Variant::Null(), true},
        {"soft null text", foEqual, Variant::Null(), {fcoSoftNull}, Variant(""), true},
        {"not null", foNotEqual, Variant::Null(), {}, Variant(3), true},
        {"soft compare", foLess, Variant(5), {fcoSoftCompare}, Variant("abc"), false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto c = MakeCriteria();
        c->SetOptions(k.options);
        c->AddItem(nullptr, c->F("f"), k.kind, k.value, "");
        EXPECT_EQ(Passes(*c, {{"f", k.record}}), k.expected);
    }
    auto strict = MakeCriteria();
    strict->AddItem(nullptr, strict->F("f"), foLess, Variant(5), "");
    EXPECT_THROW(Passes(*strict, {{"f", Variant("abc")}}), hostlib::EVariantError);
}

TEST(FilterCriteria, DateRanges)
{
    const double sunday = hostlib::EncodeDate(2024, 6, 16);
    struct Case {
        const char* name;
        double today;
        TcxFilterOperatorKind kind;
        double from;
        double to;
    };
    const std::vector<Case> cases = {
        {"today", sunday, foToday, sunday, sunday + 1},
        {"yesterday", sunday, foYesterday, sunday - 1, sunday},
        {"tomorrow", sunday + 0.5, foTomorrow, sunday + 1, sunday + 2},
        {"this week", sunday, foThisWeek, sunday - 6, sunday + 1},
        {"last week", sunday, foLastWeek, sunday - 13, sunday - 6},
        {"this month", hostlib::EncodeDate(2024, 12, 31), foThisMonth, hostlib::EncodeDate(2024, 12, 1),
         hostlib::EncodeDate(2025, 1, 1)},
        {"next month", hostlib::EncodeDate(2024, 11, 15), foNextMonth, hostlib::EncodeDate(2024, 12, 1),
         hostlib::EncodeDate(2025, 1, 1)},
        {"next month in December", hostlib::EncodeDate(2024, 12, 3), foNextMonth, hostlib::EncodeDate(2025, 1, 1),
         hostlib::EncodeDate(2025, 2, 1)},
        {"last month in January", hostlib::EncodeDate(2024, 1, 9), foLastMonth, hostlib::EncodeDate(2023, 12, 1),
         hostlib::EncodeDate(2024, 1, 1)},
        {"next year", sunday, foNextYear, hostlib::EncodeDate(2025, 1, 1), hostlib::EncodeDate(2026, 1, 1)},
    };
    hostlib::TFormatSettings monday = hostlib::EnglishFormatSettings();
    monday.FirstDayOfWeek = 0;
    const hostlib::ScopedFormatSettings locale(monday);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const FixedToday fixed(k.today);
        auto c = MakeCriteria();
        auto* item = c->AddItem(nullptr, c->F("d"), k.kind, Variant::Null(), "");
        auto& op = static_cast<TcxFilterDateOperator&>(item->Operator());
        EXPECT_EQ(op.Date1, k.from);
        EXPECT_EQ(op.Date2, k.to);
        EXPECT_TRUE(Passes(*c, {{"d", Variant::FromDate(k.from)}}));
        EXPECT_TRUE(Passes(*c, {{"d", Variant::FromDate(k.to - 0.001)}}));
        EXPECT_FALSE(Passes(*c, {{"d", Variant::FromDate(k.to)}}));
        EXPECT_FALSE(Passes(*c, {{"d", Variant::Null()}}));
    }
    const FixedToday fixed(sunday);
    auto c = MakeCriteria();
    c->AddItem(nullptr, c->F("d"), foToday, Variant::Null(), "");
    EXPECT_EQ(c->GetFilterText(), "((d >= '" + hostlib::DateToStr(sunday) + "') AND (d < '" + hostlib::DateToStr(sunday + 1) + "'))");
    EXPECT_EQ(c->GetFilterCaption(), "(D is today)");
}

TEST(FilterCriteria, RemovingConditions)
{
    auto c = MakeCriteria();
    int notices = 0;
    c->OnChanged = hostlib::TNotifyEvent::FromFunction([&](hostlib::TObject*) { ++notices; });
    c->AddItem(nullptr, c->F("x"), foEqual, Variant(0), "0");
    TcxFilterCriteriaItemList* all = c->Root().AddItemList(fboAnd);
    all->AddItem(c->F("a"), foEqual, Variant(1), "1");
    all->AddItem(c->F("b"), foEqual, Variant(2), "2");
    TcxFilterCriteriaItemList* notAll = c->Root().AddItemList(fboNotAnd);
    notAll->AddItem(c->F("a"), foEqual, Variant(1), "1");
    notAll->AddItem(c->F("c"), foEqual, Variant(3), "3");
    EXPECT_FALSE(Passes(*c, {{"x", Variant(0)}, {"b", Variant(2)}, {"c", Variant(3)}}));

    notices = 0;
    c->RemoveItemByItemLink(c->F("a"));
    EXPECT_EQ(notices, 1);
    // The AND group of one is dissolved; the NOT group keeps its child negated.
    EXPECT_EQ(c->GetFilterText(), "(x = 0) AND (NOT ((c = 3))) AND (b = 2)");
    EXPECT_FALSE(Passes(*c, {{"x", Variant(0)}, {"b", Variant(2)}, {"c", Variant(3)}}));

    c->RemoveItemByItemLink(c->F("nothing"));
    EXPECT_EQ(notices, 1);
    c->RemoveItemByItemLink(c->F("c"));
    EXPECT_EQ(c->GetFilterText(), "(x = 0) AND (b = 2)");
}

TEST(FilterCriteria, ValueChanges)
{
    auto c = MakeCriteria();
    int notices = 0;
    c->OnChanged = hostlib::TNotifyEvent::FromFunction([&](hostlib::TObject*) { ++notices; });
    TcxFilterCriteriaItem* item = c->AddItem(nullptr, c->F("f"), foBetween, Between(Variant(1), Variant(2)), "1;2");
    TcxFilterOperator* before = &item->Operator();
    notices = 0;
    item->SetValue(Between(Variant(1), Variant(2)));
    EXPECT_EQ(notices, 0);
    EXPECT_EQ(&item->Operator(), before);
    item->SetValue(Between(Variant(1), Variant("x")));
    EXPECT_EQ(notices, 1);
    item->SetOperatorKind(foEqual);
    item->SetValue(Variant(3));
    item->SetValue(Variant("three"));
    EXPECT_EQ(notices, 4);
    item->SetValue(Variant::Null());
    EXPECT_TRUE(hostlib::Is<TcxFilterNullOperator>(&item->Operator()));
}

TEST(FilterCriteria, BinaryForm)
{
    auto c = MakeCriteria();
    c->fields.resize(3);
    c->fields.push_back(std::make_unique<Field>("f"));
    c->AddItem(nullptr, c->F("f"), foEqual, Variant(5), "5");
    hostlib::TMemoryStream stream;
    c->WriteData(stream);
    EXPECT_EQ(stream.Bytes(), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, '5', 3, 0, 0, 0, 2, 5}));

    // Nested round trip.
    auto source = MakeCriteria();
    source->Root().SetBoolOperatorKind(fboOr);
    TcxFilterCriteriaItemList* inner = source->Root().AddItemList(fboNotAnd);
    inner->AddItem(source->F("a"), foLike, Variant("x%"), "x%");
    inner->AddItem(source->F("b"), foBetween, Between(Variant(1), Variant(2)), "1;2");
    source->AddItem(nullptr, source->F("c"), foEqual, Variant::Null(), "");
    auto target = MakeCriteria();
    target->F("a"), target->F("b"), target->F("c");
    target->Assign(source.get());
    EXPECT_EQ(target->GetFilterText(), source->GetFilterText());
    EXPECT_EQ(target->GetFilterCaption(), source->GetFilterCaption());

    // The older form: a count without marker and root kind.
    Bytes older(stream.Bytes().begin() + 5, stream.Bytes().end());
    hostlib::TMemoryStream olderStream(older);
    target->ReadData(olderStream);
    EXPECT_EQ(target->GetFilterText(), "(? = 5)");
}

TEST(FilterCriteria, HostileBinaryForms)
{
    Bytes deep = {0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 0, 0};
    for (int i = 0; i < 1100; ++i) deep.insert(deep.end(), {1, 0, 1, 0, 0, 0});
    const Bytes good = {0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, '5', 3, 0, 0, 0, 2, 5};
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        {"cut", Bytes(good.begin(), good.end() - 1)},
        {"oversized count", {0xFF, 0xFF, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0}},
        {"negative count", {0xFF, 0xFF, 0xFF, 0xFF, 0, 0xFE, 0xFF, 0xFF, 0xFF}},
        {"unknown list kind", {0xFF, 0xFF, 0xFF, 0xFF, 9, 0, 0, 0, 0}},
        {"unknown operator", {0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 0, 0, 0, 99, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"deep nesting", deep},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        auto c = MakeCriteria();
        hostlib::TMemoryStream stream(k.bytes);
        EXPECT_THROW(c->ReadData(stream), hostlib::EReadError);
    }
    // What was read before the failure stays.
    auto c = MakeCriteria();
    hostlib::TMemoryStream stream(deep);
    EXPECT_THROW(c->ReadData(stream), hostlib::EReadError);
    EXPECT_EQ(c->Root().Count(), 1);
}

namespace {

std::vector<std::string> Texts(const TcxFilterValueList& list)
{
    std::vector<std::string> result;
    for (int i = 0; i < list.Count(); ++i)
        result.push_back(list.Items(i).Kind == fviMRUSeparator ? std::string("--") : list.Items(i).DisplayText);
    return result;
}

hostlib::ObjectPtr<TcxFilterValueList> MakeValueList(TestCriteria& criteria)
{
    return hostlib::MakeObject<TcxFilterValueList>(static_cast<TcxFilterCriteria*>(&criteria));
}

} // namespace

TEST(FilterValueList, Sections)
{
    auto c = MakeCriteria();
    auto list = MakeValueList(*c);
    list->Add(fviMRU, Variant(7), "7");
    list->Add(fviMRU, Variant(8), "8");
    list->Add(fviAll, Variant::Null(), "(All)");
    for (const int v : {3, 1, 2, 2, 7}) list->Add(fviValue, Variant(v), std::to_string(v));
    list->Add(fviBlanks, Variant::Null(), "(Blanks)");
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"7", "8", "--", "(All)", "(Blanks)", "1", "2", "3"}));
    EXPECT_EQ(list->FindItemByValue(Variant(2)), 6);
    EXPECT_EQ(list->FindItemByValue(Variant(8)), 1);
    EXPECT_EQ(list->FindItemByValue(Variant(5)), -1);
}

TEST(FilterValueList, TheLimitCountsEveryEntry)
{
    auto c = MakeCriteria();
    c->SetMaxValueListCount(3);
    auto list = MakeValueList(*c);
    list->Add(fviAll, Variant::Null(), "(All)");
    list->Add(fviCustom, Variant::Null(), "(Custom...)");
    list->Add(fviValue, Variant(1), "1");
    list->Add(fviValue, Variant(2), "2");
    EXPECT_EQ(list->Count(), 3);
    list->Add(fviValue, Variant(0), "0", true);
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"(All)", "(Custom...)", "1", "0"}));
}

TEST(FilterValueList, DisplayTextOrderIgnoringCase)
{
    auto c = MakeCriteria();
    c->SetOptions({fcoCaseInsensitive});
    auto list = MakeValueList(*c);
    list->SetSortByDisplayText(true);
    for (const char* t : {"b", "A", "c", "a"}) list->Add(fviValue, Variant(t), t);
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"A", "b", "c"}));
}

TEST(FilterValueList, EntryOfACondition)
{
    auto c = MakeCriteria();
    auto list = MakeValueList(*c);
    list->Add(fviAll, Variant::Null(), "(All)");
    list->Add(fviCustom, Variant::Null(), "(Custom...)");
    list->Add(fviBlanks, Variant::Null(), "(Blanks)");
    list->Add(fviNonBlanks, Variant::Null(), "(NonBlanks)");
    list->Add(fviValue, Variant(4), "4");
    EXPECT_EQ(list->GetIndexByCriteriaItem(nullptr), -1);
    EXPECT_EQ(list->GetIndexByCriteriaItem(c->AddItem(nullptr, c->F("f"), foEqual, Variant(4), "4")), 4);
    EXPECT_EQ(list->GetIndexByCriteriaItem(c->AddItem(nullptr, c->F("f"), foEqual, Variant(5), "5")), 0);
    EXPECT_EQ(list->GetIndexByCriteriaItem(c->AddItem(nullptr, c->F("f"), foLess, Variant(4), "4")), 1);
    TcxFilterCriteriaItemList* group = c->Root().AddItemList(fboOr);
    EXPECT_EQ(list->GetIndexByCriteriaItem(group->AddItem(c->F("f"), foEqual, Variant(4), "4")), 1);
    EXPECT_EQ(list->GetIndexByCriteriaItem(c->AddItem(nullptr, c->F("f"), foEqual, Variant::Null(), "")), 2);
    EXPECT_EQ(list->GetIndexByCriteriaItem(c->AddItem(nullptr, c->F("f"), foNotEqual, Variant::Null(), "")), 3);
}
