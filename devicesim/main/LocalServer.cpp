#include "devicesim/main/LocalServer.h"

#include "devicesim/SimServer.h"
#include "devicesim/main/ClientWatch.h"
#include "devicesim/main/Console.h"
#include "devicesim/main/ExitCodes.h"
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"
#include "framework/com/ClassFactory.h"

#include <comdef.h>
#include <wrl/client.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

namespace DeviceSim {

namespace {

using Microsoft::WRL::ComPtr;

// COM starts us for a client that asks at once; a start whose client never calls must not
// leave a process behind.
constexpr DWORD idleGraceMs = 30'000;
// The answer to Exit leaves on an RPC thread after the call has returned on ours.
constexpr DWORD answerGraceMs = 50;

constexpr const char* instanceMutexName = "OstrelDeviceSim.Instance";

// What the class object needs from the serving thread. The creator the framework's class
// factory calls is a plain function, and a process serves one server, so it is reached here.
struct Served {
    ClientWatch watch;
    ComPtr<IGlobalInterfaceTable> table;
    DWORD serverCookie = 0;
};
std::atomic<Served*> served{nullptr};

// Runs in the multithreaded apartment, where the calling client can be named. The server
// itself lives in the main thread's apartment: the global interface table hands out a proxy to
// it, and the client's reference, marshalled from that proxy, still runs its calls there.
HRESULT CreateForCaller(IUnknown* outer, REFIID iid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    Served* const current = served;
    if (!current)
        return CO_E_SERVER_STOPPING;
    current->watch.NoteCaller();
    ComPtr<IOstrelServer> server;
    const HRESULT status = current->table->GetInterfaceFromGlobal(
        current->serverCookie, __uuidof(IOstrelServer), reinterpret_cast<void**>(server.GetAddressOf()));
    return FAILED(status) ? status : server->QueryInterface(iid, ppv);
}

// COM delivers the clients' calls as messages to the apartment's window. False on WM_QUIT.
bool PumpMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            return false;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return true;
}

// The class registration, held by a thread of the multithreaded apartment for as long as the
// server is offered: a class object registered from the main thread's STA would run its calls
// there, where Wine cannot name the caller.
class ClassRegistration {
public:
    HRESULT Start() {
        std::promise<HRESULT> registered;
        std::future<HRESULT> status = registered.get_future();
        m_thread = std::thread([this, &registered] { Hold(registered); });
        const HRESULT result = status.get();
        if (FAILED(result))
            m_thread.join();
        return result;
    }

    // After this no new client reaches the server; the ones connected keep their references.
    // An activation caught halfway calls into this (the main) thread's apartment and the
    // revocation waits for that call, so the wait keeps pumping or it would never end.
    void Revoke() {
        if (!m_thread.joinable())
            return;
        ::SetEvent(m_revoke.get());
        const HANDLE done = m_done.get();
        while (::MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
            PumpMessages(); // a WM_QUIT now changes nothing: the server is ending already
        m_thread.join();
    }

    ~ClassRegistration() { Revoke(); }

private:
    void Hold(std::promise<HRESULT>& registered) {
        HRESULT status = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(status)) {
            DWORD cookie = 0;
            ComPtr<IClassFactory> factory(new Fw::ClassFactory(&CreateForCaller));
            status = ::CoRegisterClassObject(__uuidof(OstrelServer), factory.Get(), CLSCTX_LOCAL_SERVER,
                                             REGCLS_MULTIPLEUSE, &cookie);
            registered.set_value(status);
            if (SUCCEEDED(status)) {
                ::WaitForSingleObject(m_revoke.get(), INFINITE);
                ::CoRevokeClassObject(cookie);
            }
            factory.Reset();
            ::CoUninitialize();
        } else {
            registered.set_value(status);
        }
        ::SetEvent(m_done.get());
    }

