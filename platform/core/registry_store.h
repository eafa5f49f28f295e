// The registry contract: where the current user's keys and values are kept. Key paths are
// UTF-8 with backslashes between names ("HKEY_CURRENT_USER\Software\…"); paths and value
// names compare without regard to ASCII case and keep the case they were written with.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace platform {

enum class StoreResult {
    Done,
    Absent,       // no such value or key
    Unavailable,  // the store cannot be read or written just now (a lock, a full disk, …)
};

class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    // Makes sure the key and its parents exist; `created` tells whether the key was new.
    virtual StoreResult CreateKey(const std::string& path, bool& created) = 0;
    virtual StoreResult Get(const std::string& key, const std::string& name, DWORD& type,
                            std::vector<BYTE>& data) = 0;
    // Done means the value will survive the process being killed.
    virtual StoreResult Set(const std::string& key, const std::string& name, DWORD type,
                            const BYTE* data, std::size_t size) = 0;
    // Done when the key exists, Absent when it does not; nothing is created.
    virtual StoreResult OpenKey(const std::string& path) = 0;
    // The last names of the key's direct subkeys as they were written, in an order that holds
    // while nothing changes; none for a key that does not exist.
    virtual StoreResult ListSubkeys(const std::string& path, std::vector<std::string>& names) = 0;
    // Removes the key and its values (the core asks only for keys without subkeys); Absent when
    // there is no such key. Done means the deletion will survive the process being killed.
    virtual StoreResult DeleteKey(const std::string& path) = 0;
};

// The store in use; null (the default) makes every registry call fail.
RegistryStore* CurrentRegistryStore();
void SetRegistryStore(RegistryStore* store);

}  // namespace platform
