#pragma once
// Classes that publish every kind of property the form loader knows:
// numbers, texts, enumerations, sets, references, string lists,
// collections, sub-objects chosen by class name, events and defined data.
// Shared by the form tests and the form-resource fuzz target.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/streams.h"

namespace form_classes {

using namespace hostlib;

enum TPanelAlign { paNone, paTop, paClient };
inline const TEnumInfo& EnumTypeInfo(TPanelAlign*)
{
    static const TEnumInfo info{"TPanelAlign", {"paNone", "paTop", "paClient"}, 0};
    return info;
}
enum TSide { sdLeft, sdTop, sdRight, sdBottom };
inline const TEnumInfo& EnumTypeInfo(TSide*)
{
    static const TEnumInfo info{"TSide", {"sdLeft", "sdTop", "sdRight", "sdBottom"}, 0};
    return info;
}
using TSides = TSet<TSide>;

inline const TIdentMap kColors = {{0x0000FF, "clRed"}, {0xFFFFFF, "clWhite"}, {0, "clBlack"}};

// What the classes saw while loading, in order.
inline std::vector<std::string> gEvents;

class TFontInfo : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    int Size() const { return size_; }
    void SetSize(int s) { size_ = s; }
    std::string Name() const { return name_; }
    void SetName(const std::string& n) { name_ = n; }

private:
    int size_ = 8;
    std::string name_ = "Sans";
};
inline TClass TFontInfo::StaticClass()
{
    return DefineClass<TFontInfo, TPersistent>("TFontInfo", [](ClassBuilder<TFontInfo>& b) {
        b.Property("Size", &TFontInfo::Size, &TFontInfo::SetSize).Default(8);
        b.Property("Name", &TFontInfo::Name, &TFontInfo::SetName).Default("Sans");
    });
}

// Settings objects whose class is chosen at run time by name.
class TBaseProps : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
};
inline TClass TBaseProps::StaticClass()
{
    return DefineClass<TBaseProps, TPersistent>("TBaseProps");
}
class TSpinProps : public TBaseProps {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    int Increment() const { return inc_; }
    void SetIncrement(int v) { inc_ = v; }

private:
    int inc_ = 1;
};
inline TClass TSpinProps::StaticClass()
{
    return DefineClass<TSpinProps, TBaseProps>("TSpinProps", [](ClassBuilder<TSpinProps>& b) {
        b.Property("Increment", &TSpinProps::Increment, &TSpinProps::SetIncrement).Default(1);
    });
}

class TColumn : public TCollectionItem {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& c) { caption_ = c; }
    int Width() const { return width_; }
    void SetWidth(int w) { width_ = w; }

private:
    std::string caption_;
    int width_ = 100;
};
inline TClass TColumn::StaticClass()
{
    return DefineClass<TColumn, TCollectionItem>("TColumn", [](ClassBuilder<TColumn>& b) {
        b.Property("Caption", &TColumn::Caption, &TColumn::SetCaption);
        b.Property("Width", &TColumn::Width, &TColumn::SetWidth).Default(100);
    });
}

class TPanel : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    void Construct(TComponent* owner) override
    {
        TComponent::Construct(owner);
        items_ = MakeObject<TStringList>();
        columns_ = MakeObject<TOwnedCollection>(this, TColumn::StaticClass());
        columns_->SetPropName("Columns");
        font_ = MakeObject<TFontInfo>();
    }

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& c) { caption_ = c; }
    int Color() const { return color_; }
    void SetColor(int c) { color_ = c; }
    TPanelAlign Align() const { return align_; }
    void SetAlign(TPanelAlign a) { align_ = a; }
    TSides Sides() const { return sides_; }
    void SetSides(TSides s) { sides_ = s; }
    double Ratio() const { return ratio_; }
    void SetRatio(double r) { ratio_ = r; }
    Currency Price() const { return price_; }
    void SetPrice(Currency p) { price_ = p; }
    Variant Value() const { return value_; }
    void SetValue(const Variant& v) { value_ = v; }
    char Accel() const { return accel_; }
    void SetAccel(char c) { accel_ = c; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e) { enabled_ = e; }
    TPanel* Buddy() const { return buddy_; }
    void SetBuddy(TPanel* b) { buddy_ = b; }
    TStringList* Items() const { return items_.get(); }
    TCollection* Columns() const { return columns_.get(); }
    TFontInfo* Font() const { return font_.get(); }
    TNotifyEvent& OnClick() { return onClick_; }
    std::string PropsClassName() const { return props_ ? props_->ClassName() : std::string(); }
    void SetPropsClassName(const std::string& name)
    {
        props_.reset();
        if (TClass c = GetClass(name)) props_.reset(static_cast<TBaseProps*>(c->NewInstance()));
    }
    TBaseProps* Props() const { return props_.get(); }
    const std::vector<std::uint8_t>& Data() const { return data_; }
    void SetData(std::vector<std::uint8_t> d) { data_ = std::move(d); }
    const std::string& Legacy() const { return legacy_; }
    void SetLegacy(const std::string& s) { legacy_ = s; }

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return parent_; }
    void SetParentComponent(TComponent* parent) override { parent_ = parent; }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override
    {
        for (int i = 0; i < root->ComponentCount(); ++i)
            if (root->Components(i)->GetParentComponent() == this) proc(root->Components(i));
    }

    void ReadState(TReader& reader) override
    {
        gEvents.push_back("read " + Name() + " parent " + (reader.Parent() ? reader.Parent()->Name() : "-") +
                          (ComponentState().Contains(csReading) ? " reading" : ""));
        TComponent::ReadState(reader);
        gEvents.push_back("read end " + Name());
    }
    void Loaded() override
    {
        gEvents.push_back("loaded " + Name() + (IsLoading() ? " loading" : ""));
        TComponent::Loaded();
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
            "Legacy", [this](TReader& r) { legacy_ = r.ReadString(); }, [this](TWriter& w) { w.WriteString(legacy_); },
            !legacy_.empty());
    }

