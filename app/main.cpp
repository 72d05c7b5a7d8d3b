// Start-up and shut-down of the program.
#include <windows.h>

#include "app/database_instance.h"
#include "app/main_window.h"
#include "bridge/form_check.h"
#include "bridge/window_loader.h"
#include "core/runtime.h"

using namespace app;
using namespace bridge;
using namespace core;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    StartRuntime();
    if (!FormIsWellFormed(main_window::Form())) FatalError(0, "载入窗口模板数据段出错!");
    CreateDatabaseInstance();
    RegisterExitRoutine(DestroyDatabaseInstance);
    if (!LoadWindow(main_window::Form())) FatalError(0, "载入启动窗口失败");
    RunMessageLoop();
    EndProgram(0);
}
