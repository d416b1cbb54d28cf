#include "devicesim/SimEfsFile.h"

#include "foundation/Lang/Text.h"
#include "framework/com/Boundary.h"

#include <algorithm>
#include <cstring>

namespace Sim {

void SimEfsFile::Init(std::shared_ptr<SimCore> core, short phoneId, std::string path,
                      std::vector<std::uint8_t> content, bool writable) {
    m_core = std::move(core);
    m_phoneId = phoneId;
    m_path = std::move(path);
    m_content = std::move(content);
    m_writable = writable;
}

HRESULT STDMETHODCALLTYPE SimEfsFile::Read(void* pv, ULONG cb, ULONG* pcbRead) {
    return Fw::Boundary([&] {
        if (pcbRead)
            *pcbRead = 0;
        m_core->Enter("Read");
        if (!pv && cb)
            return STG_E_INVALIDPOINTER;
        const std::uint64_t left = m_position < m_content.size() ? m_content.size() - m_position : 0;
        const auto count = static_cast<ULONG>(std::min<std::uint64_t>(cb, left));
        if (count)
            std::memcpy(pv, m_content.data() + m_position, count);
        m_position += count;
        if (pcbRead)
            *pcbRead = count;
        return count == cb ? S_OK : S_FALSE;
    });
}

HRESULT STDMETHODCALLTYPE SimEfsFile::Write(const void* pv, ULONG cb, ULONG* pcbWritten) {
    return Fw::Boundary([&] {
        if (pcbWritten)
            *pcbWritten = 0;
        // A refused write leaves the stream as it was: nothing of it reaches the content.
        m_core->Enter("Write");
        if (!m_writable)
            return STG_E_ACCESSDENIED;
        if (!pv && cb)
            return STG_E_INVALIDPOINTER;
        if (m_position + cb > m_content.size())
            m_content.resize(static_cast<size_t>(m_position + cb));
        if (cb)
            std::memcpy(m_content.data() + m_position, pv, cb);
        m_position += cb;
        if (pcbWritten)
            *pcbWritten = cb;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE SimEfsFile::Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin,
                                           ULARGE_INTEGER* plibNewPosition) {
    return Fw::Boundary([&] {
        m_core->Enter("Seek");
        std::int64_t base = 0;
        switch (dwOrigin) {
        case STREAM_SEEK_SET:
            break;
        case STREAM_SEEK_CUR:
            base = static_cast<std::int64_t>(m_position);
            break;
        case STREAM_SEEK_END:
            base = static_cast<std::int64_t>(m_content.size());
            break;
        default:
            return STG_E_INVALIDFUNCTION;
        }
        const std::int64_t target = base + dlibMove.QuadPart;
        if (target < 0)
            return STG_E_INVALIDFUNCTION;
        m_position = static_cast<std::uint64_t>(target);
        if (plibNewPosition)
            plibNewPosition->QuadPart = m_position;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE SimEfsFile::SetSize(ULARGE_INTEGER libNewSize) {
    return Fw::Boundary([&] {
        m_core->Enter("SetSize");
        if (!m_writable)
            return STG_E_ACCESSDENIED;
        m_content.resize(static_cast<size_t>(libNewSize.QuadPart));
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE SimEfsFile::CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                             ULARGE_INTEGER* pcbWritten) {
    return Fw::Boundary([&] {
        if (pcbRead)
            pcbRead->QuadPart = 0;
        if (pcbWritten)
            pcbWritten->QuadPart = 0;
        m_core->Enter("CopyTo");
        // Copying reads the file: a failing read fails the copy too.
        m_core->Enter("Read");
        if (!pstm)
            return STG_E_INVALIDPOINTER;
        const std::uint64_t left = m_position < m_content.size() ? m_content.size() - m_position : 0;
        const auto count = static_cast<ULONG>(std::min<std::uint64_t>(cb.QuadPart, left));
        ULONG written = 0;
        const HRESULT status = count ? pstm->Write(m_content.data() + m_position, count, &written) : S_OK;
        m_position += count;
        if (pcbRead)
            pcbRead->QuadPart = count;
        if (pcbWritten)
            pcbWritten->QuadPart = written;
        return status;
    });
}

HRESULT STDMETHODCALLTYPE SimEfsFile::Commit(DWORD grfCommitFlags) {
    return Fw::Boundary([&] {
        m_core->Enter("Commit", std::to_string(grfCommitFlags));
        if (!m_writable)
            return S_OK;
        SimPhone* phone = m_core->State().findPhone(m_phoneId);
        if (!phone)
            return Status::NoPhone;
        phone->files[m_path] = m_content;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE SimEfsFile::Revert() {
    return Fw::Boundary([] {});
}

HRESULT STDMETHODCALLTYPE SimEfsFile::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return Fw::Boundary([] { return STG_E_INVALIDFUNCTION; });
}

HRESULT STDMETHODCALLTYPE SimEfsFile::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return Fw::Boundary([] { return STG_E_INVALIDFUNCTION; });
}

HRESULT STDMETHODCALLTYPE SimEfsFile::Stat(STATSTG* pstatstg, DWORD grfStatFlag) {
    return Fw::Boundary(pstatstg, [&] {
        m_core->Enter("Stat");
        pstatstg->type = STGTY_STREAM;
        pstatstg->cbSize.QuadPart = m_content.size();
        pstatstg->grfMode = m_writable ? STGM_WRITE : STGM_READ;
        if (!(grfStatFlag & STATFLAG_NONAME)) {
            const std::wstring name = Lang::ToWide(m_path);
            const size_t bytes = (name.size() + 1) * sizeof(wchar_t);
            pstatstg->pwcsName = static_cast<LPOLESTR>(::CoTaskMemAlloc(bytes));
            if (!pstatstg->pwcsName)
                return E_OUTOFMEMORY;
            std::memcpy(pstatstg->pwcsName, name.c_str(), bytes);
        }
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE SimEfsFile::Clone(IStream** ppstm) {
    return Fw::Boundary(ppstm, [] { return E_NOTIMPL; });
}

} // namespace Sim
