// Dates and times of game code: making, testing, taking apart, moving and
// comparing date values, and writing them as text.
//
// Calendar arguments (year, month, day, hour, minute, second) are rounded to
// whole numbers and must then lie in their ranges; a negative or huge
// argument makes the date invalid rather than wrapping round to some other
// valid one. Counts (how many months, hours, ... to move) are rounded too,
// and saturate at the ends of their integer range.
#include "functions/Function_Date.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cmath>
#include <ctime>

#include "script/Code_Function.h"
#include "script/Variable_Class.h"

namespace tavrin {

namespace {

constexpr double kMillisecondDays = 1.0 / kMillisecondsPerDay;
constexpr int64_t kDaysPer400Years = 146097;
// The day number of 1 January of year 1.
constexpr int64_t kDayOfYearOne = -693593;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int64_t FloorMod(int64_t a, int64_t b) {
  const int64_t r = a % b;
  return r != 0 && ((r < 0) != (b < 0)) ? r + b : r;
}

// The proleptic calendar for any day number: the year may be 0 or negative
// here; only the public decoding limits it to the years games can name.
struct RCivil {
  int64_t year;
  int32_t month, day;
};
RCivil CivilFromDayNumber(int64_t dayNumber) {
  // Whole 400-year cycles first, then centuries, four-year spans and years
  // inside the cycle; the last century and the last year of a span are one
  // day longer, which is why they are capped at 3.
  const int64_t d = dayNumber - kDayOfYearOne;
  const int64_t cycles = FloorDiv(d, kDaysPer400Years);
  int64_t rest = d - cycles * kDaysPer400Years;
  int64_t centuries = rest / 36524;
  if (centuries == 4) centuries = 3;
  rest -= centuries * 36524;
  const int64_t spans = rest / 1461;
  rest -= spans * 1461;
  int64_t years = rest / 365;
  if (years == 4) years = 3;
  rest -= years * 365;
  RCivil c{cycles * 400 + centuries * 100 + spans * 4 + years + 1, 1, 1};
  while (rest >= Date_DaysInMonth(c.year, c.month)) rest -= Date_DaysInMonth(c.year, c.month++);
  c.day = static_cast<int32_t>(rest) + 1;
  return c;
}

// Monday 1 to Sunday 7 (day 0 was a Saturday).
int32_t IsoWeekday(int64_t dayNumber) { return static_cast<int32_t>(FloorMod(dayNumber + 5, 7)) + 1; }

int32_t IsoWeek(int64_t dayNumber) {
  // A week belongs to the year that holds its Thursday.
  const int64_t thursday = dayNumber - (IsoWeekday(dayNumber) - 1) + 3;
  const int64_t year = CivilFromDayNumber(thursday).year;
  return static_cast<int32_t>((thursday - Date_DayNumber(year, 1, 1)) / 7 + 1);
}

int32_t DayOfYear(const RDecodedDate& d) {
  return static_cast<int32_t>(d.dayNumber - Date_DayNumber(d.date.year, 1, 1) + 1);
}

// ---------------------------------------------------------------- arguments

int64_t Field(const RValue& v) { return Real_ToInt64(v.AsReal()); }

bool ValidDate(int64_t y, int64_t m, int64_t d) {
  return y >= kDateFirstYear && y <= kDateLastYear && m >= 1 && m <= 12 && d >= 1 && d <= Date_DaysInMonth(y, m);
}
// 24:00:00 is the end of a day: valid, and equal to the next day's 00:00.
bool ValidTime(int64_t h, int64_t m, int64_t s) {
  return (h >= 0 && h <= 23 && m >= 0 && m <= 59 && s >= 0 && s <= 59) || (h == 24 && m == 0 && s == 0);
}
double TimeOfDay(int64_t h, int64_t m, int64_t s) {
  return static_cast<double>(h * 3600000 + m * 60000 + s * 1000) / kMillisecondsPerDay;
}

void SetTruth(RValue& result, bool b) { result.SetReal(b ? 1 : 0); }

// ---------------------------------------------------------------- routines

FUNCTION_ROUTINE(F_CurrentDatetime) { result.SetReal(Date_Now()); }
FUNCTION_ROUTINE(F_CurrentDate) { result.SetReal(std::trunc(Date_Now())); }
FUNCTION_ROUTINE(F_CurrentTime) {
  const double now = Date_Now();
  result.SetReal(now - std::trunc(now));
}

FUNCTION_ROUTINE(F_ValidDatetime) {
  SetTruth(result,
           ValidDate(Field(a[0]), Field(a[1]), Field(a[2])) && ValidTime(Field(a[3]), Field(a[4]), Field(a[5])));
}
FUNCTION_ROUTINE(F_ValidDate) { SetTruth(result, ValidDate(Field(a[0]), Field(a[1]), Field(a[2]))); }
FUNCTION_ROUTINE(F_ValidTime) { SetTruth(result, ValidTime(Field(a[0]), Field(a[1]), Field(a[2]))); }

FUNCTION_ROUTINE(F_CreateDatetime) {
  const int64_t y = Field(a[0]), mo = Field(a[1]), d = Field(a[2]), h = Field(a[3]), mi = Field(a[4]), s = Field(a[5]);
  if (!ValidDate(y, mo, d) || !ValidTime(h, mi, s)) return;
  const double day = static_cast<double>(Date_DayNumber(y, static_cast<int32_t>(mo), static_cast<int32_t>(d)));
  result.SetReal(Date_FromTimeLine(day + TimeOfDay(h, mi, s)));
}
FUNCTION_ROUTINE(F_CreateDate) {
  const int64_t y = Field(a[0]), mo = Field(a[1]), d = Field(a[2]);
  if (ValidDate(y, mo, d))
    result.SetReal(static_cast<double>(Date_DayNumber(y, static_cast<int32_t>(mo), static_cast<int32_t>(d))));
}
FUNCTION_ROUTINE(F_CreateTime) {
  const int64_t h = Field(a[0]), mi = Field(a[1]), s = Field(a[2]);
  if (ValidTime(h, mi, s)) result.SetReal(TimeOfDay(h, mi, s));
}

// Whole months: the day of the month is kept, or becomes the last day of a
// shorter month (31 January plus one month is the end of February), and the
// time of day stays.
double IncMonths(double value, int64_t months) {
  const double line = Date_ToTimeLine(value);
  // Beyond a thousand million years there is no calendar worth keeping.
  if (!(std::fabs(line) < 4e11)) return value;
  const double day = std::floor(line);
  const RCivil c = CivilFromDayNumber(static_cast<int64_t>(day));
  const int64_t total = c.year * 12 + (c.month - 1) + months;
  const int64_t year = FloorDiv(total, 12);
  const int32_t month = static_cast<int32_t>(FloorMod(total, 12)) + 1;
  const int32_t mday = std::min(c.day, Date_DaysInMonth(year, month));
  return Date_FromTimeLine(static_cast<double>(Date_DayNumber(year, month, mday)) + (line - day));
}
// Moves by `count` units of which `perDay` make a day.
double IncUnits(double value, double count, double perDay) {
  return Date_FromTimeLine((Date_ToTimeLine(value) * perDay + count) / perDay);
}
int64_t Count32(const RValue& v) { return Real_ToInt32(v.AsReal()); }

FUNCTION_ROUTINE(F_IncYear) { result.SetReal(IncMonths(a[0].AsReal(), Count32(a[1]) * 12)); }
FUNCTION_ROUTINE(F_IncMonth) { result.SetReal(IncMonths(a[0].AsReal(), Count32(a[1]))); }
FUNCTION_ROUTINE(F_IncWeek) { result.SetReal(Date_FromTimeLine(Date_ToTimeLine(a[0].AsReal()) + 7.0 * Count32(a[1]))); }
FUNCTION_ROUTINE(F_IncDay) { result.SetReal(Date_FromTimeLine(Date_ToTimeLine(a[0].AsReal()) + Count32(a[1]))); }
FUNCTION_ROUTINE(F_IncHour) { result.SetReal(IncUnits(a[0].AsReal(), static_cast<double>(Real_ToInt64(a[1].AsReal())), 24)); }
FUNCTION_ROUTINE(F_IncMinute) { result.SetReal(IncUnits(a[0].AsReal(), static_cast<double>(Real_ToInt64(a[1].AsReal())), 1440)); }
FUNCTION_ROUTINE(F_IncSecond) { result.SetReal(IncUnits(a[0].AsReal(), static_cast<double>(Real_ToInt64(a[1].AsReal())), 86400)); }

// The parts of a date. Calendar parts of a day before year 1 are 0.
template <int32_t RDecodedDate::*Part>
FUNCTION_ROUTINE(F_GetTimePart) {
  result.SetReal(Date_Decode(a[0].AsReal()).*Part);
}
template <int32_t RCalendarDay::*Part>
FUNCTION_ROUTINE(F_GetDatePart) {
  result.SetReal(Date_Decode(a[0].AsReal()).date.*Part);
}
FUNCTION_ROUTINE(F_GetWeek) {
  const RDecodedDate d = Date_Decode(a[0].AsReal());
  if (d.date.Valid()) result.SetReal(IsoWeek(d.dayNumber));
}
FUNCTION_ROUTINE(F_GetWeekday) {
  // 1 Sunday to 7 Saturday.
  result.SetReal(static_cast<double>(FloorMod(Date_Decode(a[0].AsReal()).dayNumber + 6, 7) + 1));
}
// Day, hour, minute or second of the year, counted from 1 for days and from
// 0 for the rest.
template <int Unit>
FUNCTION_ROUTINE(F_GetOfYear) {
  const RDecodedDate d = Date_Decode(a[0].AsReal());
  if (!d.date.Valid()) return;
  int64_t n = DayOfYear(d);
  if (Unit >= 1) n = d.hour + (n - 1) * 24;
  if (Unit >= 2) n = d.minute + n * 60;
  if (Unit >= 3) n = d.second + n * 60;
  result.SetReal(static_cast<double>(n));
}
FUNCTION_ROUTINE(F_DateOf) { result.SetReal(std::trunc(a[0].AsReal())); }
FUNCTION_ROUTINE(F_TimeOf) { result.SetReal(a[0].AsReal() - std::trunc(a[0].AsReal())); }
FUNCTION_ROUTINE(F_DaysInMonth) {
  const RDecodedDate d = Date_Decode(a[0].AsReal());
  if (d.date.Valid()) result.SetReal(Date_DaysInMonth(d.date.year, d.date.month));
}
FUNCTION_ROUTINE(F_DaysInYear) {
  const RDecodedDate d = Date_Decode(a[0].AsReal());
  if (d.date.Valid()) result.SetReal(Date_IsLeapYear(d.date.year) ? 366 : 365);
}
FUNCTION_ROUTINE(F_LeapYear) {
  const RDecodedDate d = Date_Decode(a[0].AsReal());
  SetTruth(result, d.date.Valid() && Date_IsLeapYear(d.date.year));
}
FUNCTION_ROUTINE(F_IsToday) {
  const double today = std::trunc(Date_Now());
  SetTruth(result, today <= a[0].AsReal() && a[0].AsReal() < today + 1);
}

// Spans and comparisons measure on the time line, so two moments either side
// of day 0 are as far apart as the clock says.
// Units of a span, as (per day, divisor): a year is 365.25 days on average
// and a month a twelfth of that.
enum ESpan { kSpanYear, kSpanMonth, kSpanWeek, kSpanDay, kSpanHour, kSpanMinute, kSpanSecond };
constexpr double kSpanUnits[][2] = {{1.0, 365.25}, {1.0, 30.4375}, {1.0, 7.0},      {1.0, 1.0},
                                    {24.0, 1.0},   {1440.0, 1.0},  {86400.0, 1.0}};
template <ESpan Unit>
FUNCTION_ROUTINE(F_Span) {
  const double days = std::fabs(Date_ToTimeLine(a[0].AsReal()) - Date_ToTimeLine(a[1].AsReal()));
  result.SetReal(days * kSpanUnits[Unit][0] / kSpanUnits[Unit][1]);
}
int CompareWithin(double a, double b) {
  const double d = a - b;
  if (std::fabs(d) < kMillisecondDays) return 0;
  return d > 0 ? 1 : -1;
}
FUNCTION_ROUTINE(F_CompareDatetime) { result.SetReal(CompareWithin(Date_ToTimeLine(a[0].AsReal()), Date_ToTimeLine(a[1].AsReal()))); }
FUNCTION_ROUTINE(F_CompareDate) {
  if (std::trunc(a[0].AsReal()) == std::trunc(a[1].AsReal())) return;
  result.SetReal(a[0].AsReal() >= a[1].AsReal() ? 1 : -1);
}
FUNCTION_ROUTINE(F_CompareTime) {
  const double l1 = Date_ToTimeLine(a[0].AsReal()), l2 = Date_ToTimeLine(a[1].AsReal());
  result.SetReal(CompareWithin(l1 - std::floor(l1), l2 - std::floor(l2)));
}

FUNCTION_ROUTINE(F_DatetimeString) {
  const RDecodedDate d = Date_Decode(a[0].AsReal());
  std::string text = Date_DateText(d);
  const bool midnight = d.hour == 0 && d.minute == 0 && d.second == 0 && d.millisecond == 0;
  if (!midnight) text += (text.empty() ? "" : " ") + Date_TimeText(d);
  result.SetString(RString(text));
}
FUNCTION_ROUTINE(F_DateString) { result.SetString(RString(Date_DateText(Date_Decode(a[0].AsReal())))); }
FUNCTION_ROUTINE(F_TimeString) { result.SetString(RString(Date_TimeText(Date_Decode(a[0].AsReal())))); }


constexpr RFunctionRoutine kDateFunctions[] = {
    {"date_current_datetime", F_CurrentDatetime},
    {"date_current_date", F_CurrentDate},
    {"date_current_time", F_CurrentTime},
    {"date_create_datetime", F_CreateDatetime},
    {"date_create_date", F_CreateDate},
    {"date_create_time", F_CreateTime},
    {"date_valid_datetime", F_ValidDatetime},
    {"date_valid_date", F_ValidDate},
    {"date_valid_time", F_ValidTime},
    {"date_inc_year", F_IncYear},
    {"date_inc_month", F_IncMonth},
    {"date_inc_week", F_IncWeek},
    {"date_inc_day", F_IncDay},
    {"date_inc_hour", F_IncHour},
    {"date_inc_minute", F_IncMinute},
    {"date_inc_second", F_IncSecond},
    {"date_get_year", F_GetDatePart<&RCalendarDay::year>},
    {"date_get_month", F_GetDatePart<&RCalendarDay::month>},
    {"date_get_week", F_GetWeek},
    {"date_get_day", F_GetDatePart<&RCalendarDay::day>},
    {"date_get_hour", F_GetTimePart<&RDecodedDate::hour>},
    {"date_get_minute", F_GetTimePart<&RDecodedDate::minute>},
    {"date_get_second", F_GetTimePart<&RDecodedDate::second>},
    {"date_get_weekday", F_GetWeekday},
    {"date_get_day_of_year", F_GetOfYear<0>},
    {"date_get_hour_of_year", F_GetOfYear<1>},
    {"date_get_minute_of_year", F_GetOfYear<2>},
    {"date_get_second_of_year", F_GetOfYear<3>},
    {"date_year_span", F_Span<kSpanYear>},
    {"date_month_span", F_Span<kSpanMonth>},
    {"date_week_span", F_Span<kSpanWeek>},
    {"date_day_span", F_Span<kSpanDay>},
    {"date_hour_span", F_Span<kSpanHour>},
    {"date_minute_span", F_Span<kSpanMinute>},
    {"date_second_span", F_Span<kSpanSecond>},
    {"date_compare_datetime", F_CompareDatetime},
    {"date_compare_date", F_CompareDate},
    {"date_compare_time", F_CompareTime},
    {"date_date_of", F_DateOf},
    {"date_time_of", F_TimeOf},
    {"date_datetime_string", F_DatetimeString},
    {"date_date_string", F_DateString},
    {"date_time_string", F_TimeString},
    {"date_days_in_month", F_DaysInMonth},
    {"date_days_in_year", F_DaysInYear},
    {"date_leap_year", F_LeapYear},
    {"date_is_today", F_IsToday},
};

// ---------------------------------------------------------------- text

// The user's time formats, from the environment's locale; the C locale when
// it names none that exists.
locale_t TimeLocale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    return l ? l : newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  }();
  return loc;
}

