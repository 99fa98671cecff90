#pragma once
// Shell functions: "open" a file, special folders, and the shell-link
// writer with the minimal object model it needs. A shortcut is written as a
// desktop entry (see paths.h for its extension).

#include "platform/system/winerror.h"
#include "platform/system/wintypes.h"

// ---- Show commands ---------------------------------------------------------
// Shared with the window layer, which takes them from here.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;
inline constexpr int SW_SHOWDEFAULT = 10;

// ---- Opening files ---------------------------------------------------------

inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_PNF = 3;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int SE_ERR_NOASSOC = 31;

// verb null or "open" (any other verb gives SE_ERR_NOASSOC). A relative file
// is looked up in the directory given, else the current folder, first; an
// executable file is started directly, detached, with the parameters split
// on blanks and double quotes; a bare program name not found there is looked
// up along PATH; anything else (a document, a URL) goes to xdg-open.
// Returns a value above 32 on success, SE_ERR_FNF (2) when not found.
HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT showCommand);

// ---- Object model ------------------------------------------------------------

struct GUID {
    DWORD Data1 = 0;
    WORD Data2 = 0;
    WORD Data3 = 0;
    BYTE Data4[8] = {};
    friend bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPOLESTR = WCHAR*;
using LPCOLESTR = const WCHAR*;

inline constexpr GUID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID IID_IMalloc{0x00000002, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID IID_IPersist{0x0000010C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID IID_IPersistFile{0x0000010B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID CLSID_ShellLink{0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID IID_IShellLinkA{0x000214EE, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;  // objects end through Release
};

class IMalloc : public IUnknown {
public:
    virtual void* Alloc(SIZE_T size) = 0;
    virtual void* Realloc(void* block, SIZE_T size) = 0;
    virtual void Free(void* block) = 0;
    virtual SIZE_T GetSize(void* block) = 0;
    virtual int DidAlloc(void* block) = 0;
    virtual void HeapMinimize() = 0;

protected:
    ~IMalloc() = default;
};
using LPMALLOC = IMalloc*;

class IPersistFile : public IUnknown {
public:
    virtual HRESULT GetClassID(CLSID* classId) = 0;
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(LPCOLESTR fileName, DWORD mode) = 0;
    // Writes the desktop entry; missing folders above it are created.
    virtual HRESULT Save(LPCOLESTR fileName, BOOL remember) = 0;
    virtual HRESULT SaveCompleted(LPCOLESTR fileName) = 0;
    virtual HRESULT GetCurFile(LPOLESTR* fileName) = 0;

protected:
    ~IPersistFile() = default;
};

class IShellLinkA : public IUnknown {
public:
    // findData must be null here.
    virtual HRESULT GetPath(LPSTR file, int size, void* findData, DWORD flags) = 0;
    virtual HRESULT SetPath(LPCSTR file) = 0;
    virtual HRESULT GetDescription(LPSTR text, int size) = 0;
    virtual HRESULT SetDescription(LPCSTR text) = 0;
    virtual HRESULT GetWorkingDirectory(LPSTR dir, int size) = 0;
    virtual HRESULT SetWorkingDirectory(LPCSTR dir) = 0;
    virtual HRESULT GetArguments(LPSTR args, int size) = 0;
    virtual HRESULT SetArguments(LPCSTR args) = 0;
    virtual HRESULT GetShowCmd(int* showCommand) = 0;
    virtual HRESULT SetShowCmd(int showCommand) = 0;
    virtual HRESULT GetIconLocation(LPSTR iconPath, int size, int* index) = 0;
    virtual HRESULT SetIconLocation(LPCSTR iconPath, int index) = 0;

protected:
    ~IShellLinkA() = default;
};

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_ALL = 0x17;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
// Knows CLSID_ShellLink only.
HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID iid, void** object);

// ---- Special folders -----------------------------------------------------------

inline constexpr int CSIDL_DESKTOP = 0x0000;
inline constexpr int CSIDL_PERSONAL = 0x0005;
inline constexpr int CSIDL_STARTUP = 0x0007;  // $XDG_CONFIG_HOME/autostart
inline constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
inline constexpr int CSIDL_APPDATA = 0x001A;        // $XDG_CONFIG_HOME
inline constexpr int CSIDL_LOCAL_APPDATA = 0x001C;  // $XDG_DATA_HOME

// An item list holds a path of this platform; allocate and free it with the
// shell allocator.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

HRESULT SHGetMalloc(LPMALLOC* allocator);
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);
// path must hold MAX_PATH characters; FALSE (path empty) when the folder's
// path does not fit.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path);
void CoTaskMemFree(void* block);
