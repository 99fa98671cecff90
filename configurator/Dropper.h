#pragma once
// A non-visual component that makes a window control a target for files
// dragged from other programs: once its form is loaded it takes over the
// drop site's window procedure and reports each dropped file or folder
// (optionally walking into dropped folders) through OnDrop.

#include <set>
#include <string>
#include <utility>

#include "platform/hostlib/visual/controls.h"
#include "platform/windows/x11/dropfiles.h"

using TOnDrop = hostlib::Event<hostlib::TObject*, const std::string&>;

class TFileDropper : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Loaded() override;

    hostlib::TWinControl* DropSite() const { return dropSite_; }
    void SetDropSite(hostlib::TWinControl* value);
    bool AllowDir() const { return allowDir_; }
    void SetAllowDir(bool value) { allowDir_ = value; }
    bool RecurseAllSubFolders() const { return recurseAll_; }
    void SetRecurseAllSubFolders(bool value) { recurseAll_ = value; }
    bool RecurseOneSubFolder() const { return recurseOne_; }
    void SetRecurseOneSubFolder(bool value) { recurseOne_ = value; }
    bool OnlyDirs() const { return onlyDirs_; }
    void SetOnlyDirs(bool value) { onlyDirs_ = value; }
    bool OnlyLeafs() const { return onlyLeafs_; }
    void SetOnlyLeafs(bool value) { onlyLeafs_ = value; }
    int MultiDropIndex() const { return multiDropIndex_; }
    void SetMultiDropIndex(int value) { multiDropIndex_ = value; }
    int MultiDropTotal() const { return multiDropTotal_; }
    void SetMultiDropTotal(int value) { multiDropTotal_ = value; }

    TOnDrop OnDrop;

    void WndProc(hostlib::TMessage& message);
    void DropFile(HDROP drop);
    void Add(const std::string& path);
    void AddFolder(const std::string& folder);
    static bool IsDirectory(const std::string& path);
    // Whether the drop site's window runs through this dropper now.
    bool Hooked() const { return hooked_ != nullptr; }

protected:
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;
    void Destroy() override;

private:
    static LRESULT Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Hook();
    void Unhook();
    void Report(const std::string& path);
    bool HasSubfolder(const std::string& folder) const;

    hostlib::TWinControl* dropSite_ = nullptr;
    bool allowDir_ = true;
    bool recurseAll_ = false;
    bool recurseOne_ = false;
    bool onlyDirs_ = false;
    bool onlyLeafs_ = false;
    int multiDropIndex_ = 0;
    int multiDropTotal_ = 0;
    HWND hooked_ = nullptr;          // the site's window while it runs through us
    WNDPROC previous_ = nullptr;     // its procedure before
    // Folders being walked (device, inode): a link back up ends the walk.
    std::set<std::pair<unsigned long, unsigned long>> walking_;
};
