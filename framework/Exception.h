// Errors raised inside the component layer and the program. Every entry from Windows into
// C++ catches them and hands them to Application::HandleException (the default error report).
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace tmb {

// The base error: a message shown to the user as it stands.
class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::wstring message_;
    std::string utf8_;
};

// A file that cannot be created: "Cannot create file "<path>". <system reason>".
class EFCreateError : public Exception {
public:
    EFCreateError(const std::wstring& path, DWORD error);
};

// A file that cannot be opened: "Cannot open file "<path>". <system reason>".
class EFOpenError : public Exception {
public:
    EFOpenError(const std::wstring& path, DWORD error);
};

// A folder that cannot be entered or read: the platform's input/output error.
class EInOutError : public Exception {
public:
    EInOutError(const std::wstring& message, DWORD error);
    DWORD ErrorCode() const noexcept { return error_; }

private:
    DWORD error_;
};

// Registry failures with the platform's texts ("Invalid data type for '%s'", ...).
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// The system's text for an error code, without the trailing line break Windows adds.
std::wstring SysErrorMessage(DWORD error);

} // namespace tmb
