// The file list view's free helpers: the attribute filter, the date and time patterns of the
// Modified column, the attribute letters and the parts of a mask.
#include "explorer/KvFilelistView28.h"

#include "framework/Locale.h"

namespace kv {

DWORD AttributeFilter(TFileType type) {
    DWORD bits = 0;
    if (type & FileTypeOf(ftReadOnly)) bits |= FILE_ATTRIBUTE_READONLY;
    if (type & FileTypeOf(ftHidden)) bits |= FILE_ATTRIBUTE_HIDDEN;
    if (type & FileTypeOf(ftSystem)) bits |= FILE_ATTRIBUTE_SYSTEM;
    if (type & FileTypeOf(ftArchive)) bits |= FILE_ATTRIBUTE_ARCHIVE;
    if (type & FileTypeOf(ftNormal)) bits |= FILE_ATTRIBUTE_NORMAL;
    return bits;
}

std::wstring DatePattern(TDtFormat format) {
    switch (format) {
    case df_MMddyyyy: return L"MM/dd/yyyy";
    case df_MMddyy: return L"MM/dd/yy";
    case df_ddMMyyyy: return L"dd/MM/yyyy";
    case df_ddMMyy_GB: return L"dd/MM/yy";
    case df_ddMMyy_DE: return L"dd.MM.yy";
    case df_ddMMyy_IT: return L"dd-MM-yy";
    case df_yyyyMMdd: return L"yyyy-MM-dd";
    case df_yyMMdd: return L"yy-MM-dd";
    case df_Customize: break;
    }
    return tmb::FormatSettings::User().shortDateFormat;
}

std::wstring TimePattern(TTmFormat format) {
    switch (format) {
    case tfLongFormat: return tmb::FormatSettings::User().longTimeFormat;
    case tfShortFormat: return tmb::FormatSettings::User().shortTimeFormat;
    case tfCustomize: break;
    }
    wchar_t buffer[80] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, buffer, 80);
    std::wstring pattern = buffer;
    const std::size_t t = pattern.find(L't');
    if (t != std::wstring::npos)
        pattern.erase(t);
    return pattern + L" AM/PM";
}

std::wstring AttributesText(DWORD attributes) {
    std::wstring text;
    if (attributes & FILE_ATTRIBUTE_ARCHIVE) text += L'A';
    if (attributes & FILE_ATTRIBUTE_READONLY) text += L'R';
    if (attributes & FILE_ATTRIBUTE_HIDDEN) text += L'H';
    if (attributes & FILE_ATTRIBUTE_SYSTEM) text += L'S';
    return text;
}

std::wstring NextMaskPart(std::wstring& mask) {
    const std::size_t semi = mask.find(L';');
    std::wstring part;
    if (semi == std::wstring::npos) {
        part.swap(mask);
    } else {
        part = mask.substr(0, semi);
        mask.erase(0, semi + 1);
    }
    return part;
}

} // namespace kv
