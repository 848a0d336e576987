#include "app/program.h"

#include "app/main_window.h"
#include "fault/fault.h"
#include "platform/startup.h"

namespace pebitness {

void ProgramInit() { InstallFatalErrorReporter(); }

int ProgramMain() {
    CompletePlatformStartup();
    ProgramInit();
    MainWindow window;
    window.Load();
    window.Show();
    RunMessageLoop();
    return 0;
}

}  // namespace pebitness
