#include "platform/hostlib/stdctrls/dialogs.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/controls/ctldefs.h"
#include "platform/hostlib/stdctrls/buttons.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/stdctrls/listbox.h"
#include "platform/hostlib/visual/pictures.h"
#include "platform/hostlib/stdctrls/stdctrls.h"

namespace fs = std::filesystem;

namespace hostlib {

// ---- patterns -------------------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TOpenOption*)
{
    static const TEnumInfo info{"TOpenOption",
                                {"ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp",
                                 "ofNoValidate", "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist",
                                 "ofFileMustExist", "ofCreatePrompt", "ofShareAware", "ofNoReadOnlyReturn",
                                 "ofNoTestFileCreate", "ofNoNetworkButton", "ofNoLongNames", "ofOldStyleDialog",
                                 "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing", "ofDontAddToRecent",
                                 "ofForceShowHidden"},
                                0};
    return info;
}

std::vector<TFileFilter> ParseFileFilter(const std::string& filter)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const std::size_t bar = std::min(filter.find('|', start), filter.size());
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<TFileFilter> out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        TFileFilter f;
        f.Name = parts[i];
        std::size_t s = 0;
        const std::string& patterns = parts[i + 1];
        while (s <= patterns.size()) {
            const std::size_t semi = std::min(patterns.find(';', s), patterns.size());
            std::string p = Trim(std::string_view(patterns).substr(s, semi - s));
            if (!p.empty()) f.Patterns.push_back(std::move(p));
            s = semi + 1;
        }
        out.push_back(std::move(f));
    }
    return out;
}

namespace {

bool IsExecutableFile(const fs::path& path)
{
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::is_regular_file(st)) return false;
    const fs::perms exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return (st.permissions() & exec) != fs::perms::none;
}

TFileDialogResponder& Responder()
{
    static TFileDialogResponder responder;
    return responder;
}

}  // namespace

bool MatchesFileFilter(const std::string& name, const TFileFilter& filter, bool executable)
{
    return std::any_of(filter.Patterns.begin(), filter.Patterns.end(),
                       [&](const std::string& p) { return MatchesFilePattern(name, p, executable); });
}

void SetFileDialogResponder(TFileDialogResponder responder) { Responder() = std::move(responder); }

// ---- dialogs --------------------------------------------------------------------------------

