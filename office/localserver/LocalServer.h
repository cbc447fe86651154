// A local COM server's whole run, from its command line: started by COM with
// -Embedding, every process serves one object of the classes given and ends
// when the last object it made is gone (the objects hold server_lifetime
// locks) or when the process that started it ends; /RegServer and
// /UnregServer [/machine] install or remove it. Returns the exit code.
#pragma once

#include <vector>

#include "office/localserver/ClassFactory.h"
#include "office/localserver/ServedClass.h"

struct ServedFactory {
    ServedClass served;
    ClassFactory::Create create;
};

int RunLocalServer(const std::vector<ServedFactory>& classes);
