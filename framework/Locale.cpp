// Regional settings from GetLocaleInfo, and the float, number and date-time formatting done
// on them. Digits are grouped here rather than by GetNumberFormat, whose grouping under Wine
// is wrong unless NUMBERFMT.Grouping is spelled out, and rounding is done on decimal digits
// so that values such as 2.0005 round the way they are written.
#include "framework/Locale.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace tmb {
namespace {

// ---------------------------------------------------------------------------------------
// Regional settings

std::wstring LocaleString(LCID locale, LCTYPE type, bool* found = nullptr) {
    const int size = GetLocaleInfoW(locale, type, nullptr, 0);
    if (found)
        *found = size > 0;
    if (size <= 0)
        return {};
    std::wstring text(static_cast<size_t>(size), L'\0');
    const int written = GetLocaleInfoW(locale, type, text.data(), size);
    text.resize(written > 0 ? static_cast<size_t>(written) - 1 : 0);   // drop the terminator
    return text;
}

void ReadString(LCID locale, LCTYPE type, std::wstring& target) {
    bool found = false;
    std::wstring text = LocaleString(locale, type, &found);
    if (found)
        target = std::move(text);
}

// Separators are single characters; an empty thousands separator means no grouping.
void ReadSeparator(LCID locale, LCTYPE type, wchar_t& target, bool emptyMeansNone) {
    bool found = false;
    const std::wstring text = LocaleString(locale, type, &found);
    if (!found)
        return;
    if (!text.empty())
        target = text[0];
    else if (emptyMeansNone)
        target = 0;
}

// ---------------------------------------------------------------------------------------
// Decimal digits of a double

// |value| = 0.d1 d2 d3 ... x 10^point, i.e. `point` digits stand before the decimal point
// (point <= 0: that many zeros follow the point before the first digit). No trailing zeros;
// zero has no digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int point = 0;

    bool IsZero() const { return digits.empty(); }
};

void StripTrailingZeros(Decimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.point = 0;
}

// The 15 significant digits a double holds reliably, correctly rounded from its binary value.
// Working on these rather than on the exact binary expansion makes 2.0005 (stored as
// 2.000499999...) behave as the number that was written or computed.
Decimal ToDecimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0.0)
        return d;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), std::fabs(value),
                                      std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            d.digits += text[i];
    d.point = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
    StripTrailingZeros(d);
    return d;
}

// Rounds half away from zero so that at most `decimals` digits follow the point.
void RoundDecimal(Decimal& d, int decimals) {
    const int keep = d.point + decimals;   // digits that stay
    if (keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {   // the first digit lies below the rounding digit: less than a half
        d.digits.clear();
        d.point = 0;
        return;
    }
    const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9')
            d.digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++d.digits[static_cast<size_t>(i)];
        } else {   // 999.9995 -> 1000.000: one more integer digit
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        }
    }
    StripTrailingZeros(d);
}

std::wstring IntegerDigits(const Decimal& d) {
    std::wstring out;
    const int n = static_cast<int>(d.digits.size());
    for (int i = 0; i < d.point; ++i)
        out += i < n ? static_cast<wchar_t>(d.digits[static_cast<size_t>(i)]) : L'0';
    return out;
}

std::wstring FractionDigits(const Decimal& d) {
    std::wstring out;
    const int n = static_cast<int>(d.digits.size());
    for (int i = d.point < 0 ? d.point : 0; i < 0; ++i)
        out += L'0';
    for (int i = d.point > 0 ? d.point : 0; i < n; ++i)
        out += static_cast<wchar_t>(d.digits[static_cast<size_t>(i)]);
    return out;
}

std::wstring Grouped(const std::wstring& digits, wchar_t separator) {
    if (!separator)
        return digits;
    std::wstring out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return out;
}

std::wstring NonFinite(double value) {
    if (std::isnan(value))
        return L"NAN";
    return value < 0 ? L"-INF" : L"INF";
}

// ---------------------------------------------------------------------------------------
// Float patterns

std::wstring::size_type ClosingQuote(const std::wstring& text, std::wstring::size_type open) {
    const auto close = text.find(text[open], open + 1);
    return close == std::wstring::npos ? text.size() : close;
}

