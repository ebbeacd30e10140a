// The explorer program: the application object, its title, the explorer window, the loop.
// Its one argument is a folder to open the window at.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "explorador/explorador.h"
#include "framework/Application.h"
#include "framework/CommandLine.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    tmb::Application& app = tmb::App();
    app.SetTitle(L"Tombarel Explorer");
    const std::vector<std::wstring> arguments = tmb::CommandLineArguments(GetCommandLineW());
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments[0][0] == L'/')) {
        const bool help = arguments.size() == 1 && arguments[0] == L"/?";
        tmb::TellUser(L"Explorador [PASTA]\r\n    abre a janela do explorador na PASTA.",
                      help ? tmb::UserStream::Output : tmb::UserStream::Error);
        CoUninitialize();
        return help ? 0 : 3;
    }
    explorador::Tfmexplorador* window = nullptr;
    tmb::Guarded([&] {
        window = tmb::CreateForm<explorador::Tfmexplorador>(
            nullptr, arguments.empty() ? std::wstring() : arguments[0]);
        app.SetMainForm(window);
        window->Show();
    });
    if (window)
        app.Run();
    tmb::Destroy(window);
    CoUninitialize();
    return 0;
}
