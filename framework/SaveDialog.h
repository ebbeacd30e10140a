// The save-file dialog as a component: its settings persist between uses, and the chosen
// name is remembered as FileName. Shown through the modal seam.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "framework/Component.h"

namespace tmb {

class SaveDialog : public Component {
public:
    explicit SaveDialog(Component* owner);

    std::wstring DefaultExt;
    std::wstring Filter;       // "Description|*.ext"
    std::wstring FileName;
    std::wstring InitialDir;
    std::wstring Title;
    DWORD Options = OFN_HIDEREADONLY | OFN_ENABLESIZING;

    // True when the user chose a name (FileName then holds it).
    bool Execute(HWND owner = nullptr);
};

} // namespace tmb