std::vector<std::wstring> Sections(const std::wstring& pattern) {
    std::vector<std::wstring> sections(1);
    for (std::wstring::size_type i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c == L'\'' || c == L'"') {
            const auto close = ClosingQuote(pattern, i);
            sections.back() += pattern.substr(i, close - i + 1);
            i = close;
        } else if (c == L';') {
            sections.emplace_back();
        } else {
            sections.back() += c;
        }
    }
    return sections;
}

std::wstring FormatSection(const std::wstring& section, double value, bool withSign,
                           const FormatSettings& settings) {
    // First pass: what the placeholders ask for.
    int intPlaces = 0, intForced = 0, fracPlaces = 0, fracForced = 0;
    bool seenPoint = false, grouping = false;
    for (std::wstring::size_type i = 0; i < section.size(); ++i) {
        const wchar_t c = section[i];
        if (c == L'\'' || c == L'"') {
            i = ClosingQuote(section, i);
        } else if (c == L'0' || c == L'#') {
            if (seenPoint) {
                ++fracPlaces;
                if (c == L'0')
                    fracForced = fracPlaces;   // zeros up to the last '0' are kept
            } else {
                ++intPlaces;
                if (c == L'0' || intForced > 0)
                    ++intForced;               // every place from the first '0' on is kept
            }
        } else if (c == L'.') {
            seenPoint = true;
        } else if (c == L',') {
            grouping = true;
        }
    }

    Decimal d = ToDecimal(value);
    RoundDecimal(d, fracPlaces);
    std::wstring intDigits = IntegerDigits(d);
    if (static_cast<int>(intDigits.size()) < intForced)
        intDigits.insert(0, static_cast<size_t>(intForced) - intDigits.size(), L'0');
    std::wstring fracDigits = FractionDigits(d);
    if (static_cast<int>(fracDigits.size()) < fracForced)
        fracDigits.append(static_cast<size_t>(fracForced) - fracDigits.size(), L'0');

    const wchar_t separator = grouping ? settings.thousandSeparator : 0;
    const int length = static_cast<int>(intDigits.size());
    auto emitInteger = [&](std::wstring& out, int position) {
        if (separator && position > 0 && (length - position) % 3 == 0)
            out += separator;
        out += intDigits[static_cast<size_t>(position)];
    };

    // Second pass: the integer digits are right-aligned on the integer places (the first place
    // takes any digits beyond them), the decimals fill the places after the point from the left.
    std::wstring out;
    if (withSign && d.negative && !d.IsZero())
        out += L'-';
    const int offset = length - intPlaces;
    int intPlace = 0, fracPlace = 0;
    seenPoint = false;
    for (std::wstring::size_type i = 0; i < section.size(); ++i) {
        const wchar_t c = section[i];
        if (c == L'\'' || c == L'"') {
            const auto close = ClosingQuote(section, i);
            out += section.substr(i + 1, close - i - 1);
            i = close;
        } else if ((c == L'0' || c == L'#') && !seenPoint) {
            if (intPlace == 0)
                for (int p = 0; p < offset; ++p)
                    emitInteger(out, p);
            const int position = intPlace++ + offset;
            if (position >= 0)
                emitInteger(out, position);
        } else if ((c == L'0' || c == L'#') && seenPoint) {
            if (fracPlace < static_cast<int>(fracDigits.size()))
                out += fracDigits[static_cast<size_t>(fracPlace)];
            ++fracPlace;
        } else if (c == L'.' && !seenPoint) {
            seenPoint = true;
            if (intPlaces == 0)   // no integer places: the integer part goes before the point
                for (int p = 0; p < length; ++p)
                    emitInteger(out, p);
            if (!fracDigits.empty())
                out += settings.decimalSeparator;
        } else if (c != L',') {
            out += c;
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Date-time patterns

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

bool StartsWithNoCase(const std::wstring& text, std::wstring::size_type at, const wchar_t* word) {
    for (std::wstring::size_type k = 0; word[k]; ++k)
        if (at + k >= text.size() || Upper(text[at + k]) != Upper(word[k]))
            return false;
    return true;
}

std::wstring::size_type RunLength(const std::wstring& text, std::wstring::size_type at) {
    const wchar_t c = Upper(text[at]);
    std::wstring::size_type end = at + 1;
    while (end < text.size() && Upper(text[end]) == c)
        ++end;
    return end - at;
}

int DayOfWeek(const SYSTEMTIME& t) {
    if (t.wMonth < 1 || t.wMonth > 12)
        return t.wDayOfWeek % 7;
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int y = t.wYear - (t.wMonth < 3 ? 1 : 0);
    return ((y + y / 4 - y / 100 + y / 400 + offsets[t.wMonth - 1] + t.wDay) % 7 + 7) % 7;
}

std::wstring Number(int value, int width) {
    std::wstring text = std::to_wstring(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<size_t>(width) - text.size(), L'0');
    return text;
}

class DateTimeWriter {
public:
    DateTimeWriter(const SYSTEMTIME& time, const FormatSettings& settings)
        : time_(time), settings_(settings) {}

    std::wstring Result() { return std::move(out_); }

    void Write(const std::wstring& pattern, int depth) {
        // A locale pattern that named itself (a long time format of "tt") must not recurse
        // for ever.
        if (depth > 3)
            return;
        const bool hasHour = HasHour(pattern);
        const bool twelveHour = HasAmPm(pattern, hasHour);
        bool afterHour = false;   // the last specifier was an hour: m and mm are minutes
        const int hour = twelveHour ? (time_.wHour % 12 == 0 ? 12 : time_.wHour % 12)
                                    : time_.wHour;

        for (std::wstring::size_type i = 0; i < pattern.size();) {
            const wchar_t c = Upper(pattern[i]);
            const auto run = RunLength(pattern, i);
            bool hourSpecifier = false;
            switch (c) {
            case L'\'':
            case L'"': {
                const auto close = ClosingQuote(pattern, i);
                out_ += pattern.substr(i + 1, close - i - 1);
                i = close + 1;
                continue;
            }
            case L'D':
                if (run == 1) out_ += Number(time_.wDay, 1);
                else if (run == 2) out_ += Number(time_.wDay, 2);
                else if (run == 3) out_ += settings_.shortDayNames[DayOfWeek(time_)];
                else if (run == 4) out_ += settings_.longDayNames[DayOfWeek(time_)];
                else if (run == 5) Write(settings_.shortDateFormat, depth + 1);
                else Write(settings_.longDateFormat, depth + 1);
                i += run;
                break;
            case L'M':
                if (afterHour && run <= 2) out_ += Number(time_.wMinute, static_cast<int>(run));
                else if (run <= 2) out_ += Number(time_.wMonth, static_cast<int>(run));
                else out_ += MonthName(run == 3 ? settings_.shortMonthNames : settings_.longMonthNames);
                i += run;
                break;
            case L'N':
                out_ += Number(time_.wMinute, run == 1 ? 1 : 2);
                i += run;
                break;
            case L'Y':
                out_ += run <= 2 ? Number(time_.wYear % 100, 2) : Number(time_.wYear, 4);
                i += run;
                break;
            case L'H':
                out_ += Number(hour, run == 1 ? 1 : 2);
                hourSpecifier = true;
                i += run;
                break;
            case L'S':
                out_ += Number(time_.wSecond, run == 1 ? 1 : 2);
                i += run;
                break;
            case L'Z':
                out_ += Number(time_.wMilliseconds, run == 1 ? 1 : 3);
                i += run;
                break;
            case L'T':
                if (hasHour) {   // the AM/PM designator of the platform's time formats
                    const std::wstring& marker = AmPmString();
                    out_ += run == 1 ? marker.substr(0, 1) : marker;
                } else {
                    Write(run == 1 ? settings_.shortTimeFormat : settings_.longTimeFormat,
                          depth + 1);
                }
                i += run;
                break;
            case L'A':
                if (StartsWithNoCase(pattern, i, L"am/pm")) {
                    out_ += time_.wHour < 12 ? pattern.substr(i, 2) : pattern.substr(i + 3, 2);
                    i += 5;
                } else if (StartsWithNoCase(pattern, i, L"a/p")) {
                    out_ += time_.wHour < 12 ? pattern[i] : pattern[i + 2];
                    i += 3;
                } else if (StartsWithNoCase(pattern, i, L"ampm")) {
                    out_ += AmPmString();
                    i += 4;
                } else {
                    out_ += pattern[i++];
                    continue;   // plain text: the minutes rule still holds
                }
                break;
            case L'C':
                Write(settings_.shortDateFormat, depth + 1);
                out_ += L' ';
                Write(settings_.longTimeFormat, depth + 1);
                i += 1;
                break;
            default:
                // Separators and plain text leave the minutes rule as it was.
                if (c == L'/') {
                    if (settings_.dateSeparator)
                        out_ += settings_.dateSeparator;
                } else if (c == L':') {
                    if (settings_.timeSeparator)
                        out_ += settings_.timeSeparator;
                } else {
                    out_ += pattern[i];
                }
                ++i;
                continue;
            }
            afterHour = hourSpecifier;
        }
    }

private:
    static bool HasHour(const std::wstring& pattern) {
        for (std::wstring::size_type i = 0; i < pattern.size(); ++i) {
            if (pattern[i] == L'\'' || pattern[i] == L'"')
                i = ClosingQuote(pattern, i);
            else if (Upper(pattern[i]) == L'H')
                return true;
        }
        return false;
    }

    static bool HasAmPm(const std::wstring& pattern, bool hasHour) {
        for (std::wstring::size_type i = 0; i < pattern.size(); ++i) {
            if (pattern[i] == L'\'' || pattern[i] == L'"')
                i = ClosingQuote(pattern, i);
            else if (hasHour && Upper(pattern[i]) == L'T')
                return true;
            else if (StartsWithNoCase(pattern, i, L"am/pm") || StartsWithNoCase(pattern, i, L"a/p") ||
                     StartsWithNoCase(pattern, i, L"ampm"))
                return true;
        }
        return false;
    }

    const std::wstring& AmPmString() const {
        return time_.wHour < 12 ? settings_.timeAMString : settings_.timePMString;
    }

    std::wstring MonthName(const std::array<std::wstring, 12>& names) const {
        return time_.wMonth >= 1 && time_.wMonth <= 12 ? names[time_.wMonth - 1] : std::wstring();
    }

    const SYSTEMTIME& time_;
    const FormatSettings& settings_;
    std::wstring out_;
};

} // namespace

// -------------------------------------------------------------------------------------------

FormatSettings FormatSettings::ForLocale(LCID locale) {
    FormatSettings s;
    ReadSeparator(locale, LOCALE_SDECIMAL, s.decimalSeparator, false);
    ReadSeparator(locale, LOCALE_STHOUSAND, s.thousandSeparator, true);
    ReadSeparator(locale, LOCALE_SDATE, s.dateSeparator, true);
    ReadSeparator(locale, LOCALE_STIME, s.timeSeparator, true);
    ReadString(locale, LOCALE_SSHORTDATE, s.shortDateFormat);
    ReadString(locale, LOCALE_SLONGDATE, s.longDateFormat);
    ReadString(locale, LOCALE_STIMEFORMAT, s.longTimeFormat);
    bool found = false;
    std::wstring shortTime = LocaleString(locale, LOCALE_SSHORTTIME, &found);
    s.shortTimeFormat = found ? shortTime : TimePatternWithoutSeconds(s.longTimeFormat);
    ReadString(locale, LOCALE_S1159, s.timeAMString);
    ReadString(locale, LOCALE_S2359, s.timePMString);
    for (int m = 0; m < 12; ++m) {
        ReadString(locale, static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + m), s.shortMonthNames[m]);
        ReadString(locale, static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + m), s.longMonthNames[m]);
    }
    // The platform counts days from Monday (SDAYNAME1) to Sunday (SDAYNAME7).
    for (int d = 0; d < 7; ++d) {
        const int day = (d + 1) % 7;
        ReadString(locale, static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + d), s.shortDayNames[day]);
        ReadString(locale, static_cast<LCTYPE>(LOCALE_SDAYNAME1 + d), s.longDayNames[day]);
    }
    return s;
}

