// The stores the contract tests run on: SQLite always, PostgreSQL when the service was built
// with it (a server of its own, started once per test program; StoreKinds.cpp).
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "server/DailyStore.h"
#include "server/ScoreStore.h"
#include "server/ServerTestUtil.h"

// An open store seen through both of its interfaces.
struct TStoreHandle {
    std::shared_ptr<void> Owner;
    TScoreStore* Scores = nullptr;
    TDailyStore* Daily = nullptr;
    std::string Error;  // why it did not open
};

struct TStoreKind {
    std::string Name;
    // A fresh, empty database (files, when it needs any, go in dir); empty with `why` set when
    // there is none to be had.
    std::function<std::string(TTempDir& dir, std::string& why)> NewDatabase;
    // A store on the database (another one on the same database is another process's view).
    std::function<TStoreHandle(const std::string& location)> Open;
};

std::vector<TStoreKind> StoreKinds();

// GoogleTest names a kind by its name in test listings.
inline void PrintTo(const TStoreKind& kind, std::ostream* out) {
    *out << kind.Name;
}
