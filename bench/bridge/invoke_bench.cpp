// Calls per second of a property read through InvokeByName (bound by name on
// every call) beside IDispatch::Invoke with a DISPID looked up once.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "bridge/com_object.h"
#include "tests/automation/scripted_dispatch.h"

using namespace core;
using namespace bridge;

using namespace testautomation;
using Clock = std::chrono::steady_clock;

namespace {

constexpr DISPID kPlainId = 20;  // Probe.Plain in probe.idl
constexpr double kSeconds = 1.0;

template <class Call>
double CallsPerSecond(Call call) {
    long calls = 0;
    auto start = Clock::now();
    double elapsed = 0;
    do {
        for (int i = 0; i < 256; ++i) call();
        calls += 256;
        CallLog().clear();
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < kSeconds);
    return calls / elapsed;
}

}  // namespace

int main() {
    OleSession ole;
    TypeLibrary library("probe.tlb");
    if (!ole.Ok() || !library.Info("Probe")) {
        std::printf("setup failed\n");
        return 1;
    }
    ScriptedDispatch* probe = ScriptedDispatch::New(library.Info("Probe"), "probe");
    probe->Returns("Plain", MakeI4(7));
    ComObject object = ComObject::FromInterface(probe);

    double sum = 0;
    double byName = CallsPerSecond([&] { sum += object.GetNumberProperty("Plain"); });
    bool ok = LastCallStatus() == CallStatus::Ok && sum > 0;

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    double byId = CallsPerSecond([&] {
        VARIANT result;
        VariantInit(&result);
        probe->Invoke(kPlainId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
        VariantClear(&result);
    });

    std::printf("InvokeByName property read:        %12.0f calls/s\n", byName);
    std::printf("IDispatch::Invoke with cached id:  %12.0f calls/s\n", byId);
    std::printf("ratio (cached id / by name):       %12.2f\n", byId / byName);
    object.Clear();
    probe->Release();
    return ok ? 0 : 1;
}
