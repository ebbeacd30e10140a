// Regional settings and the number, size and date-time texts built from them: "0.###"-style
// float patterns, "%.2n"-style numbers with thousands separators, and the date-time pattern
// language of the listings and the file list view.
#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace tmb {

// A snapshot of one locale's regional settings. The date and time patterns are kept exactly
// as the platform reports them (LOCALE_SSHORTDATE, LOCALE_SLONGDATE, LOCALE_SSHORTTIME,
// LOCALE_STIMEFORMAT); FormatDateTime understands them as they are.
struct FormatSettings {
    wchar_t decimalSeparator = L'.';
    wchar_t thousandSeparator = L',';   // 0: digits are not grouped
    wchar_t dateSeparator = L'/';
    wchar_t timeSeparator = L':';
    std::wstring shortDateFormat = L"M/d/yyyy";
    std::wstring longDateFormat = L"dddd, MMMM d, yyyy";
    std::wstring shortTimeFormat = L"h:mm tt";
    std::wstring longTimeFormat = L"h:mm:ss tt";
    std::wstring timeAMString = L"AM";
    std::wstring timePMString = L"PM";
    std::array<std::wstring, 12> shortMonthNames{L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                                 L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    std::array<std::wstring, 12> longMonthNames{L"January", L"February", L"March", L"April",
                                                L"May", L"June", L"July", L"August",
                                                L"September", L"October", L"November",
                                                L"December"};
    // [0] = Sunday, as in SYSTEMTIME::wDayOfWeek
    std::array<std::wstring, 7> shortDayNames{L"Sun", L"Mon", L"Tue", L"Wed",
                                              L"Thu", L"Fri", L"Sat"};
    std::array<std::wstring, 7> longDayNames{L"Sunday", L"Monday", L"Tuesday", L"Wednesday",
                                             L"Thursday", L"Friday", L"Saturday"};

    // Items the locale does not report keep the defaults above.
    static FormatSettings ForLocale(LCID locale);
    // The current user's settings, read afresh on every call: code that formats many values
    // in a row should take one snapshot and pass it along.
    static FormatSettings User();
    static FormatSettings System();
};

// Formats `value` with a float pattern: '0' is a digit that is always written, '#' a digit
// written only when significant, the first '.' the decimal separator, a ',' anywhere among
// the digits turns on thousands grouping; text in '...' or "..." and any other character is
// copied. Up to three sections "positive;negative;zero" (the negative one is written without
// a minus sign). Values are rounded half away from zero at the last '0'/'#' after the point,
// on their 15-significant-digit decimal form (so 2.0005 rounds to 2.001 as written, not as the
// nearest binary fraction 2.000499... would). An empty pattern gives FloatToStrGeneral.
std::wstring FormatFloat(const std::wstring& pattern, double value,
                         const FormatSettings& settings = FormatSettings::User());

// `value` with `decimals` decimals (rounded half away from zero), digits grouped by three
// with the thousands separator, a leading '-' for negative values that do not round to zero.
std::wstring FormatNumber(double value, int decimals,
                          const FormatSettings& settings = FormatSettings::User());

// Formats a date and time with the date-time pattern language. Specifiers are
// case-insensitive:
//   d dd            day of the month, without / with a leading zero
//   ddd dddd        short / long day name (the day of the week is worked out from the date)
//   ddddd dddddd    the short / long date format
//   m mm            month without / with a leading zero; minutes when the last specifier
//                   before them was an hour (h:mm)
//   mmm mmmm        short / long month name
//   n nn            minutes
//   yy yyyy         two- / four-digit year (y counts as yy, yyy as yyyy)
//   h hh            hour; on a 12-hour clock when the pattern has an am/pm specifier
//   s ss            seconds
//   z zzz           milliseconds without / with leading zeros
//   t tt            the short / long time format
//   am/pm a/p       "am"/"pm" or "a"/"p", in the letter case written in the pattern
//   ampm            the locale's AM or PM string
//   c               the short date format, a blank and the long time format
//   /  :            the locale's date / time separator
//   '...' "..."     literal text; every other character is copied as it stands
// A pattern that has an hour of its own cannot sensibly hold the complete time as well, so
// inside such a pattern t and tt are the AM/PM designator (first letter / whole string) as in
// the platform's own time formats ("h:mm:ss tt"); this is what lets the locale's patterns be
// fed in unchanged.
std::wstring FormatDateTime(const std::wstring& pattern, const SYSTEMTIME& time,
                            const FormatSettings& settings = FormatSettings::User());

// The date and time line of the listings: the date in the short date format and the time in
// the long time format, joined by " - ".
std::wstring ListingDateTime(const SYSTEMTIME& time,
                             const FormatSettings& settings = FormatSettings::User());

// A double in its shortest general form on 15 significant digits: plain digits for whole
// numbers (1023), the decimal separator only when there are decimals, an exponent form
// ("1.5E-7", "1E20") for very small or very large magnitudes.
std::wstring FloatToStrGeneral(double value, const FormatSettings& settings);
std::wstring FloatToStrGeneral(double value);

// A time pattern without its seconds field and the separator before it ("h:mm:ss tt" gives
// "h:mm tt"): the short time format for a locale that reports only the long one.
std::wstring TimePatternWithoutSeconds(const std::wstring& pattern);

} // namespace tmb
