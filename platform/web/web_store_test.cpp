// The contract every registry store keeps, over the page's IndexedDB; storage is made unusable
// as a newer build of the page taking the database over, then a browser that refuses it, make
// it; each write strict and completed when the call returns. Then what an earlier build left in
// localStorage.
#include "platform/web/web_store.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/RegistryContract.h"

// clang-format off
EM_ASYNC_JS(void, chalkmere_test_switch_storage, (int on), {
    if (!('realIndexedDB' in Module)) {
        Module.realIndexedDB = Object.getOwnPropertyDescriptor(window, 'indexedDB');
    }
    if (on) {
        Object.defineProperty(window, 'indexedDB', Module.realIndexedDB);
        return;
    }
    const version = (await indexedDB.databases()).find((d) => d.name === 'chalkmere').version;
    await new Promise((resolve) => {
        const opening = indexedDB.open('chalkmere', version + 1);
        opening.onsuccess = () => { opening.result.close(); resolve(); };
        opening.onerror = resolve;
    });
    const off = () => { throw new DOMException('switched off', 'SecurityError'); };
    Object.defineProperty(window, 'indexedDB', { configurable: true, get: off });
});
// An earlier build's entries for HKCU\Software\Old: hex in capitals, with a stray digit, and
// one that is not a value at all.
EM_JS(void, chalkmere_test_leave_old_entries, (), {
    const path = ['hkey_current_user', 'software', 'old'].join(String.fromCharCode(92));
    const key = 'chalkmere.registry/' + encodeURIComponent(path);
    localStorage.setItem(key, "");
    localStorage.setItem(key + '/upper', JSON.stringify({ type: 3, data: 'ABCDEF' }));
    localStorage.setItem(key + '/odd', JSON.stringify({ type: 3, data: '0aB' }));
    localStorage.setItem(key + '/damaged', '{"type":3,"data":"zz');
});
EM_JS(int, chalkmere_test_old_entries_left, (), {
    return Object.keys(localStorage).filter((entry) => entry.startsWith('chalkmere.')).length;
});
// Every record kept aside, as "<entry>=<record>" lines.
EM_ASYNC_JS(char*, chalkmere_test_kept_aside, (), {
    const all = await new Promise((resolve) => {
        const opening = indexedDB.open('chalkmere');
        opening.onsuccess = () => {
            const table = opening.result.transaction('registry').objectStore('registry');
            const [keys, values] = [table.getAllKeys(), table.getAll()];
            table.transaction.oncomplete = () => {
                opening.result.close();
                resolve(keys.result.map((key, i) => [key, values.result[i]]));
            };
        };
    });
    const aside = all.filter((pair) => !pair[0].startsWith('chalkmere.registry/'))
                     .map((pair) => pair[0].replace(/@.*/, "") + "=" + pair[1]).join(String.fromCharCode(10));
    return allocateUTF8(aside);
});
// From its first call on, counts the page's writes that were not strict or had not completed
// when the program went on (a browser killed then may lose them).
EM_JS(int, chalkmere_test_loose_writes, (), {
    const watched = IDBDatabase.prototype;
    if (!watched.chalkmereWrites) {
        const transaction = watched.transaction;
        const writes = (watched.chalkmereWrites = { loose: 0, open: 0 });
        watched.transaction = function (names, mode, options) {
            const made = transaction.apply(this, arguments);
            if (mode === 'readwrite') {
                if (!options || options.durability !== 'strict') ++writes.loose;
                ++writes.open;
                made.addEventListener('complete', () => --writes.open);
                made.addEventListener('abort', () => --writes.open);
            }
            return made;
        };
    }
    return watched.chalkmereWrites.loose + watched.chalkmereWrites.open;
});
// clang-format on

namespace {

class WebStoreTest : public testing::Test {
protected:
    void Reopen() {
        store_ = std::make_unique<platform::WebStore>();
        store_->Open();
        platform::SetRegistryStore(store_.get());
    }
    void TearDown() override { platform::SetRegistryStore(nullptr); }

    std::unique_ptr<platform::WebStore> store_;
};

TEST_F(WebStoreTest, TheStoreContract) {
    chalkmere_test_loose_writes();
    Reopen();
    testsupport::CheckRegistryContract(
        {[this] { Reopen(); },
         [](bool available) { chalkmere_test_switch_storage(available ? 1 : 0); },
         [] { EXPECT_EQ(chalkmere_test_loose_writes(), 0); }});
}

// Taken over once and kept after it; read as the desktop reads hex; an entry that cannot be
// read is absent, and kept aside when a value is written in its place.
TEST_F(WebStoreTest, AnEarlierBuildsEntries) {
    chalkmere_test_leave_old_entries();
    Reopen();
    EXPECT_EQ(chalkmere_test_old_entries_left(), 0);
    testsupport::StoredValues old(TEXT("Software\\Old"));
    const BYTE written[] = {7};
    old.Set(TEXT("damaged"), REG_BINARY, written, sizeof written);
    Reopen();
    using Bytes = std::vector<BYTE>;
    const std::tuple<LPCWSTR, Bytes> cases[] = {
        {TEXT("upper"), {0xAB, 0xCD, 0xEF}},
        {TEXT("odd"), {0x0A}},
        {TEXT("damaged"), {7}},
    };
    for (const auto& [name, bytes] : cases) {
        DWORD type = REG_NONE;
        Bytes stored;
        EXPECT_EQ(old.Get(name, type, stored), ERROR_SUCCESS) << name;
        EXPECT_EQ(std::tie(type, stored), std::tuple(REG_BINARY, bytes)) << name;
    }
    char* aside = chalkmere_test_kept_aside();
    EXPECT_EQ(std::string(aside),
              "chalkmere.unreadable/hkey_current_user%5Csoftware%5Cold/damaged="
              "{\"type\":3,\"data\":\"zz");
    free(aside);
}

}  // namespace