    std::thread m_thread;
    Win32::UniqueHandle m_revoke{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    Win32::UniqueHandle m_done{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

enum class Ending { Polite, Abrupt };

class MessageLoop {
public:
    MessageLoop(ClientWatch& watch, HANDLE exitRequested, bool startedByCom)
        : m_watch(watch)
        , m_exitRequested(exitRequested)
        , m_startedByCom(startedByCom) {}

    Ending Run() {
        const ULONGLONG started = ::GetTickCount64();
        for (;;) {
            std::vector<HANDLE> handles{m_exitRequested, m_watch.ArrivalEvent()};
            const std::vector<HANDLE> clients = m_watch.Handles();
            handles.insert(handles.end(), clients.begin(), clients.end());
            const DWORD count = static_cast<DWORD>(handles.size());

            DWORD timeout = INFINITE;
            if (m_startedByCom && !m_watch.AnyCame()) {
                const ULONGLONG waited = ::GetTickCount64() - started;
                timeout = waited >= idleGraceMs ? 0 : static_cast<DWORD>(idleGraceMs - waited);
            }
            const DWORD signalled =
                ::MsgWaitForMultipleObjects(count, handles.data(), FALSE, timeout, QS_ALLINPUT);
            if (signalled == WAIT_OBJECT_0) {
                return Ending::Abrupt;
            } else if (signalled == WAIT_OBJECT_0 + 1) {
                m_watch.TakeArrivals();
            } else if (signalled > WAIT_OBJECT_0 + 1 && signalled < WAIT_OBJECT_0 + count) {
                m_watch.Forget(signalled - WAIT_OBJECT_0 - 2);
            } else if (signalled == WAIT_OBJECT_0 + count) {
                if (!PumpMessages())
                    return Ending::Polite;
            } else if (signalled == WAIT_TIMEOUT) {
                Say("OstrelDeviceSim: no client came; ending");
                return Ending::Polite;
            } else {
                Complain(
                    Lang::Format("OstrelDeviceSim: waiting failed (error %lu); ending", ::GetLastError()));
                return Ending::Polite;
            }
            if (m_watch.AnyCame() && m_watch.Empty()) {
                Say("OstrelDeviceSim: the last client is gone; ending");
                return Ending::Polite;
            }
        }
    }

private:
    ClientWatch& m_watch;
    HANDLE m_exitRequested;
    bool m_startedByCom;
};

class Apartment {
public:
    Apartment()
        : m_status(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~Apartment() {
        if (SUCCEEDED(m_status))
            ::CoUninitialize();
    }
    HRESULT Status() const { return m_status; }

private:
    HRESULT m_status;
};

// Owned by the instance that serves, from before it registers the class until it has revoked it.
class InstanceClaim {
public:
    // COM starts an instance only while the class is not registered: an instance that still holds
    // the claim is then ending, or just starting and about to register, so a started one waits.
    bool Take(bool startedByCom) {
        m_mutex.reset(::CreateMutexA(nullptr, FALSE, instanceMutexName));
        if (!m_mutex)
            return true;
        const DWORD waited = ::WaitForSingleObject(m_mutex.get(), startedByCom ? claimWaitMs : 0);
        m_owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        return m_owned;
    }
    void Release() {
        if (m_owned)
            ::ReleaseMutex(m_mutex.get());
        m_owned = false;
    }
    ~InstanceClaim() { Release(); }

private:
    static constexpr DWORD claimWaitMs = 10'000;

    Win32::UniqueHandle m_mutex;
    bool m_owned = false;
};

int ServeInApartment(Sim::SimState state, const ServeOptions& options, InstanceClaim& claim) {
    Win32::UniqueHandle exitRequested(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    Sim::SimServerHooks hooks;
    hooks.exitRequested = [event = exitRequested.get()] { ::SetEvent(event); };
    const ComPtr<IOstrelServer> server = Sim::CreateSimServer(std::move(state), std::move(hooks));

    Served current;
    HRESULT status = ::CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&current.table));
    if (SUCCEEDED(status))
        status = current.table->RegisterInterfaceInGlobal(server.Get(), __uuidof(IOstrelServer),
                                                          &current.serverCookie);
    served = &current;
    ClassRegistration registration;
    if (SUCCEEDED(status))
        status = registration.Start();
    if (FAILED(status)) {
        served = nullptr;
        Complain("OstrelDeviceSim: cannot offer the server: " + Lang::ErrorText(status));
        return ExitComFailure;
    }
    Say("OstrelDeviceSim: serving " + options.scenarioPath);

    const Ending ending = MessageLoop(current.watch, exitRequested.get(), options.startedByCom).Run();
    served = nullptr; // a later activation is refused without reaching into this apartment
    registration.Revoke();
    claim.Release();
    if (ending == Ending::Abrupt) {
        // A dead server, for the clients' sake: no disconnection and no event, the process just goes.
        ::Sleep(answerGraceMs);
        ::ExitProcess(ExitDone);
    }
    current.table->RevokeInterfaceFromGlobal(current.serverCookie);
    return ExitDone;
}

} // namespace

int Serve(Sim::SimState state, const ServeOptions& options) {
    InstanceClaim claim;
    if (!claim.Take(options.startedByCom)) {
        Complain("OstrelDeviceSim: another instance is already serving; clients reach that one");
        return ExitAlreadyRunning;
    }
    const Apartment apartment;
    if (FAILED(apartment.Status())) {
        Complain("OstrelDeviceSim: COM is not available: " + Lang::ErrorText(apartment.Status()));
        return ExitComFailure;
    }
    try {
        return ServeInApartment(std::move(state), options, claim);
    } catch (const _com_error& failure) {
        Complain("OstrelDeviceSim: cannot make the server: " + Lang::ErrorText(failure.Error()));
        return ExitComFailure;
    }
}

} // namespace DeviceSim
