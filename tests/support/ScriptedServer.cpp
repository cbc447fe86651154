#include "tests/support/ScriptedServer.h"

ScriptedServer::ScriptedServer(std::u16string_view progId, std::string rootName) : rootName(std::move(rootName))
{
    if (!progId.empty()) {
        registration = std::make_unique<TestClass>(
            progId, [this](REFIID riid, void** ppv) {
                {
                    std::lock_guard guard(lock);
                    ++instances;
                }
                return Root().QueryInterface(riid, ppv);
            });
    }
}

ScriptedServer::~ScriptedServer()
{
    registration.reset();
    // Answers given as values may hold objects; drop every script before the server's own references.
    for (auto& [name, object] : objects) {
        object->DropScripts();
    }
    for (auto& [name, object] : objects) {
        object->Release();
    }
}

ScriptedObject& ScriptedServer::Object(const std::string& name)
{
    std::lock_guard guard(lock);
    for (auto& [existing, object] : objects) {
        if (existing == name) {
            return *object;
        }
    }
    auto* object = new ScriptedObject(*this, name);
    objects.emplace_back(name, object);
    return *object;
}

void ScriptedServer::RequireScripts(bool on)
{
    std::lock_guard guard(lock);
    requireScripts = on;
}

std::vector<RecordedCall> ScriptedServer::Calls() const
{
    std::lock_guard guard(lock);
    return calls;
}

std::vector<std::string> ScriptedServer::CallTexts() const
{
    std::lock_guard guard(lock);
    std::vector<std::string> texts;
    for (const RecordedCall& call : calls) {
        texts.push_back(call.Text());
    }
    return texts;
}

void ScriptedServer::ClearCalls()
{
    std::lock_guard guard(lock);
    calls.clear();
}

int ScriptedServer::Instances() const
{
    std::lock_guard guard(lock);
    return instances;
}

void ScriptedServer::Record(RecordedCall call)
{
    std::lock_guard guard(lock);
    calls.push_back(std::move(call));
}
