// Regional settings and the texts formatted from them. The cases that read the current user's
// settings hold for the locale the run was started with (en-US, or pt-BR in the Brazilian
// run); the others name their locale.
#include "framework/Locale.h"

#include <gtest/gtest.h>

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

SYSTEMTIME At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
              int milliseconds = 0) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    t.wMilliseconds = static_cast<WORD>(milliseconds);
    return t;   // wDayOfWeek left 0 on purpose: the formatter works the weekday out itself
}

// Monday 7 December 2026, 08:05:09.007
const SYSTEMTIME kMorning = At(2026, 12, 7, 8, 5, 9, 7);

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
    EXPECT_EQ(L"h:mm tt", tmb::TimePatternWithoutSeconds(L"h:mm:ss tt"));
    EXPECT_EQ(L"HH:mm", tmb::TimePatternWithoutSeconds(L"HH:mm:ss"));
    EXPECT_EQ(L"H.mm", tmb::TimePatternWithoutSeconds(L"H.mm.ss"));
    EXPECT_EQ(L"tt hh:mm", tmb::TimePatternWithoutSeconds(L"tt hh:mm:ss"));
    // A quoted "s" is text, not seconds.
    EXPECT_EQ(L"HH 'hrs' mm", tmb::TimePatternWithoutSeconds(L"HH 'hrs' mm:ss"));
    EXPECT_EQ(L"HH:mm", tmb::TimePatternWithoutSeconds(L"HH:mm"));
}

// ---------------------------------------------------------------------------------------
// Float patterns

TEST(LocaleFloat, SizePatternRoundsHalfAwayAndDropsTrailingZeros) {
    const std::wstring p = L"0.###";
    EXPECT_EQ(L"1.063", tmb::FormatFloat(p, 1088.0 / 1024, English()));   // 1.0625 exactly
    EXPECT_EQ(L"1,063", tmb::FormatFloat(p, 1088.0 / 1024, Brazilian()));
    EXPECT_EQ(L"1", tmb::FormatFloat(p, 1.0, English()));
    EXPECT_EQ(L"1024", tmb::FormatFloat(p, 1048576.0 / 1024, English()));   // never grouped
    EXPECT_EQ(L"1.5", tmb::FormatFloat(p, 1.5, English()));
    EXPECT_EQ(L"1,25", tmb::FormatFloat(p, 1.25, Brazilian()));
    EXPECT_EQ(L"0", tmb::FormatFloat(p, 0.0, English()));
    EXPECT_EQ(L"0.001", tmb::FormatFloat(p, 0.0005, English()));
    EXPECT_EQ(L"0", tmb::FormatFloat(p, 0.0004999, English()));
    // Stored as 2.99949999... and 2.00049999...: rounded as written, not as stored.
    EXPECT_EQ(L"3", tmb::FormatFloat(p, 2.9995, English()));
    EXPECT_EQ(L"2.001", tmb::FormatFloat(p, 2.0005, English()));
    EXPECT_EQ(L"1024", tmb::FormatFloat(p, 1023.9996, English()));   // carry into a new digit
    EXPECT_EQ(L"0.1", tmb::FormatFloat(p, 0.1, English()));
    EXPECT_EQ(L"0.3", tmb::FormatFloat(p, 0.1 + 0.2, English()));
    EXPECT_EQ(L"-1.063", tmb::FormatFloat(p, -1.0625, English()));
    EXPECT_EQ(L"0", tmb::FormatFloat(p, -0.0001, English()));   // no "-0"
    EXPECT_EQ(L"1.999", tmb::FormatFloat(p, 1.9994, English()));
    EXPECT_EQ(L"2", tmb::FormatFloat(p, 1073741823.0 / 536870912, English()));
    EXPECT_EQ(L"1" + std::wstring(1, FormatSettings::User().decimalSeparator) + L"5",
              tmb::FormatFloat(p, 1.5));
}

