// Dates and times of game code.
//
// A date value is a real: its whole part counts days from 30 December 1899
// (day 0), its fraction is the part of the day that has passed. Before day 0
// the whole part (toward zero) is the day and the fraction's absolute value
// the time, so -1.25 is 29 December 1899 at 06:00. The calendar is the
// proleptic Gregorian one; games use the years 1 to 9999.
#pragma once

#include <cstdint>
#include <string>

namespace tavrin {

// Fills in the routines of the date_* functions in the function table.
void Function_RegisterDates();

constexpr int32_t kDateFirstYear = 1;
constexpr int32_t kDateLastYear = 9999;
constexpr int64_t kMillisecondsPerDay = 86400000;

bool Date_IsLeapYear(int64_t year);
// 0 for a month outside 1 to 12.
int32_t Date_DaysInMonth(int64_t year, int64_t month);

// The day number of a calendar day. The month and day must be in range; the
// year may lie outside 1 to 9999 (the calendar simply continues).
int64_t Date_DayNumber(int64_t year, int32_t month, int32_t day);

// A calendar day; all zero for a day before 1 January of year 1.
struct RCalendarDay {
  int32_t year = 0, month = 0, day = 0;
  bool Valid() const { return year != 0; }
};
RCalendarDay Date_CalendarDay(int64_t dayNumber);

// A date value taken apart: rounded to a whole millisecond first, so a value
// a fraction of a millisecond before midnight is the next day at 00:00.
struct RDecodedDate {
  int64_t dayNumber = 0;
  RCalendarDay date;
  int32_t hour = 0, minute = 0, second = 0, millisecond = 0;
};
RDecodedDate Date_Decode(double value);

// The date value as a point on one straight time line (days since day 0,
// negative before it) and back. Arithmetic on dates happens on this line:
// on the stored values themselves, adding time before day 0 would run the
// clock backwards.
double Date_ToTimeLine(double value);
double Date_FromTimeLine(double days);

// The local date and time now, as a date value to the millisecond.
double Date_Now();

// The date in the locale's short date format and the time in its long time
// format. The year is always written in full: with years 1 to 9999, two
// digits would not say which century is meant.
std::string Date_DateText(const RDecodedDate& d);
std::string Date_TimeText(const RDecodedDate& d);

}  // namespace tavrin
