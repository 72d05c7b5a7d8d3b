#pragma once
// The program's one database instance, alive from before the window until the exit routine.
#include "db/database.h"

namespace app {

void CreateDatabaseInstance();
void DestroyDatabaseInstance();  // the exit routine
db::数据库类& TheDatabase();

}  // namespace app