TEST(LocaleFloat, GroupedPatternKeepsItsTextAndMayWriteNoDigits) {
    const std::wstring p = L"###,###,### Mb";
    EXPECT_EQ(L" Mb", tmb::FormatFloat(p, 0, English()));
    EXPECT_EQ(L"999 Mb", tmb::FormatFloat(p, 999, English()));
    EXPECT_EQ(L"1,000 Mb", tmb::FormatFloat(p, 1000, English()));
    EXPECT_EQ(L"1.000 Mb", tmb::FormatFloat(p, 1000, Brazilian()));
    EXPECT_EQ(L"1,234,567 Mb", tmb::FormatFloat(p, 1234567, English()));
    // More digits than places: the first place takes the rest.
    EXPECT_EQ(L"123,456,789,012 Mb", tmb::FormatFloat(p, 123456789012.0, English()));
    EXPECT_EQ(L"2 Mb", tmb::FormatFloat(p, 1.5, English()));   // no decimal places: rounded

    EXPECT_EQ(L"1,234.50", tmb::FormatFloat(L"#,##0.00", 1234.5, English()));
    EXPECT_EQ(L"1.234,50", tmb::FormatFloat(L"#,##0.00", 1234.5, Brazilian()));
    EXPECT_EQ(L"0.05", tmb::FormatFloat(L"#,##0.00", 0.049, English()));
    EXPECT_EQ(L"007", tmb::FormatFloat(L"000", 7, English()));
    EXPECT_EQ(L".5", tmb::FormatFloat(L"#.##", 0.5, English()));
    EXPECT_EQ(L"12.5", tmb::FormatFloat(L".##", 12.5, English()));
    EXPECT_EQ(L"1.200", tmb::FormatFloat(L"0.0#0#", 1.2, English()));
}

TEST(LocaleFloat, LiteralsAndSectionsOfAFloatPattern) {
    EXPECT_EQ(L"Size: 1,5 0.# kB", tmb::FormatFloat(L"'Size: '0.#' 0.#' kB", 1.5, Brazilian()));
    EXPECT_EQ(L"#12", tmb::FormatFloat(L"\"#\"0", 12, English()));
    EXPECT_EQ(L"-$1.50", tmb::FormatFloat(L"$0.00", -1.5, English()));
    const std::wstring sections = L"0.0;(0.0);'zero'";
    EXPECT_EQ(L"1.3", tmb::FormatFloat(sections, 1.25, English()));
    EXPECT_EQ(L"(1.3)", tmb::FormatFloat(sections, -1.25, English()));
    EXPECT_EQ(L"zero", tmb::FormatFloat(sections, 0, English()));
    EXPECT_EQ(L"-2.0", tmb::FormatFloat(L"0.0;", -2, English()));   // empty negative section
    EXPECT_EQ(L"1023", tmb::FormatFloat(L"", 1023, English()));
}

// ---------------------------------------------------------------------------------------
// Numbers with separators, and the general form

TEST(LocaleNumber, NumbersAreGroupedAndRoundedHalfAway) {
    EXPECT_EQ(L"1,536", tmb::FormatNumber(1536, 0, English()));
    EXPECT_EQ(L"1.536", tmb::FormatNumber(1536, 0, Brazilian()));
    EXPECT_EQ(L"1.50", tmb::FormatNumber(1.5, 2, English()));
    EXPECT_EQ(L"1,50", tmb::FormatNumber(1.5, 2, Brazilian()));
    EXPECT_EQ(L"0", tmb::FormatNumber(0, 0, English()));
    EXPECT_EQ(L"0.00", tmb::FormatNumber(0, 2, English()));
    EXPECT_EQ(L"-1,234,567.89", tmb::FormatNumber(-1234567.891, 2, English()));
    EXPECT_EQ(L"-1.234.567,89", tmb::FormatNumber(-1234567.891, 2, Brazilian()));
    EXPECT_EQ(L"-1", tmb::FormatNumber(-0.5, 0, English()));
    EXPECT_EQ(L"0.00", tmb::FormatNumber(-0.004, 2, English()));   // no "-0.00"
    EXPECT_EQ(L"1,000.00", tmb::FormatNumber(999.995, 2, English()));
    EXPECT_EQ(L"100,000", tmb::FormatNumber(99999.5, 0, English()));
    EXPECT_EQ(L"999,999", tmb::FormatNumber(999999, 0, English()));
    EXPECT_EQ(L"1,000,000,000,000,000", tmb::FormatNumber(1e15, 0, English()));
    EXPECT_EQ(L"0.01", tmb::FormatNumber(0.005, 2, English()));
    const std::wstring user = tmb::FormatNumber(1234.5, 2);
    EXPECT_EQ(BrazilianRun() ? L"1.234,50" : L"1,234.50", user);
}

TEST(LocaleNumber, GeneralFormIsShortestOnFifteenDigits) {
    EXPECT_EQ(L"1023", tmb::FloatToStrGeneral(1023, English()));
    EXPECT_EQ(L"0", tmb::FloatToStrGeneral(0, English()));
    EXPECT_EQ(L"0", tmb::FloatToStrGeneral(-0.0, English()));
    EXPECT_EQ(L"1.5", tmb::FloatToStrGeneral(1.5, English()));
    EXPECT_EQ(L"1,5", tmb::FloatToStrGeneral(1.5, Brazilian()));
    EXPECT_EQ(L"0.3", tmb::FloatToStrGeneral(0.1 + 0.2, English()));
    EXPECT_EQ(L"-2.25", tmb::FloatToStrGeneral(-2.25, English()));
    EXPECT_EQ(L"0.00001", tmb::FloatToStrGeneral(0.00001, English()));
    EXPECT_EQ(L"123456789012345", tmb::FloatToStrGeneral(123456789012345.0, English()));
    EXPECT_EQ(L"1E20", tmb::FloatToStrGeneral(1e20, English()));
    EXPECT_EQ(L"1,5E-7", tmb::FloatToStrGeneral(1.5e-7, Brazilian()));
    EXPECT_EQ(BrazilianRun() ? L"0,25" : L"0.25", tmb::FloatToStrGeneral(0.25));
}

