#!/usr/bin/env python3
"""Takes the guards of the file operations out one at a time and runs the tests that should
notice: each mutation must make them fail. Prints one line a mutation and a count.

Run from a checkout whose build exists (scripts/test.sh once); the checkout is restored after
each mutation. Usage: scripts/guard-mutations.py [name-filter]
"""
import os, signal, subprocess, sys, time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.environ.get("TOMBAREL_BUILD", os.path.join(TOP, "build"))
E = "explorer/"
# (name, file, the guard as written, what it becomes without it)
MUTATIONS = [
    ("shell: drive root, . or .. as source", E + "KvFileExplorer28.cpp",
     "        if (IsDriveRoot(one) || last == L\".\" || last == L\"..\")\n            return false;\n", ""),
    ("shell: folder into itself", E + "KvFileExplorer28.cpp",
     "        if ((operation == FO_COPY || operation == FO_MOVE) && IntoItself(one, target))\n            return false;\n", ""),
    ("shell: source gone since the cut", E + "KvFileExplorer28.cpp",
     "            GetFileAttributesW(one.c_str()) == INVALID_FILE_ATTRIBUTES)\n            return false;",
     "            false)\n            return false;"),
    ("into itself: refused with its message", E + "KvFileExplorer28.cpp",
     "    if (!IntoItself(source, target))\n        return false;", "    if (true)\n        return false;"),
    ("exists: a wildcard names nothing", E + "KvFileExplorer28.cpp",
     "if (LastComponent(bare).find_first_of(L\"*?\") != std::wstring::npos) {", "if (false) {"),
    ("list cut/copy: not in the drives view", E + "KvFilelistView28Ops.cpp",
     "    if (IsDrivesView())\n        return;\n    ClearPendingOperation();\n    clipboardList_.clear();\n    const",
     "    ClearPendingOperation();\n    clipboardList_.clear();\n    const"),
    ("list paste offered: not in the drives view", E + "KvFilelistView28Ops.cpp",
     "return !IsDrivesView() && (", "return ("),
    ("list paste: not in the drives view", E + "KvFilelistView28Ops.cpp",
     "    if (IsDrivesView() || !DirectoryExists(directory_))\n        return;\n    // Files another",
     "    if (!DirectoryExists(directory_))\n        return;\n    // Files another"),
    ("list paste: a drive root has no name to paste as", E + "KvFilelistView28Ops.cpp",
     "                if (name.empty() || IsDriveRoot(source))\n                    continue;\n", ""),
    ("list paste: folder into itself", E + "KvFilelistView28Ops.cpp",
     "if (RefusedIntoItself(source, target, language_, !refused)) {", "if (false) {"),
    ("list paste: a copied set is pasted once", E + "KvFilelistView28Ops.cpp",
     "            clipboardList_.clear();  // a copied set is pasted once\n", ""),
    ("list paste: what failed is named", E + "KvFilelistView28Ops.cpp",
     "            if (!failed.empty())\n", "            if (false)\n"),
    ("list delete: not in the drives view", E + "KvFilelistView28Ops.cpp",
     "    tmb::ScopedHourglass hourglass;\n    if (IsDrivesView() || !DirectoryExists(directory_))\n        return;\n    clipboardList_.clear();",
     "    tmb::ScopedHourglass hourglass;\n    if (!DirectoryExists(directory_))\n        return;\n    clipboardList_.clear();"),
    ("Send To special: not in the drives view", E + "KvFilelistView28Ops.cpp",
     "    // Drives are never sent anywhere (see SelectedPaths).\n    if (IsDrivesView())\n        return;\n", ""),
    ("Send To any folder: relative to the list's folder", E + "KvFilelistView28Ops.cpp",
     "CopyToFolder(FullPathOf(folder, directory_));", "CopyToFolder(folder);"),
    ("Send To a folder: into itself", E + "KvFilelistView28Ops.cpp",
     "        if (RefusedIntoItself(path, AddSlash(folder), language_))\n            continue;\n", ""),
    ("Send To a folder: a tree that read it shows it", E + "KvFilelistView28Ops.cpp",
     "                   TellLinksChanged(folder);\n", ""),
    ("Send To a shortcut: not in the drives view", E + "KvFilelistView28Ops.cpp",
     "    if (index < 0 || IsDrivesView())\n        return;\n    if (tmb::UpperCase(ExtractFileExt(target))",
     "    if (index < 0)\n        return;\n    if (tmb::UpperCase(ExtractFileExt(target))"),
    ("selection: no parent entry, no drive", E + "KvFilelistView28Ops.cpp",
     "if (!list.IsParentItem(i) && !list.IsDriveItem(i) && seen.insert", "if (seen.insert"),
    ("list rename: refused characters", E + "KvFilelistView28Ops.cpp",
     "if (caption.empty() || HasAnyChar(kListBadNameChars, caption)) {", "if (caption.empty()) {"),
    ("list rename: an existing name", E + "KvFilelistView28Ops.cpp",
     "if (!NameExists(target) && DoFileOperation(", "if (DoFileOperation("),
    ("list rename: not the parent entry or a drive", E + "KvFilelistView28Ops.cpp",
     "    if (IsParentItem(index) || IsDriveItem(index))\n        return false;\n", ""),
    ("list folder: a relative one made full", E + "KvFilelistView28.cpp",
     "directory_ = AddSlash(FullPathOf(AddSlash(value)));", "directory_ = AddSlash(value);"),
    ("list menu: no paste in the drives view", E + "KvFilelistView28PopUp.cpp",
     "return s.clipboardFilled && !s.drivesView;", "return s.clipboardFilled;"),
    ("tree cut/copy: not a drive", E + "KvDirTree21Commands.cpp",
     "Selected() && Level(Selected()) >= 2", "Selected()"),
    ("tree paste: one paste a cut or copy", E + "KvDirTree21Commands.cpp",
     "    // One cut or copy allows one paste, whatever comes of it.\n    ClearPendingPaste();\n", ""),
    ("tree paste: folder into itself", E + "KvDirTree21Commands.cpp",
     "    if (RefusedIntoItself(pasteSource_, pasteTarget_, language_))\n        return;\n", ""),
    ("tree paste: failure said", E + "KvDirTree21Commands.cpp",
     "    if (!done)\n        tmb::MessageDlg(KvMessages.StrOpFailed", "    if (false)\n        tmb::MessageDlg(KvMessages.StrOpFailed"),
    ("tree new folder: refused characters", E + "KvDirTree21Commands.cpp",
     "    if (HasAnyChar(kTreeBadNameChars, folderName)) {", "    if (false) {"),
    ("tree delete: not a drive", E + "KvDirTree21Commands.cpp",
     "    if (!node || Level(node) < 2)\n        return false;", "    if (!node)\n        return false;"),
    ("tree rename: refused characters", E + "KvDirTree21.cpp",
     "if (!text || text->empty() || HasAnyChar(kTreeBadNameChars, *text)) {", "if (!text || text->empty()) {"),
]
# The tests that should notice, the model test first (it is the one meant to).
RUNS = [("model", ["listmenu_tests.exe", "--gtest_filter=FileOperationsModel*"]),
        ("listmenu", ["listmenu_tests.exe", "--gtest_filter=-FileOperationsModel*"]),
        ("explorer", ["explorer_tests.exe"])]