TClass TOpenDialog::StaticClass()
{
    return DefineClass<TOpenDialog, TComponent>("TOpenDialog", [](ClassBuilder<TOpenDialog>& b) {
        b.Property("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
        b.Property("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
        b.Property("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
        b.Property("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
        b.Property("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
        b.Property("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
        b.Property("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions);
    });
}

void TOpenDialog::SetDefaultExt(const std::string& value)
{
    defaultExt_ = !value.empty() && value[0] == '.' ? value.substr(1) : value;
}

bool TOpenDialog::Execute()
{
    if (Responder()) {
        const std::optional<std::string> answer =
            Responder()(TFileDialogRequest{title_, filter_, filterIndex_, fileName_, initialDir_, IsSave()});
        if (!answer) return false;
        fileName_ = *answer;
        return true;
    }
    ObjectPtr<TFileDialogForm> form(CreateObject<TFileDialogForm>(static_cast<TComponent*>(nullptr)));
    form->Setup(*this);
    if (form->ShowModal() != mrOk) return false;
    fileName_ = form->ChosenPath();
    filterIndex_ = form->ChosenFilterIndex();
    return true;
}

TClass TSaveDialog::StaticClass() { return DefineClass<TSaveDialog, TOpenDialog>("TSaveDialog"); }

TClass TOpenPictureDialog::StaticClass() { return DefineClass<TOpenPictureDialog, TOpenDialog>("TOpenPictureDialog"); }

void TOpenPictureDialog::Construct(TComponent* owner)
{
    TOpenDialog::Construct(owner);
    SetFilter(GraphicFilter(TGraphic::StaticClass()));
}

TClass TSavePictureDialog::StaticClass() { return DefineClass<TSavePictureDialog, TSaveDialog>("TSavePictureDialog"); }

void TSavePictureDialog::Construct(TComponent* owner)
{
    TSaveDialog::Construct(owner);
    SetFilter(GraphicFilter(TGraphic::StaticClass()));
}

// ---- the form ---------------------------------------------------------------------------------

TClass TFileDialogForm::StaticClass() { return DefineClass<TFileDialogForm, TForm>("TFileDialogForm"); }

void TFileDialogForm::Construct(TComponent* owner)
{
    TForm::Construct(owner);
    SetBounds(0, 0, 430, 310);
    auto place = [this](TWinControl* c, int x, int y, int w, int h) {
        c->SetBounds(x, y, w, h);
        c->SetParent(this);
    };
    folderEdit_ = CreateObject<TEdit>(static_cast<TComponent*>(this));
    folderEdit_->SetReadOnly(true);
    folderEdit_->SetTabStop(false);
    place(folderEdit_, 10, 10, 405, 21);
    fileList_ = CreateObject<TListBox>(static_cast<TComponent*>(this));
    place(fileList_, 10, 38, 405, 170);
    fileList_->OnClick = TNotifyEvent::Bind(this, &TFileDialogForm::ListClick);
    fileList_->OnDblClick = TNotifyEvent::Bind(this, &TFileDialogForm::ListDblClick);
    nameEdit_ = CreateObject<TEdit>(static_cast<TComponent*>(this));
    place(nameEdit_, 10, 218, 305, 21);
    filterCombo_ = CreateObject<TComboBox>(static_cast<TComponent*>(this));
    filterCombo_->SetStyle(csDropDownList);
    place(filterCombo_, 10, 248, 305, 21);
    filterCombo_->OnChange = TNotifyEvent::Bind(this, &TFileDialogForm::FilterChange);
    ok_ = CreateObject<TButton>(static_cast<TComponent*>(this));
    ok_->SetCaption("OK");
    ok_->SetDefault(true);
    place(ok_, 325, 216, 90, 25);
    ok_->OnClick = TNotifyEvent::Bind(this, &TFileDialogForm::OkClick);
    cancel_ = CreateObject<TButton>(static_cast<TComponent*>(this));
    cancel_->SetCaption("Cancel");
    cancel_->SetCancel(true);
    cancel_->SetModalResult(mrCancel);
    place(cancel_, 325, 246, 90, 25);
}

void TFileDialogForm::Setup(const TOpenDialog& dialog)
{
    save_ = dialog.IsSave();
    SetCaption(!dialog.Title().empty() ? dialog.Title() : (save_ ? "Save As" : "Open"));
    defaultExt_ = dialog.DefaultExt();
    overwritePrompt_ = dialog.Options().Contains(ofOverwritePrompt);
    fileMustExist_ = dialog.Options().Contains(ofFileMustExist);
    filters_ = ParseFileFilter(dialog.Filter());
    for (const TFileFilter& f : filters_) filterCombo_->Items()->Add(f.Name);
    filterCombo_->SetItemIndex(filters_.empty() ? -1 : std::clamp(dialog.FilterIndex() - 1, 0, static_cast<int>(filters_.size()) - 1));

    std::error_code ec;
    const fs::path given(dialog.FileName());
    fs::path start;
    if (!dialog.FileName().empty() && given.has_parent_path() && fs::is_directory(given.parent_path(), ec)) start = given.parent_path();
    else if (!dialog.InitialDir().empty() && fs::is_directory(dialog.InitialDir(), ec)) start = dialog.InitialDir();
    else start = fs::current_path(ec);
    nameEdit_->SetText(given.filename().string());
    OpenFolder(start.string());
}

void TFileDialogForm::OpenFolder(const std::string& folder)
{
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::path(folder), ec);
    if (ec || !fs::is_directory(p, ec)) return;
    folder_ = p.string();
    typedPattern_.clear();
    folderEdit_->SetText(folder_);
    Refresh();
}

std::vector<std::string> TFileDialogForm::Shown() const
{
    std::vector<std::string> out;
    for (int i = 0; i < fileList_->Count(); ++i) out.push_back(fileList_->Items()->Get(i));
    return out;
}

int TFileDialogForm::ChosenFilterIndex() const { return std::max(0, filterCombo_->ItemIndex()) + 1; }

void TFileDialogForm::Refresh()
{
    std::vector<std::string> folders, files;
    std::error_code ec;
    TFileFilter active;
    if (!typedPattern_.empty()) active.Patterns = {typedPattern_};
    else if (const int i = filterCombo_->ItemIndex(); i >= 0 && i < static_cast<int>(filters_.size())) active = filters_[static_cast<std::size_t>(i)];
    else active.Patterns = {"*"};
    for (fs::directory_iterator it(folder_, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code e2;
        if (it->is_directory(e2)) folders.push_back(name + "/");
        else if (MatchesFileFilter(name, active, IsExecutableFile(it->path()))) files.push_back(name);
    }
    auto byName = [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    fileList_->Items()->BeginUpdate();
    fileList_->Items()->Clear();
    if (fs::path(folder_).has_relative_path()) fileList_->Items()->Add("../");
    for (const std::string& f : folders) fileList_->Items()->Add(f);
    for (const std::string& f : files) fileList_->Items()->Add(f);
    fileList_->Items()->EndUpdate();
}

void TFileDialogForm::ListClick(TObject*)
{
    const int i = fileList_->ItemIndex();
    if (i < 0) return;
    const std::string item = fileList_->Items()->Get(i);
    if (item.empty() || item.back() != '/') nameEdit_->SetText(item);
}

void TFileDialogForm::ListDblClick(TObject*)
{
    const int i = fileList_->ItemIndex();
    if (i < 0) return;
    const std::string item = fileList_->Items()->Get(i);
    if (!item.empty() && item.back() == '/') {
        OpenFolder((fs::path(folder_) / item.substr(0, item.size() - 1)).string());
        return;
    }
    nameEdit_->SetText(item);
    OkClick(nullptr);
}

void TFileDialogForm::FilterChange(TObject*)
{
    typedPattern_.clear();
    Refresh();
}

bool TFileDialogForm::Accept()
{
    std::string text = Trim(nameEdit_->Text());
    if (text.empty()) {
        // OK on a selected folder opens it.
        const int i = fileList_->ItemIndex();
        if (i >= 0) {
            const std::string item = fileList_->Items()->Get(i);
            if (!item.empty() && item.back() == '/') OpenFolder((fs::path(folder_) / item.substr(0, item.size() - 1)).string());
        }
        return false;
    }
    if (text[0] == '~') {
        const char* home = std::getenv("HOME");
        if (home) text = std::string(home) + text.substr(1);
    }
    fs::path path = fs::path(text).is_absolute() ? fs::path(text) : fs::path(folder_) / text;
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        OpenFolder(path.string());
        nameEdit_->SetText("");
        return false;
    }
    if (text.find_first_of("*?") != std::string::npos) {
        if (path.has_parent_path() && fs::is_directory(path.parent_path(), ec) && path.parent_path() != fs::path(folder_))
            OpenFolder(path.parent_path().string());
        typedPattern_ = path.filename().string();
        Refresh();
        return false;
    }
    if (save_ && !defaultExt_.empty() && !path.has_extension()) path += "." + defaultExt_;
    path = path.lexically_normal();
    const bool exists = fs::exists(path, ec);
    if (!save_ && fileMustExist_ && !exists) {
        if (Application) Application->MessageBox(path.filename().string() + "\nFile not found.", Caption(), MB_OK | MB_ICONWARNING);
        return false;
    }
    if (save_ && overwritePrompt_ && exists) {
        const int answer = Application ? Application->MessageBox(path.filename().string() +
                                                                     " already exists.\nDo you want to replace it?",
                                                                 Caption(), MB_YESNO | MB_ICONWARNING)
                                       : IDNO;
        if (answer != IDYES) return false;
    }
    chosen_ = path.string();
    return true;
}

void TFileDialogForm::OkClick(TObject*)
{
    if (Accept()) SetModalResult(mrOk);
}

}  // namespace hostlib