FormatSettings FormatSettings::User() { return ForLocale(LOCALE_USER_DEFAULT); }

FormatSettings FormatSettings::System() { return ForLocale(LOCALE_SYSTEM_DEFAULT); }

std::wstring FormatFloat(const std::wstring& pattern, double value, const FormatSettings& settings) {
    if (!std::isfinite(value))
        return NonFinite(value);
    const std::vector<std::wstring> sections = Sections(pattern);
    if (value < 0 && sections.size() >= 2 && !sections[1].empty())
        return FormatSection(sections[1], value, false, settings);
    if (value == 0 && sections.size() >= 3 && !sections[2].empty())
        return FormatSection(sections[2], value, false, settings);
    if (sections[0].empty())
        return FloatToStrGeneral(value, settings);
    return FormatSection(sections[0], value, true, settings);
}

std::wstring FormatNumber(double value, int decimals, const FormatSettings& settings) {
    if (!std::isfinite(value))
        return NonFinite(value);
    if (decimals < 0)
        decimals = 0;
    Decimal d = ToDecimal(value);
    RoundDecimal(d, decimals);
    std::wstring intDigits = IntegerDigits(d);
    if (intDigits.empty())
        intDigits = L"0";
    std::wstring fracDigits = FractionDigits(d);
    fracDigits.append(static_cast<size_t>(decimals) - fracDigits.size(), L'0');

    std::wstring out;
    if (d.negative && !d.IsZero())
        out += L'-';
    out += Grouped(intDigits, settings.thousandSeparator);
    if (decimals > 0) {
        out += settings.decimalSeparator;
        out += fracDigits;
    }
    return out;
}

