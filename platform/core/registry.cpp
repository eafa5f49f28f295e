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

LONG ErrorOf(StoreResult result) {
    switch (result) {
        case StoreResult::Done: return ERROR_SUCCESS;
        case StoreResult::Absent: return ERROR_FILE_NOT_FOUND;
        case StoreResult::Unavailable: break;
    }
    return ERROR_ACCESS_DENIED;
}

}  // namespace
}  // namespace platform

using namespace platform;

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*,
                     PHKEY result, LPDWORD disposition) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::string path = KeyPath(key);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    RegistryStore* store = CurrentRegistryStore();
    if (store == nullptr) return ERROR_ACCESS_DENIED;
    // Empty components (doubled or trailing backslashes) are skipped.
    std::string part;
    for (const char c : Utf8FromWide(subKey) + "\\") {
        if (c != '\\') {
            part += c;
        } else if (!part.empty()) {
            path += "\\" + part;
            part.clear();
        }
    }
    bool created = false;
    const LONG status = ErrorOf(store->CreateKey(path, created));
    if (status != ERROR_SUCCESS) return status;
    auto* open = new OpenKey{path};
    OpenKeys().insert(open);
    *result = reinterpret_cast<HKEY>(open);
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
