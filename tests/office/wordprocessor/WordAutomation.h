// Driving the word processor the way the program does: CoCreateInstance and
// IDispatch calls by member name, nothing else. A call that fails without an
// Outcome to report to throws std::runtime_error naming the member.
#pragma once

#include "tests/support/DispatchDriver.h"

#include <string>

namespace word_test {

// The calls themselves are the shared driver's.
using namespace dispatch_test;

// Starts a fresh Word.Application through the class registry.
ComPtr<IDispatch> StartWord();

// Documents.Add(path) on the application.
ComPtr<IDispatch> AddDocument(IDispatch* word, const std::string& templatePath);
// The names of document.FormFields in order.
std::string FieldNames(IDispatch* document);

}  // namespace word_test
