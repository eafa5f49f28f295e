#include "platform/web/web_store.h"

#include <emscripten.h>

#include <climits>
#include <string>
#include <vector>

// clang-format off
EM_ASYNC_JS(void, chalkmere_store_open, (), { await ChalkmereWeb.openStore(); });
EM_ASYNC_JS(int, chalkmere_store_create_key, (const char* path), {
    return await ChalkmereWeb.createKey(UTF8ToString(path));
});
// The value's size (its type in *type and as many bytes as fit in `out`), -1 when absent, -2
// when the storage cannot be read.
EM_JS(int, chalkmere_store_get, (const char* path, const char* name, unsigned* type,
                                 unsigned char* out, int capacity), {
    const value = ChalkmereWeb.get(UTF8ToString(path), UTF8ToString(name));
    if (value === undefined) return -2;
    if (value === null) return -1;
    HEAPU32[type >> 2] = value.type;
    HEAPU8.set(value.bytes.subarray(0, Math.min(capacity, value.bytes.length)), out);
    return value.bytes.length;
});
EM_ASYNC_JS(int, chalkmere_store_set, (const char* path, const char* name, unsigned type,
                                       const unsigned char* data, int size), {
    return (await ChalkmereWeb.set(UTF8ToString(path), UTF8ToString(name), type, data, size)) ? 1
                                                                                            : 0;
});
EM_JS(int, chalkmere_store_open_key, (const char* path), {
    return ChalkmereWeb.openKey(UTF8ToString(path));
});
// The subkeys' names joined by backslashes (which no name holds) into `out`, as much as fits
// with its terminator; the bytes the whole list needs without it, -1 when unavailable.
EM_JS(int, chalkmere_store_list_subkeys, (const char* path, char* out, int capacity), {
    const names = ChalkmereWeb.listSubkeys(UTF8ToString(path));
    if (names === null) return -1;
    const joined = names.join(String.fromCharCode(92));
    stringToUTF8(joined, out, capacity);
    return lengthBytesUTF8(joined);
});
EM_ASYNC_JS(int, chalkmere_store_delete_key, (const char* path), {
    return await ChalkmereWeb.deleteKey(UTF8ToString(path));
});
// clang-format on

namespace platform {

void WebStore::Open() { chalkmere_store_open(); }

StoreResult WebStore::CreateKey(const std::string& path, bool& created) {
    const int made = chalkmere_store_create_key(path.c_str());
    if (made < 0) return StoreResult::Unavailable;
    created = made == 1;
    return StoreResult::Done;
}

StoreResult WebStore::Get(const std::string& key, const std::string& name, DWORD& type,
                          std::vector<BYTE>& data) {
    data.resize(256);
    unsigned storedType = 0;
    int size = chalkmere_store_get(key.c_str(), name.c_str(), &storedType, data.data(),
                                   static_cast<int>(data.size()));
    if (size > static_cast<int>(data.size())) {
        data.resize(static_cast<std::size_t>(size));
        size = chalkmere_store_get(key.c_str(), name.c_str(), &storedType, data.data(), size);
    }
    if (size == -2) return StoreResult::Unavailable;
    // Also a value that changed size between the two reads (another tab wrote it): absent
    // is the safe reading of a value caught half way.
    if (size < 0 || size > static_cast<int>(data.size())) return StoreResult::Absent;
    data.resize(static_cast<std::size_t>(size));
    type = storedType;
    return StoreResult::Done;
}

StoreResult WebStore::Set(const std::string& key, const std::string& name, DWORD type,
                          const BYTE* data, std::size_t size) {
    if (size > INT_MAX) return StoreResult::Unavailable;
    return chalkmere_store_set(key.c_str(), name.c_str(), type, data, static_cast<int>(size)) != 0
               ? StoreResult::Done
               : StoreResult::Unavailable;
}

StoreResult WebStore::OpenKey(const std::string& path) {
    const int found = chalkmere_store_open_key(path.c_str());
    if (found < 0) return StoreResult::Unavailable;
    return found == 1 ? StoreResult::Done : StoreResult::Absent;
}

StoreResult WebStore::ListSubkeys(const std::string& path, std::vector<std::string>& names) {
    std::string joined(256, '\0');
    int size =
        chalkmere_store_list_subkeys(path.c_str(), joined.data(), static_cast<int>(joined.size()));
    if (size >= static_cast<int>(joined.size())) {
        joined.resize(static_cast<std::size_t>(size) + 1);
        size = chalkmere_store_list_subkeys(path.c_str(), joined.data(),
                                            static_cast<int>(joined.size()));
    }
    // Also a list that grew between the two reads (another tab made a key).
    if (size < 0 || size >= static_cast<int>(joined.size())) return StoreResult::Unavailable;
    joined.resize(static_cast<std::size_t>(size));
    names.clear();
    for (std::size_t start = 0; !joined.empty();) {
        const std::size_t end = joined.find('\\', start);
        names.push_back(joined.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return StoreResult::Done;
}

StoreResult WebStore::DeleteKey(const std::string& path) {
    const int deleted = chalkmere_store_delete_key(path.c_str());
    if (deleted < 0) return StoreResult::Unavailable;
    return deleted == 1 ? StoreResult::Done : StoreResult::Absent;
}

}  // namespace platform
