// Driving the word processor the way the program does: CoCreateInstance and
// IDispatch calls by member name, nothing else. A call that fails without an
// Outcome to report to throws std::runtime_error naming the member.
#pragma once

#include "tests/support/DispatchDriver.h"

#include <string>

namespace word_test {

using dispatch_test::Call;
using dispatch_test::Get;
using dispatch_test::GetInt;
using dispatch_test::GetText;
using dispatch_test::Invoke;
using dispatch_test::Outcome;
using dispatch_test::Put;
using dispatch_test::TryCall;
using dispatch_test::TryGet;
using dispatch_test::TryPut;
using dispatch_test::Var;

// Starts a fresh Word.Application through the class registry.
ComPtr<IDispatch> StartWord();

// Documents.Add(path) on the application.
ComPtr<IDispatch> AddDocument(IDispatch* word, const std::string& templatePath);
// The names of document.FormFields in order.
std::string FieldNames(IDispatch* document);

}  // namespace word_test
