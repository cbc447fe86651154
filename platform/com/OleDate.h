// Calendar parts of an OLE date: days since 30 December 1899, the fraction
// being the time of day (for dates before that day the fraction counts forward too).
#pragma once

#include "platform/com/oaidl.h"

struct OleDateParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// False when the parts are not a valid date and time between the years 100 and 9999.
bool OleDateFromParts(const OleDateParts& parts, DATE* date);
// False when the date lies outside the years 100 to 9999; the time is rounded to the second.
bool OleDateToParts(DATE date, OleDateParts* parts);