// ---------------------------------------------------------------------------------------
// Date and time patterns

TEST(LocaleDateTime, DateFieldsNamesAndSeparators) {
    const FormatSettings& en = English();
    EXPECT_EQ(L"12/7/2026", tmb::FormatDateTime(L"M/d/yyyy", kMorning, en));
    EXPECT_EQ(L"07/12/2026", tmb::FormatDateTime(L"dd/MM/yyyy", kMorning, en));
    EXPECT_EQ(L"12/07/26", tmb::FormatDateTime(L"MM/dd/yy", kMorning, en));
    EXPECT_EQ(L"2026-12-07", tmb::FormatDateTime(L"yyyy-MM-dd", kMorning, en));
    EXPECT_EQ(L"07.12.26", tmb::FormatDateTime(L"dd.MM.yy", kMorning, en));
    EXPECT_EQ(L"26 2026", tmb::FormatDateTime(L"y yyy", kMorning, en));
    EXPECT_EQ(L"07/12/2026", tmb::FormatDateTime(L"DD/mm/YYYY", kMorning, en));
    EXPECT_EQ(L"2005", tmb::FormatDateTime(L"yyyy", At(2005, 1, 2), en));
    EXPECT_EQ(L"05", tmb::FormatDateTime(L"yy", At(2005, 1, 2), en));

    EXPECT_EQ(L"Mon Monday Dec December", tmb::FormatDateTime(L"ddd dddd mmm mmmm", kMorning, en));
    EXPECT_EQ(L"segunda-feira dezembro", tmb::FormatDateTime(L"dddd mmmm", kMorning, Brazilian()));
    EXPECT_EQ(L"Sunday", tmb::FormatDateTime(L"dddd", At(2000, 1, 2), en));
    EXPECT_EQ(L"Tuesday", tmb::FormatDateTime(L"dddd", At(2000, 2, 29), en));

    EXPECT_EQ(L"12/7/2026", tmb::FormatDateTime(L"ddddd", kMorning, en));
    EXPECT_EQ(L"Monday, December 7, 2026", tmb::FormatDateTime(L"dddddd", kMorning, en));
    EXPECT_EQ(L"07/12/2026", tmb::FormatDateTime(L"ddddd", kMorning, Brazilian()));
    EXPECT_EQ(L"segunda-feira, 7 de dezembro de 2026",
              tmb::FormatDateTime(L"dddddd", kMorning, Brazilian()));

    // "/" and ":" are the locale's separators, not the characters written.
    FormatSettings dotted = en;
    dotted.dateSeparator = L'.';
    dotted.timeSeparator = L'h';
    EXPECT_EQ(L"07.12.2026 08h05", tmb::FormatDateTime(L"dd/mm/yyyy hh:nn", kMorning, dotted));
}

TEST(LocaleDateTime, MAfterAnHourMeansMinutes) {
    const FormatSettings& en = English();
    EXPECT_EQ(L"08:05:09", tmb::FormatDateTime(L"hh:mm:ss", kMorning, en));
    EXPECT_EQ(L"8:5:9", tmb::FormatDateTime(L"h:m:s", kMorning, en));
    EXPECT_EQ(L"08h05", tmb::FormatDateTime(L"hh'h'mm", kMorning, en));
    EXPECT_EQ(L"12/07 08:05", tmb::FormatDateTime(L"mm/dd hh:mm", kMorning, en));
    EXPECT_EQ(L"08 07 12", tmb::FormatDateTime(L"hh dd mm", kMorning, en));   // d in between
    EXPECT_EQ(L"08 Dec", tmb::FormatDateTime(L"hh mmm", kMorning, en));       // names stay months
    EXPECT_EQ(L"05 5", tmb::FormatDateTime(L"nn n", kMorning, en));
    EXPECT_EQ(L"7 007", tmb::FormatDateTime(L"z zzz", kMorning, en));
    EXPECT_EQ(L"13:07", tmb::FormatDateTime(L"HH:NN", At(2026, 1, 1, 13, 7), en));
}

