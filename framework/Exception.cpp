// Error types and the system error texts they carry.
#include "framework/Exception.h"

#include "framework/TextConv.h"

namespace tmb {

Exception::Exception(std::wstring message)
    : message_(std::move(message)), utf8_(WideToUtf8(message_)) {}

EFCreateError::EFCreateError(const std::wstring& path, DWORD error)
    : Exception(L"Cannot create file \"" + path + L"\". " + SysErrorMessage(error)) {}

EFOpenError::EFOpenError(const std::wstring& path, DWORD error)
    : Exception(L"Cannot open file \"" + path + L"\". " + SysErrorMessage(error)) {}

EInOutError::EInOutError(const std::wstring& message, DWORD error)
    : Exception(message), error_(error) {}

std::wstring SysErrorMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
            FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (buffer) {
        text.assign(buffer, length);
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

} // namespace tmb
