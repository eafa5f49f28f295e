// The browser's registry store: the page's localStorage, one entry per key and per value,
// each written at the change, so a tab closed at any moment keeps everything saved. Storage
// that is full, disabled or refused answers Unavailable, and the game plays on.
#pragma once

#include "platform/core/registry_store.h"

namespace platform {

class WebStore : public RegistryStore {
public:
    StoreResult CreateKey(const std::string& path, bool& created) override;
    StoreResult Get(const std::string& key, const std::string& name, DWORD& type,
                    std::vector<BYTE>& data) override;
    StoreResult Set(const std::string& key, const std::string& name, DWORD type,
                    const BYTE* data, std::size_t size) override;
};

}  // namespace platform