TEST(LocaleDateTime, AmPmSpecifiersTurnOnTheTwelveHourClock) {
    const FormatSettings& en = English();
    EXPECT_EQ(L"12:05 AM", tmb::FormatDateTime(L"hh:mm AM/PM", At(2026, 1, 1, 0, 5), en));
    EXPECT_EQ(L"11:59 AM", tmb::FormatDateTime(L"hh:mm AM/PM", At(2026, 1, 1, 11, 59), en));
    EXPECT_EQ(L"12:30 PM", tmb::FormatDateTime(L"hh:mm AM/PM", At(2026, 1, 1, 12, 30), en));
    EXPECT_EQ(L"01:07 PM", tmb::FormatDateTime(L"hh:mm AM/PM", At(2026, 1, 1, 13, 7), en));
    EXPECT_EQ(L"1:07 pm", tmb::FormatDateTime(L"h:mm am/pm", At(2026, 1, 1, 13, 7), en));
    EXPECT_EQ(L"Am 9", tmb::FormatDateTime(L"Am/pM h", At(2026, 1, 1, 9), en));
    EXPECT_EQ(L"11 p", tmb::FormatDateTime(L"h a/p", At(2026, 1, 1, 23), en));
    EXPECT_EQ(L"11 P", tmb::FormatDateTime(L"h A/P", At(2026, 1, 1, 23), en));

    FormatSettings custom = en;
    custom.timeAMString = L"manh\u00e3";
    custom.timePMString = L"tarde";
    EXPECT_EQ(L"3:00 tarde", tmb::FormatDateTime(L"h:nn ampm", At(2026, 1, 1, 15), custom));
    EXPECT_EQ(L"15:00 ampm x", tmb::FormatDateTime(L"h:nn 'ampm' x", At(2026, 1, 1, 15), custom));

    // The platform's own patterns: t and tt next to an hour are its AM/PM designator.
    EXPECT_EQ(L"8:05:09 PM", tmb::FormatDateTime(L"h:mm:ss tt", At(2026, 1, 1, 20, 5, 9), en));
    EXPECT_EQ(L"08:05 P", tmb::FormatDateTime(L"hh:mm t", At(2026, 1, 1, 20, 5, 9), en));
}

TEST(LocaleDateTime, TimeFormatsLiteralsAndTheCombinedForm) {
    EXPECT_EQ(L"8:05 AM", tmb::FormatDateTime(L"t", kMorning, English()));
    EXPECT_EQ(L"8:05:09 AM", tmb::FormatDateTime(L"tt", kMorning, English()));
    EXPECT_EQ(L"08:05", tmb::FormatDateTime(L"t", kMorning, Brazilian()));
    EXPECT_EQ(L"20:05:09", tmb::FormatDateTime(L"tt", At(2026, 12, 7, 20, 5, 9), Brazilian()));
    EXPECT_EQ(L"12/7/2026 8:05:09 AM", tmb::FormatDateTime(L"c", kMorning, English()));
    EXPECT_EQ(L"07/12/2026 08:05:09", tmb::FormatDateTime(L"c", kMorning, Brazilian()));
    EXPECT_EQ(L"on 07/12/2026 at 8:05:09 AM",
              tmb::FormatDateTime(L"'on' dd/mm/yyyy \"at\" tt", kMorning, English()));
    EXPECT_EQ(L"dd mm: 2026", tmb::FormatDateTime(L"'dd mm:' yyyy", kMorning, English()));
    EXPECT_EQ(L"rest dd", tmb::FormatDateTime(L"'rest dd", kMorning, English()));   // unclosed

    // A time format that names itself must not recurse without end.
    FormatSettings looped = English();
    looped.longTimeFormat = L"tt";
    looped.shortDateFormat = L"ddddd";
    EXPECT_EQ(L" ", tmb::FormatDateTime(L"c", kMorning, looped));
}

TEST(LocaleDateTime, ListingDateTimeJoinsShortDateAndLongTime) {
    EXPECT_EQ(L"07/12/2026 - 08:05:09", tmb::ListingDateTime(kMorning, Brazilian()));
    EXPECT_EQ(L"12/7/2026 - 8:05:09 AM", tmb::ListingDateTime(kMorning, English()));
    EXPECT_EQ(L"1/1/2027 - 12:00:00 AM", tmb::ListingDateTime(At(2027, 1, 1), English()));
    EXPECT_EQ(L"31/12/2026 - 23:59:59",
              tmb::ListingDateTime(At(2026, 12, 31, 23, 59, 59), Brazilian()));
    EXPECT_EQ(BrazilianRun() ? L"07/12/2026 - 20:05:09" : L"12/7/2026 - 8:05:09 PM",
              tmb::ListingDateTime(At(2026, 12, 7, 20, 5, 9)));
}

} // namespace
