// Shell functions: "open", special folders and the shell-link writer.

#include "platform/system/shell.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/backend.h"
#include "platform/system/copy_text.h"
#include "platform/system/desktop_entry.h"
#include "platform/system/file_replace.h"
#include "platform/system/paths.h"
#include "platform/system/text_conversion.h"

using namespace quelvo::sys;

namespace {

HINSTANCE ShellResult(int code) { return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(code)); }

// ---- Shell allocator ----

class ShellAllocator final : public IMalloc {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IMalloc) {
            *object = static_cast<IMalloc*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    void* Alloc(SIZE_T size) override { return std::malloc(size != 0 ? size : 1); }
    void* Realloc(void* block, SIZE_T size) override { return std::realloc(block, size != 0 ? size : 1); }
    void Free(void* block) override { std::free(block); }
    SIZE_T GetSize(void*) override { return static_cast<SIZE_T>(-1); }
    int DidAlloc(void*) override { return -1; }
    void HeapMinimize() override {}
};

ShellAllocator g_allocator;

// An item list is a marker followed by a zero-terminated path.
constexpr char kItemListMarker[4] = {'Q', 'P', 'T', 'H'};

// ---- Shell link ----

class ShellLink final : public IShellLinkA, public IPersistFile {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IShellLinkA) {
            *object = static_cast<IShellLinkA*>(this);
        } else if (iid == IID_IPersistFile || iid == IID_IPersist) {
            *object = static_cast<IPersistFile*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override
    {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT GetPath(LPSTR file, int size, void*, DWORD) override { return Get(path_, file, size); }
    HRESULT SetPath(LPCSTR file) override { return Set(path_, file); }
    HRESULT GetDescription(LPSTR text, int size) override { return Get(description_, text, size); }
    HRESULT SetDescription(LPCSTR text) override { return Set(description_, text); }
    HRESULT GetWorkingDirectory(LPSTR dir, int size) override { return Get(workingDirectory_, dir, size); }
    HRESULT SetWorkingDirectory(LPCSTR dir) override { return Set(workingDirectory_, dir); }
    HRESULT GetArguments(LPSTR args, int size) override { return Get(arguments_, args, size); }
    HRESULT SetArguments(LPCSTR args) override { return Set(arguments_, args); }
    HRESULT GetShowCmd(int* showCommand) override
    {
        if (showCommand == nullptr) return E_POINTER;
        *showCommand = showCommand_;
        return S_OK;
    }
    HRESULT SetShowCmd(int showCommand) override
    {
        showCommand_ = showCommand;
        return S_OK;
    }
    HRESULT GetIconLocation(LPSTR iconPath, int size, int* index) override
    {
        if (index != nullptr) *index = iconIndex_;
        return Get(iconPath_, iconPath, size);
    }
    HRESULT SetIconLocation(LPCSTR iconPath, int index) override
    {
        iconIndex_ = index;
        return Set(iconPath_, iconPath);
    }

    HRESULT GetClassID(CLSID* classId) override
    {
        if (classId == nullptr) return E_POINTER;
        *classId = CLSID_ShellLink;
        return S_OK;
    }
    HRESULT IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
    HRESULT Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    HRESULT Save(LPCOLESTR fileName, BOOL remember) override;
    HRESULT SaveCompleted(LPCOLESTR) override { return S_OK; }
    HRESULT GetCurFile(LPOLESTR* fileName) override
    {
        if (fileName != nullptr) *fileName = nullptr;
        return E_NOTIMPL;
    }

private:
    ~ShellLink() = default;

    static HRESULT Get(const std::string& value, LPSTR buffer, int size)
    {
        if (buffer == nullptr || size <= 0) return E_INVALIDARG;
        CopyTextOut(value, buffer, static_cast<DWORD>(size));
        return S_OK;
    }
    HRESULT Set(std::string& field, LPCSTR value)
    {
        field = value != nullptr ? value : "";
        dirty_ = true;
        return S_OK;
    }

    std::atomic<ULONG> references_ = 1;
    std::string path_;
    std::string description_;
    std::string workingDirectory_;
    std::string arguments_;
    std::string iconPath_;
    int iconIndex_ = 0;
    int showCommand_ = SW_SHOWNORMAL;
    bool dirty_ = false;
};

// Creates the missing folders above a file.
bool MakeParentFolders(const std::string& file)
{
    for (std::size_t at = file.find(kPathSeparator, 1); at != std::string::npos;
         at = file.find(kPathSeparator, at + 1)) {
        const std::string folder = file.substr(0, at);
        if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

std::string FileStem(const std::string& path)
{
    const std::size_t slash = path.rfind(kPathSeparator);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

HRESULT ShellLink::Save(LPCOLESTR fileName, BOOL)
{
    if (fileName == nullptr) return E_INVALIDARG;
    std::u16string_view wide(fileName);
    const std::string path = NarrowText(wide);
    if (path.empty()) return E_INVALIDARG;
    DesktopEntry entry;
    entry.name = FileStem(path);
    entry.comment = description_;
    entry.target = path_;
    entry.arguments = arguments_;
    entry.workingDirectory = workingDirectory_;
    if (!MakeParentFolders(path) || !ReplaceFileContents(path, FormatDesktopEntry(entry))) {
        return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    }
    dirty_ = false;
    return S_OK;
}

}  // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT showCommand)
{
    if (verb != nullptr && verb[0] != '\0' && strcasecmp(verb, "open") != 0) return ShellResult(SE_ERR_NOASSOC);
    if (file == nullptr || file[0] == '\0') return ShellResult(SE_ERR_FNF);
    ShellRequest request;
    request.verb = "open";
    request.file = file;
    request.parameters = parameters != nullptr ? parameters : "";
    request.directory = directory != nullptr ? directory : "";
    request.showCommand = showCommand;
    return ShellResult(Backend().ShellExecute(request));
}

HRESULT CoInitialize(LPVOID) { return S_OK; }
void CoUninitialize() {}

HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD, REFIID iid, void** object)
{
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (!(classId == CLSID_ShellLink)) return REGDB_E_CLASSNOTREG;
    auto* link = new ShellLink;
    const HRESULT result = static_cast<IShellLinkA*>(link)->QueryInterface(iid, object);
    static_cast<IShellLinkA*>(link)->Release();
    return result;
}

HRESULT SHGetMalloc(LPMALLOC* allocator)
{
    if (allocator == nullptr) return E_INVALIDARG;
    *allocator = &g_allocator;
    return S_OK;
}

HRESULT SHGetSpecialFolderLocation(HWND, int folder, LPITEMIDLIST* list)
{
    if (list == nullptr) return E_INVALIDARG;
    *list = nullptr;
    const std::string path = Backend().SpecialFolder(folder);
    if (path.empty()) return E_INVALIDARG;
    auto* bytes = static_cast<char*>(g_allocator.Alloc(sizeof(kItemListMarker) + path.size() + 1));
    if (bytes == nullptr) return E_OUTOFMEMORY;
    std::memcpy(bytes, kItemListMarker, sizeof(kItemListMarker));
    std::memcpy(bytes + sizeof(kItemListMarker), path.c_str(), path.size() + 1);
    *list = reinterpret_cast<LPITEMIDLIST>(bytes);
    return S_OK;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path)
{
    if (path == nullptr) return FALSE;
    path[0] = '\0';
    const auto* bytes = reinterpret_cast<const char*>(list);
    if (bytes == nullptr || std::memcmp(bytes, kItemListMarker, sizeof(kItemListMarker)) != 0) return FALSE;
    const char* text = bytes + sizeof(kItemListMarker);
    if (std::strlen(text) >= MAX_PATH) return FALSE;
    std::strcpy(path, text);
    return TRUE;
}

void CoTaskMemFree(void* block) { g_allocator.Free(block); }
