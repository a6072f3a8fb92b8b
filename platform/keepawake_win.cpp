#include "keepawake.h"

#include <windows.h>

namespace {

class ExecutionStateKeepAwake final : public KeepAwake
{
public:
    void setOn(bool on) override
    {
        // Looked up at run time, as older systems lack the function.
        using SetThreadExecutionStateFn = EXECUTION_STATE(WINAPI*)(EXECUTION_STATE);
        HMODULE kernel = LoadLibraryW(L"kernel32.dll");
        if (!kernel)
            return;
        auto setState = reinterpret_cast<SetThreadExecutionStateFn>(
            GetProcAddress(kernel, "SetThreadExecutionState"));
        // Continuous, with system and display required while on.
        if (setState)
            setState(on ? 0x80000003 : 0x80000000);
        FreeLibrary(kernel);
    }
};

}  // namespace

std::unique_ptr<KeepAwake> KeepAwake::create(const QString&, const QString&)
{
    return std::make_unique<ExecutionStateKeepAwake>();
}
