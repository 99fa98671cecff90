// Form resources: parsed, then loaded into a form whose classes publish
// every kind of property the loader knows (numbers, texts, enumerations,
// sets, references, lists, collections, sub-objects, events and defined
// data), then written back and read again.

#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/streams.h"
#include "tests/fuzz/harness.h"

using namespace hostlib;

namespace {

enum TFuzzAlign { faNone, faTop, faClient };
const TEnumInfo& EnumTypeInfo(TFuzzAlign*)
{
    static const TEnumInfo info{"TFuzzAlign", {"faNone", "faTop", "faClient"}, 0};
    return info;
}
using TFuzzSides = TSet<TFuzzAlign>;
const TIdentMap kColors = {{0x0000FF, "clRed"}, {0, "clBlack"}};

class TFuzzFont : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    int Size() const { return size_; }
    void SetSize(int s) { size_ = s; }

private:
    int size_ = 8;
};
TClass TFuzzFont::StaticClass()
{
    return DefineClass<TFuzzFont, TPersistent>(
        "TFuzzFont", [](ClassBuilder<TFuzzFont>& b) { b.Property("Size", &TFuzzFont::Size, &TFuzzFont::SetSize).Default(8); });
}

class TFuzzColumn : public TCollectionItem {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& c) { caption_ = c; }

private:
    std::string caption_;
};
TClass TFuzzColumn::StaticClass()
{
    return DefineClass<TFuzzColumn, TCollectionItem>(
        "TFuzzColumn", [](ClassBuilder<TFuzzColumn>& b) { b.Property("Caption", &TFuzzColumn::Caption, &TFuzzColumn::SetCaption); });
}

class TFuzzPanel : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    void Construct(TComponent* owner) override
    {
        TComponent::Construct(owner);
        items_ = MakeObject<TStringList>();
        columns_ = MakeObject<TOwnedCollection>(this, TFuzzColumn::StaticClass());
        columns_->SetPropName("Columns");
        font_ = MakeObject<TFuzzFont>();
    }

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& c) { caption_ = c; }
    int Color() const { return color_; }
    void SetColor(int c) { color_ = c; }
    TFuzzAlign Align() const { return align_; }
    void SetAlign(TFuzzAlign a) { align_ = a; }
    TFuzzSides Sides() const { return sides_; }
    void SetSides(TFuzzSides s) { sides_ = s; }
    double Ratio() const { return ratio_; }
    void SetRatio(double r) { ratio_ = r; }
    Currency Price() const { return price_; }
    void SetPrice(Currency p) { price_ = p; }
    Variant Value() const { return value_; }
    void SetValue(const Variant& v) { value_ = v; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e) { enabled_ = e; }
    char Accel() const { return accel_; }
    void SetAccel(char c) { accel_ = c; }
    TFuzzPanel* Buddy() const { return buddy_; }
    void SetBuddy(TFuzzPanel* b) { buddy_ = b; }
    TStringList* Items() const { return items_.get(); }
    TCollection* Columns() const { return columns_.get(); }
    TFuzzFont* Font() const { return font_.get(); }
    TNotifyEvent& OnClick() { return onClick_; }

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return parent_; }
    void SetParentComponent(TComponent* parent) override { parent_ = parent; }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override
    {
        for (int i = 0; i < root->ComponentCount(); ++i)
            if (root->Components(i)->GetParentComponent() == this) proc(root->Components(i));
    }
    void DefineProperties(TFiler& filer) override
    {
        TComponent::DefineProperties(filer);
        filer.DefineBinaryProperty(
            "Data", [this](TStream& s) {
                data_.resize(static_cast<std::size_t>(s.Size()));
                if (!data_.empty()) s.ReadBuffer(data_.data(), s.Size());
            },
            [this](TStream& s) { s.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size())); }, !data_.empty());
        filer.DefineProperty(
            "Extra", [this](TReader& r) { extra_ = r.ReadVariant(); }, [this](TWriter& w) { w.WriteVariant(extra_); },
            !extra_.IsEmpty());
    }

private:
    std::string caption_;
    int color_ = 0;
    TFuzzAlign align_ = faNone;
    TFuzzSides sides_;
    double ratio_ = 0;
    Currency price_;
    Variant value_;
    Variant extra_;
    bool enabled_ = true;
    char accel_ = '\0';
    TFuzzPanel* buddy_ = nullptr;
    TComponent* parent_ = nullptr;
    ObjectPtr<TStringList> items_;
    ObjectPtr<TOwnedCollection> columns_;
    ObjectPtr<TFuzzFont> font_;
    TNotifyEvent onClick_;
    std::vector<std::uint8_t> data_;
};
TClass TFuzzPanel::StaticClass()
{
    return DefineClass<TFuzzPanel, TComponent>("TFuzzPanel", [](ClassBuilder<TFuzzPanel>& b) {
        b.Property("Caption", &TFuzzPanel::Caption, &TFuzzPanel::SetCaption);
        b.Property("Color", &TFuzzPanel::Color, &TFuzzPanel::SetColor).Default(0).Idents(&kColors);
        b.Property("Align", &TFuzzPanel::Align, &TFuzzPanel::SetAlign).Default(faNone);
        b.Property("Sides", &TFuzzPanel::Sides, &TFuzzPanel::SetSides).Default(TFuzzSides{});
        b.Property("Ratio", &TFuzzPanel::Ratio, &TFuzzPanel::SetRatio);
        b.Property("Price", &TFuzzPanel::Price, &TFuzzPanel::SetPrice);
        b.Property("Value", &TFuzzPanel::Value, &TFuzzPanel::SetValue);
        b.Property("Enabled", &TFuzzPanel::Enabled, &TFuzzPanel::SetEnabled).Default(true);
        b.Property("Accel", &TFuzzPanel::Accel, &TFuzzPanel::SetAccel).Default(0);
        b.Property("Buddy", &TFuzzPanel::Buddy, &TFuzzPanel::SetBuddy);
        b.Property("Items", &TFuzzPanel::Items);
        b.Property("Columns", &TFuzzPanel::Columns);
        b.Property("Font", &TFuzzPanel::Font);
        b.EventProperty("OnClick", &TFuzzPanel::OnClick);
    });
}

class TFuzzForm : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void PanelClick(TObject*) {}
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) override
    {
        for (int i = 0; i < ComponentCount(); ++i)
            if (Components(i)->GetParentComponent() == this) proc(Components(i));
    }
};
TClass TFuzzForm::StaticClass()
{
    return DefineClass<TFuzzForm, TComponent>(
        "TFuzzForm", [](ClassBuilder<TFuzzForm>& b) { b.Method("PanelClick", &TFuzzForm::PanelClick); });
}

void Load(std::string_view text)
{
    auto form = MakeObject<TFuzzForm>(nullptr);
    ReadFormResource(form.get(), text, "fuzz.form");
    const std::string written = WriteFormResource(form.get());
    auto again = MakeObject<TFuzzForm>(nullptr);
    ReadFormResource(again.get(), written, "written.form");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool registered = [] {
        RegisterClasses({TFuzzForm::StaticClass(), TFuzzPanel::StaticClass(), TStringList::StaticClass()});
        return true;
    }();
    (void)registered;
    const std::string_view text = quelvo::fuzz::Text(data, size);
    quelvo::fuzz::Guarded<Exception>([&] { ParseFormResource(text, "fuzz.form"); });
    quelvo::fuzz::Guarded<Exception>([&] { Load(text); });
    return 0;
}
