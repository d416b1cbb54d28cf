// Members that allocate answer E_OUTOFMEMORY when an allocation fails, rather than let
// std::bad_alloc out through the interface. The executable's allocator fails on request.
#include "framework/com/ComObject.h"
#include "framework/com/ConnectionPoint.h"
#include "framework/controls/PropertyPage.h"
#include "tests/support/NotifySource.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <utility>

namespace {
// The next allocation of this thread fails once.
thread_local bool failNextAllocation = false;
} // namespace

void* operator new(std::size_t size) {
    if (std::exchange(failNextAllocation, false))
        throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

using Microsoft::WRL::ComPtr;

namespace {

using Source = TestSupport::NotifySource;

class Page : public Fw::PropertyPage<Page> {
public:
    static constexpr UINT dialogId = 300;
    HRESULT ApplyTo(IUnknown*) override { return S_OK; }
};

// A sink that answers every interface with itself and counts nothing.
class AnySink : public IPropertyNotifySink {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override { return *ppv = this, S_OK; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
};

TEST(OutOfMemory, AllocatingMembersAnswerEOutOfMemory) {
    AnySink sink;
    ComPtr<IConnectionPointContainer> source;
    ComPtr<IConnectionPoint> point;
    ComPtr<IEnumConnectionPoints> points;
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(S_OK, Fw::Object<Source>::Create(nullptr, IID_PPV_ARGS(&source)));
    source->FindConnectionPoint(IID_IPropertyNotifySink, &point);
    source->EnumConnectionPoints(&points);
    Fw::Object<Page>::Create(nullptr, IID_PPV_ARGS(&page));
    // Each call is made once with the allocator failing, then once more; the second Advise leaves
    // the connection that EnumConnections copies.
    const struct {
        const char* name;
        std::function<HRESULT()> call;
    } cases[] = {
        {"Advise",
         [&] {
             DWORD cookie = 7;
             const HRESULT status = point->Advise(&sink, &cookie);
             return status == E_OUTOFMEMORY && cookie != 0 ? E_UNEXPECTED : status;
         }},
        {"EnumConnections",
         [&] { return point->EnumConnections(ComPtr<IEnumConnections>().GetAddressOf()); }},
        {"Clone", [&] { return points->Clone(ComPtr<IEnumConnectionPoints>().GetAddressOf()); }},
        {"SetObjects",
         [&] {
             IUnknown* objects[] = {&sink};
             return page->SetObjects(1, objects);
         }},
    };
    for (const auto& c : cases) {
        failNextAllocation = true;
        HRESULT status = S_OK;
        try {
            status = c.call();
        } catch (const std::bad_alloc&) {
            status = E_ABORT;
        }
        failNextAllocation = false;
        EXPECT_EQ(E_OUTOFMEMORY, status) << c.name << (status == E_ABORT ? ": bad_alloc escaped" : "");
        EXPECT_EQ(S_OK, c.call()) << c.name << ": the next call succeeds";
    }
}

} // namespace
