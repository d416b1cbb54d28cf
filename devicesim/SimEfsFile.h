#pragma once

#include "devicesim/SimCore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Sim {

// An open file of a phone's file system, as a stream over its own copy of the content. A file
// opened for writing starts empty and replaces the phone's file on Commit, so a writer that
// gives up half-way (releases without committing) leaves the phone's file as it was. A file
// opened for reading refuses writes. A write that fails (an injected "Write" failure) adds
// nothing, and the bytes written before it stay in the stream: a writer that commits after the
// failure puts exactly those on the phone, one that does not leaves the phone's file unchanged.
// Read, Write, Seek, SetSize, CopyTo, Commit and Stat are server members under their IStream
// names, for the call log and for injected failures alike; CopyTo enters Read as well, since
// it reads the file.
class SimEfsFile : public Fw::ObjectRoot, public IStream {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimEfsFile, ISequentialStream>(),
        Fw::Entry<SimEfsFile, IStream>(),
    };

    void Init(std::shared_ptr<SimCore> core, short phoneId, std::string path,
              std::vector<std::uint8_t> content, bool writable);

    HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override;
    HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                                   ULARGE_INTEGER* plibNewPosition) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER libNewSize) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                     ULARGE_INTEGER* pcbWritten) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD grfCommitFlags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb,
                                         DWORD dwLockType) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb,
                                           DWORD dwLockType) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* pstatstg, DWORD grfStatFlag) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) override;

private:
    std::shared_ptr<SimCore> m_core;
    short m_phoneId = 0;
    std::string m_path;
    std::vector<std::uint8_t> m_content;
    std::uint64_t m_position = 0;
    bool m_writable = false;
};

} // namespace Sim