std::string FullYearFormat(std::string format) {
  for (size_t at = 0; (at = format.find('%', at)) != std::string::npos && at + 1 < format.size(); at += 2) {
    if (format[at + 1] == 'y') format[at + 1] = 'Y';
    if (format[at + 1] == 'D') format.replace(at, 2, "%m/%d/%Y");
  }
  return format;
}

std::string Format(const char* format, const RDecodedDate& d) {
  std::tm t{};
  if (d.date.Valid()) {
    t.tm_year = d.date.year - 1900;
    t.tm_mon = d.date.month - 1;
    t.tm_mday = d.date.day;
    t.tm_yday = DayOfYear(d) - 1;
  } else {
    t.tm_mday = 1;
  }
  t.tm_wday = static_cast<int>(FloorMod(d.dayNumber + 6, 7));
  t.tm_hour = d.hour;
  t.tm_min = d.minute;
  t.tm_sec = d.second;
  char buffer[256];
  const size_t n = strftime_l(buffer, sizeof buffer, format, &t, TimeLocale());
  return std::string(buffer, n);
}

}  // namespace

// ---------------------------------------------------------------- calendar

bool Date_IsLeapYear(int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int32_t Date_DaysInMonth(int64_t year, int64_t month) {
  static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && Date_IsLeapYear(year) ? 1 : 0);
}

