// The explorer program: the application object, its title, the explorer window, the loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "explorador/explorador.h"
#include "framework/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    tmb::Application& app = tmb::App();
    app.SetTitle(L"Tombarel Explorer");
    explorador::Tfmexplorador* window = nullptr;
    tmb::Guarded([&] {
        window = tmb::CreateForm<explorador::Tfmexplorador>(nullptr);
        app.SetMainForm(window);
        window->Show();
    });
    if (window)
        app.Run();
    tmb::Destroy(window);
    CoUninitialize();
    return 0;
}
