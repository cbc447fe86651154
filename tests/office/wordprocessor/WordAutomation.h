// Driving the word processor the way the program does: CoCreateInstance and
// IDispatch calls by member name, nothing else. A call that fails without an
// Outcome to report to throws std::runtime_error naming the member.
#pragma once

#include "office/dispatch/ComPtr.h"
#include "platform/com/ole2.h"

#include <initializer_list>
#include <string>

namespace word_test {

// A VARIANT argument or result that frees itself.
class Var {
public:
    Var() { VariantInit(&value); }
    Var(int number);
    Var(const char16_t* text);
    Var(const Var& other);
    ~Var() { VariantClear(&value); }
    Var& operator=(const Var&) = delete;

    VARIANT value;
};

struct Outcome {
    HRESULT hr;
    std::string description;  // EXCEPINFO text, UTF-8
};

// Starts a fresh Word.Application through the class registry.
ComPtr<IDispatch> StartWord();

Var Invoke(IDispatch* object, const char16_t* member, WORD kind, std::initializer_list<Var> args = {},
           Outcome* outcome = nullptr);

ComPtr<IDispatch> Get(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
ComPtr<IDispatch> Call(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
LONG GetInt(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
std::string GetText(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
void Put(IDispatch* object, const char16_t* member, const Var& value);
// The failure of a method call, or S_OK.
Outcome TryCall(IDispatch* object, const char16_t* member, std::initializer_list<Var> args = {});
Outcome TryPut(IDispatch* object, const char16_t* member, const Var& value);

// Documents.Add(path) on the application.
ComPtr<IDispatch> AddDocument(IDispatch* word, const std::string& templatePath);
// The names of document.FormFields in order.
std::string FieldNames(IDispatch* document);

}  // namespace word_test