int64_t Date_DayNumber(int64_t year, int32_t month, int32_t day) {
  const int64_t y = year - 1;
  int64_t dayOfYear = day;
  for (int32_t m = 1; m < month; ++m) dayOfYear += Date_DaysInMonth(year, m);
  return y * 365 + FloorDiv(y, 4) - FloorDiv(y, 100) + FloorDiv(y, 400) + dayOfYear - 693594;
}

RCalendarDay Date_CalendarDay(int64_t dayNumber) {
  if (dayNumber < kDayOfYearOne) return {};
  const RCivil c = CivilFromDayNumber(dayNumber);
  return {static_cast<int32_t>(c.year), c.month, c.day};
}

RDecodedDate Date_Decode(double value) {
  // Rounded to a millisecond on the time line: before day 0 a value a hair
  // short of the next midnight must carry into the next day, not back to
  // the start of its own. Saturating: a value beyond the range of whole
  // milliseconds decodes as the farthest day there is.
  const int64_t m = Real_ToInt64(Date_ToTimeLine(value) * kMillisecondsPerDay);
  RDecodedDate d;
  d.dayNumber = FloorDiv(m, kMillisecondsPerDay);
  const int64_t ms = FloorMod(m, kMillisecondsPerDay);
  d.date = Date_CalendarDay(d.dayNumber);
  d.hour = static_cast<int32_t>(ms / 3600000);
  d.minute = static_cast<int32_t>(ms / 60000 % 60);
  d.second = static_cast<int32_t>(ms / 1000 % 60);
  d.millisecond = static_cast<int32_t>(ms % 1000);
  return d;
}

