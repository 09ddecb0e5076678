#include "win32/file_drop.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/form.h"
#include "win32/lazy_dll.h"
#include "win32/services.h"

namespace orvan::win32 {

namespace {

template <typename Function>
Function* Ole32(const char* name) {
    return LazyFunction<Function>("ole32.dll", name);
}

std::optional<DWORD> AttributesOf(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

bool IsShortcutFile(const std::wstring& path) {
    constexpr std::wstring_view kExtension = L".lnk";
    return path.size() >= kExtension.size() &&
           platform::EqualsIgnoringAsciiCase(std::wstring_view(path).substr(path.size() - kExtension.size()),
                                             kExtension);
}

// The path a shell shortcut leads to, as the shell reads it from the file
// (no search for a target that has moved: that could show a dialog).
std::optional<std::wstring> ShortcutTarget(const std::wstring& link) {
    auto* create = Ole32<decltype(CoCreateInstance)>("CoCreateInstance");
    if (!create) return std::nullopt;
    IShellLinkW* shell = nullptr;
    if (FAILED(
            create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&shell))))
        return std::nullopt;
    std::optional<std::wstring> target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) && shell->GetPath(path, MAX_PATH, nullptr, 0) == S_OK &&
            path[0] != L'\0')
            target = path;
        file->Release();
    }
    shell->Release();
    return target;
}

platform::DroppedFile Describe(const std::wstring& path) {
    platform::DroppedFile dropped;
    dropped.file = DescribeChosenFile(path);
    std::optional<DWORD> attributes = AttributesOf(path);
    if (attributes && !(*attributes & FILE_ATTRIBUTE_DIRECTORY) && IsShortcutFile(path)) {
        dropped.shortcut = true;
        const std::optional<std::wstring> target = ShortcutTarget(path);
        attributes = target ? AttributesOf(*target) : std::nullopt;
        if (attributes) dropped.target = DescribeChosenFile(*target);
    }
    dropped.folder = attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY);
    return dropped;
}

FORMATETC FileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

class FileDropTarget final : public IDropTarget {
public:
    FileDropTarget(HWND list, ui::ListBox& model, ui::Form& form) : list_(list), model_(model), form_(form) {}
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

    // ---- IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid != IID_IUnknown && riid != IID_IDropTarget) return E_NOINTERFACE;
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // ---- IDropTarget
    STDMETHODIMP DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) override {
        FORMATETC format = FileListFormat();
        files_ = data && data->QueryGetData(&format) == S_OK;
        return Over(point, effect);
    }
    STDMETHODIMP DragOver(DWORD, POINTL point, DWORD* effect) override { return Over(point, effect); }
    STDMETHODIMP DragLeave() override { return S_OK; }
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override {
        DragEnter(data, keys, point, effect);
        if (*effect == DROPEFFECT_NONE) return S_OK;
        ui::DropArgs drop;
        drop.entry = EntryAt(point);
        drop.files = FilesOf(data);
        form_.ControlFilesDropped(model_, drop);
        return S_OK;
    }

private:
    // Files over an entry of a list that takes input: the user slot is only
    // named, never moved or copied, so a link where the source allows one.
    HRESULT Over(POINTL point, DWORD* effect) const {
        if (!effect) return E_INVALIDARG;
        const DWORD allowed = *effect;
        *effect = DROPEFFECT_NONE;
        if (files_ && form_.Enabled() && EntryAt(point) >= 0)
            *effect = (allowed & DROPEFFECT_LINK) ? DROPEFFECT_LINK : allowed & DROPEFFECT_COPY;
        return S_OK;
    }

    int EntryAt(POINTL screen) const {
        POINT p{screen.x, screen.y};
        ScreenToClient(list_, &p);
        RECT client{};
        GetClientRect(list_, &client);
        if (!PtInRect(&client, p)) return -1;
        const LRESULT found = SendMessageA(list_, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
        if (HIWORD(found) != 0) return -1;  // below the last entry
        return static_cast<int>(LOWORD(found));
    }

    static std::vector<platform::DroppedFile> FilesOf(IDataObject* data) {
        std::vector<platform::DroppedFile> files;
        auto* query = LazyFunction<decltype(DragQueryFileW)>("shell32.dll", "DragQueryFileW");
        auto* release = Ole32<decltype(ReleaseStgMedium)>("ReleaseStgMedium");
        FORMATETC format = FileListFormat();
        STGMEDIUM medium{};
        if (!query || !release || FAILED(data->GetData(&format, &medium))) return files;
        const auto drop = static_cast<HDROP>(medium.hGlobal);
        const UINT count = query(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(query(drop, i, nullptr, 0), L'\0');
            if (path.empty()) continue;
            query(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
            files.push_back(Describe(path));
        }
        release(&medium);
        return files;
    }

    LONG refs_ = 1;
    HWND list_;
    ui::ListBox& model_;
    ui::Form& form_;
    bool files_ = false;  // the drag carries a list of files
};

bool AcceptFileDrops(HWND list, ui::ListBox& model, ui::Form& form, FileDropTarget*& target) {
    auto* initialize = Ole32<decltype(OleInitialize)>("OleInitialize");
    auto* registerTarget = Ole32<decltype(RegisterDragDrop)>("RegisterDragDrop");
    if (!initialize || !registerTarget || FAILED(initialize(nullptr))) return false;
    auto* made = new FileDropTarget(list, model, form);
    if (FAILED(registerTarget(list, made))) {
        made->Release();
        return false;
    }
    target = made;
    return true;
}

void StopFileDrops(HWND list, FileDropTarget*& target) {
    if (!target) return;
    if (auto* revoke = Ole32<decltype(RevokeDragDrop)>("RevokeDragDrop")) revoke(list);
    target->Release();
    target = nullptr;
}

}  // namespace orvan::win32
