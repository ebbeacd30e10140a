// The file operations of the file list view that its context menu shares with the keys
// (cut, copy, paste, delete, new folder, view, find). They come with the context menu's
// unit; until it is linked in, the keys that reach them do nothing.
#include "explorer/KvFilelistView28.h"

namespace kv {

void TKvFilelistView28::CutOrCopy(FileOpKind) {}
void TKvFilelistView28::Paste() {}
void TKvFilelistView28::DeleteSelected() {}
void TKvFilelistView28::AddNewFolder() {}
void TKvFilelistView28::ViewFile() {}
void TKvFilelistView28::FindFiles() {}

} // namespace kv