def run(cmd, timeout=None):
    # A test program left hanging (a box nobody answers) fails, as CTest's time limit makes it:
    # its whole process group goes, the script's trap stopping Wine and the display.
    with subprocess.Popen(cmd, cwd=TOP, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, start_new_session=True) as proc:
        try:
            out, _ = proc.communicate(timeout=timeout)
            return subprocess.CompletedProcess(cmd, proc.returncode, out)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGTERM)
            out, _ = proc.communicate()
            return subprocess.CompletedProcess(cmd, 124, out)


def main():
    only = sys.argv[1] if len(sys.argv) > 1 else ""
    caught = total = 0
    for name, path, old, new in MUTATIONS:
        if only not in name:
            continue
        full = os.path.join(TOP, path)
        source = open(full, encoding="utf-8").read()
        if source.count(old) != 1:
            print(f"?  {name}: the guard is not written as expected in {path}")
            continue
        total += 1
        start = time.time()
        try:
            open(full, "w", encoding="utf-8").write(source.replace(old, new))
            built = run(["cmake", "--build", BUILD, "--target", "listmenu_tests", "explorer_tests"])
            if built.returncode != 0:
                print(f"?  {name}: does not build\n{built.stdout[-2000:]}")
                continue
            by = None
            for label, exe in RUNS:
                test = run([os.path.join(TOP, "scripts", "run-test.sh"), *exe], timeout=300)
                if test.returncode != 0:
                    by = label
                    break
        finally:
            open(full, "w", encoding="utf-8").write(source)
        caught += by is not None
        print(f"{'caught' if by else 'MISSED'}  {name}{' (by ' + by + ')' if by else ''}  [{time.time() - start:.0f} s]",
              flush=True)
    run(["cmake", "--build", BUILD, "--target", "listmenu_tests", "explorer_tests"])
    print(f"{caught} of {total} mutations caught")
    return 0 if caught == total else 1


if __name__ == "__main__":
    sys.exit(main())
