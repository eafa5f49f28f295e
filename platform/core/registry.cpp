// The registry calls of the current user, over the registry store in use.
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/core/registry_store.h"
#include "platform/core/utf16.h"

namespace platform {
namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";
// Values are small; anything larger is refused rather than stored.
constexpr DWORD kMaxValueSize = 1u << 20;

struct OpenKey {
    std::string path;
};

std::unordered_set<OpenKey*>& OpenKeys() {
    static std::unordered_set<OpenKey*> keys;
    return keys;
}

// The path of a predefined or open key; empty for a bad handle.
std::string KeyPath(HKEY key) {
    if (key == HKEY_CURRENT_USER) return kRoot;
    auto* open = reinterpret_cast<OpenKey*>(key);
    return OpenKeys().count(open) != 0 ? open->path : std::string();
}

// The path of `subKey` under `path`; empty components (doubled or trailing backslashes) are
// skipped.
std::string SubkeyPath(std::string path, LPCWSTR subKey) {
    std::string part;
    for (const char c : Utf8FromWide(subKey) + "\\") {
        if (c != '\\') {
            part += c;
        } else if (!part.empty()) {
            path += "\\" + part;
            part.clear();
        }
    }
    return path;
}

// A stored name (UTF-8, as Utf8FromWide wrote it) in UTF-16.
std::u16string WideFromUtf8(const std::string& text) {
    std::u16string wide;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < text.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (code >= 0x10000) {
            wide += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            code = 0xDC00 + (code & 0x3FF);
        }
        wide += static_cast<char16_t>(code);
    }
    return wide;
}

OpenKey* NewOpenKey(const std::string& path) {
    auto* open = new OpenKey{path};
    OpenKeys().insert(open);
    return open;
}

LONG ErrorOf(StoreResult result) {
    switch (result) {
        case StoreResult::Done: return ERROR_SUCCESS;
        case StoreResult::Absent: return ERROR_FILE_NOT_FOUND;
        case StoreResult::Unavailable: break;
    }
    return ERROR_ACCESS_DENIED;
}

// What opening `subKey` of `key` starts with: no result yet, the subkey's path and the store;
// a failure's status otherwise.
LONG BeginOpen(HKEY key, LPCWSTR subKey, PHKEY result, std::string& path, RegistryStore*& store) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    path = KeyPath(key);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    store = CurrentRegistryStore();
    if (store == nullptr) return ERROR_ACCESS_DENIED;
    path = SubkeyPath(path, subKey);
    return ERROR_SUCCESS;
}

}  // namespace
}  // namespace platform

using namespace platform;

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*,
                     PHKEY result, LPDWORD disposition) {
    std::string path;
    RegistryStore* store = nullptr;
    if (const LONG status = BeginOpen(key, subKey, result, path, store); status != ERROR_SUCCESS) {
        return status;
    }
    bool created = false;
    const LONG status = ErrorOf(store->CreateKey(path, created));
    if (status != ERROR_SUCCESS) return status;
    *result = reinterpret_cast<HKEY>(NewOpenKey(path));
    if (disposition != nullptr) {
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    const std::string path = KeyPath(key);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    RegistryStore* store = CurrentRegistryStore();
    if (store == nullptr) return ERROR_ACCESS_DENIED;
    DWORD storedType = REG_NONE;
    std::vector<BYTE> stored;
    const LONG status = ErrorOf(store->Get(path, Utf8FromWide(valueName), storedType, stored));
    if (status != ERROR_SUCCESS) return status;
    if (type != nullptr) *type = storedType;
    const auto size = static_cast<DWORD>(stored.size());
    if (data != nullptr && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && size != 0) std::memcpy(data, stored.data(), size);
    if (dataSize != nullptr) *dataSize = size;
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    const std::string path = KeyPath(key);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    if ((data == nullptr && dataSize != 0) || dataSize > kMaxValueSize) {
        return ERROR_INVALID_PARAMETER;
    }
    RegistryStore* store = CurrentRegistryStore();
    if (store == nullptr) return ERROR_ACCESS_DENIED;
    return ErrorOf(store->Set(path, Utf8FromWide(valueName), type, data, dataSize));
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    auto* open = reinterpret_cast<OpenKey*>(key);
    if (OpenKeys().erase(open) == 0) return ERROR_INVALID_HANDLE;
    delete open;
    return ERROR_SUCCESS;
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    std::string path;
    RegistryStore* store = nullptr;
    if (const LONG status = BeginOpen(key, subKey, result, path, store); status != ERROR_SUCCESS) {
        return status;
    }
    const LONG status = ErrorOf(store->OpenKey(path));
    if (status != ERROR_SUCCESS) return status;
    *result = reinterpret_cast<HKEY>(NewOpenKey(path));
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPWSTR keyClass,
                   LPDWORD classLength, FILETIME* lastWrite) {
    const std::string path = KeyPath(key);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    if (name == nullptr || nameLength == nullptr) return ERROR_INVALID_PARAMETER;
    RegistryStore* store = CurrentRegistryStore();
    if (store == nullptr) return ERROR_ACCESS_DENIED;
    std::vector<std::string> names;
    const LONG status = ErrorOf(store->ListSubkeys(path, names));
    if (status != ERROR_SUCCESS) return status;
    if (index >= names.size()) return ERROR_NO_MORE_ITEMS;
    const std::u16string wide = WideFromUtf8(names[index]);
    if (wide.size() + 1 > *nameLength) return ERROR_MORE_DATA;
    std::memcpy(name, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    *nameLength = static_cast<DWORD>(wide.size());
    if (keyClass != nullptr && classLength != nullptr && *classLength > 0) keyClass[0] = 0;
    if (classLength != nullptr) *classLength = 0;
    if (lastWrite != nullptr) *lastWrite = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
    std::string path = KeyPath(key);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    RegistryStore* store = CurrentRegistryStore();
    if (store == nullptr) return ERROR_ACCESS_DENIED;
    path = SubkeyPath(path, subKey);
    if (path == kRoot) return ERROR_ACCESS_DENIED;
    // As on Windows, only a key without subkeys goes: its children are never left parentless.
    std::vector<std::string> names;
    const LONG status = ErrorOf(store->ListSubkeys(path, names));
    if (status != ERROR_SUCCESS) return status;
    if (!names.empty()) return ERROR_ACCESS_DENIED;
    return ErrorOf(store->DeleteKey(path));
}
