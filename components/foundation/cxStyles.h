#pragma once
// Styles: shared objects holding up to four view values (bitmap, colour,
// font, text colour) with a set of the assigned ones; style sets that map a
// control's slot indexes to styles and resolve a slot into view parameters;
// reusable style sheets that fill a set's empty slots and can chain; the
// repository component that owns styles and sheets; and the sheets' INI
// files.

#include <functional>
#include <string>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGraphics.h"
#include "platform/hostlib/core/component.h"
#include "platform/hostlib/visual/graphics.h"

enum TcxStyleValue { svBitmap, svColor, svFont, svTextColor };
using TcxStyleValues = hostlib::TSet<TcxStyleValue>;
const hostlib::TEnumInfo& EnumTypeInfo(TcxStyleValue*);
inline constexpr TcxStyleValues cxAllStyleValues{svBitmap, svColor, svFont, svTextColor};

class TcxStyle;
class TcxCustomStyles;
class TcxCustomStyleSheet;
class TcxStyleRepository;

// Gives a style that was just created its component name.
using TcxStyleGetName = std::function<std::string(TcxStyle*)>;

class TcxCustomStyle : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Tells every style set that uses the style, the last first.
    virtual void Changed();
    virtual void AddListener(TcxCustomStyles* listener);
    virtual void RemoveListener(TcxCustomStyles* listener);
    virtual void RestoreDefaults() {}

    TcxStyleRepository* StyleRepository() const { return repository_; }
    void SetStyleRepository(TcxStyleRepository* value);
    // The position in the repository's style list, -1 without one.
    int GetIndex() const;

    void ReadState(hostlib::TReader& reader) override;
    hostlib::TComponent* GetParentComponent() const override;
    bool HasParent() const override { return repository_ != nullptr; }
    // Raises EInvalidCast for a parent that is not a repository.
    void SetParentComponent(hostlib::TComponent* parent) override;

protected:
    void Destroy() override;

private:
    std::vector<TcxCustomStyles*> listeners_;
    TcxStyleRepository* repository_ = nullptr;
};

class TcxStyle : public TcxCustomStyle {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    // Empties the assigned values, clears the bitmap and both colours; the
    // font stays as it is.
    void RestoreDefaults() override;

    TcxStyleValues AssignedValues() const { return assignedValues_; }
    void SetAssignedValues(TcxStyleValues value);
    hostlib::TColor Color() const { return color_; }
    // clDefault leaves the colour unassigned.
    void SetColor(hostlib::TColor value);
    hostlib::TBitmap* Bitmap() const { return bitmap_.get(); }
    void SetBitmap(hostlib::TBitmap* value);
    hostlib::TFont* Font() const { return font_.get(); }
    void SetFont(hostlib::TFont* value);
    hostlib::TColor TextColor() const { return textColor_; }
    void SetTextColor(hostlib::TColor value);

private:
    void BitmapChanged(hostlib::TObject* sender);
    void FontChanged(hostlib::TObject* sender);
    void SetColorValue(hostlib::TColor& field, hostlib::TColor value, TcxStyleValue flag);

    TcxStyleValues assignedValues_;
    hostlib::TColor color_ = hostlib::clDefault;
    hostlib::TColor textColor_ = hostlib::clDefault;
    hostlib::ObjectPtr<hostlib::TBitmap> bitmap_;
    hostlib::ObjectPtr<hostlib::TFont> font_;
    bool restoring_ = false;
};

struct TcxStyleEntry {
    int Index = 0;
    TcxCustomStyle* Style = nullptr;
};

