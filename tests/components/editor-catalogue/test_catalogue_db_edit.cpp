// Data-aware editors over in-memory data sets: fields read on scrolling,
// typing that enters edit state and reaches the field on posting, empty
// texts written as Null or "" by the target field's type, lookup fields
// with one and two keys, defaults taken from fields, the data-link query,
// binding assignment, and the lookup combo box defined by a lookup field.
// The date, time and BLOB kinds: the field's display format shown while
// unfocused, the date kept while the time is edited, and the BLOB kind,
// icon and drop-down that the field's type chooses.
#include "tests/components/editor-catalogue/lookup_fixture.h"

#include <optional>

#include "components/editor-catalogue/cxDBEdit.h"
#include "components/editor-catalogue/cxDBLookupComboBox.h"
#include "components/editors/cxFormats.h"
#include "platform/hostlib/data/dbcommon.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/data/memdataset.h"
#include "platform/windows/winuser.h"
#include "tests/components/editors/fixed_locale.h"

using namespace hostlib;
using namespace lookuptest;

namespace {

template <class F>
F* AddField(TDataSet& ds, const std::string& name)
{
    auto* field = CreateObject<F>(&ds);
    field->SetFieldName(name);
    field->SetDataSet(&ds);
    return field;
}

struct DBEditTest : LookupTest {
    void SetUp() override
    {
        LookupTest::SetUp();
        cxDBLookupComboBoxInitialize();
        cxDBEditInitialize();
        list->FieldDefs().Add("id", ftInteger);
        list->FieldDefs().Add("name", ftString, 20);
        list->Open();
        for (const auto& [id, name] : {std::pair{1, "Normal"}, {2, "High"}, {3, "Low"}})
            list->AppendRecord({Variant(id), Variant(std::string(name))});
        listSource->SetDataSet(list.get());

        main->FieldDefs().Add("name_id", ftInteger);
        main->FieldDefs().Add("title", ftString, 12);
        main->FieldDefs().Add("amount", ftFloat);
        main->FieldDefs().Add("flag", ftBoolean);
        main->FieldDefs().Add("notes", ftMemo);
        main->FieldDefs().Add("raw", ftBlob);
        main->FieldDefs().Add("picture", ftGraphic);
        AddField<TIntegerField>(*main, "name_id");
        AddField<TStringField>(*main, "title")->SetSize(12);
        AddField<TFloatField>(*main, "amount");
        AddField<TBooleanField>(*main, "flag");
        AddField<TMemoField>(*main, "notes");
        AddField<TBlobField>(*main, "raw");
        AddField<TGraphicField>(*main, "picture");
        auto* lookup = AddField<TStringField>(*main, "priority");
        lookup->SetFieldKind(fkLookup);
        lookup->SetLookupDataSet(list.get());
        lookup->SetKeyFields("name_id");
        lookup->SetLookupKeyFields("id");
        lookup->SetLookupResultField("name");
        AddMoreFields();
        main->Open();
        main->AppendRecord({Variant(1), Variant("first"), Variant(1.5), Variant(true)});
        main->AppendRecord({Variant(3), Variant("second"), Variant::Null(), Variant(false)});
        main->First();
        source->SetDataSet(main.get());
    }
    void TearDown() override
    {
        if (form)
            form->Free();
        form = nullptr;
        cxDBEditFinalize();
        cxDBLookupComboBoxFinalize();
        LookupTest::TearDown();
    }
    virtual void AddMoreFields() {}
    template <class E>
    E* Bound(const std::string& field, TDataSource* from = nullptr)
    {
        auto* edit = CreateObject<E>(form);
        edit->SetBounds(20, 20, 200, 24);
        edit->SetParent(form);
        edit->DataBinding()->SetDataSource(from ? from : source.get());
        edit->DataBinding()->SetDataField(field);
        Pump();
        return edit;
    }
    void Type(TcxCustomEdit* edit, const std::string& text)
    {
        edit->SetFocus();
        Pump();
        Screen().TypeText(text);
        Pump();
    }

