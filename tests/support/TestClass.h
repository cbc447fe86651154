// Makes a ProgID name a class of the test process, for a scope. Where the
// platforms meet: on Linux our class registry holds it; on Windows the system
// registry maps the ProgID to a fresh CLSID and CoRegisterClassObject serves
// it to CoCreateInstance on this thread's apartment, so the code under test
// gets the test's own objects, not proxies.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include <ole2.h>

class TestClass {
public:
    using Factory = std::function<HRESULT(REFIID riid, void** ppv)>;

    // CoCreateInstance (any context) gets its objects from `factory`.
    TestClass(std::u16string_view progId, Factory factory);
    // CLSIDFromProgID finds the class; CoCreateInstance fails to start it.
    explicit TestClass(std::u16string_view progId);
    ~TestClass();

    TestClass(const TestClass&) = delete;
    TestClass& operator=(const TestClass&) = delete;

private:
    struct Registration;
    std::unique_ptr<Registration> registration;
};
