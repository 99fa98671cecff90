#pragma once
// The BLOB editor: a large value (a text, a picture or opaque data) shown as
// a compact cell (an icon, a fixed word or the beginning of the text) and
// edited in a drop-down holding a memo or an image editor with buttons to
// accept or cancel. The drop-down controls live only while it is open.

#include <string>

#include "components/editor-catalogue/cxButtons.h"
#include "components/editor-catalogue/cxImage.h"
#include "components/editor-catalogue/cxMemo.h"
#include "components/editors/cxPopupEdit.h"

inline constexpr TcxResourceString cxSBlobButtonOK{64350, "&OK"};
inline constexpr TcxResourceString cxSBlobButtonCancel{64351, "&Cancel"};
inline constexpr TcxResourceString cxSBlobButtonClose{64352, "&Close"};
inline constexpr TcxResourceString cxSBlobMemo{64353, "(MEMO)"};
inline constexpr TcxResourceString cxSBlobMemoEmpty{64354, "(memo)"};
inline constexpr TcxResourceString cxSBlobPicture{64355, "(PICTURE)"};
inline constexpr TcxResourceString cxSBlobPictureEmpty{64356, "(picture)"};

enum TcxBlobEditKind { bekAuto, bekMemo, bekPict, bekOle, bekBlob };
enum TcxBlobPaintStyle { bpsDefault, bpsIcon, bpsText };
const hostlib::TEnumInfo& EnumTypeInfo(TcxBlobEditKind*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxBlobPaintStyle*);

class TcxCustomBlobEdit;
class TcxCustomBlobEditProperties;

// The text a cell of the value shows; with fullText a memo's whole string.
std::string GetBlobText(const hostlib::Variant& value, TcxCustomBlobEditProperties* properties, bool fullText);

class TcxCustomBlobEditProperties : public TcxCustomPopupEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void DefineProperties(hostlib::TFiler& filer) override;
    TcxEditDisplayFormatOptions GetDisplayFormatOptions() override { return {}; }
    hostlib::TClass GetViewDataClass() override;
    bool HasDisplayValue() override { return false; }
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetViewInfoClass() override;
    bool CompareDisplayValues(const hostlib::Variant& value1, const hostlib::Variant& value2) override;
    std::string GetDisplayText(const hostlib::Variant& editValue, bool fullText = false) override;
    TcxEditSupportedOperations GetSupportedOperations() override;
    bool IsEditValueValid(hostlib::Variant&, bool) override { return true; }
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override;
    bool DropDownOnClick() override { return true; }
    hostlib::TClass GetPopupWindowClass() override;

    virtual hostlib::TClass GetDefaultPictureGraphicClass();
    // The kind in force: BlobEditKind, or for bekAuto the one the current
    // data field names. The property itself keeps bekAuto, so that editors
    // sharing these properties each follow their own field.
    TcxBlobEditKind ActiveBlobEditKind() const;
    // The first button shows the arrow for the kinds that drop down, the
    // ellipsis for the others; no change notification.
    void SyncButtonKind();
    hostlib::TClass GetPictureGraphicClass(hostlib::TObject* item, int recordIndex, bool pastingFromClipboard);

    bool AlwaysSaveData() const { return alwaysSaveData_; }
    void SetAlwaysSaveData(bool value) { alwaysSaveData_ = value; }
    TcxBlobEditKind BlobEditKind() const { return blobEditKind_; }
    void SetBlobEditKind(TcxBlobEditKind value);
    TcxBlobPaintStyle BlobPaintStyle() const { return blobPaintStyle_; }
    void SetBlobPaintStyle(TcxBlobPaintStyle value);
    bool MemoAutoReplace() const { return memoAutoReplace_; }
    void SetMemoAutoReplace(bool value) { memoAutoReplace_ = value; }
    hostlib::TEditCharCase MemoCharCase() const { return memoCharCase_; }
    void SetMemoCharCase(hostlib::TEditCharCase value) { memoCharCase_ = value; }
    int MemoMaxLength() const { return memoMaxLength_; }
    void SetMemoMaxLength(int value) { memoMaxLength_ = value; }
    bool MemoOEMConvert() const { return memoOEMConvert_; }
    void SetMemoOEMConvert(bool value) { memoOEMConvert_ = value; }
    hostlib::TScrollStyle MemoScrollBars() const { return memoScrollBars_; }
    void SetMemoScrollBars(hostlib::TScrollStyle value) { memoScrollBars_ = value; }
    bool MemoWantReturns() const { return memoWantReturns_; }
    void SetMemoWantReturns(bool value) { memoWantReturns_ = value; }
    bool MemoWantTabs() const { return memoWantTabs_; }
    void SetMemoWantTabs(bool value) { memoWantTabs_ = value; }
    bool MemoWordWrap() const { return memoWordWrap_; }
    void SetMemoWordWrap(bool value) { memoWordWrap_ = value; }
    bool PictureAutoSize() const { return pictureAutoSize_; }
    void SetPictureAutoSize(bool value) { pictureAutoSize_ = value; }
    const std::string& PictureFilter() const { return pictureFilter_; }
    void SetPictureFilter(const std::string& value) { pictureFilter_ = value; }
    hostlib::TClass PictureGraphicClass() const { return pictureGraphicClass_; }
    void SetPictureGraphicClass(hostlib::TClass value);
    std::string PictureGraphicClassName() const;
    // "" clears the class; an unknown name changes nothing.
    void SetPictureGraphicClassName(const std::string& value);
    bool IsPictureGraphicClassNameStored() const;
    TcxImageTransparency PictureTransparency() const { return pictureTransparency_; }
    void SetPictureTransparency(TcxImageTransparency value) { pictureTransparency_ = value; }
    bool ShowExPopupItems() const { return showExPopupItems_; }
    void SetShowExPopupItems(bool value) { showExPopupItems_ = value; }
    bool ShowPicturePopup() const { return showPicturePopup_; }
    void SetShowPicturePopup(bool value) { showPicturePopup_ = value; }

    TcxImageAssignPictureEvent OnAssignPicture;
    TcxImageGraphicClassEvent OnGetGraphicClass;

