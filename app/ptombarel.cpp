// The program: the application object, its title, the main window, the message loop; or,
// with a command on its command line, that command without a window.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/Commands.h"
#include "app/tombarel.h"
#include "framework/Application.h"
#include "framework/CommandLine.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    tmb::Application& app = tmb::App();
    app.SetTitle(L"Tombarel");
    const app::Command command = app::ParseCommand(tmb::CommandLineArguments(GetCommandLineW()));
    if (command.kind != app::Command::Kind::Window) {
        const int code = app::RunCommand(command);
        CoUninitialize();
        return code;
    }
    app::Tfmtextdir* fmtextdir = nullptr;
    tmb::Guarded([&] {
        fmtextdir = tmb::CreateForm<app::Tfmtextdir>(nullptr, command.folder);
        app.SetMainForm(fmtextdir);
        ShowWindow(app.Handle(), SW_SHOWNOACTIVATE);
        fmtextdir->Show();
    });
    if (fmtextdir)
        app.Run();
    tmb::Destroy(fmtextdir);
    CoUninitialize();
    return 0;
}
