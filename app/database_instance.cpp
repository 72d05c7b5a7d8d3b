#include "app/database_instance.h"

namespace app {

using namespace db;

namespace {
数据库类* g_database = nullptr;
}

void CreateDatabaseInstance() { g_database = new 数据库类(); }

void DestroyDatabaseInstance() {
    delete g_database;
    g_database = nullptr;
}

数据库类& TheDatabase() { return *g_database; }

}  // namespace app
