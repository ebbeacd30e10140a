// The program: the application object, its title, the main window, the message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/tombarel.h"
#include "framework/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    tmb::Application& app = tmb::App();
    app.SetTitle(L"Tombarel");
    app::Tfmtextdir* fmtextdir = nullptr;
    tmb::Guarded([&] {
        fmtextdir = tmb::CreateForm<app::Tfmtextdir>(nullptr);
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
