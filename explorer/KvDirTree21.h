// The directory tree of the explorer components: one root node for the computer, one node
// per drive under it, and under a drive its folders, read from disk the first time a node
// opens. It keeps the folder last picked in SelectedPath and reports every pick through
// OnDirChange; it renames a folder whose caption is edited in place, owns a context menu of
// folder operations, and shows its captions and messages in five languages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "explorer/KvConsts.h"
#include "explorer/KvFileExplorer28.h"
#include "explorer/KvFolderTree.h"

namespace kv {

class TKvDirTree21PopUp;
class TKvFolderContents;
// The report-style file list view of the explorer components, which a tree can drive.
class TKvFilelistView28;

using TDirChangeEvent =
    std::function<void(tmb::Component* sender, const std::wstring& selectedPath)>;
using TFileChangeEvent =
    std::function<void(tmb::Component* sender, const std::wstring& selectedFile)>;

// The folder the last folder-contents window of any tree showed.
extern std::wstring ContentsPath;

class TKvDirTree21 : public TKvFolderTree {
public:
    explicit TKvDirTree21(tmb::Component* owner);
    ~TKvDirTree21() override;

    // The linked file list view, handed every picked folder; the tree does not watch the
    // view's destruction, so a view must be unlinked before it goes.
    TKvFilelistView28* FileList() const { return fileList_; }
    void SetFileList(TKvFilelistView28* view);

    // Whether the tree's own context menu is its pop-up menu.
    bool PopUpMenuEnabled() const { return popUpMenuEnabled_; }
    void SetPopUpMenuEnabled(bool value);

    // The folder last picked: "Drives" for the root, a folder picked with the mouse or the
    // arrow keys without a trailing backslash (drive roots always end with one), a folder
    // reached through OpenFolder or LocatePath with one. The setters store a text that
    // differs ignoring case; they do not move the selection.
    const std::wstring& SelectedPath() const { return selectedPath_; }
    void SetSelectedPath(const std::wstring& path);
    // The file last chosen in the folder-contents window.
    const std::wstring& SelectedFile() const { return selectedFile_; }
    void SetSelectedFile(const std::wstring& path);

    // Always "Version 2.1.7.3"; writes are ignored.
    std::wstring About() const { return L"Version 2.1.7.3"; }
    void SetAbout(const std::wstring&) {}

    // The language of the menu captions and of the messages all trees share. Setting
    // another language rebuilds the tree's own menu (replacing any pop-up menu assigned
    // from outside) and re-creates the window, which then shows the root alone.
    TLanguage Language() const { return language_; }
    void SetLanguage(TLanguage language);

    TDirChangeEvent OnDirChange;
    TFileChangeEvent OnFileChange;

    // Expands the tree down to an existing folder, selects and reports it and hands it to
    // FileList. An empty path, one equal (ignoring case) to the last opened, or a missing
    // folder does nothing; the comparison is made before a backslash is added.
    void OpenFolder(const std::wstring& path);
    // Expands the tree down to an existing folder and selects it; SelectedPath becomes the
    // path with a trailing backslash and OnDirChange fires. Where the tree does not hold a
    // component of the path it stops quietly.
    void LocatePath(const std::wstring& path);
    // Rebuilds the tree to the root and the drive nodes.
    void Reload();
    // Adds a node per present drive under the root.
    void AddDrives();
    // Cuts the tree back to the root node alone.
    void AddRootNode();

    // The tree's own context menu (null between the old and the new one of a language
    // change).
    TKvDirTree21PopUp* OwnMenu() const { return ownMenu_; }
    // A cut or copied folder waits to be pasted.
    bool PastePending() const { return pastePending_; }
    // The next rename of a folder asks no confirmation (a folder just created under the
    // default name); cleared by the end of that rename.
    bool NamingNewFolder() const { return namingNewFolder_; }
    void SetNamingNewFolder(bool value) { namingNewFolder_ = value; }

    // --- the folder commands of the tree's own menu -------------------------------------
    // They act on the selected node, the folder the user sees highlighted.

