// Dates as game code sees them: the calendar against independent arithmetic,
// ISO weeks against the C library, and the edge cases through `tavrin --code`.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "functions/Function_Date.h"
#include "script/Code_Function.h"
#include "script/Conformance.h"

namespace tavrin::test {

namespace {

// Days since 1 January 1970 of a proleptic Gregorian date, and back: the
// widely published era-based integer formulas (eras of 400 years from 1 March
// of year 0), nothing shared with the runner's calendar.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
struct RCivilDate {
  int64_t y, m, d;
};
RCivilDate CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  return {yoe + era * 400 + (m <= 2), m, d};
}
// The day number of 1 January 1970 (day 0 is 30 December 1899).
constexpr int64_t kEpochShift = 25569;

double Call(const char* name, double argument) {
  Function_RegisterAll();
  Function_RegisterDates();
  RValue args[1];
  args[0].SetReal(argument);
  RValue result;
  g_Functions[static_cast<size_t>(Function_Find(name))].f_routine(nullptr, nullptr, 1, result, args);
  return result.val;
}

// Prints a date value's parts as Y-M-D h:m:s.
const std::string kStamp =
    "\n#define stamp\nvar t; t = argument0; return string(date_get_year(t)) + '-' + string(date_get_month(t)) + "
    "'-' + string(date_get_day(t)) + ' ' + string(date_get_hour(t)) + ':' + string(date_get_minute(t)) + ':' + "
    "string(date_get_second(t))";

}  // namespace

TEST(DateCalendar, EveryDayOfYearsOneTo9999MatchesCivilArithmetic) {
  const int64_t first = DaysFromCivil(1, 1, 1) + kEpochShift;
  const int64_t last = DaysFromCivil(9999, 12, 31) + kEpochShift;
  int failures = 0;
  for (int64_t n = first; n <= last && failures < 10; ++n) {
    const RCivilDate c = CivilFromDays(n - kEpochShift);
    const RCalendarDay got = Date_CalendarDay(n);
    const int64_t back = Date_DayNumber(c.y, static_cast<int32_t>(c.m), static_cast<int32_t>(c.d));
    const RDecodedDate noon = Date_Decode(static_cast<double>(n) + (n >= 0 ? 0.5 : -0.5));
    const bool lastOfMonth = CivilFromDays(n + 1 - kEpochShift).d == 1;
    const bool ok = got.year == c.y && got.month == c.m && got.day == c.d && back == n && noon.dayNumber == n &&
                    noon.hour == 12 && noon.date.day == c.d && lastOfMonth == (c.d == Date_DaysInMonth(c.y, c.m));
    if (!ok) {
      ++failures;
      ADD_FAILURE() << "day " << n << ": expected " << c.y << "-" << c.m << "-" << c.d << ", got " << got.year << "-"
                    << got.month << "-" << got.day << ", encoded back as " << back;
    }
  }
  // One day either side of the years games can name.
  EXPECT_FALSE(Date_CalendarDay(first - 1).Valid());
  EXPECT_EQ(Date_CalendarDay(last + 1).year, 10000);
}

TEST(DateCalendar, IsoWeeksMatchTheCLibrary) {
  for (int64_t y = 1; y <= 9999; y += (y < 1590 || y > 2410) ? 37 : 1) {
    const int64_t start = DaysFromCivil(y, 1, 1);
    const int64_t end = DaysFromCivil(y, 12, 31);
    for (int64_t z = start; z <= end; ++z) {
      const RCivilDate c = CivilFromDays(z);
      std::tm t{};
      t.tm_year = static_cast<int>(c.y - 1900);
      t.tm_mon = static_cast<int>(c.m - 1);
      t.tm_mday = static_cast<int>(c.d);
      t.tm_yday = static_cast<int>(z - start);
      t.tm_wday = static_cast<int>(((z % 7) + 11) % 7);  // 1 January 1970 was a Thursday
      char text[32];
      strftime(text, sizeof text, "%V", &t);
      const double week = Call("date_get_week", static_cast<double>(z + kEpochShift));
      ASSERT_EQ(static_cast<int>(week), std::atoi(text)) << c.y << "-" << c.m << "-" << c.d;
    }
  }
}

