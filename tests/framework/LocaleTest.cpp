// Regional settings and the texts formatted from them. The cases that read the current user's
// settings hold for the locale the run was started with (en-US, or pt-BR in the Brazilian
// run); the others name their locale.
#include "framework/Locale.h"

#include <gtest/gtest.h>

#include "tests/support/CalendarTime.h"
#include "tests/support/TestEnvironment.h"

namespace {

using tmb::FormatSettings;

const FormatSettings& English() {
    static const FormatSettings settings = FormatSettings::ForLocale(0x0409);
    return settings;
}

const FormatSettings& Brazilian() {
    static const FormatSettings settings = FormatSettings::ForLocale(0x0416);
    return settings;
}

bool BrazilianRun() { return tmbtest::ExpectedLocale() == "pt-BR"; }

using tmbtest::TimeAt;

// Monday 7 December 2026, 08:05:09.007
const SYSTEMTIME kMorning = TimeAt(2026, 12, 7, 8, 5, 9, 7);

// One row of a table: `pattern` applied to `value` under `settings` gives `expected`.
template <class Value>
struct Formatted {
    const wchar_t* expected;
    const wchar_t* pattern;
    Value value;
    const FormatSettings& settings;
};

void ExpectFloats(std::initializer_list<Formatted<double>> rows) {
    for (const auto& r : rows)
        EXPECT_EQ(r.expected, tmb::FormatFloat(r.pattern, r.value, r.settings))
            << "pattern " << r.pattern << ", value " << r.value;
}

void ExpectDates(std::initializer_list<Formatted<SYSTEMTIME>> rows) {
    for (const auto& r : rows)
        EXPECT_EQ(r.expected, tmb::FormatDateTime(r.pattern, r.value, r.settings))
            << "pattern " << r.pattern;
}

// ---------------------------------------------------------------------------------------
// What the platform reports

TEST(LocaleSettings, UserSettingsAreThoseOfTheRunLocale) {
    const FormatSettings user = FormatSettings::User();
    const bool br = BrazilianRun();
    EXPECT_EQ(br ? L',' : L'.', user.decimalSeparator);
    EXPECT_EQ(br ? L'.' : L',', user.thousandSeparator);
    EXPECT_EQ(br ? L"dd/MM/yyyy" : L"M/d/yyyy", user.shortDateFormat);
    EXPECT_EQ(br ? L"dddd, d 'de' MMMM 'de' yyyy" : L"dddd, MMMM d, yyyy", user.longDateFormat);
    EXPECT_EQ(br ? L"HH:mm" : L"h:mm tt", user.shortTimeFormat);
    EXPECT_EQ(br ? L"HH:mm:ss" : L"h:mm:ss tt", user.longTimeFormat);
    EXPECT_EQ(br ? L"mar\u00e7o" : L"March", user.longMonthNames[2]);
    EXPECT_EQ(br ? L"domingo" : L"Sunday", user.longDayNames[0]);
    EXPECT_EQ(L'/', user.dateSeparator);
    EXPECT_EQ(L':', user.timeSeparator);
    EXPECT_EQ(L"AM", user.timeAMString);
    EXPECT_EQ(L"PM", user.timePMString);

    // Wine derives the system locale from the same LANG as the user's.
    const FormatSettings system = FormatSettings::System();
    EXPECT_EQ(user.decimalSeparator, system.decimalSeparator);
    EXPECT_EQ(user.shortDateFormat, system.shortDateFormat);
}

TEST(LocaleSettings, NamedLocalesGiveTheirOwnNamesWithSundayFirst) {
    EXPECT_EQ(L"Sun", English().shortDayNames[0]);
    EXPECT_EQ(L"Monday", English().longDayNames[1]);
    EXPECT_EQ(L"Saturday", English().longDayNames[6]);
    EXPECT_EQ(L"Jan", English().shortMonthNames[0]);
    EXPECT_EQ(L"December", English().longMonthNames[11]);
    EXPECT_EQ(L"segunda-feira", Brazilian().longDayNames[1]);
    EXPECT_EQ(L"dezembro", Brazilian().longMonthNames[11]);
    EXPECT_EQ(L',', Brazilian().decimalSeparator);
    EXPECT_EQ(L'.', English().decimalSeparator);
}

TEST(LocaleSettings, ShortTimeCanBeDerivedFromTheLongOne) {
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {  // {expected, long pattern}
        {L"h:mm tt", L"h:mm:ss tt"}, {L"HH:mm", L"HH:mm:ss"}, {L"H.mm", L"H.mm.ss"},
        {L"tt hh:mm", L"tt hh:mm:ss"}, {L"HH:mm", L"HH:mm"},
        {L"HH 'hrs' mm", L"HH 'hrs' mm:ss"},  // a quoted "s" is text, not seconds
    };
    for (const auto& [expected, pattern] : rows)
        EXPECT_EQ(expected, tmb::TimePatternWithoutSeconds(pattern)) << "pattern " << pattern;
}

// ---------------------------------------------------------------------------------------
// Float patterns

TEST(LocaleFloat, SizePatternRoundsHalfAwayAndDropsTrailingZeros) {
    const wchar_t* p = L"0.###";
    const FormatSettings &en = English(), &br = Brazilian();
    ExpectFloats({
        {L"1.063", p, 1088.0 / 1024, en}, {L"1,063", p, 1088.0 / 1024, br},  // 1.0625 exactly
        {L"1", p, 1.0, en}, {L"1024", p, 1048576.0 / 1024, en},  // never grouped
        {L"1.5", p, 1.5, en}, {L"1,25", p, 1.25, br}, {L"0", p, 0.0, en},
        {L"0.001", p, 0.0005, en}, {L"0", p, 0.0004999, en},
        // Stored as 2.99949999... and 2.00049999...: rounded as written, not as stored.
        {L"3", p, 2.9995, en}, {L"2.001", p, 2.0005, en},
        {L"1024", p, 1023.9996, en},  // carry into a new digit
        {L"0.1", p, 0.1, en}, {L"0.3", p, 0.1 + 0.2, en}, {L"-1.063", p, -1.0625, en},
        {L"0", p, -0.0001, en},  // no "-0"
        {L"1.999", p, 1.9994, en}, {L"2", p, 1073741823.0 / 536870912, en},
    });
    EXPECT_EQ(L"1" + std::wstring(1, FormatSettings::User().decimalSeparator) + L"5",
              tmb::FormatFloat(p, 1.5));
}

TEST(LocaleFloat, GroupedPatternKeepsItsTextAndMayWriteNoDigits) {
    const wchar_t* p = L"###,###,### Mb";
    const FormatSettings &en = English(), &br = Brazilian();
    ExpectFloats({
        {L" Mb", p, 0, en}, {L"999 Mb", p, 999, en}, {L"1,000 Mb", p, 1000, en},
        {L"1.000 Mb", p, 1000, br}, {L"1,234,567 Mb", p, 1234567, en},
        // More digits than places: the first place takes the rest.
        {L"123,456,789,012 Mb", p, 123456789012.0, en},
        {L"2 Mb", p, 1.5, en},  // no decimal places: rounded
        {L"1,234.50", L"#,##0.00", 1234.5, en}, {L"1.234,50", L"#,##0.00", 1234.5, br},
        {L"0.05", L"#,##0.00", 0.049, en}, {L"007", L"000", 7, en}, {L".5", L"#.##", 0.5, en},
        {L"12.5", L".##", 12.5, en}, {L"1.200", L"0.0#0#", 1.2, en},
    });
}

TEST(LocaleFloat, LiteralsAndSectionsOfAFloatPattern) {
    const wchar_t* sections = L"0.0;(0.0);'zero'";
    const FormatSettings& en = English();
    ExpectFloats({
        {L"Size: 1,5 0.# kB", L"'Size: '0.#' 0.#' kB", 1.5, Brazilian()},
        {L"#12", L"\"#\"0", 12, en}, {L"-$1.50", L"$0.00", -1.5, en},
        {L"1.3", sections, 1.25, en}, {L"(1.3)", sections, -1.25, en}, {L"zero", sections, 0, en},
        {L"-2.0", L"0.0;", -2, en},  // empty negative section
        {L"1023", L"", 1023, en},
    });
}

// ---------------------------------------------------------------------------------------
// Numbers with separators, and the general form

TEST(LocaleNumber, NumbersAreGroupedAndRoundedHalfAway) {
    const FormatSettings &en = English(), &br = Brazilian();
    const struct {
        const wchar_t* expected;
        double value;
        int digits;
        const FormatSettings& settings;
    } rows[] = {
        {L"1,536", 1536, 0, en}, {L"1.536", 1536, 0, br}, {L"1.50", 1.5, 2, en},
        {L"1,50", 1.5, 2, br}, {L"0", 0, 0, en}, {L"0.00", 0, 2, en},
        {L"-1,234,567.89", -1234567.891, 2, en}, {L"-1.234.567,89", -1234567.891, 2, br},
        {L"-1", -0.5, 0, en}, {L"0.00", -0.004, 2, en},  // no "-0.00"
        {L"1,000.00", 999.995, 2, en}, {L"100,000", 99999.5, 0, en}, {L"999,999", 999999, 0, en},
        {L"1,000,000,000,000,000", 1e15, 0, en}, {L"0.01", 0.005, 2, en},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.expected, tmb::FormatNumber(r.value, r.digits, r.settings)) << r.value;
    const std::wstring user = tmb::FormatNumber(1234.5, 2);
    EXPECT_EQ(BrazilianRun() ? L"1.234,50" : L"1,234.50", user);
}

TEST(LocaleNumber, GeneralFormIsShortestOnFifteenDigits) {
    const FormatSettings &en = English(), &br = Brazilian();
    const std::pair<const wchar_t*, std::pair<double, const FormatSettings*>> rows[] = {
        {L"1023", {1023, &en}}, {L"0", {0, &en}}, {L"0", {-0.0, &en}}, {L"1.5", {1.5, &en}},
        {L"1,5", {1.5, &br}}, {L"0.3", {0.1 + 0.2, &en}}, {L"-2.25", {-2.25, &en}},
        {L"0.00001", {0.00001, &en}}, {L"123456789012345", {123456789012345.0, &en}},
        {L"1E20", {1e20, &en}}, {L"1,5E-7", {1.5e-7, &br}},
    };
    for (const auto& [expected, input] : rows)
        EXPECT_EQ(expected, tmb::FloatToStrGeneral(input.first, *input.second)) << input.first;
    EXPECT_EQ(BrazilianRun() ? L"0,25" : L"0.25", tmb::FloatToStrGeneral(0.25));
}

// ---------------------------------------------------------------------------------------
// Date and time patterns

TEST(LocaleDateTime, DateFieldsNamesAndSeparators) {
    const FormatSettings &en = English(), &br = Brazilian();
    const SYSTEMTIME t = kMorning;
    ExpectDates({
        {L"12/7/2026", L"M/d/yyyy", t, en}, {L"07/12/2026", L"dd/MM/yyyy", t, en},
        {L"12/07/26", L"MM/dd/yy", t, en}, {L"2026-12-07", L"yyyy-MM-dd", t, en},
        {L"07.12.26", L"dd.MM.yy", t, en}, {L"26 2026", L"y yyy", t, en},
        {L"07/12/2026", L"DD/mm/YYYY", t, en}, {L"2005", L"yyyy", TimeAt(2005, 1, 2), en},
        {L"05", L"yy", TimeAt(2005, 1, 2), en},
        {L"Mon Monday Dec December", L"ddd dddd mmm mmmm", t, en},
        {L"segunda-feira dezembro", L"dddd mmmm", t, br},
        {L"Sunday", L"dddd", TimeAt(2000, 1, 2), en}, {L"Tuesday", L"dddd", TimeAt(2000, 2, 29), en},
        {L"12/7/2026", L"ddddd", t, en}, {L"Monday, December 7, 2026", L"dddddd", t, en},
        {L"07/12/2026", L"ddddd", t, br}, {L"segunda-feira, 7 de dezembro de 2026", L"dddddd", t, br},
    });

    // "/" and ":" are the locale's separators, not the characters written.
    FormatSettings dotted = en;
    dotted.dateSeparator = L'.';
    dotted.timeSeparator = L'h';
    EXPECT_EQ(L"07.12.2026 08h05", tmb::FormatDateTime(L"dd/mm/yyyy hh:nn", kMorning, dotted));
}

TEST(LocaleDateTime, MAfterAnHourMeansMinutes) {
    const FormatSettings& en = English();
    const SYSTEMTIME t = kMorning;
    ExpectDates({
        {L"08:05:09", L"hh:mm:ss", t, en}, {L"8:5:9", L"h:m:s", t, en},
        {L"08h05", L"hh'h'mm", t, en}, {L"12/07 08:05", L"mm/dd hh:mm", t, en},
        {L"08 07 12", L"hh dd mm", t, en},  // d in between
        {L"08 Dec", L"hh mmm", t, en},      // names stay months
        {L"05 5", L"nn n", t, en}, {L"7 007", L"z zzz", t, en},
        {L"13:07", L"HH:NN", TimeAt(2026, 1, 1, 13, 7), en},
    });
}

TEST(LocaleDateTime, AmPmSpecifiersTurnOnTheTwelveHourClock) {
    const FormatSettings& en = English();
    auto on1Jan = [](int hour, int minute = 0, int second = 0) {
        return TimeAt(2026, 1, 1, hour, minute, second);
    };
    FormatSettings custom = en;
    custom.timeAMString = L"manh\u00e3";
    custom.timePMString = L"tarde";
    ExpectDates({
        {L"12:05 AM", L"hh:mm AM/PM", on1Jan(0, 5), en},
        {L"11:59 AM", L"hh:mm AM/PM", on1Jan(11, 59), en},
        {L"12:30 PM", L"hh:mm AM/PM", on1Jan(12, 30), en},
        {L"01:07 PM", L"hh:mm AM/PM", on1Jan(13, 7), en},
        {L"1:07 pm", L"h:mm am/pm", on1Jan(13, 7), en}, {L"Am 9", L"Am/pM h", on1Jan(9), en},
        {L"11 p", L"h a/p", on1Jan(23), en}, {L"11 P", L"h A/P", on1Jan(23), en},
        {L"3:00 tarde", L"h:nn ampm", on1Jan(15), custom},
        {L"15:00 ampm x", L"h:nn 'ampm' x", on1Jan(15), custom},
        // The platform's own patterns: t and tt next to an hour are its AM/PM designator.
        {L"8:05:09 PM", L"h:mm:ss tt", on1Jan(20, 5, 9), en},
        {L"08:05 P", L"hh:mm t", on1Jan(20, 5, 9), en},
    });
}

TEST(LocaleDateTime, TimeFormatsLiteralsAndTheCombinedForm) {
    const FormatSettings &en = English(), &br = Brazilian();
    const SYSTEMTIME t = kMorning;
    ExpectDates({
        {L"8:05 AM", L"t", t, en}, {L"8:05:09 AM", L"tt", t, en}, {L"08:05", L"t", t, br},
        {L"20:05:09", L"tt", TimeAt(2026, 12, 7, 20, 5, 9), br},
        {L"12/7/2026 8:05:09 AM", L"c", t, en}, {L"07/12/2026 08:05:09", L"c", t, br},
        {L"on 07/12/2026 at 8:05:09 AM", L"'on' dd/mm/yyyy \"at\" tt", t, en},
        {L"dd mm: 2026", L"'dd mm:' yyyy", t, en},
        {L"rest dd", L"'rest dd", t, en},  // unclosed
    });

    // A time format that names itself must not recurse without end.
    FormatSettings looped = English();
    looped.longTimeFormat = L"tt";
    looped.shortDateFormat = L"ddddd";
    EXPECT_EQ(L" ", tmb::FormatDateTime(L"c", kMorning, looped));
}

TEST(LocaleDateTime, ListingDateTimeJoinsShortDateAndLongTime) {
    EXPECT_EQ(L"07/12/2026 - 08:05:09", tmb::ListingDateTime(kMorning, Brazilian()));
    EXPECT_EQ(L"12/7/2026 - 8:05:09 AM", tmb::ListingDateTime(kMorning, English()));
    EXPECT_EQ(L"1/1/2027 - 12:00:00 AM", tmb::ListingDateTime(TimeAt(2027, 1, 1), English()));
    EXPECT_EQ(L"31/12/2026 - 23:59:59",
              tmb::ListingDateTime(TimeAt(2026, 12, 31, 23, 59, 59), Brazilian()));
    EXPECT_EQ(BrazilianRun() ? L"07/12/2026 - 20:05:09" : L"12/7/2026 - 8:05:09 PM",
              tmb::ListingDateTime(TimeAt(2026, 12, 7, 20, 5, 9)));
}

} // namespace