// A control's slots: entries (slot index, style) in ascending slot order,
// and a sheet that fills the slots without an entry.
class TcxCustomStyles : public TcxInterfacedPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // What a slot's change means is up to the descendant.
    virtual void Changed(int index) { (void)index; }
    virtual void DoChanged(int index);
    // Takes only the source's sheet; descendants copy their slots.
    void Assign(hostlib::TPersistent* source) override;

    int GetCount() const { return static_cast<int>(entries_.size()); }
    const TcxStyleEntry& GetItem(int position) const;
    // Whether the slot has an entry; position is where it is or would go.
    bool Find(int index, int& position) const;
    // The slot's style, from the sheet chain when the slot has no entry.
    TcxCustomStyle* GetValue(int index) const;
    void SetValue(int index, TcxCustomStyle* style);
    void Delete(int position);
    void Clear();
    // Empties every slot, one change notice per slot.
    void ResetStyles();
    void StyleChanged(TcxCustomStyle* style);
    void StyleRemoved(TcxCustomStyle* style);
    bool IsValidStyleSheet(TcxCustomStyleSheet* sheet) const;

    TcxCustomStyleSheet* StyleSheet() const { return styleSheet_; }
    // An invalid sheet is ignored.
    void SetStyleSheet(TcxCustomStyleSheet* value);
    // The sheet whose Styles this set is, else nullptr.
    TcxCustomStyleSheet* OwningSheet() const { return owningSheet_; }
    bool IsDestroying() const { return destroying_; }

protected:
    void Destroy() override;

private:
    friend class TcxCustomStyleSheet;
    bool IsOwnerWriting() const;
    // Stops listening to a style that no entry holds any longer.
    void ReleaseStyle(TcxCustomStyle* style);
    void CollectIndexes(TcxCustomStyleSheet* sheet, std::vector<int>& indexes) const;

    std::vector<TcxStyleEntry> entries_;
    TcxCustomStyleSheet* styleSheet_ = nullptr;
    TcxCustomStyleSheet* owningSheet_ = nullptr;
    bool destroying_ = false;
};

// The base of the style sets that paint: slots resolve into view parameters
// through an explicit style, the slot's style and the control's defaults.
class TcxStyles : public TcxCustomStyles, public IcxFontListener {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TcxCustomStyles::Changed;
    // The defaults of a slot; descendants fill colour, font and text colour
    // after calling this.
    virtual void GetDefaultViewParams(int index, void* data, TcxViewParams& params);
    virtual bool IsDefaultFont(int index);

    void GetViewParams(int index, void* data, TcxStyle* style, TcxViewParams& params);
    hostlib::TBitmap* GetBitmap(int index);
    TcxStyle* GetValue(int index) const;
    void SetValue(int index, TcxStyle* style) { TcxCustomStyles::SetValue(index, style); }
    // The control's font changed: slots that show it are told.
    void DefaultFontChanged(hostlib::TObject* sender, hostlib::TFont* font);
    void Changed(hostlib::TObject* sender, hostlib::TFont* font) override { DefaultFontChanged(sender, font); }

protected:
    // Whether the view parameters carry the style bitmap.
    bool UseBitmapInViewParams() const { return useBitmapInViewParams_; }
    void SetUseBitmapInViewParams(bool value) { useBitmapInViewParams_ = value; }

private:
    int maxDefaultViewParamsIndex_ = 0;
    bool useBitmapInViewParams_ = false;
};

class TcxStyleRepository : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual TcxCustomStyle* CreateItem(hostlib::TClass styleClass);
    virtual TcxCustomStyle* CreateItemEx(hostlib::TClass styleClass, hostlib::TComponent* owner);
    virtual TcxCustomStyleSheet* CreateStyleSheet(hostlib::TClass sheetClass);
    virtual TcxCustomStyleSheet* CreateStyleSheetEx(hostlib::TClass sheetClass, hostlib::TComponent* owner);

    int GetCount() const { return static_cast<int>(styles_.size()); }
    TcxCustomStyle* GetItem(int index) const;
    int GetStyleSheetCount() const { return static_cast<int>(sheets_.size()); }
    TcxCustomStyleSheet* GetStyleSheet(int index) const;
    int StyleIndexOf(const TcxCustomStyle* style) const;
    int StyleSheetIndexOf(const TcxCustomStyleSheet* sheet) const;
    void AddItem(TcxCustomStyle* style);
    void AddStyleSheet(TcxCustomStyleSheet* sheet);
    void RemoveItem(TcxCustomStyle* style);
    void RemoveStyleSheet(TcxCustomStyleSheet* sheet);
    // Free the styles / sheets, the last first.
    void Clear();
    void ClearStyleSheets();

    void GetChildren(const std::function<void(hostlib::TComponent*)>& proc, hostlib::TComponent* root) override;

