#pragma once
// What the fake detector module offers a test in the same process, looked up
// by name with GetProcAddress on the loaded module.

#include <cstdint>
#include <string>
#include <vector>

struct FakeCall {
    std::string image, face, mouth;
    std::int32_t precise;
};

// Called inside facecount while it "analyses" image, before it answers;
// calls already holds this call.
using FakeCallback = void (*)(const char* image, void* context);

using FakeCallsFn = const std::vector<FakeCall>* (*)();
using FakeResetFn = void (*)();
using FakeSetCallbackFn = void (*)(FakeCallback callback, void* context);
