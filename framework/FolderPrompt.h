// The destination-folder prompt as the platform shows it: a fixed 333 x 135 dialog built in
// code, centred on the screen, in "MS Sans Serif" 8.
#pragma once

#include "framework/Dialogs.h"

namespace tmb {

// Geometry of the prompt, client coordinates in pixels.
namespace folder_prompt {
inline constexpr int kClientWidth = 333, kClientHeight = 135;
inline constexpr int kLabelLeft = 20, kLabelTop = 12;
inline constexpr int kEditLeft = 20, kEditTop = 32, kEditWidth = 293, kEditHeight = 21;
inline constexpr int kEditLimit = 285;
inline constexpr int kButtonTop = 80, kButtonWidth = 75, kButtonHeight = 25;
inline constexpr int kOkLeft = 37, kCancelLeft = 129, kBrowseLeft = 221;
inline constexpr int kLabelId = 100, kEditId = 101;  // the buttons are IDOK, IDCANCEL, mrBrowse
} // namespace folder_prompt

// Shows the prompt modally (a "#32770" dialog owned by request.owner). Enter takes OK, Esc
// and the close box Cancel. Returns mrOk with request.text set to the edit box's text,
// mrCancel, or mrBrowse.
int ShowFolderPrompt(FolderPromptRequest& request);

} // namespace tmb
