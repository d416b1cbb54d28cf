#include "servicemap/MapTransfer.h"

#include "foundation/Com/Failure.h"
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Module.h"
#include "resources/resource.h"
#include "servicemap/MapStream.h"

#include <string>

using Microsoft::WRL::ComPtr;

namespace ServiceMap {
namespace {

// The one file-system version whose "RDM_DEV_MAP" has this layout.
constexpr long mapEfsVersion = 2;
constexpr long readMode = 0;
constexpr long writeMode = 1;
// The reset: the phone restarts (mode 4) and is waited for until it is online (mode 5).
constexpr long restartMode = 4;
constexpr long onlineMode = 5;
constexpr long onlineTimeoutMs = 6000;

int Show(HWND owner, const std::string& text, UINT style) {
    const std::string caption = Fw::Module::Current().String(IDS_SERVICE_MAPPING_CAPTION);
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

int Show(HWND owner, UINT textId, UINT style) {
    return Show(owner, Fw::Module::Current().String(textId), style);
}

// Whether the phone has a file system of the version the map is laid out for. A failed call
// raises, and is no answer.
bool HasMapFileSystem(IPhoneEfs* efs) {
    long present = 0;
    Com::Call(efs, &IPhoneEfs::IsEfsPresent, &present);
    if (!present)
        return false;
    long version = 0;
    Com::Call(efs, &IPhoneEfs::GetEfsVersion, &version);
    return version == mapEfsVersion;
}

ComPtr<IStream> OpenMapFile(IPhoneEfs* efs, long mode) {
    const Win32::UniqueBstr path(Lang::ToBstr(fileName));
    ComPtr<IUnknown> file;
    Com::Call(efs, &IPhoneEfs::OpenFile, path.get(), mode, &file);
    // A file that is no stream fails as a missing one at its first use.
    return file ? Com::Query<IStream>(file.Get()) : nullptr;
}

ComPtr<IStream> CopyOfMapFile(IPhoneEfs* efs) {
    ComPtr<IStream> file = OpenMapFile(efs, readMode);
    STATSTG stat = {};
    Com::Call(file, &IStream::Stat, &stat, DWORD{STATFLAG_NONAME});
    const ComPtr<IStream> copy = NewStream({});
    Com::Call(file, &IStream::CopyTo, copy.Get(), stat.cbSize, nullptr, nullptr);
    return copy;
}

} // namespace

bool ReadMap(IPhoneEfs* efs, HWND owner, Table& asRead, const TableReceiver& receive) {
    try {
        if (!HasMapFileSystem(efs)) {
            Show(owner, IDS_SERVICE_MAPPING_NO_EFS, MB_OK | MB_ICONSTOP);
            return false;
        }
        const ComPtr<IStream> copy = CopyOfMapFile(efs);
        asRead = ReadTableFrom(copy.Get()).table;
        receive(copy.Get());
        return true;
    } catch (const _com_error& failure) {
        ShowReadFailure(owner, failure.Error());
    } catch (const std::exception&) {
        Show(owner, IDS_SERVICE_MAPPING_UNEXPECTED, MB_OK | MB_ICONSTOP);
    }
    return false;
}

WriteOutcome WriteMap(const Table& asRead, IStream* edited, IPhoneEfs* efs, IOstrelPort* port, bool reset,
                      HWND owner) {
    try {
        const ReadResult table = ReadTableFrom(edited);
        if (!Differs(table.table, table.count, asRead))
            return WriteOutcome::unchanged;
        if (!CarriesDiag(table.table, table.count) &&
            Show(owner, IDS_SERVICE_MAPPING_NO_DIAG, MB_YESNO | MB_ICONINFORMATION) != IDYES)
            return WriteOutcome::declined;
        Com::Call(edited, &IStream::Seek, LARGE_INTEGER{}, DWORD{STREAM_SEEK_SET}, nullptr);
        if (!HasMapFileSystem(efs)) {
            Show(owner, IDS_SERVICE_MAPPING_NO_EFS, MB_OK | MB_ICONSTOP);
            return WriteOutcome::failed;
        }
        const ComPtr<IStream> file = OpenMapFile(efs, writeMode);
        ULARGE_INTEGER count = {};
        count.QuadPart = table.count;
        Com::Call(edited, &IStream::CopyTo, Com::ThrowIfNull(file.Get()), count, nullptr, nullptr);
        Com::Call(file, &IStream::Commit, DWORD{STGC_OVERWRITE});
        if (reset) {
            Com::Call(port, &IOstrelPort::RequestPhoneMode, restartMode);
            Com::Call(port, &IOstrelPort::AwaitPhoneMode, onlineMode, onlineTimeoutMs, 0L);
        }
        return WriteOutcome::written;
    } catch (const _com_error&) {
        ShowWriteFailure(owner);
    } catch (const std::exception&) {
        Show(owner, IDS_SERVICE_MAPPING_UNEXPECTED, MB_OK | MB_ICONSTOP);
    }
    return WriteOutcome::failed;
}

void ShowReadFailure(HWND owner, HRESULT status) {
    Show(owner,
         Lang::Format(Fw::Module::Current().String(IDS_SERVICE_MAPPING_READ_FAILED).c_str(),
                      static_cast<unsigned>(status), Lang::ErrorText(status).c_str()),
         MB_OK | MB_ICONSTOP);
}

void ShowWriteFailure(HWND owner) {
    Show(owner, IDS_SERVICE_MAPPING_WRITE_FAILED, MB_OK | MB_ICONSTOP);
}

} // namespace ServiceMap
