#pragma once
// The image combo box: a fixed-list drop-down editor whose value is one of
// its items' values, each shown as an image and a description, in the
// editor and, optionally word-wrapped, in the list.

#include <string>

#include "components/editors/cxComboBox.h"
#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/visual/imagelist.h"

enum TcxImageAlign { iaLeft, iaRight };
const hostlib::TEnumInfo& EnumTypeInfo(TcxImageAlign*);

class TcxCustomImageComboBoxProperties;

class TcxImageComboBoxItem : public hostlib::TCollectionItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Takes its own index as image when the owner's Images hold that many.
    void Construct(hostlib::TCollection* collection) override;
    void Assign(hostlib::TPersistent* source) override;

    const std::string& Description() const { return description_; }
    void SetDescription(const std::string& value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    int Tag() const { return tag_; }
    void SetTag(int value) { tag_ = value; }
    const hostlib::Variant& Value() const { return value_; }
    void SetValue(const hostlib::Variant& value);
    bool IsValueStored() const { return !hostlib::VarIsNull(value_); }

private:
    std::string description_;
    int imageIndex_ = -1;
    int tag_ = 0;
    hostlib::Variant value_ = hostlib::Variant::Null();
};

class TcxImageComboBoxItems : public hostlib::TOwnedCollection {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    using TOwnedCollection::Construct;
    void Construct(hostlib::TPersistent* owner)
    {
        TOwnedCollection::Construct(owner, TcxImageComboBoxItem::StaticClass());
    }

    TcxImageComboBoxItem* Items(int index) const
    {
        return static_cast<TcxImageComboBoxItem*>(TCollection::Items(index));
    }
    TcxImageComboBoxItem* Add() { return static_cast<TcxImageComboBoxItem*>(TCollection::Add()); }
    TcxCustomImageComboBoxProperties* Properties() const;

protected:
    void Update(hostlib::TCollectionItem* item) override;
};

class TcxCustomImageComboBoxProperties : public TcxCustomComboBoxProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void FreeNotification(hostlib::TComponent* sender) override;
    TcxEditDisplayFormatOptions GetDisplayFormatOptions() override { return {}; }
    hostlib::TClass GetViewDataClass() override;
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetViewInfoClass() override;
    hostlib::TClass GetLookupDataClass() override;
    bool CompareDisplayValues(const hostlib::Variant& value1, const hostlib::Variant& value2) override;
    std::string GetDisplayText(const hostlib::Variant& editValue, bool fullText = false) override;
    TcxEditSupportedOperations GetSupportedOperations() override;
    bool IsEditValueValid(hostlib::Variant& editValue, bool editFocused) override;
    void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue,
                             bool editFocused) override;
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override;
    bool FindLookupText(const std::string& text) override;

    // The first item of the value (exact type and value), nullptr for none.
    TcxImageComboBoxItem* FindItemByValue(const hostlib::Variant& value) const;
    // The first item of the description in any case; none while
    // descriptions are hidden.
    TcxImageComboBoxItem* FindItemByText(const std::string& text) const;
    // The text and image an item (nullptr: the defaults) shows.
    void InternalGetImageComboBoxDisplayValue(TcxImageComboBoxItem* item, std::string& text, int& imageIndex) const;
    void GetImageComboBoxDisplayValue(const hostlib::Variant& editValue, std::string& text, int& imageIndex) const;

    const std::string& DefaultDescription() const { return defaultDescription_; }
    void SetDefaultDescription(const std::string& value);
    int DefaultImageIndex() const { return defaultImageIndex_; }
    void SetDefaultImageIndex(int value);
    TcxImageAlign ImageAlign() const { return imageAlign_; }
    void SetImageAlign(TcxImageAlign value);
    hostlib::TCustomImageList* Images() const { return images_; }
    void SetImages(hostlib::TCustomImageList* value);
    TcxImageComboBoxItems* Items() const { return items_.get(); }
    void SetItems(TcxImageComboBoxItems* value);
    hostlib::TCustomImageList* LargeImages() const { return largeImages_; }
    void SetLargeImages(hostlib::TCustomImageList* value);
    bool MultiLineText() const { return multiLineText_; }
    void SetMultiLineText(bool value);
    bool ShowDescriptions() const { return showDescriptions_; }
    void SetShowDescriptions(bool value);

protected:
    void Destroy() override;

private:
    void ImagesChange(hostlib::TObject* sender) { (void)sender, Changed(); }
    void Relink(hostlib::TCustomImageList*& field, hostlib::TCustomImageList* value, hostlib::TChangeLink* link);

    std::string defaultDescription_;
    int defaultImageIndex_ = -1;
    TcxImageAlign imageAlign_ = iaLeft;
    hostlib::TCustomImageList* images_ = nullptr;
    hostlib::ObjectPtr<hostlib::TChangeLink> imagesLink_;
    hostlib::ObjectPtr<TcxImageComboBoxItems> items_;
    hostlib::TCustomImageList* largeImages_ = nullptr;
    hostlib::ObjectPtr<hostlib::TChangeLink> largeImagesLink_;
    bool multiLineText_ = false;
    bool showDescriptions_ = true;
};