    ObjectPtr<TMemDataSet> list = MakeObject<TMemDataSet>(nullptr);
    ObjectPtr<TDataSource> listSource = MakeObject<TDataSource>(nullptr);
    ObjectPtr<TMemDataSet> main = MakeObject<TMemDataSet>(nullptr);
    ObjectPtr<TDataSource> source = MakeObject<TDataSource>(nullptr);
};

TEST_F(DBEditTest, TextTwinReadsOnScrollingAndPostsWhatWasTyped)
{
    auto* edit = Bound<TcxDBTextEdit>("title");
    EXPECT_EQ(edit->Text(), "first");
    main->Next();
    Pump();
    EXPECT_EQ(edit->Text(), "second") << "read on scrolling";
    Type(edit, "X");
    EXPECT_EQ(main->State(), dsEdit) << "typing enters edit state";
    // The focus selected the whole text, so the key replaced it.
    EXPECT_EQ(edit->Text(), "X") << "entering edit state keeps the typed value";
    EXPECT_EQ(main->FieldByName("title")->AsString(), "second");
    Screen().TypeText("Y");
    Pump();
    main->Post();
    EXPECT_EQ(main->FieldByName("title")->AsString(), "XY");
}

TEST_F(DBEditTest, AReadOnlyFieldRefusesTyping)
{
    main->FieldByName("title")->SetReadOnly(true);
    auto* edit = Bound<TcxDBTextEdit>("title");
    Type(edit, "X");
    EXPECT_EQ(edit->Text(), "first");
    EXPECT_EQ(main->State(), dsBrowse);
}

TEST_F(DBEditTest, AClearedTextPostsNullToANumberAndEmptyToAText)
{
    struct Case {
        const char* field;
        bool null;
    };
    for (const Case c : {Case{"amount", true}, Case{"name_id", true}, Case{"title", false}}) {
        auto* edit = Bound<TcxDBTextEdit>(c.field);
        Type(edit, "");  // the focus selects the whole text
        Screen().PressKey(VK_DELETE);
        Pump();
        ASSERT_EQ(edit->Text(), "") << c.field;
        ASSERT_EQ(main->State(), dsEdit) << c.field;
        main->Post();
        EXPECT_EQ(main->FieldByName(c.field)->IsNull(), c.null) << c.field;
        if (!c.null) {
            EXPECT_EQ(main->FieldByName(c.field)->AsString(), "");
        }
        edit->Free();
    }
}

TEST_F(DBEditTest, ANullFieldReadAsTextIsAnEmptyText)
{
    main->Next();
    ASSERT_TRUE(main->FieldByName("amount")->IsNull());
    // A focused text editor reads the field as text.
    auto* edit = Bound<TcxDBTextEdit>("amount");
    edit->SetFocus();
    Pump();
    ASSERT_EQ(edit->ActiveProperties()->GetEditValueSource(edit->InternalFocused()), evsText);
    const Variant value = edit->DataBinding()->GetStoredValue();
    EXPECT_TRUE(VarIsStr(value));
    EXPECT_EQ(VarToStr(value), "");
}

TEST_F(DBEditTest, CheckBoxAndImageTwinsReadAndWriteTheirFields)
{
    auto* box = Bound<TcxDBCheckBox>("flag");
    EXPECT_TRUE(box->Checked());
    main->Next();
    Pump();
    EXPECT_FALSE(box->Checked());
    box->SetFocus();
    Pump();
    Screen().PressKey(VK_SPACE);
    Pump();
    EXPECT_TRUE(box->Checked());
    box->PostEditValue();
    main->Post();
    EXPECT_TRUE(main->FieldByName("flag")->AsBoolean());

    auto* image = Bound<TcxDBImage>("picture");
    EXPECT_TRUE(image->EditValue().IsNull());
    auto bitmap = MakeObject<TBitmap>();
    bitmap->SetSize(4, 3);
    TMemoryStream stream;
    bitmap->SaveToStream(stream);
    const std::string bytes(stream.Bytes().begin(), stream.Bytes().end());
    main->Edit();
    main->FieldByName("picture")->SetAsString(bytes);
    main->Post();
    Pump();
    EXPECT_EQ(VarToStr(image->EditValue()), bytes);
}

TEST_F(DBEditTest, DefaultsComeFromTheField)
{
    struct Case {
        const char* field;
        TcxBlobKind kind;
    };
    auto* edit = Bound<TcxDBTextEdit>("notes");
    for (const Case c : {Case{"notes", bkMemo}, Case{"raw", bkNone}, Case{"picture", bkGraphic}}) {
        edit->DataBinding()->SetDataField(c.field);
        EXPECT_EQ(edit->DataBinding()->GetDefaultValuesProvider()->DefaultBlobKind(), c.kind) << c.field;
    }
    edit->DataBinding()->SetDataField("title");
    EXPECT_EQ(edit->DataBinding()->GetDefaultValuesProvider()->DefaultMaxLength(), 12);
    auto* number = static_cast<TIntegerField*>(main->FieldByName("name_id"));
    number->SetMinValue(-5);
    number->SetMaxValue(40);
    edit->DataBinding()->SetDataField("name_id");
    TcxCustomDBEditDefaultValuesProvider* provider = edit->DataBinding()->GetDefaultValuesProvider();
    EXPECT_EQ(provider->DefaultMinValue(), -5.0);
    EXPECT_EQ(provider->DefaultMaxValue(), 40.0);
    main->Close();
    EXPECT_FALSE(provider->IsDBConnectionLive());
    EXPECT_FALSE(provider->DefaultCanModify());
    EXPECT_EQ(edit->Text(), "") << "a closed data set shows nothing";
}

TEST_F(DBEditTest, AnUnknownFieldNameIsReported)
{
    auto* edit = Bound<TcxDBTextEdit>("title");
    try {
        edit->DataBinding()->SetDataField("x");
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.Message()).find("Field 'x' not found"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(edit->DataBinding()->Field(), nullptr);
}

TEST_F(DBEditTest, WithoutConnectionATextTwinShowsNothing)
{
    auto* edit = CreateObject<TcxDBTextEdit>(form);
    edit->SetName("titleEdit");
    edit->SetParent(form);
    Pump();
    EXPECT_EQ(edit->Text(), "");
    EXPECT_FALSE(edit->DataBinding()->GetIsDataAvailable());
}

TEST_F(DBEditTest, TheDataLinkQueryAnswersTheBindingsLink)
{
    auto* edit = Bound<TcxDBTextEdit>("title");
    EXPECT_EQ(edit->Perform(CM_GETDATALINK, 0, 0), reinterpret_cast<LRESULT>(edit->DataBinding()->DataLink()));
    auto* group = Bound<TcxDBRadioGroup>("name_id");
    for (int i = 0; i < 2; ++i)
        static_cast<TcxRadioGroupItem*>(group->Properties()->Items()->Add())->SetCaption("item");
    Pump();
    ASSERT_EQ(group->ButtonCount(), 2);
    EXPECT_EQ(group->Buttons(1)->Perform(CM_GETDATALINK, 0, 0),
              reinterpret_cast<LRESULT>(group->DataBinding()->DataLink()));
    EXPECT_TRUE(group->Buttons(1)->ControlStyle().Contains(csReplicatable));
}

TEST_F(DBEditTest, BindingsAssignFieldAndSourceOnly)
{
    auto* from = Bound<TcxDBTextEdit>("title");
    auto* to = Bound<TcxDBMemo>("");
    to->SetDataBinding(from->DataBinding());
    EXPECT_EQ(to->DataBinding()->DataField(), "title");
    EXPECT_EQ(to->DataBinding()->DataSource(), source.get());
    EXPECT_EQ(to->Text(), "first");
    ObjectPtr<TcxLookupGridOptions> other = MakeObject<TcxLookupGridOptions>(nullptr);
    EXPECT_THROW(to->DataBinding()->Assign(other.get()), EConvertError);
}

TEST_F(DBEditTest, ALookupComboBoxOnALookupFieldIsDefinedByIt)
{
    auto* edit = Bound<TcxDBLookupComboBox>("priority");
    TcxLookupComboBoxProperties* p = edit->Properties();
    EXPECT_EQ(p->ListSource(), nullptr);
    EXPECT_EQ(p->KeyFieldNames(), "id");
    EXPECT_EQ(p->ListFieldNames(), "name");
    EXPECT_EQ(edit->Text(), "Normal");
    EXPECT_THROW(p->SetKeyFieldNames("name"), EDatabaseError);
    EXPECT_THROW(p->SetListSource(listSource.get()), EDatabaseError);
    p->SetListFieldNames("id");
    EXPECT_EQ(p->ListFieldNames(), "name;id") << "the missing result column is put first";
}

TEST_F(DBEditTest, PointingTheListAtTheEditedDataSetIsCircular)
{
    auto* edit = Bound<TcxDBLookupComboBox>("name_id");
    try {
        edit->Properties()->SetListSource(source.get());
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(std::string(e.Message()), "Circular datalinks are not allowed");
    }
    edit->Properties()->SetListSource(listSource.get());
    EXPECT_EQ(edit->Properties()->ListSource(), listSource.get());
}

TEST_F(DBEditTest, AnEmptyTextThroughATextLookupFieldClearsAnIntegerKey)
{
    auto* edit = Bound<TcxDBLookupComboBox>("priority");
    edit->SetFocus();
    Pump();
    // Posting writes the editor's value through the binding.
    ASSERT_TRUE(edit->DataBinding()->SetEditMode());
    edit->SetEditValue(Variant(std::string()));
    main->Post();
    EXPECT_TRUE(main->FieldByName("name_id")->IsNull());
    ASSERT_TRUE(edit->DataBinding()->SetEditMode());
    edit->SetEditValue(Variant(2));
    main->Post();
    EXPECT_EQ(main->FieldByName("name_id")->AsInteger(), 2);
    EXPECT_EQ(main->FieldByName("priority")->AsString(), "High");
}

TEST_F(DBEditTest, ATwoKeyLookupWritesEachKey)
{
    ObjectPtr<TMemDataSet> regions = MakeObject<TMemDataSet>(nullptr);
    regions->FieldDefs().Add("a", ftInteger);
    regions->FieldDefs().Add("b", ftInteger);
    regions->FieldDefs().Add("label", ftString, 10);
    regions->Open();
    regions->AppendRecord({Variant(1), Variant(2), Variant("one-two")});
    regions->AppendRecord({Variant(3), Variant(4), Variant("three-four")});
    ObjectPtr<TMemDataSet> places = MakeObject<TMemDataSet>(nullptr);
    places->FieldDefs().Add("a", ftInteger);
    places->FieldDefs().Add("b", ftInteger);
    AddField<TIntegerField>(*places, "a");
    AddField<TIntegerField>(*places, "b");
    auto* region = AddField<TStringField>(*places, "region");
    region->SetFieldKind(fkLookup);
    region->SetLookupDataSet(regions.get());
    region->SetKeyFields("a;b");
    region->SetLookupKeyFields("a;b");
    region->SetLookupResultField("label");
    places->Open();
    places->AppendRecord({Variant(1), Variant(2)});
    ObjectPtr<TDataSource> placesSource = MakeObject<TDataSource>(nullptr);
    placesSource->SetDataSet(places.get());

    auto* edit = Bound<TcxDBLookupComboBox>("region", placesSource.get());
    EXPECT_EQ(edit->Text(), "one-two");
    edit->SetFocus();
    Pump();
    const Variant key = edit->DataBinding()->GetStoredValue();
    ASSERT_TRUE(key.IsArray()) << "the key of a focused editor is both fields";
    ASSERT_TRUE(edit->DataBinding()->SetEditMode());
    edit->SetEditValue(VarArrayOf({Variant(3), Variant(4)}));
    places->Post();
    EXPECT_EQ(places->FieldByName("a")->AsInteger(), 3);
    EXPECT_EQ(places->FieldByName("b")->AsInteger(), 4);
    EXPECT_EQ(places->FieldByName("region")->AsString(), "three-four");
    edit->Free();
}

// ---- date, time and BLOB kinds ------------------------------------------------------------------

const TDateTime kFirstDay = EncodeDate(2004, 5, 17) + EncodeTime(14, 30, 0, 0);
const TDateTime kSecondDay = EncodeDate(2004, 6, 1) + EncodeTime(9, 0, 0, 0);

// "main" with a date-and-time field "day", a time field "clock" and values
// in its BLOB fields, under a fixed English locale.
struct DBKindsTest : DBEditTest {
    void SetUp() override
    {
        cxFormatSettingsUpdate().Reload = [] {};
        cxFormatController()->FormatChanged();
        DBEditTest::SetUp();
        cxTimeEditInitialize();
        cxDateEditInitialize();
        cxBlobEditInitialize();
        SetValues({Variant::FromDate(kFirstDay), Variant::FromDate(EncodeTime(10, 30, 0, 0)), Variant("memo text"),
                   Variant(std::string("\x01\x02", 2)), Variant(SmallBitmap())});
        main->Next();
        SetValues({Variant::FromDate(kSecondDay), Variant::FromDate(EncodeTime(23, 15, 0, 0)), Variant::Null(),
                   Variant::Null(), Variant::Null()});
        main->First();
    }
    void AddMoreFields() override
    {
        main->FieldDefs().Add("day", ftDateTime);
        main->FieldDefs().Add("clock", ftTime);
        AddField<TDateTimeField>(*main, "day");
        AddField<TTimeField>(*main, "clock");
    }
    void TearDown() override
    {
        if (form)
            form->Free();
        form = nullptr;
        cxBlobEditFinalize();
        cxDateEditFinalize();
        cxTimeEditFinalize();
        DBEditTest::TearDown();
        cxFormatSettingsUpdate() = savedUpdate;
        locale.reset();
        cxFormatController()->FormatChanged();
    }
    // day, clock, notes, raw, picture of the current record.
    void SetValues(const std::vector<Variant>& values)
    {
        const char* names[] = {"day", "clock", "notes", "raw", "picture"};
        main->Edit();
        for (std::size_t i = 0; i < values.size(); ++i)
            main->FieldByName(names[i])->SetValue(values[i]);
        main->Post();
    }
    static std::string SmallBitmap()
    {
        ObjectPtr<TBitmap> bitmap = MakeObject<TBitmap>();
        bitmap->SetSize(4, 3);
        TMemoryStream stream;
        bitmap->SaveToStream(stream);
        return std::string(stream.Bytes().begin(), stream.Bytes().end());
    }
    template <class E>
    E* BoundFixed(const std::string& field, int top = 20)
    {
        auto* edit = Bound<E>(field);
        edit->SetTop(top);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        UseFixedFace(edit->Style()->Font());
        Pump();
        return edit;
    }
    double Day() const { return main->FieldByName("day")->AsDateTime(); }

    std::optional<ScopedFormatSettings> locale{std::in_place, FixedEnglishLocale()};
    TcxFormatSettingsUpdate savedUpdate = cxFormatSettingsUpdate();
};

TEST_F(DBKindsTest, DateTwinReadsOnScrollingAndPostsATypedDateWithTheFieldsTime)
{
    auto* edit = Bound<TcxDBDateEdit>("day");
    edit->Properties()->SetInputKind(ikStandard);
    EXPECT_NEAR(edit->Date(), kFirstDay, 1e-9);
    main->Next();
    Pump();
    EXPECT_NEAR(edit->Date(), kSecondDay, 1e-9) << "read on scrolling";
    Type(edit, "6/15/2004");
    EXPECT_EQ(main->State(), dsEdit) << "typing enters edit state";
    EXPECT_EQ(edit->Text(), "6/15/2004") << "entering edit state keeps the typed value";
    EXPECT_NEAR(Day(), kSecondDay, 1e-9) << "nothing written before posting";
    main->Post();
    // The saved time is the one the field held.
    EXPECT_NEAR(Day(), EncodeDate(2004, 6, 15) + EncodeTime(9, 0, 0, 0), 1e-9);
}

TEST_F(DBKindsTest, TimeTwinEditsTheTimeAndKeepsTheFieldsDate)
{
    auto* clock = BoundFixed<TcxDBTimeEdit>("clock");
    EXPECT_NEAR(clock->Time(), EncodeTime(10, 30, 0, 0), 1e-9);
    auto* edit = BoundFixed<TcxDBTimeEdit>("day", 60);
    EXPECT_NEAR(edit->Time(), EncodeTime(14, 30, 0, 0), 1e-9);
    main->Next();
    Pump();
    EXPECT_NEAR(clock->Time(), EncodeTime(23, 15, 0, 0), 1e-9) << "read on scrolling";
    edit->SetFocus();
    Pump();
    edit->SetSelection(0, 0);
    Key(VK_UP);
    EXPECT_EQ(main->State(), dsEdit) << "spinning the hour enters edit state";
    main->Post();
    EXPECT_NEAR(Day(), kSecondDay + EncodeTime(1, 0, 0, 0), 1e-9) << "the date part stays";
}

TEST_F(DBKindsTest, ReadOnlyDateAndTimeFieldsRefuseTyping)
{
    struct Case {
        const char* field;
        bool time;
    };
    for (const Case c : {Case{"day", false}, Case{"clock", true}}) {
        SCOPED_TRACE(c.field);
        main->FieldByName(c.field)->SetReadOnly(true);
        TcxCustomEdit* edit = c.time ? static_cast<TcxCustomEdit*>(Bound<TcxDBTimeEdit>(c.field))
                                     : Bound<TcxDBDateEdit>(c.field);
        edit->SetFocus();
        Pump();
        const std::string before = edit->Text();
        Screen().TypeText("1");
        Key(VK_UP);
        EXPECT_EQ(edit->Text(), before);
        EXPECT_EQ(main->State(), dsBrowse);
        edit->Free();
    }
}

TEST_F(DBKindsTest, UnfocusedDateAndTimeTwinsShowTheFieldsDisplayFormat)
{
    static_cast<TDateTimeField*>(main->FieldByName("day"))->SetDisplayFormat("yyyy-mm-dd");
    static_cast<TDateTimeField*>(main->FieldByName("clock"))->SetDisplayFormat("hh:nn");
    auto* date = BoundFixed<TcxDBDateEdit>("day");
    auto* time = BoundFixed<TcxDBTimeEdit>("clock", 60);
    struct Case {
        TcxCustomEdit* edit;
        const char* unfocused;
        const char* focused;
        TDateTime value;
    };
    for (const Case c : {Case{date, "2004-05-17", "5/17/2004", kFirstDay},
                         Case{time, "10:30", "10:30:00", EncodeTime(10, 30, 0, 0)}}) {
        SCOPED_TRACE(c.unfocused);
        EXPECT_EQ(c.edit->Text(), c.unfocused);
        EXPECT_NEAR(c.edit->EditValue().AsDouble(), c.value, 1e-9) << "the edit value stays the field's value";
        c.edit->SetFocus();
        Pump();
        EXPECT_EQ(c.edit->Text(), c.focused) << "focused it shows its own text";
    }
    // What the user sees: the date twin, left again, paints the field's
    // text as a plain text editor paints that same text.
    auto* plain = CreateObject<TcxTextEdit>(form);
    plain->SetBounds(date->Left(), 100, date->Width(), date->Height());
    plain->Style()->LookAndFeel()->SetKind(lfStandard);
    UseFixedFace(plain->Style()->Font());
    plain->SetParent(form);
    plain->SetText("2004-05-17");
    Pump();
    int inked = 0, differ = 0;
    for (int y = 3; y < date->Height() - 3; ++y)
        for (int x = 3; x < 10 * 8; ++x) {
            const std::uint32_t shown = Pixel(date, x, y);
            inked += shown == Rgb(clWindowText);
            differ += shown != Pixel(plain, x, y);
        }
    EXPECT_GT(inked, 40) << "the text is painted";
    EXPECT_EQ(differ, 0);
}

TEST_F(DBKindsTest, TheFieldTypeChoosesTheBlobKindItsIconAndButton)
{
    struct Case {
        const char* field;
        TcxBlobEditKind kind;
        TcxEditButtonKind button;
    };
    int top = 10;
    for (const Case c : {Case{"notes", bekMemo, bkDown}, Case{"raw", bekBlob, bkEllipsis},
                         Case{"picture", bekPict, bkDown}}) {
        SCOPED_TRACE(c.field);
        auto* twin = BoundFixed<TcxDBBlobEdit>(c.field, top);
        EXPECT_EQ(twin->ActiveProperties()->ActiveBlobEditKind(), c.kind);
        EXPECT_EQ(twin->ActiveProperties()->Buttons()->Items(0)->Kind(), c.button);
        EXPECT_FALSE(twin->EditValue().IsNull());
        // A plain editor of that kind holding the same value paints the same icon.
        auto* plain = CreateObject<TcxBlobEdit>(form);
        plain->SetBounds(twin->Left(), top + 30, twin->Width(), twin->Height());
        plain->Style()->LookAndFeel()->SetKind(lfStandard);
        UseFixedFace(plain->Style()->Font());
        plain->Properties()->SetBlobEditKind(c.kind);
        plain->SetParent(form);
        plain->SetEditValue(twin->EditValue());
        Pump();
        const RECT icon = static_cast<TcxBlobEditViewInfo*>(twin->ViewInfo())->IconRect;
        ASSERT_EQ(icon.right - icon.left, 18);
        int differ = 0;
        for (int y = icon.top; y < icon.bottom; ++y)
            for (int x = icon.left; x < icon.right; ++x)
                differ += Pixel(twin, x, y) != Pixel(plain, x, y);
        EXPECT_EQ(differ, 0);
        top += 70;
    }
}

TEST_F(DBKindsTest, BlobTwinEditsAMemoFieldInItsDropDown)
{
    auto* edit = BoundFixed<TcxDBBlobEdit>("notes");
    EXPECT_EQ(VarToStr(edit->EditValue()), "memo text");
    main->Next();
    Pump();
    EXPECT_TRUE(edit->EditValue().IsNull()) << "read on scrolling";
    main->Prior();
    Pump();
    edit->SetFocus();
    Pump();
    edit->DropDown();
    Pump();
    auto* memo = As<TcxPopupMemo>(edit->PopupEditor());
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Text(), "memo text");
    memo->SetSelStart(static_cast<int>(memo->Text().size()));
    Screen().TypeText("!");
    Pump();
    ASSERT_NE(edit->OKButton(), nullptr);
    ClickAt(edit->OKButton());
    Pump();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(main->State(), dsEdit) << "accepting the memo enters edit state";
    EXPECT_EQ(main->FieldByName("notes")->AsString(), "memo text");
    main->Post();
    EXPECT_EQ(main->FieldByName("notes")->AsString(), "memo text!");
}

TEST_F(DBKindsTest, AReadOnlyBlobFieldOpensWithCloseOnly)
{
    main->FieldByName("notes")->SetReadOnly(true);
    auto* edit = BoundFixed<TcxDBBlobEdit>("notes");
    edit->SetFocus();
    Pump();
    edit->DropDown();
    Pump();
    ASSERT_NE(edit->CancelButton(), nullptr);
    EXPECT_EQ(edit->CancelButton()->Caption(), "&Close");
    EXPECT_EQ(edit->OKButton(), nullptr);
    auto* memo = As<TcxPopupMemo>(edit->PopupEditor());
    ASSERT_NE(memo, nullptr);
    Screen().TypeText("x");
    Pump();
    EXPECT_EQ(memo->Text(), "memo text");
    edit->CloseUp(false);
    Pump();
    EXPECT_EQ(main->State(), dsBrowse);
}

}  // namespace
