// What one device server call costs a view: GetPhoneInfo on the simulator in process and
// out of process, against an empty in-process call, all measured in one run.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "framework/com/Module.h"
#include "server/OwnedRecord.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

constexpr short benchPhone = 101;

// Median over rounds of the time per call, in microseconds.
template <class Call>
double MicrosecondsPerCall(int callsPerRound, int rounds, Call call) {
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> perCall;
    for (int round = 0; round < rounds; ++round) {
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < callsPerRound; ++i)
            call();
        ::QueryPerformanceCounter(&end);
        perCall.push_back(1e6 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart) /
                          callsPerRound);
    }
    std::sort(perCall.begin(), perCall.end());
    return perCall[perCall.size() / 2];
}

ComPtr<IOstrelConfigAgent> AgentOf(IOstrelServer* server) {
    long cookie = 0;
    ComPtr<IUnknown> agent;
    if (FAILED(server->CreateConfigAgent(_bstr_t(Sim::SimServer::AgentProgId), -1, &cookie, &agent)))
        return nullptr;
    ComPtr<IOstrelConfigAgent> configAgent;
    agent.As(&configAgent);
    return configAgent;
}

double PhoneInfoCost(IOstrelConfigAgent* agent, int callsPerRound) {
    return MicrosecondsPerCall(callsPerRound, 7, [&] {
        Server::OwnedRecord<OstrelPhoneInfo> phone;
        if (FAILED(agent->GetPhoneInfo(benchPhone, phone.put())))
            std::abort();
    });
}

} // namespace

int main() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::string scenario = Fw::Module::Current().Folder() + "\\scenarios\\bench.json";
    const ComPtr<IOstrelServer> local = Sim::CreateSimServer(Sim::LoadScenario(scenario));
    ComPtr<IOstrelServer> remote;
    if (FAILED(::CoCreateInstance(CLSID_OstrelServer, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&remote)))) {
        std::fprintf(stderr,
                     "the simulator's local server is not registered (OstrelDeviceSim.exe /RegServer)\n");
        return 1;
    }
    const ComPtr<IOstrelConfigAgent> localAgent = AgentOf(local.Get());
    const ComPtr<IOstrelConfigAgent> remoteAgent = AgentOf(remote.Get());

    long state = 0;
    const double empty = MicrosecondsPerCall(20000, 7, [&] { local->GetServerState(&state); });
    const double inProcess = PhoneInfoCost(localAgent.Get(), 20000);
    const double outOfProcess = PhoneInfoCost(remoteAgent.Get(), 300);

    std::printf("empty in-process call        %10.3f us\n", empty);
    std::printf("GetPhoneInfo in process      %10.3f us  (%.1f x an empty call)\n", inProcess,
                inProcess / empty);
    std::printf("GetPhoneInfo out of process  %10.3f us  (%.1f x in process)\n", outOfProcess,
                outOfProcess / inProcess);
    ::CoUninitialize();
    return 0;
}
