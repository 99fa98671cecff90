#pragma once
// File dialogs: one modal form of the library's own controls (folder line,
// file list, name edit, filter combo, OK, Cancel).
//
// Patterns split at ";" and match ignoring case; "*.*" and "*" match every
// name, with or without a dot. Linux programs carry no extension, so
// "*.exe" also matches every regular file with an execute bit. Dot files
// are hidden. A typed folder opens, a typed pattern filters, a typed name
// is taken (on save with DefaultExt added, and an overwrite prompt when
// asked for). FileName gives the start folder and name and keeps the chosen
// full path for the next run.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/files.h"
#include "platform/hostlib/visual/forms.h"

namespace hostlib {

class TEdit;
class TListBox;
class TComboBox;
class TButton;

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
    ofDontAddToRecent,
    ofForceShowHidden,
};
using TOpenOptions = TSet<TOpenOption>;
const TEnumInfo& EnumTypeInfo(TOpenOption*);

struct TFileFilter {
    std::string Name;
    std::vector<std::string> Patterns;
};
// "name|patterns|name|patterns..."; a trailing name without patterns is
// dropped.
std::vector<TFileFilter> ParseFileFilter(const std::string& filter);
bool MatchesFileFilter(const std::string& name, const TFileFilter& filter, bool executable);

// What a dialog asks; a responder installed for tests answers instead of
// the form (a path, or nothing for Cancel).
struct TFileDialogRequest {
    std::string Title;
    std::string Filter;
    int FilterIndex = 1;
    std::string FileName;
    std::string InitialDir;
    bool Save = false;
};
using TFileDialogResponder = std::function<std::optional<std::string>(const TFileDialogRequest&)>;
void SetFileDialogResponder(TFileDialogResponder responder);

class TOpenDialog : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& value) { title_ = value; }
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& value) { filter_ = value; }
    // 1-based.
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int value) { filterIndex_ = value < 1 ? 1 : value; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& value) { fileName_ = value; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& value) { initialDir_ = value; }
    // Without a leading dot ("txt").
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& value);
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions value) { options_ = value; }

    // Shows the dialog; true with FileName set when the user chose a file.
    bool Execute();
    virtual bool IsSave() const { return false; }

private:
    std::string title_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string fileName_;
    std::string initialDir_;
    std::string defaultExt_;
    TOpenOptions options_ = {ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    bool IsSave() const override { return true; }
};

// Picture dialogs start with the graphic registry's filter.
class TOpenPictureDialog : public TOpenDialog {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
};

class TSavePictureDialog : public TSaveDialog {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
};

// The dialog's form; Execute shows it modally, tests drive it directly.
class TFileDialogForm : public TForm {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    void Setup(const TOpenDialog& dialog);
    const std::string& Folder() const { return folder_; }
    void OpenFolder(const std::string& folder);
    // The names shown: folders as "name/" first, then the matching files.
    std::vector<std::string> Shown() const;
    // What OK does with the typed name; false keeps the dialog open.
    bool Accept();
    const std::string& ChosenPath() const { return chosen_; }
    int ChosenFilterIndex() const;

    TEdit* NameEdit() const { return nameEdit_; }
    TListBox* FileList() const { return fileList_; }
    TComboBox* FilterCombo() const { return filterCombo_; }
    TButton* OkButton() const { return ok_; }

private:
    void Refresh();
    void ListClick(TObject*);
    void ListDblClick(TObject*);
    void FilterChange(TObject*);
    void OkClick(TObject*);

    TEdit* folderEdit_ = nullptr;
    TListBox* fileList_ = nullptr;
    TEdit* nameEdit_ = nullptr;
    TComboBox* filterCombo_ = nullptr;
    TButton* ok_ = nullptr;
    TButton* cancel_ = nullptr;
    std::vector<TFileFilter> filters_;
    std::string typedPattern_;
    std::string folder_;
    std::string chosen_;
    std::string defaultExt_;
    bool save_ = false;
    bool overwritePrompt_ = false;
    bool fileMustExist_ = false;
};

}  // namespace hostlib
