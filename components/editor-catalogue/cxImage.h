#pragma once
// The image editor: a picture whose edit value is the graphic's own file
// data in a string, painted (stretched or centred on request) by its view
// information, with clipboard commands, file dialogs and a popup menu.

#include <string>
#include <string_view>
#include <vector>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditViewData.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/hostlib/visual/pictures.h"

// A stream reading a byte string in place; writing stores nothing.
class TMemoryStreamReadOnly : public hostlib::TStream {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TMemoryStreamReadOnly() = default;
    explicit TMemoryStreamReadOnly(std::string_view bytes) : bytes_(bytes) {}

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, hostlib::TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }

private:
    std::string_view bytes_;
    std::int64_t position_ = 0;
};

// The graphic classes a value may be decoded with, in order.
const std::vector<hostlib::TClass>& GetRegisteredGraphicClasses();
void RegisterGraphicClass(hostlib::TClass graphicClass);
void UnRegisterGraphicClass(hostlib::TClass graphicClass);
// The first registered class of that name in any case; nullptr.
hostlib::TClass GetGraphicClassByName(const std::string& name);

bool IsPictureEmpty(hostlib::TPicture* picture);
// The graphic's own file data; empty for no picture.
void SavePicture(hostlib::TPicture* picture, std::string& value);
// A byte string (optionally behind an 8-byte header) decoded with the
// class, or into the picture's bitmap without one; anything else, short or
// undecodable data clears the picture.
void LoadPicture(hostlib::TPicture* picture, hostlib::TClass graphicClass, const hostlib::Variant& value);

enum TcxPopupMenuItem { pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom };
using TcxPopupMenuItems = hostlib::TSet<TcxPopupMenuItem>;
enum TcxImageTransparency { gtDefault, gtOpaque, gtTransparent };
const hostlib::TEnumInfo& EnumTypeInfo(TcxPopupMenuItem*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxImageTransparency*);

using TcxImageAssignPictureEvent = hostlib::Event<hostlib::TObject*, hostlib::TPicture*>;
using TcxImageGraphicClassEvent = hostlib::Event<hostlib::TObject*, int, bool, hostlib::TClass&>;
using TcxImageEditGraphicClassEvent = hostlib::Event<hostlib::TObject*, bool, hostlib::TClass&>;

class TcxPopupMenuLayout : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Assign(hostlib::TPersistent* source) override;

    TcxPopupMenuItems MenuItems() const { return menuItems_; }
    void SetMenuItems(TcxPopupMenuItems value) { menuItems_ = value; }
    const std::string& CustomMenuItemCaption() const { return caption_; }
    void SetCustomMenuItemCaption(const std::string& value) { caption_ = value; }
    // Created empty on first read; nullptr frees it.
    hostlib::TBitmap* CustomMenuItemGlyph() const;
    void SetCustomMenuItemGlyph(hostlib::TBitmap* value);

protected:
    void Destroy() override;

private:
    TcxPopupMenuItems menuItems_{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave};
    std::string caption_;
    mutable hostlib::ObjectPtr<hostlib::TBitmap> glyph_;
};

class TcxCustomImageProperties : public TcxCustomEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void DefineProperties(hostlib::TFiler& filer) override;
    bool CanValidate() override { return true; }
    hostlib::TClass GetViewDataClass() override;
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetViewInfoClass() override;
    std::string GetDisplayText(const hostlib::Variant& editValue, bool fullText = false) override;
    TcxEditSupportedOperations GetSupportedOperations() override;
    bool IsResetEditClass() override { return true; }
    void ValidateDisplayValue(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                              TcxCustomEdit* edit = nullptr) override;
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override;

    virtual hostlib::TClass GetDefaultGraphicClass();
    // The class set, else a bitmap when pasting, else the handler's choice.
    virtual hostlib::TClass GetGraphicClass(hostlib::TObject* item, int recordIndex, bool pastingFromClipboard);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    const std::string& CustomFilter() const { return customFilter_; }
    void SetCustomFilter(const std::string& value) { customFilter_ = value; }
    int DefaultContentHeight() const { return defaultContentHeight_; }
    hostlib::TClass GraphicClass() const { return graphicClass_; }
    void SetGraphicClass(hostlib::TClass value);
    std::string GraphicClassName() const;
    // "" clears the class; an unknown name changes nothing.
    void SetGraphicClassName(const std::string& value);
    bool IsGraphicClassNameStored() const;
    TcxImageTransparency GraphicTransparency() const { return transparency_; }
    void SetGraphicTransparency(TcxImageTransparency value);
    TcxPopupMenuLayout* PopupMenuLayout() const { return layout_.get(); }
    void SetPopupMenuLayout(TcxPopupMenuLayout* value) { layout_->Assign(value); }
    bool ShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);

    TcxImageAssignPictureEvent OnAssignPicture;
    hostlib::TNotifyEvent OnCustomClick;
    TcxImageGraphicClassEvent OnGetGraphicClass;

