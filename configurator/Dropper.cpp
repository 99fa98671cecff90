#include "configurator/Dropper.h"

#include <sys/stat.h>

#include <vector>

#include "platform/hostlib/core/files.h"
#include "platform/system/scope_guard.h"
#include "platform/system/winbase.h"

using namespace hostlib;

namespace {

// Window properties: the dropper a hooked window belongs to, and the
// procedure to fall back on once the dropper is gone.
constexpr const char* kDropperProperty = "QuelvoFileDropper";
constexpr const char* kNextProperty = "QuelvoFileDropperNext";

}  // namespace

TClass TFileDropper::StaticClass()
{
    return DefineClass<TFileDropper, TComponent>("TFileDropper", [](ClassBuilder<TFileDropper>& b) {
        using D = TFileDropper;
        b.Property("DropSite", &D::DropSite, &D::SetDropSite);
        b.EventProperty("OnDrop", &D::OnDrop);
        b.Property("AllowDir", &D::AllowDir, &D::SetAllowDir);
        b.Property("RecurseAllSubFolders", &D::RecurseAllSubFolders, &D::SetRecurseAllSubFolders);
        b.Property("RecurseOneSubFolder", &D::RecurseOneSubFolder, &D::SetRecurseOneSubFolder);
        b.Property("OnlyDirs", &D::OnlyDirs, &D::SetOnlyDirs);
        b.Property("OnlyLeafs", &D::OnlyLeafs, &D::SetOnlyLeafs);
        b.Property("MultiDropIndex", &D::MultiDropIndex, &D::SetMultiDropIndex);
        b.Property("MultiDropTotal", &D::MultiDropTotal, &D::SetMultiDropTotal);
    });
}

void TFileDropper::SetDropSite(TWinControl* value)
{
    if (dropSite_ == value) return;
    if (dropSite_) dropSite_->RemoveFreeNotification(this);
    dropSite_ = value;
    if (dropSite_) dropSite_->FreeNotification(this);
}

void TFileDropper::Loaded()
{
    TComponent::Loaded();
    if (ComponentState().Contains(csDesigning) || !dropSite_) return;
    Hook();
}

void TFileDropper::Hook()
{
    HWND hwnd = dropSite_->Handle();
    previous_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWL_WNDPROC));
    SetPropA(hwnd, kDropperProperty, static_cast<HANDLE>(this));
    SetPropA(hwnd, kNextProperty, reinterpret_cast<HANDLE>(previous_));
    SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&TFileDropper::Procedure));
    hooked_ = hwnd;
    DragAcceptFiles(hwnd, TRUE);
}

void TFileDropper::Unhook()
{
    if (!hooked_) return;
    HWND hwnd = hooked_;
    hooked_ = nullptr;
    if (!IsWindow(hwnd)) return;
    // Put the old procedure back unless another one was installed on top.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWL_WNDPROC)) == &TFileDropper::Procedure) {
        SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropA(hwnd, kNextProperty);
    }
    RemovePropA(hwnd, kDropperProperty);
    DragAcceptFiles(hwnd, FALSE);
}

LRESULT TFileDropper::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* dropper = static_cast<TFileDropper*>(GetPropA(hwnd, kDropperProperty));
    if (!dropper) {
        auto next = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kNextProperty));
        return next ? CallWindowProcA(next, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    TMessage message{msg, wParam, lParam, 0};
    dropper->WndProc(message);
    return message.Result;
}

void TFileDropper::WndProc(TMessage& message)
{
    if (message.Msg == WM_DROPFILES) {
        DropFile(reinterpret_cast<HDROP>(message.WParam));
        message.Result = 0;
        return;
    }
    HWND hwnd = hooked_;
    WNDPROC previous = previous_;
    // The window is going: it no longer runs through this dropper.
    if (message.Msg == WM_NCDESTROY) Unhook();
    message.Result = CallWindowProcA(previous, hwnd, message.Msg, message.WParam, message.LParam);
}

void TFileDropper::DropFile(HDROP drop)
{
    quelvo::sys::ScopeGuard finish([drop] { DragFinish(drop); });
    multiDropTotal_ = static_cast<int>(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
    for (int i = 0; i < multiDropTotal_; ++i) {
        multiDropIndex_ = i;
        // The whole path, however long.
        const UINT length = DragQueryFileA(drop, static_cast<UINT>(i), nullptr, 0);
        std::vector<char> buffer(length + 1, '\0');
        DragQueryFileA(drop, static_cast<UINT>(i), buffer.data(), length + 1);
        Add(std::string(buffer.data()));
    }
}

bool TFileDropper::IsDirectory(const std::string& path)
{
    // Unreadable attributes (all bits set) count as a folder.
    return (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void TFileDropper::Report(const std::string& path)
{
    if (OnDrop.Assigned()) OnDrop(this, path);
}

void TFileDropper::Add(const std::string& path)
{
    if (!IsDirectory(path) && !onlyDirs_) {
        Report(path);
        return;
    }
    if (!allowDir_) return;
    if (recurseAll_ || recurseOne_) {
        AddFolder(path);
        if (onlyDirs_ && !onlyLeafs_) Report(path);
        return;
    }
    Report(path);
}

bool TFileDropper::HasSubfolder(const std::string& folder) const
{
    bool found = false;
    TSearchRec rec;
    for (int r = FindFirst(folder + "/*.*", faAnyFile, rec); r == 0 && !found; r = FindNext(rec))
        found = rec.Name[0] != '.' && IsDirectory(folder + "/" + rec.Name);
    FindClose(rec);
    return found;
}

void TFileDropper::AddFolder(const std::string& folder)
{
    struct stat st{};
    if (stat(folder.c_str(), &st) != 0) return;
    const std::pair<unsigned long, unsigned long> id{st.st_dev, st.st_ino};
    if (!walking_.insert(id).second) return;
    quelvo::sys::ScopeGuard leave([this, id] { walking_.erase(id); });
    bool hasSubfolder = false;
    if (onlyLeafs_) {
        hasSubfolder = HasSubfolder(folder);
        if (!hasSubfolder && onlyDirs_) Report(folder);
    }
    TSearchRec rec;
    quelvo::sys::ScopeGuard close([&rec] { FindClose(rec); });
    for (int r = FindFirst(folder + "/*.*", faAnyFile, rec); r == 0; r = FindNext(rec)) {
        if (rec.Name.empty() || rec.Name[0] == '.') continue;
        const std::string child = folder + "/" + rec.Name;
        const bool isFolder = IsDirectory(child);
        if (isFolder || onlyDirs_ || hasSubfolder) {
            if (recurseAll_ && isFolder) {
                AddFolder(child);
                if (onlyDirs_ && !onlyLeafs_) Report(child);
            }
            continue;
        }
        Report(child);
    }
}

void TFileDropper::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == dropSite_) {
        // The site goes first: its window takes our hook with it.
        Unhook();
        dropSite_ = nullptr;
    }
}

void TFileDropper::Destroy()
{
    Unhook();
    SetDropSite(nullptr);
    TComponent::Destroy();
}