private:
    bool alwaysSaveData_ = true;
    TcxBlobEditKind blobEditKind_ = bekAuto;
    TcxBlobPaintStyle blobPaintStyle_ = bpsIcon;
    bool memoAutoReplace_ = false;
    hostlib::TEditCharCase memoCharCase_ = hostlib::ecNormal;
    int memoMaxLength_ = 0;
    bool memoOEMConvert_ = false;
    hostlib::TScrollStyle memoScrollBars_ = hostlib::ssNone;
    bool memoWantReturns_ = true;
    bool memoWantTabs_ = true;
    bool memoWordWrap_ = true;
    bool pictureAutoSize_ = true;
    std::string pictureFilter_;
    hostlib::TClass pictureGraphicClass_ = nullptr;
    TcxImageTransparency pictureTransparency_ = gtDefault;
    bool showExPopupItems_ = true;
    bool showPicturePopup_ = true;
};

class TcxBlobEditProperties : public TcxCustomBlobEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxBlobEditViewInfo : public TcxCustomTextEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Offset(int dx, int dy) override;
    bool NeedShowHint(TcxCanvas*, const POINT&, const RECT&, std::string&, bool&, RECT&) override { return false; }
    using TcxCustomTextEditViewInfo::NeedShowHint;

    RECT IconRect{};
    // -1: the text is drawn instead.
    int ImageIndex = -1;

protected:
    void InternalPaint(TcxCanvas* canvas) override;

private:
    void PaintIcon(TcxCanvas* canvas);
};

class TcxBlobEditViewData : public TcxCustomDropDownEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    std::string InternalEditValueToDisplayText(const hostlib::Variant& editValue) override;
    SIZE InternalGetEditContentSize(TcxCanvas* canvas, const hostlib::Variant& editValue,
                                    const TcxEditSizeProperties& sizeProperties) override;
    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    void EditValueToDrawValue(TcxCanvas* canvas, const hostlib::Variant& editValue,
                              TcxCustomEditViewInfo* viewInfo) override;
    void PrepareDrawTextFlags(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo) override;

    TcxCustomBlobEditProperties* BlobProperties() const
    {
        return static_cast<TcxCustomBlobEditProperties*>(Properties());
    }
};

