// What a text typed into a cell becomes, under the en-US conventions: a
// number, percentage, date, time, Boolean, error, formula or plain text, with
// the number format the application would give a General cell.
#pragma once

#include <string>
#include <string_view>

namespace office::spreadsheet {

struct TypedValue {
    enum class Kind { Empty, Number, Text, Boolean, Error, Formula };
    Kind kind = Kind::Empty;
    double number = 0;       // Number; Boolean as 0/1
    std::string text;        // Text, Error, Formula (without "=")
    bool quotePrefix = false;
    std::string format;      // suggested number format for a General cell, or empty
};

// `currentYear` fills in dates typed without a year.
TypedValue TextToValue(std::string_view text, int currentYear);

// Days since 1899-12-30 as the 1900 date system counts them (with its
// phantom 29 February 1900); 0 for dates it cannot hold.
double DateSerial(int year, int month, int day);

}  // namespace office::spreadsheet
