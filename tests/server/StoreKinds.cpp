#include "server/StoreKinds.h"

#include "server/PgTestServer.h"
#include "server/PostgresStore.h"
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
#ifdef VELKARO_HAVE_POSTGRES
    kinds.push_back({"PostgreSQL",
                     [](TTempDir&, std::string& why) {
                         TPgTestServer& server = TPgTestServer::Get();
                         const std::string uri = server.NewDatabase();
                         if (uri.empty()) why = server.Why();
                         return uri;
                     },
                     [](const std::string& uri) {
                         auto store = std::make_shared<TPostgresStore>(uri, 4);
                         const bool ok = store->Ok();
                         return HandleOf(store, ok, store->Error());
                     }});
#endif
    return kinds;
}