class TcxImageComboBoxProperties : public TcxCustomImageComboBoxProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxImageComboBoxViewInfo : public TcxCustomTextEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Offset(int dx, int dy) override;

    bool ShowDescriptions = true;
    TcxImageAlign ImageAlign = iaLeft;
    RECT ImageRect{};
    int ImageIndex = -1;
    hostlib::TCustomImageList* Images = nullptr;

protected:
    void InternalPaint(TcxCanvas* canvas) override;
};

class TcxImageComboBoxViewData : public TcxCustomDropDownEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    std::string InternalEditValueToDisplayText(const hostlib::Variant& editValue) override;
    void InternalGetEditConstantPartSize(TcxCanvas* canvas, bool isInplace,
                                         const TcxEditSizeProperties& sizeProperties, SIZE& minContentSize,
                                         TcxCustomEditViewInfo* viewInfo, SIZE& size) override;
    SIZE InternalGetEditContentSize(TcxCanvas* canvas, const hostlib::Variant& editValue,
                                    const TcxEditSizeProperties& sizeProperties) override;
    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    void EditValueToDrawValue(TcxCanvas* canvas, const hostlib::Variant& editValue,
                              TcxCustomEditViewInfo* viewInfo) override;
    void DisplayValueToDrawValue(const hostlib::Variant& displayValue, TcxCustomEditViewInfo* viewInfo) override;
    bool IsComboBoxStyle() override { return true; }

private:
    TcxCustomImageComboBoxProperties* ImageProperties() const
    {
        return static_cast<TcxCustomImageComboBoxProperties*>(Properties());
    }
    void LayoutImage(TcxImageComboBoxViewInfo* info, RECT& textRect);
};

class TcxImageComboBoxListBox : public TcxComboBoxListBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    using TcxComboBoxListBox::Construct;

    int GetHeight(int rowCount) override;
    int GetItemHeight(int index = -1) override;
    void RecreateWindow() override;
    // The room the popup has: measuring wrapped rows beyond it leaves room
    // for the scroll bar.
    void SetMaxHeight(int value) { maxHeight_ = value; }
    // The widest description with its image, and the scroll bar when the
    // list scrolls.
    virtual int GetMaxItemWidth();

protected:
    void DrawItem(int index, const RECT& rect, hostlib::TOwnerDrawState state) override;
    void MeasureItem(int index, int& height) override;

private:
    TcxCustomImageComboBoxProperties* ImageProperties() const;
    hostlib::TCustomImageList* GetImages() const;
    RECT GetImageRect(const RECT& r) const;
    int MeasuredHeightSum(int rowCount);
    template <class F>
    auto Measure(F measure);

    int clientWidth_ = 0;
    int maxHeight_ = 0;
};

class TcxImageComboBoxLookupData : public TcxComboBoxLookupData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    std::string GetItem(int index) override;
    int GetItemCount() override;
    hostlib::TClass GetListBoxClass() override { return TcxImageComboBoxListBox::StaticClass(); }
    SIZE GetVisualAreaPreferredSize(int maxHeight, int width = 0) override;
    void TextChanged() override;

private:
    TcxCustomImageComboBoxProperties* ImageProperties() const;
};

class TcxCustomImageComboBox : public TcxCustomComboBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomImageComboBoxProperties* Properties() const
    {
        return static_cast<TcxCustomImageComboBoxProperties*>(TcxCustomEdit::Properties());
    }
    void SetProperties(TcxCustomImageComboBoxProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCustomImageComboBoxProperties* ActiveProperties()
    {
        return static_cast<TcxCustomImageComboBoxProperties*>(TcxCustomEdit::ActiveProperties());
    }

    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue,
                          bool editFocused) override;
    void SynchronizeDisplayValue() override;
    SIZE GetPopupWindowClientPreferredSize() override;
    // Null for the key -1, else the value of that item.
    void LookupKeyToEditValue(const hostlib::Variant& key, hostlib::Variant& value) override;
    TcxImageComboBoxViewInfo* ViewInfo() const
    {
        return static_cast<TcxImageComboBoxViewInfo*>(TcxCustomComboBox::ViewInfo());
    }

protected:
    bool IsValidChar(char key) override { return static_cast<unsigned char>(key) > 31; }
    void UpdateDrawValue() override;
};

class TcxImageComboBox : public TcxCustomImageComboBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxImageComboBoxProperties* Properties() const
    {
        return static_cast<TcxImageComboBoxProperties*>(TcxCustomImageComboBox::Properties());
    }
    void SetProperties(TcxImageComboBoxProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxImageComboBoxProperties* ActiveProperties()
    {
        return static_cast<TcxImageComboBoxProperties*>(TcxCustomImageComboBox::ActiveProperties());
    }
};

// Unit start-up: "ImageComboBox" joins the registered editor kinds;
// shut-down only counts down.
void cxImageComboBoxInitialize();
void cxImageComboBoxFinalize();
