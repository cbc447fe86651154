#include "office/spreadsheet/Registration.h"

#include "office/spreadsheet/Objects.h"
#include "platform/com/ClassRegistry.h"

namespace {

// {00024500-0000-0000-C000-000000000046}, the class id the application is known by.
constexpr CLSID kSpreadsheetClsid = {0x00024500, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace

void RegisterSpreadsheetServer()
{
    ClassRegistry::Register(u"Excel.Application", kSpreadsheetClsid, CLSCTX_LOCAL_SERVER,
                            [](REFIID riid, void** ppv) {
                                ComPtr<IDispatch> application = office::spreadsheet::MakeApplication();
                                return application->QueryInterface(riid, ppv);
                            });
}