    // Creates folder `name` in the folder or drive of `node` (null: the selected node) and
    // opens the tree at it. An empty name takes the language's default and starts editing
    // the new node's caption, renamed then without a question. The root refuses with a
    // message, a name with a forbidden character beeps and says so; a folder that cannot be
    // made (it exists, no access) gives false silently.
    bool AddNewFolder(HTREEITEM node, const std::wstring& name);
    // Starts editing the selected folder's caption (refused for drives, the root and while
    // ReadOnly).
    void EditSelected();
    // Moves the folder of `node` (null: the selected node) to the recycle bin through the
    // shell, which asks first; then selects its parent and tells FileList. A folder no
    // longer on disk beeps and shows its path followed by the not-found text.
    bool DeleteFolder(HTREEITEM node);
    // Remembers the selected folder for one paste: foMove for a cut, foCopy for a copy.
    // Nothing happens on disk yet.
    void CutOrCopy(FileOpKind kind);
    // Moves or copies the remembered folder into the selected one through the shell, then
    // opens the tree at the target; a failure or cancel says "File operation failed". One
    // cut or copy allows one paste, whatever its outcome.
    void PasteFolder();
    // Measures the selected drive or folder with everything under it and reports the size
    // in bytes and in KB or MB. The window keeps painting during a long walk, and Escape
    // cancels it (the report then says so).
    void ShowTreeSize();
    // The bytes of every file under `path`, hidden and system ones included, each with its
    // full 64-bit size. A folder that cannot be read counts 0; a link to a folder (a
    // junction, a symbolic link) counts 0 and is not followed, so nothing is counted twice
    // and a link loop cannot trap the walk.
    static double GetFolderSize(const std::wstring& path);
    // Opens a window over the tree listing the files of the selected folder; its OK button
    // makes the selected file SelectedFile, fires OnFileChange and re-opens the tree there.
    void ShowFolderContents();
    // The window ShowFolderContents made last (hidden once its OK button was pressed).
    TKvFolderContents* ContentsWindow() const { return contents_; }
    // The system's map-network-drive dialog; a newly mapped drive becomes the selected one.
    void ConnectNetDrive();
    // The system's disconnect-network-drive dialog; the tree is rebuilt at its root.
    void DisconnectNetDrive();
    // The shell's properties sheet of the selected drive or folder.
    void ShowItemProperties();

    // The pending cut (foMove) or copy (foCopy), or -1 for none, and its folder.
    int PendingOperation() const { return pendingOperation_; }
    const std::wstring& PasteSource() const { return pasteSource_; }
    // The folder the last paste went to, with a trailing backslash.
    const std::wstring& PasteTarget() const { return pasteTarget_; }

    // A press of any button on a node's icon or caption picks the node.
    void MouseDown(tmb::MouseButton button, unsigned shift, int x, int y) override;
    // The arrow keys pick the node they moved to; F5 rebuilds the tree and opens it again
    // at the current folder.
    void KeyUp(WORD& key, unsigned shift) override;

    void Notification(tmb::Component* component, tmb::Operation operation) override;

protected:
    void CreateParams(tmb::CreateArgs& args) override;
    void HandleCreated() override;
    void Loaded() override;
    bool CanEdit(HTREEITEM node) override;
    void Edit(HTREEITEM node, const std::wstring* text) override;

private:
    // Reports the selected node: steps shared by the mouse and the arrow keys.
    void PickSelected();
    // Hands a folder to the linked file list view.
    void TellFileList(const std::wstring& directory);
    // The path of the selected node: the folder the commands act on.
    std::wstring SelectedNodePath();
    void ClearPendingPaste();
    // The contents window's OK: `file` (empty for none) is the chosen file in `folder`, the
    // folder that window showed.
    void ContentsChosen(const std::wstring& file, const std::wstring& folder);
    friend class TKvFolderContents;

    TKvFilelistView28* fileList_ = nullptr;
    TKvDirTree21PopUp* ownMenu_ = nullptr;
    std::wstring selectedPath_;
    std::wstring selectedFile_;
    std::wstring lastOpened_;
    TLanguage language_ = lnSysDefault;
    bool popUpMenuEnabled_ = true;
    bool namingNewFolder_ = false;
    bool pastePending_ = false;
    int pendingOperation_ = -1;
    std::wstring pasteSource_;
    std::wstring pasteTarget_;
    TKvFolderContents* contents_ = nullptr;
};

} // namespace kv
