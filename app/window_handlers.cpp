// The window's own handlers: open the database on creation, close it on destruction,
// and open the forum page from the red label.
#include "app/database_instance.h"
#include "app/handlers.h"
#include "app/main_window.h"
#include "core/dialogs.h"
#include "core/program_directory.h"
#include "core/text_commands.h"

namespace app {

using namespace core;
using namespace bridge;
using namespace db;

void OnWindowCreated(const EventArgs&) {
    const Text path = ConcatTexts(ProgramDirectory(), "\\API常量.mdb");
    if (!TheDatabase().OpenDatabase(path, Text())) ShowMessage(Text("连接数据库失败!"), 48);
}

void OnWindowDestroyed(const EventArgs&) { TheDatabase().CloseDatabase(); }

void OnForumLabelPressed(const EventArgs&) { OpenWithProgram("iexplore.exe", main_window::kForumAddress); }

}  // namespace app
