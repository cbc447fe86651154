// What the program meets on a machine without the office application: the
// failures of CLSIDFromProgID and CoCreateInstance, as Windows reports them.
#include <gtest/gtest.h>

#include <thread>

#include <ole2.h>

namespace {

const CLSID kNowhere = {0x5f1e0c2a, 0x7d31, 0x4b8e, {0x9a, 0x10, 0x3c, 0x55, 0x0e, 0x21, 0x6b, 0x77}};

TEST(ProgId, AnUnregisteredProgIdIsNoClassString) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    CLSID clsid = kNowhere;
    EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromProgID(OLESTR("Tolvane.NoSuchApplication"), &clsid));
    EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromProgID(OLESTR("Word.Application"), &clsid));
    CoUninitialize();
}

TEST(ProgId, CreatingAnUnknownClassFails) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IDispatch* object = nullptr;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(kNowhere, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                                    reinterpret_cast<void**>(&object)));
    EXPECT_EQ(nullptr, object);
    CoUninitialize();
}

TEST(ProgId, CreatingWithoutComOnTheThreadIsRefused) {
    HRESULT result = S_OK;
    std::thread([&] {
        IDispatch* object = nullptr;
        result = CoCreateInstance(kNowhere, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&object));
    }).join();
    EXPECT_EQ(CO_E_NOTINITIALIZED, result);
}

TEST(ProgId, ComCountsItsInitialisationsPerThread) {
    EXPECT_EQ(S_OK, CoInitialize(nullptr));
    EXPECT_EQ(S_FALSE, CoInitialize(nullptr));
    CoUninitialize();
    CoUninitialize();
}

}  // namespace
