#include "platform/com/OleDate.h"

#include <cmath>

namespace {

constexpr double MinDate = -657434.0;            // 1 January 100
constexpr double MaxDate = 2958465.99999999;     // 31 December 9999, just before midnight

// Days since 1 January 1970 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int* year, int* month, int* day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    *year = int(static_cast<long long>(yoe) + era * 400 + (m <= 2));
    *month = int(m);
    *day = int(d);
}

const long long Epoch = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

}  // namespace

bool OleDateFromParts(const OleDateParts& p, DATE* date)
{
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 ||
        p.second < 0 || p.second > 59) {
        return false;
    }
    const double days = double(DaysFromCivil(p.year, unsigned(p.month), unsigned(p.day)) - Epoch);
    const double time = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0;
    *date = days >= 0 ? days + time : days - time;
    return true;
}

bool OleDateToParts(DATE date, OleDateParts* parts)
{
    if (!(date >= MinDate && date <= MaxDate)) {
        return false;
    }
    double wholeDays = std::trunc(date);
    long long seconds = std::llround(std::fabs(date - wholeDays) * 86400.0);
    long long day = (long long)wholeDays;
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    CivilFromDays(day + Epoch, &parts->year, &parts->month, &parts->day);
    parts->hour = int(seconds / 3600);
    parts->minute = int(seconds / 60 % 60);
    parts->second = int(seconds % 60);
    return true;
}