double Date_ToTimeLine(double value) {
  if (!std::isfinite(value)) return value;
  const double day = std::trunc(value);
  return day + std::fabs(value - day);
}

double Date_FromTimeLine(double days) {
  if (!std::isfinite(days)) return days;
  const double day = std::floor(days);
  const double time = days - day;
  if (day >= 0) return day + time;
  // A time a hair before midnight may round the stored value onto the next
  // whole number, which before day 0 means the start of the day before, a
  // whole day early. Such a time is the next midnight.
  const double value = day - time;
  return std::trunc(value) == day ? value : day + 1;
}

double Date_Now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm t{};
  localtime_r(&ts.tv_sec, &t);
  const int64_t day = Date_DayNumber(t.tm_year + 1900LL, t.tm_mon + 1, t.tm_mday);
  // A leap second stays inside its day.
  const int64_t ms = std::min<int64_t>((t.tm_hour * 3600LL + t.tm_min * 60LL + t.tm_sec) * 1000 + ts.tv_nsec / 1000000,
                                       kMillisecondsPerDay - 1);
  return Date_FromTimeLine(static_cast<double>(day) + static_cast<double>(ms) * kMillisecondDays);
}

std::string Date_DateText(const RDecodedDate& d) {
  if (!d.date.Valid()) return {};
  return Format(FullYearFormat(nl_langinfo_l(D_FMT, TimeLocale())).c_str(), d);
}

std::string Date_TimeText(const RDecodedDate& d) { return Format(nl_langinfo_l(T_FMT, TimeLocale()), d); }

void Function_RegisterDates() { Function_ImplementTable(kDateFunctions); }

}  // namespace tavrin