TEST(DateCalendar, TimeLineRoundTripsAndRunsForwardThroughDayZero) {
  // Values step a quarter day at a time from 3 days before day 0 to 3 after:
  // the time line must grow by exactly a quarter each step, and map back.
  double previous = Date_ToTimeLine(Date_FromTimeLine(-3.0));
  for (int q = -11; q <= 12; ++q) {
    const double line = q * 0.25;
    const double value = Date_FromTimeLine(line);
    EXPECT_EQ(Date_ToTimeLine(value), line) << q;
    EXPECT_EQ(line - previous, 0.25) << q;
    previous = line;
    const RDecodedDate d = Date_Decode(value);
    EXPECT_EQ(d.hour, ((q % 4) + 4) % 4 * 6) << q;
  }
  // A hair before day 0 is day 0's midnight, never the day before's start.
  for (const double hair : {-1e-17, -1.5e-16, -1e-12}) {
    const RDecodedDate d = Date_Decode(Date_FromTimeLine(hair));
    EXPECT_EQ(d.dayNumber, 0) << hair;
    EXPECT_EQ(d.hour + d.minute + d.second + d.millisecond, 0) << hair;
  }
}

TEST(DateFunctions, MakingAndTestingDates) {
  RunTable({
      {"known day numbers and times",
       Show({"date_create_date(1899, 12, 30)", "date_create_date(2000, 1, 1)", "date_create_time(12, 0, 0)",
             "date_create_datetime(2000, 1, 1, 18, 0, 0)", "date_create_datetime(1899, 12, 29, 6, 0, 0)",
             "date_create_date(1, 1, 1)", "date_create_date(9999, 12, 31)"}),
       "0\n36526\n0.50\n36526.75\n-1.25\n-693593\n2958465\n", ""},
      {"leap years and month lengths",
       Show({"date_valid_date(2001, 2, 29)", "date_valid_date(2000, 2, 29)", "date_valid_date(1900, 2, 29)",
             "date_valid_date(2001, 4, 31)", "date_valid_date(2001, 12, 31)", "date_valid_date(2001, 13, 1)",
             "date_valid_date(2001, 1, 0)"}),
       "0\n1\n0\n0\n1\n0\n0\n", ""},
      {"years outside 1 to 9999, negative and huge arguments are invalid",
       Show({"date_valid_date(0, 1, 1)", "date_valid_date(10000, 1, 1)", "date_valid_date(-1, 1, 1)",
             "date_valid_date(67536, 1, 1)", "date_valid_time(-1, 0, 0)", "date_valid_time(65560, 0, 0)",
             "date_create_date(67536, 1, 1)", "date_create_date(2000, 2, 30)"}),
       "0\n0\n0\n0\n0\n0\n0\n0\n", ""},
      {"24:00:00 is valid and is the end of the day",
       Show({"date_valid_time(24, 0, 0)", "date_valid_time(24, 0, 1)", "date_valid_time(23, 60, 0)",
             "date_valid_datetime(2000, 1, 1, 24, 0, 0)", "date_create_time(24, 0, 0)",
             "date_create_datetime(2000, 1, 1, 24, 0, 0)", "date_create_datetime(1899, 12, 29, 24, 0, 0)",
             "date_create_time(24, 0, 1)"}),
       "1\n0\n0\n1\n1\n36527\n0\n0\n", ""},
      {"arguments are rounded, ties to even",
       Show({"date_create_date(2000.4, 0.6, 1.5)", "date_create_date(2000, 1, 2.5)", "date_valid_date(2001, 2, 28.5)"}),
       "36527\n36527\n1\n", ""},
  });
}