// An editor of the drop-down (memo or image); its keys may close the
// drop-down first.
template <class Editor, bool Picture>
class TcxBlobPopupEditor : public Editor {
public:
    TcxCustomBlobEdit* BlobEdit = nullptr;

protected:
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
};
extern template class TcxBlobPopupEditor<TcxMemo, false>;
extern template class TcxBlobPopupEditor<TcxImage, true>;

class TcxPopupMemo : public TcxBlobPopupEditor<TcxMemo, false> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxPopupImage : public TcxBlobPopupEditor<TcxImage, true> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxBlobEditPopupWindow : public TcxPopupEditPopupWindow {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void DoPopupControlKey(char key) override;
};

class TcxCustomBlobEdit : public TcxCustomPopupEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomPopupEdit::Construct;

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomBlobEditProperties* Properties() const
    {
        return static_cast<TcxCustomBlobEditProperties*>(TcxCustomEdit::Properties());
    }
    void SetProperties(TcxCustomBlobEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCustomBlobEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomBlobEditProperties*>(TcxCustomEdit::ActiveProperties());
    }

    // The drop-down's controls; nullptr while it is closed.
    TcxCustomEdit* PopupEditor() const { return popupEditor_; }
    TcxButton* CancelButton() const { return cancelButton_; }
    TcxButton* OKButton() const { return okButton_; }

    void PropertiesChanged(hostlib::TObject* sender) override;
    void SynchronizeDisplayValue() override { ShortRefreshContainer(false); }
    void SynchronizeEditValue() override {}
    void SetEditingText(const std::string& value) override;
    bool CanDropDown() override;
    hostlib::TClass GetPictureGraphicClass(bool pastingFromClipboard);
    // Closes the drop-down with the result: 1 keeps the edits, 2 drops them.
    void ClosePopupWithResult(int modalResult);
    // The result a key in a drop-down editor gives: 0 lets it through.
    int PopupKeyResult(WORD key, hostlib::TShiftState shift, bool inImage);

    TcxImageEditGraphicClassEvent OnGetGraphicClass;

protected:
    void Destroy() override;
    bool IsEditClass() override { return false; }
    void DoEditKeyPress(char& key) override;
    std::string InternalGetText() override;
    bool InternalSetText(const std::string& value) override;
    void DoInitPopup() override;
    hostlib::TWinControl* GetPopupFocusedControl() override;
    SIZE GetPopupWindowClientPreferredSize() override;
    void InitializePopupWindow() override;
    void SetupPopupWindow() override;
    void PopupWindowClosed(hostlib::TObject* sender) override;
    void ColorChanged() override;
    void FontChanged() override;

    virtual void CreatePopupControls();
    virtual void DestroyPopupControls();
    void StorageEditingHandler(hostlib::TObject* sender, bool& canEdit);

private:
    bool CanEditValue();
    void CreatePopupMemo();
    void CreatePopupImage();
    void CreateButtons();
    TcxButton* MakeButton(const std::string& caption, int modalResult);
    void PlaceButtons();
    void InternalChanged(hostlib::TObject* sender);
    void ApplyPopupStyle();
    void TakePopupValue();
    void DoAssignPicture();
    void ButtonClick(hostlib::TObject* sender);

    TcxCustomEdit* popupEditor_ = nullptr;
    TcxButton* cancelButton_ = nullptr;
    TcxButton* okButton_ = nullptr;
    int buttonWidth_ = 0;
    int buttonHeight_ = 0;
};

class TcxBlobEdit : public TcxCustomBlobEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxBlobEditProperties* Properties() const
    {
        return static_cast<TcxBlobEditProperties*>(TcxCustomBlobEdit::Properties());
    }
    void SetProperties(TcxBlobEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxBlobEditProperties* ActiveProperties()
    {
        return static_cast<TcxBlobEditProperties*>(TcxCustomBlobEdit::ActiveProperties());
    }
};

// The eight cell icons, made at the unit's first start, kept for the program.
hostlib::TCustomImageList* cxBlobEditIcons();

// Unit start-up: the cell icons and "BlobEdit" among the registered editor
// kinds; shut-down only counts down.
void cxBlobEditInitialize();
void cxBlobEditFinalize();