protected:
    void Destroy() override;

private:
    std::vector<TcxCustomStyle*> styles_;
    std::vector<TcxCustomStyleSheet*> sheets_;
};

class TcxCustomStyleSheet : public TcxComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    // The class of Styles; descendants name their own.
    virtual hostlib::TClass GetStylesClass() const;
    void DefineProperties(hostlib::TFiler& filer) override;
    // Copies the caption and the styles' slots of another sheet.
    void Assign(hostlib::TPersistent* source) override;
    // Gives this sheet new styles like the source's, at the same slots.
    void CopyFrom(TcxCustomStyleSheet* source);

    bool BuiltIn() const { return builtIn_; }
    // The name while the sheet has no caption of its own.
    std::string Caption() const;
    void SetCaption(const std::string& value);
    TcxCustomStyles* GetStyles() const { return styles_.get(); }
    void SetStyles(TcxCustomStyles* value);
    TcxStyleRepository* StyleRepository() const { return repository_; }
    void SetStyleRepository(TcxStyleRepository* value);
    int GetIndex() const;

    // The style sets whose StyleSheet this is.
    void AddStyles(TcxCustomStyles* styles);
    void RemoveStyles(TcxCustomStyles* styles);
    int UserCount() const { return static_cast<int>(users_.size()); }
    void DoStyleChanged(int index);

    void ReadState(hostlib::TReader& reader) override;
    hostlib::TComponent* GetParentComponent() const override;
    bool HasParent() const override { return repository_ != nullptr; }
    void SetParentComponent(hostlib::TComponent* parent) override;

protected:
    void Destroy() override;
    void GetFakeComponentLinks(std::vector<hostlib::TComponent*>& list) override;

private:
    void FreeAllUsers();

    bool builtIn_ = false;
    std::string caption_;
    hostlib::ObjectPtr<TcxCustomStyles> styles_;
    std::vector<TcxCustomStyles*> users_;
    TcxStyleRepository* repository_ = nullptr;
};

// ---- unit functions -------------------------------------------------------------

bool UseStyle(TcxStyle* style, TcxStyleValue value);
// Fills the members of params not in values from the style; the result is
// the new set of filled members (the first style to give a value wins).
TcxStyleValues CombineParamsWithStyle(TcxStyle* style, TcxStyleValues values, TcxViewParams& params);
// Makes the destination sheet's published TcxStyle properties match the
// source's, creating styles through the destination's repository.
void CreateStyleSheetStyles(TcxCustomStyleSheet* dest, TcxCustomStyleSheet* source, const TcxStyleGetName& getName);

void RegisterStyleSheetClass(hostlib::TClass sheetClass);
void UnregisterStyleSheetClass(hostlib::TClass sheetClass);
// Clears the list, then adds the registered classes in registration order.
void GetRegisteredStyleSheetClasses(std::vector<hostlib::TClass>& list);

// One section per sheet caption, one key per style property ("colour,text
// colour[,font,size,[BIUS]]"), bitmaps as hex chunks.
void SaveStyleSheetsToIniFile(const std::string& fileName, const std::vector<TcxCustomStyleSheet*>& sheets);
// Creates one sheet of sheetClass per section read (sectionNames, when given
// and not empty, else every section), with its styles, in the repository.
void LoadStyleSheetsFromIniFile(const std::string& fileName, TcxStyleRepository* repository,
                                hostlib::TClass sheetClass, hostlib::TStrings* sectionNames = nullptr,
                                hostlib::TComponent* owner = nullptr,
                                std::vector<TcxCustomStyleSheet*>* sheets = nullptr,
                                const TcxStyleGetName& getName = {});

// Unit start-up: stream grouping and class registration; shut-down frees the
// registered sheet classes.
void cxStylesInitialize();
void cxStylesFinalize();
