#pragma once

#include <objbase.h>

#include <atomic>

namespace Fw {

// The standard class factory. It does not hold the module itself: only the objects it makes
// and the server locks taken through it do, so a cached factory never blocks unloading.
class ClassFactory final : public IClassFactory {
public:
    using Creator = HRESULT (*)(IUnknown* outer, REFIID iid, void** ppv);

    explicit ClassFactory(Creator creator)
        : m_creator(creator) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ~ClassFactory() = default;

    Creator m_creator;
    std::atomic<ULONG> m_references{0};
};

} // namespace Fw
