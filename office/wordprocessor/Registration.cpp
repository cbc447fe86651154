#include "office/wordprocessor/Registration.h"

#include "office/wordprocessor/ApplicationObject.h"
#include "platform/com/ClassRegistry.h"

void RegisterWordProcessorServer() {
    ClassRegistry::Register(u"Word.Application", ClassRegistry::ClsidForProgID(u"Word.Application"),
                            CLSCTX_LOCAL_SERVER, [](REFIID riid, void** ppv) {
                                auto application = MakeObject<office::word::ApplicationObject>();
                                return application->QueryInterface(riid, ppv);
                            });
}
