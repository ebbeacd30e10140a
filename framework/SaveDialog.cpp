// The save-file dialog component.
#include "framework/SaveDialog.h"

#include "framework/Dialogs.h"

namespace tmb {

SaveDialog::SaveDialog(Component* owner) : Component(owner) {}

bool SaveDialog::Execute(HWND owner) {
    SaveDialogRequest request;
    request.owner = owner ? owner : GetActiveWindow();
    request.title = Title;
    request.filter = Filter;
    request.defaultExt = DefaultExt;
    request.initialDir = InitialDir;
    request.fileName = FileName;
    request.flags = Options;
    if (!CurrentModalHost().SaveDialog(request))
        return false;
    FileName = request.fileName;
    return true;
}

} // namespace tmb