TEST(DateFunctions, TakingDatesApart) {
  RunTable({
      {"parts of day 0 and of a date before it",
       Show({"stamp(0)", "stamp(-1.25)", "stamp(-0.25)", "date_get_weekday(0)", "date_get_weekday(1)",
             "date_get_weekday(-1.25)"}) +
           kStamp,
       "1899-12-30 0:0:0\n1899-12-29 6:0:0\n1899-12-30 6:0:0\n7\n1\n6\n", ""},
      {"ISO weeks at the turn of the year",
       Show({"date_get_week(date_create_date(2010, 1, 1))", "date_get_week(date_create_date(2010, 1, 4))",
             "date_get_week(date_create_date(2012, 12, 31))", "date_get_week(date_create_date(2009, 12, 31))"}),
       "53\n1\n1\n53\n", ""},
      {"counts within the year",
       "d = date_create_datetime(2000, 12, 31, 1, 2, 3);\n" +
           Show({"date_get_day_of_year(d)", "date_get_hour_of_year(d)", "date_get_minute_of_year(d)",
                 "date_get_second_of_year(d)", "date_days_in_month(d)", "date_days_in_year(d)", "date_leap_year(d)",
                 "date_days_in_month(date_create_date(1900, 2, 1))", "date_leap_year(date_create_date(1900, 5, 5))"}),
       "366\n8761\n525662\n31539723\n31\n366\n1\n28\n0\n", ""},
      {"a fraction of a millisecond before midnight is the next day, before day 0 too",
       Show({"stamp(36526 - 0.000000001)", "stamp(-2.999999999999)", "stamp(-1.9999999999999998)"}) + kStamp,
       "2000-1-1 0:0:0\n1899-12-29 0:0:0\n1899-12-30 0:0:0\n", ""},
      {"a day before year 1 has no calendar parts",
       Show({"stamp(-693594.5)", "date_days_in_month(-693594)", "date_days_in_year(-693594)", "date_leap_year(-693594)",
             "date_get_week(-693594)", "date_get_day_of_year(-693594)", "'[' + date_date_string(-693594) + ']'"}) +
           kStamp,
       "0-0-0 12:0:0\n0\n0\n0\n0\n0\n[]\n", ""},
      {"whole part and fraction keep their sign",
       Show({"date_date_of(36526.75)", "date_time_of(36526.75)", "date_date_of(-1.25)", "date_time_of(-1.25)"}),
       "36526\n0.75\n-1\n-0.25\n", ""},
  });
}

TEST(DateFunctions, MovingDates) {
  RunTable({
      {"months keep the day or take the month's last",
       Show({"stamp(date_inc_month(date_create_datetime(2001, 1, 31, 10, 30, 0), 1))",
             "stamp(date_inc_month(date_create_date(2001, 3, 31), -1))",
             "stamp(date_inc_month(date_create_date(2001, 1, 15), -13))",
             "stamp(date_inc_month(date_create_date(2000, 12, 15), 1))",
             "stamp(date_inc_year(date_create_date(2000, 2, 29), 1))",
             "stamp(date_inc_year(date_create_date(2000, 2, 29), -4))"}) +
           kStamp,
       "2001-2-28 10:30:0\n2001-2-28 0:0:0\n1999-12-15 0:0:0\n2001-1-15 0:0:0\n2001-2-28 0:0:0\n1996-2-29 0:0:0\n", ""},
      {"days, weeks and smaller units after day 0",
       "d = date_create_datetime(2000, 2, 28, 23, 0, 0);\n" +
           Show({"stamp(date_inc_day(d, 1))", "stamp(date_inc_week(d, -1))", "stamp(date_inc_hour(d, 2))",
                 "stamp(date_inc_minute(d, -61))", "stamp(date_inc_second(d, 3601))"}) +
           kStamp,
       "2000-2-29 23:0:0\n2000-2-21 23:0:0\n2000-2-29 1:0:0\n2000-2-28 21:59:0\n2000-2-29 0:0:1\n", ""},
      {"moving across day 0 and before it runs the clock the right way",
       Show({"stamp(date_inc_day(-1.25, 2))", "stamp(date_inc_day(1.25, -2))", "stamp(date_inc_hour(-1.75, 12))",
             "stamp(date_inc_hour(-1.25, 1))",
             "stamp(date_inc_minute(date_create_datetime(1899, 12, 29, 23, 59, 0), 1))",
             "stamp(date_inc_second(0.5, -86400 * 2))", "stamp(date_inc_week(-3.5, 1))",
             "stamp(date_inc_month(-1.25, 1))", "stamp(date_inc_hour(-2.5, -12))"}) +
           kStamp,
       "1899-12-31 6:0:0\n1899-12-29 6:0:0\n1899-12-30 6:0:0\n1899-12-29 7:0:0\n1899-12-30 0:0:0\n"
       "1899-12-28 12:0:0\n1900-1-3 12:0:0\n1900-1-29 6:0:0\n1899-12-28 0:0:0\n",
       ""},
      {"the same moves as plain numbers",
       Show({"date_inc_day(-1.25, 2)", "date_inc_hour(-1.75, 12)", "date_inc_day(0.5, -1)"}), "1.25\n0.25\n-1.50\n",
       ""},
  });
}

