// What a GUI program needs to be run from a command line: its arguments as Windows splits
// them, and a way to tell the user something that reaches whoever started it.
#pragma once

#include <string>
#include <vector>

namespace tmb {

// The arguments after the program's name, split as CommandLineToArgvW splits them (blanks
// between arguments, double quotes around blanks, backslashes doubled only before a quote),
// with one difference: a quoted argument that ends in a backslash ("D:\", "C:\My Folder\")
// keeps it, where the system's rule would read the backslash as escaping the quote and run
// the argument on into the next ones. No path holds a double quote, so this loses nothing.
std::vector<std::wstring> CommandLineArguments(const std::wstring& commandLine);

// The full path of the running program.
std::wstring ProgramPath();

// Why `path` names no folder a program could be started at: ERROR_SUCCESS when it names
// one, else the system's error (ERROR_DIRECTORY for a file).
unsigned long FolderError(const std::wstring& path);

// Where a message for the user goes.
enum class UserStream { Output, Error };

// Tells the user `text`: on the process's standard output or error stream when it has one
// (inherited or redirected, as with "2>file"), else on the console of the process that
// started it, else, when `orBox`, in a message box with the application title (an error icon
// for Error). A stream that is a file or a pipe gets the text in the console's code page, as
// the system's own console programs write it.
void TellUser(const std::wstring& text, UserStream stream, bool orBox = true);

} // namespace tmb
