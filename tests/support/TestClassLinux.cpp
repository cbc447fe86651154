#include "tests/support/TestClass.h"

#include "platform/com/ClassRegistry.h"

struct TestClass::Registration {
    ScopedClassRegistration scoped;
};

TestClass::TestClass(std::u16string_view progId, Factory factory)
    : registration(new Registration{ScopedClassRegistration(progId, CLSCTX_ALL, std::move(factory))})
{
}

TestClass::TestClass(std::u16string_view progId)
    : registration(new Registration{ScopedClassRegistration(progId, CO_E_SERVER_EXEC_FAILURE)})
{
}

TestClass::~TestClass() = default;