std::wstring FormatDateTime(const std::wstring& pattern, const SYSTEMTIME& time,
                            const FormatSettings& settings) {
    DateTimeWriter writer(time, settings);
    writer.Write(pattern, 0);
    return writer.Result();
}

std::wstring ListingDateTime(const SYSTEMTIME& time, const FormatSettings& settings) {
    return FormatDateTime(settings.shortDateFormat, time, settings) + L" - " +
           FormatDateTime(settings.longTimeFormat, time, settings);
}

std::wstring FloatToStrGeneral(double value, const FormatSettings& settings) {
    if (!std::isfinite(value))
        return NonFinite(value);
    const Decimal d = ToDecimal(value);
    if (d.IsZero())
        return L"0";
    std::wstring out = d.negative ? L"-" : L"";
    const int exponent = d.point - 1;
    if (d.point > 15 || exponent < -5) {
        out += static_cast<wchar_t>(d.digits[0]);
        if (d.digits.size() > 1) {
            out += settings.decimalSeparator;
            for (size_t i = 1; i < d.digits.size(); ++i)
                out += static_cast<wchar_t>(d.digits[i]);
        }
        out += L'E';
        out += std::to_wstring(exponent);
        return out;
    }
    const std::wstring intDigits = IntegerDigits(d);
    out += intDigits.empty() ? L"0" : intDigits;
    const std::wstring fracDigits = FractionDigits(d);
    if (!fracDigits.empty()) {
        out += settings.decimalSeparator;
        out += fracDigits;
    }
    return out;
}

std::wstring FloatToStrGeneral(double value) {
    return FloatToStrGeneral(value, FormatSettings::User());
}

std::wstring TimePatternWithoutSeconds(const std::wstring& pattern) {
    for (std::wstring::size_type i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'\'' || pattern[i] == L'"') {
            i = ClosingQuote(pattern, i);
            continue;
        }
        if (Upper(pattern[i]) != L'S')
            continue;
        auto begin = i;
        const auto end = i + RunLength(pattern, i);
        // Take the separator before the seconds with them (":ss", ".ss").
        auto isSeparator = [](wchar_t c) {
            return !(Upper(c) >= L'A' && Upper(c) <= L'Z') && c != L'\'' && c != L'"';
        };
        while (begin > 0 && isSeparator(pattern[begin - 1]) && pattern[begin - 1] != L' ')
            --begin;
        return pattern.substr(0, begin) + pattern.substr(end);
    }
    return pattern;
}

} // namespace tmb