TEST(DateFunctions, SpansAndComparisons) {
  RunTable({
      {"spans are fractional and symmetric",
       Show({"date_year_span(0, 365.25)", "date_hour_span(1, 0)", "date_month_span(0, 30.4375)",
             "date_week_span(14, 0)", "date_minute_span(0, 0.5)", "date_second_span(0.25, 0)",
             "date_day_span(3, 1.5)"}),
       "1\n24\n1\n2\n720\n21600\n1.50\n", ""},
      {"spans measure across day 0 by the clock",
       Show({"date_day_span(-1.25, 0.25)", "date_hour_span(-1.25, -0.5)", "date_day_span(-1.5, 1.25)"}),
       "1\n30\n1.75\n", ""},
      {"comparisons",
       "d = 36526;\n" +
           Show({"date_compare_date(d, d + 0.9)", "date_compare_date(d + 1, d)", "date_compare_date(d, d + 1)",
                 "date_compare_datetime(d, d + 0.000000001)", "date_compare_datetime(d, d + 0.5)",
                 "date_compare_datetime(d + 0.5, d)", "date_compare_time(d + 0.25, 0.25)",
                 "date_compare_time(d + 0.75, 1.25)", "date_compare_date(-0.5, 0)"}),
       "0\n1\n-1\n0\n-1\n1\n0\n1\n0\n", ""},
      {"comparisons before day 0 follow the clock",
       Show({"date_compare_datetime(-1.5, -1.25)", "date_compare_datetime(-1.25, 0.25)",
             "date_compare_time(-1.25, 0.25)", "date_compare_time(-1.5, 0.25)"}),
       "1\n-1\n0\n1\n", ""},
  });
}

TEST(DateFunctions, DatesAsText) {
  setenv("LC_ALL", "C", 1);  // the short date and long time formats of the C locale
  RunTable({
      {"a date and time, a whole date, a time",
       Show({"date_datetime_string(date_create_datetime(2010, 1, 4, 13, 5, 6))",
             "date_datetime_string(date_create_date(2010, 1, 4))",
             "date_date_string(date_create_datetime(1999, 12, 31, 23, 0, 0))", "date_time_string(0.5)",
             "date_time_string(-1.25)", "date_datetime_string(0.5)",
             "date_datetime_string(date_create_date(1850, 7, 14))", "date_datetime_string(36526 - 0.000000001)"}),
       "01/04/2010 13:05:06\n01/04/2010\n12/31/1999\n12:00:00\n06:00:00\n12/30/1899 12:00:00\n07/14/1850\n01/01/2000\n",
       ""},
  });
}

TEST(DateFunctions, CurrentDate) {
  // The clock moves between the calls; the relations hold all the same.
  RunTable({
      {"today, now and the time of day agree",
       "n = date_current_datetime(); d = date_current_date(); t = date_current_time();\n" +
           Show({"d == floor(n)", "t >= 0 && t < 1", "abs(n - d - t) < 1 / 86400 || d != date_current_date()",
                 "date_is_today(n)", "date_is_today(d - 0.001)", "date_is_today(d + 1)",
                 "date_get_year(n) == current_year", "date_get_weekday(n) == current_weekday"}),
       "1\n1\n1\n1\n0\n0\n1\n1\n", ""},
  });
}

}  // namespace tavrin::test
