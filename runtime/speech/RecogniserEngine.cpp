#include "runtime/speech/RecogniserEngine.h"

#include <mutex>

#include "runtime/speech/ScriptedEngine.h"

namespace rt::speech {

namespace {

std::mutex& factoryMutex() {
    static std::mutex m;
    return m;
}

EngineFactory& factory() {
    static EngineFactory f;
    return f;
}

} // namespace

std::unique_ptr<RecogniserEngine> makeRecogniserEngine() {
    std::lock_guard lock(factoryMutex());
    if (factory())
        return factory()();
    return std::make_unique<ScriptedEngine>();
}

void setRecogniserEngineFactory(EngineFactory f) {
    std::lock_guard lock(factoryMutex());
    factory() = std::move(f);
}

} // namespace rt::speech
