// Puts a thin layer over the real word processor, registered in its place as
// "Word.Application": every object handed out is wrapped and every call
// forwarded, after the test's hook has seen the member name. Lets a test act
// at a chosen call (press Cancel during the field pass) or see one (Quit).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/com/ClassRegistry.h"

class CallWatcher {
public:
    using Hook = std::function<void(const std::string& member, WORD kind)>;

    explicit CallWatcher(Hook hook);
    ~CallWatcher();
    CallWatcher(const CallWatcher&) = delete;
    CallWatcher& operator=(const CallWatcher&) = delete;

private:
    std::shared_ptr<Hook> hook;
    std::unique_ptr<ScopedClassRegistration> registration;
};
