// A control created, embedded in a host window, activated, saved and let go, again and again:
// the process keeps no handle, GDI or user object, window or memory of it, and the module
// can unload once the last one is gone.
#include "Robustness.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Streams.h"
#include "tests/support/TestContainer.h"

#include <psapi.h>
#include <winternl.h>

#include <vector>

using namespace Robustness;

namespace {

struct Resources {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    int windows = 0; // the thread's, with all their descendants
    SIZE_T privateBytes = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    ::EnumChildWindows(window, CountChild, count);
    return TRUE;
}

// Wine answers GetProcessHandleCount with 0; the system's handle list counts them on both.
DWORD HandleCount() {
    DWORD count = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count)
        return count;
    std::vector<BYTE> buffer(1 << 16);
    ULONG needed = 0;
    while (::NtQuerySystemInformation(SystemHandleInformation, buffer.data(), ULONG(buffer.size()),
                                      &needed) == NTSTATUS(0xC0000004)) // the buffer is too small
        buffer.resize(buffer.size() * 2);
    const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    for (const SYSTEM_HANDLE_ENTRY* entry = list->Handle; entry != list->Handle + list->Count; ++entry)
        count += entry->OwnerPid == ::GetCurrentProcessId();
    return count;
}

// Wine answers PrivateUsage with 0; the bytes allocated in the process's heaps show a leak on both.
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof memory) &&
        memory.PrivateUsage)
        return memory.PrivateUsage;
    std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 8);
    heaps.resize(::GetProcessHeaps(DWORD(heaps.size()), heaps.data()));
    SIZE_T used = 0;
    for (const HANDLE heap : heaps) {
        ::HeapLock(heap);
        PROCESS_HEAP_ENTRY entry = {};
        while (::HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                used += entry.cbData;
        ::HeapUnlock(heap);
    }
    return used;
}

Resources Measure() {
    Resources now;
    now.handles = HandleCount();
    // Wine answers GetGuiResources with 0: there the window count stands for the user objects.
    now.gdiObjects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    now.userObjects = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&now.windows));
    now.privateBytes = PrivateBytes();
    return now;
}

void Cycle(const PersistedClass& persisted) {
    {
        TestSupport::TestContainer container;
        TestSupport::ControlSite& site = container.Embed(*persisted.clsid);
        ASSERT_EQ(S_OK, site.Activate()) << persisted.name;
        ASSERT_NE(nullptr, site.Window()) << persisted.name;
        TestSupport::FlushMessages();
        ASSERT_EQ(S_OK, site.Control<IPersistStreamInit>()->Save(TestSupport::StreamOf({}).Get(), TRUE));
    }
    TestSupport::FlushMessages();
}

class LeakCycleTest : public ::testing::TestWithParam<PersistedClass> {};

TEST_P(LeakCycleTest, CyclesLeaveNothingBehind) {
    // The first cycles load what the process keeps once (window classes, the type library,
    // COM's class cache); the heap may still settle a little after them.
    constexpr SIZE_T heapTolerance = 128 * 1024;
    for (int cycle = 0; cycle < 20; ++cycle)
        ASSERT_NO_FATAL_FAILURE(Cycle(GetParam()));
    const Resources before = Measure();
    const int cycles = Scaled(300, 3000);
    for (int cycle = 0; cycle < cycles; ++cycle)
        ASSERT_NO_FATAL_FAILURE(Cycle(GetParam())) << "cycle " << cycle;
    const Resources after = Measure();
    EXPECT_EQ(before.handles, after.handles) << "handles after " << cycles << " cycles";
    EXPECT_EQ(before.gdiObjects, after.gdiObjects) << "GDI objects after " << cycles << " cycles";
    EXPECT_EQ(before.userObjects, after.userObjects) << "user objects after " << cycles << " cycles";
    EXPECT_EQ(before.windows, after.windows) << "windows after " << cycles << " cycles";
    EXPECT_LE(after.privateBytes, before.privateBytes + heapTolerance)
        << "private bytes grew from " << before.privateBytes << " after " << cycles << " cycles";

    const HMODULE module = ::GetModuleHandleA("OstrelUITools.dll");
    ASSERT_NE(nullptr, module);
    const auto canUnloadNow = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_NE(nullptr, canUnloadNow);
    EXPECT_EQ(S_OK, canUnloadNow()) << "DllCanUnloadNow with every object released";
}

INSTANTIATE_TEST_SUITE_P(Module, LeakCycleTest, ::testing::ValuesIn(persistedClasses), ClassName);

} // namespace