private:
    std::string caption_;
    int color_ = 0xFFFFFF;
    TPanelAlign align_ = paNone;
    TSides sides_;
    double ratio_ = 0;
    Currency price_;
    Variant value_;
    bool enabled_ = true;
    char accel_ = '\0';
    TPanel* buddy_ = nullptr;
    TComponent* parent_ = nullptr;
    ObjectPtr<TStringList> items_;
    ObjectPtr<TOwnedCollection> columns_;
    ObjectPtr<TFontInfo> font_;
    ObjectPtr<TBaseProps> props_;
    TNotifyEvent onClick_;
    std::vector<std::uint8_t> data_;
    std::string legacy_;
};

inline TClass TPanel::StaticClass()
{
    return DefineClass<TPanel, TComponent>("TPanel", [](ClassBuilder<TPanel>& b) {
        b.Property("Caption", &TPanel::Caption, &TPanel::SetCaption);
        b.Property("Color", &TPanel::Color, &TPanel::SetColor).Default(0xFFFFFF).Idents(&kColors);
        b.Property("Align", &TPanel::Align, &TPanel::SetAlign).Default(paNone);
        b.Property("Sides", &TPanel::Sides, &TPanel::SetSides).Default(TSides{});
        b.Property("Ratio", &TPanel::Ratio, &TPanel::SetRatio);
        b.Property("Price", &TPanel::Price, &TPanel::SetPrice);
        b.Property("Value", &TPanel::Value, &TPanel::SetValue);
        b.Property("Enabled", &TPanel::Enabled, &TPanel::SetEnabled).Default(true);
        b.Property("Accel", &TPanel::Accel, &TPanel::SetAccel).Default(0);
        b.Property("Buddy", &TPanel::Buddy, &TPanel::SetBuddy);
        b.Property("Items", &TPanel::Items);
        b.Property("Columns", &TPanel::Columns);
        b.Property("Font", &TPanel::Font);
        b.Property("PropsClassName", &TPanel::PropsClassName, &TPanel::SetPropsClassName);
        b.Property("Props", &TPanel::Props);
        b.EventProperty("OnClick", &TPanel::OnClick);
    });
}

class TTestForm : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    std::string Title() const { return title_; }
    void SetTitle(const std::string& t) { title_ = t; }
    void PanelClick(TObject* sender) { clicked.push_back(static_cast<TComponent*>(sender)->Name()); }
    void Resized(TObject*, int) {}
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) override
    {
        for (int i = 0; i < ComponentCount(); ++i)
            if (Components(i)->GetParentComponent() == this) proc(Components(i));
    }
    void Loaded() override
    {
        gEvents.push_back("loaded form");
        TComponent::Loaded();
    }
    std::vector<std::string> clicked;

private:
    std::string title_;
};

inline TClass TTestForm::StaticClass()
{
    return DefineClass<TTestForm, TComponent>("TTestForm", [](ClassBuilder<TTestForm>& b) {
        b.Property("Title", &TTestForm::Title, &TTestForm::SetTitle);
        b.Method("PanelClick", &TTestForm::PanelClick);
        b.Method("Resized", &TTestForm::Resized);
    });
}

}  // namespace form_classes
