#include "server/StoreKinds.h"

#include "server/SqliteScoreStore.h"

namespace {
template <class TStore>
TStoreHandle HandleOf(std::shared_ptr<TStore> store, bool ok, std::string error) {
    TStoreHandle handle;
    if (!ok) {
        handle.Error = std::move(error);
        return handle;
    }
    handle.Scores = store.get();
    handle.Daily = store.get();
    handle.Owner = std::move(store);
    return handle;
}
}  // namespace

std::vector<TStoreKind> StoreKinds() {
    std::vector<TStoreKind> kinds;
    kinds.push_back({"SQLite", [](TTempDir& dir, std::string&) { return dir.File("scores.db"); },
                     [](const std::string& path) {
                         auto store = std::make_shared<TSqliteScoreStore>(path);
                         const bool ok = store->Ok();
                         return HandleOf(store, ok, store->Error());
                     }});
    return kinds;
}