protected:
    void Destroy() override;

private:
    std::string caption_;
    bool center_ = true;
    std::string customFilter_;
    int defaultContentHeight_ = 15;
    hostlib::TClass graphicClass_ = nullptr;
    TcxImageTransparency transparency_ = gtDefault;
    hostlib::ObjectPtr<TcxPopupMenuLayout> layout_;
    bool showFocusRect_ = true;
    bool stretch_ = false;
};

class TcxImageProperties : public TcxCustomImageProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxImageViewInfo : public TcxCustomEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool IsRepaintOnStateChangingNeeded() const override;
    // The rectangle the picture is drawn into for a client rectangle.
    RECT PictureRect(const RECT& client) const;

    // The editor's, or one of the view info's own for a painted cell.
    hostlib::TPicture* Picture = nullptr;
    hostlib::ObjectPtr<hostlib::TPicture> OwnPicture;
    hostlib::ObjectPtr<hostlib::TBitmap> TempBitmap;
    std::string Caption;
    bool Center = true;
    bool Stretch = false;
    bool ShowFocusFrame = false;
    POINT TopLeft{};

protected:
    void InternalPaint(TcxCanvas* canvas) override;

private:
    void PaintPicture(TcxCanvas* canvas, RECT client);
};

class TcxImageViewData : public TcxCustomEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    void EditValueToDrawValue(TcxCanvas* canvas, const hostlib::Variant& editValue,
                              TcxCustomEditViewInfo* viewInfo) override;
    SIZE GetEditContentSize(TcxCanvas* canvas, const hostlib::Variant& editValue,
                            const TcxEditSizeProperties& sizeProperties) override;
};

class TcxCustomImage : public TcxCustomEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomEdit::Construct;

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomImageProperties* Properties() const
    {
        return static_cast<TcxCustomImageProperties*>(TcxCustomEdit::Properties());
    }
    void SetProperties(TcxCustomImageProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCustomImageProperties* ActiveProperties()
    {
        return static_cast<TcxCustomImageProperties*>(TcxCustomEdit::ActiveProperties());
    }
    TcxImageViewInfo* ViewInfo() const { return static_cast<TcxImageViewInfo*>(TcxCustomEdit::ViewInfo()); }
    hostlib::TPicture* Picture() const { return picture_.get(); }
    void SetPicture(hostlib::TPicture* value) { picture_->Assign(value); }
    // Created on the first context-menu request.
    hostlib::TPopupMenu* InternalPopupMenu() const { return menu_; }

    hostlib::Variant GetEditValue() override;
    void InternalSetEditValue(const hostlib::Variant& value, bool validateEditValue) override;
    void PropertiesChanged(hostlib::TObject* sender) override;
    void Clear() override;
    void CopyToClipboard() override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;
    virtual bool CanPasteFromClipboard();
    virtual void CustomClick();
    virtual hostlib::TClass GetGraphicClass(bool pastingFromClipboard);
    void LoadFromFile();
    void SaveToFile();
    bool Focused() override;

    TcxImageEditGraphicClassEvent OnGetGraphicClass;

protected:
    void Destroy() override;
    void DoContextPopup(POINT mousePos, bool& handled) override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void KeyPress(char& key) override;
    // A picture larger than the client area scrolls by the editor's own
    // bars, unless it is centred or stretched.
    bool NeedsScrollBars() override { return true; }
    void InitScrollBarsParameters() override;
    void Scroll(hostlib::TScrollBarKind kind, hostlib::TScrollCode code, int& position) override;
    void UpdateScrollBars() override;
    // The client area leaves room for the visible bars.
    void InitializeViewData(TcxCustomEditViewData* viewData) override;

private:
    // The view info's offset follows the bars' positions.
    void SynchronizeImage();
    void PictureChanged(hostlib::TObject* sender);
    void ApplyTransparency();
    void DoOnAssignPicture();
    void PreparePopup();
    void CreatePopupItems();
    void MenuItemClick(hostlib::TObject* sender);
    void AsUser(void (TcxCustomImage::*command)());
    friend class TcxCustomImageProperties;

    hostlib::ObjectPtr<hostlib::TPicture> picture_;
    hostlib::TPopupMenu* menu_ = nullptr;
    bool settingValue_ = false;
    bool dialogOpen_ = false;
};

class TcxImage : public TcxCustomImage {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxImageProperties* Properties() const
    {
        return static_cast<TcxImageProperties*>(TcxCustomImage::Properties());
    }
    void SetProperties(TcxImageProperties* value) { TcxCustomEdit::SetProperties(value); }
};

// The menu's images, made at the unit's first start, kept for the program.
hostlib::TCustomImageList* cxImageMenuImages();

// Unit start-up: the menu images and "Image" among the registered editor
// kinds; shut-down only counts down.
void cxImageInitialize();
void cxImageFinalize();
