// The browser's registry store: IndexedDB, one record per key and per value, read into memory
// by Open so that reads are synchronous, and each write one durable transaction that has
// completed when Set returns (the program waits for it as for a click through Asyncify), so a
// browser killed at any moment keeps everything saved. Values an earlier build left in
// localStorage are taken over at the first Open. Storage that is full, disabled or refused
// answers Unavailable, and the game plays on.
#pragma once

#include "platform/core/registry_store.h"

namespace platform {

class WebStore : public RegistryStore {
public:
    // Reads every stored value; before it (or when storage is refused) every call answers
    // Unavailable.
    void Open();

    StoreResult CreateKey(const std::string& path, bool& created) override;
    StoreResult Get(const std::string& key, const std::string& name, DWORD& type,
                    std::vector<BYTE>& data) override;
    StoreResult Set(const std::string& key, const std::string& name, DWORD type,
                    const BYTE* data, std::size_t size) override;
    StoreResult OpenKey(const std::string& path) override;
    StoreResult ListSubkeys(const std::string& path, std::vector<std::string>& names) override;
    // Waits for its transaction as Set does.
    StoreResult DeleteKey(const std::string& path) override;
};

}  // namespace platform
