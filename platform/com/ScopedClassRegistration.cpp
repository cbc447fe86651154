#include "platform/com/ClassRegistry.h"

ScopedClassRegistration::ScopedClassRegistration(std::u16string_view progId, DWORD contexts,
                                                 ClassRegistry::Factory factory)
    : ScopedClassRegistration(progId, ClassRegistry::ClsidForProgID(progId), contexts, std::move(factory))
{
}

ScopedClassRegistration::ScopedClassRegistration(std::u16string_view progId, REFCLSID clsid, DWORD contexts,
                                                 ClassRegistry::Factory factory)
    : progId(progId), clsid(clsid), previous(ClassRegistry::Snapshot(progId))
{
    ClassRegistry::Register(progId, clsid, contexts, std::move(factory));
}

ScopedClassRegistration::ScopedClassRegistration(std::u16string_view progId, HRESULT failure)
    : progId(progId), clsid(ClassRegistry::ClsidForProgID(progId)), previous(ClassRegistry::Snapshot(progId))
{
    ClassRegistry::RegisterFailing(progId, clsid, CLSCTX_ALL, failure);
}

ScopedClassRegistration::~ScopedClassRegistration()
{
    ClassRegistry::Unregister(progId);
    if (previous) {
        ClassRegistry::Restore(*previous);
    }
}

ScopedClassRemoval::ScopedClassRemoval(std::u16string_view progId) : previous(ClassRegistry::Snapshot(progId))
{
    ClassRegistry::Unregister(progId);
}

ScopedClassRemoval::~ScopedClassRemoval()
{
    if (previous) {
        ClassRegistry::Restore(*previous);
    }
}
