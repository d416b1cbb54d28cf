#pragma once

#include "devicesim/SimCore.h"

namespace Sim {

// One view's agent: its reads and changes of the server's data, and its own source of every
// event the server fires.
class SimConfigAgent : public Fw::ObjectRoot,
                       public IOstrelConfigAgent,
                       public IOstrelConfigAgentEx,
                       public IOstrelPortOptions,
                       public SimCore::EventSource {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<SimConfigAgent, IOstrelConfigAgent>(),
        Fw::Entry<SimConfigAgent, IOstrelConfigAgentEx>(),
        Fw::Entry<SimConfigAgent, IOstrelPortOptions>(),
        Fw::Entry<SimConfigAgent, IConnectionPointContainer>(),
    };

    ~SimConfigAgent() override;
    void Init(std::shared_ptr<SimCore> core, long cookie);
    // ReleaseConfigAgent: an agent counted among the server's objects leaves them, announced.
    void Deactivate();

    // IOstrelConfigAgent
    HRESULT STDMETHODCALLTYPE GetObjectIds(long lTypeMask, short* psCount, SAFEARRAY** ppsaIds) override;
    HRESULT STDMETHODCALLTYPE GetObjectInfo(short sObjectId, OstrelObjectInfo* pInfo) override;
    HRESULT STDMETHODCALLTYPE GetClientInfo(short sClientId, OstrelClientInfo* pInfo) override;
    HRESULT STDMETHODCALLTYPE GetPhoneInfo(short sPhoneId, OstrelPhoneInfo* pInfo) override;
    HRESULT STDMETHODCALLTYPE GetPortPhoneInfo(short sPortId, OstrelPhoneInfo* pInfo) override;
    HRESULT STDMETHODCALLTYPE GetPortInfo(short sPortId, OstrelPortInfo* pInfo) override;
    HRESULT STDMETHODCALLTYPE GetPortIds(short* psCount, SAFEARRAY** ppsaIds) override;
    HRESULT STDMETHODCALLTYPE GetAccumulatedData(short sPortId, long* plCount, SAFEARRAY** ppsaCookies,
                                                 SAFEARRAY** ppsaByteCounts) override;
    HRESULT STDMETHODCALLTYPE SetPortLabel(short sPortId, BSTR bstrLabel) override;
    HRESULT STDMETHODCALLTYPE AddPort(BSTR bstrPortName, BSTR bstrLabel, long lBaudRate) override;
    HRESULT STDMETHODCALLTYPE EnablePort(short sPortId) override;
    HRESULT STDMETHODCALLTYPE DisablePort(short sPortId) override;
    HRESULT STDMETHODCALLTYPE RemovePort(short sPortId) override;
    HRESULT STDMETHODCALLTYPE ActivateAgent() override;

    // IOstrelConfigAgentEx
    HRESULT STDMETHODCALLTYPE GetPhoneModel(short sPhoneId, OstrelModelEx* pModel) override;
    HRESULT STDMETHODCALLTYPE GetPortPhoneModel(short sPortId, OstrelModelEx* pModel) override;
    HRESULT STDMETHODCALLTYPE GetPortConfigEx(short sPortId, OstrelPortConfigEx* pConfig) override;
    HRESULT STDMETHODCALLTYPE GetDiagSwitchState(short sPortId, long* plState) override;
    HRESULT STDMETHODCALLTYPE SetDiagSwitchState(short sPortId, long lState) override;
    HRESULT STDMETHODCALLTYPE GetBaudRateEntry(short sPortId, long lIndex, long lReserved,
                                               unsigned long* pulBaudRate, long* plTried,
                                               unsigned long* pulMaskBit) override;
    HRESULT STDMETHODCALLTYPE SetBaudRateMask(short sPortId, unsigned long ulMask, long lReserved) override;
    HRESULT STDMETHODCALLTYPE GetProtocolMode(short sPortId, long* plMode) override;
    HRESULT STDMETHODCALLTYPE SetProtocolMode(short sPortId, long lMode) override;
    HRESULT STDMETHODCALLTYPE GetSecurityPassword(short sPortId, BSTR* pbstrPassword) override;
    HRESULT STDMETHODCALLTYPE SetSecurityPassword(short sPortId, BSTR bstrPassword) override;
    HRESULT STDMETHODCALLTYPE GetDiagCommandHistory(short sPortId, BSTR* pbstrHistory) override;
    HRESULT STDMETHODCALLTYPE SetDiagCommandHistory(short sPortId, BSTR bstrHistory) override;
    HRESULT STDMETHODCALLTYPE SendDiagCommand(short sPortId, BSTR bstrCommand, BSTR* pbstrResponse) override;
    HRESULT STDMETHODCALLTYPE GetZelkorOneDownload(short sPortId, long* plOneDownload) override;
    HRESULT STDMETHODCALLTYPE GetZelkorAutoReset(short sPortId, long* plAutoReset) override;
    HRESULT STDMETHODCALLTYPE GetZelkorXmlFile(short sPortId, BSTR* pbstrXmlFile) override;
    HRESULT STDMETHODCALLTYPE GetZelkorDumpFolder(short sPortId, BSTR* pbstrDumpFolder) override;
    HRESULT STDMETHODCALLTYPE GetZelkorHelloResponse(short sPortId, long* plMode) override;
    HRESULT STDMETHODCALLTYPE GetZelkorTimestampFolders(short sPortId, long* plTimestamp) override;
    HRESULT STDMETHODCALLTYPE GetZelkorContinueBoot(short sPortId, long* plContinue) override;
    HRESULT STDMETHODCALLTYPE GetZelkorDumpSections(short sPortId, long lCapacity, long* plFilterOn,
                                                    long* plCount, SAFEARRAY** ppsaNames) override;
    HRESULT STDMETHODCALLTYPE SetZelkorXmlFile(short sPortId, BSTR bstrXmlFile, long lOneDownload) override;
    HRESULT STDMETHODCALLTYPE SetZelkorDumpFolder(short sPortId, BSTR bstrDumpFolder,
                                                  long lFolderFlag) override;
    HRESULT STDMETHODCALLTYPE SetZelkorAutoReset(short sPortId, long lAutoReset) override;
    HRESULT STDMETHODCALLTYPE SetZelkorHelloResponse(short sPortId, long lMode) override;
    HRESULT STDMETHODCALLTYPE SetZelkorTimestampFolders(short sPortId, long lTimestamp) override;
    HRESULT STDMETHODCALLTYPE SetZelkorContinueBoot(short sPortId, long lContinue) override;
    HRESULT STDMETHODCALLTYPE SetZelkorDumpSections(short sPortId, long lCount, SAFEARRAY* psaNames) override;
    HRESULT STDMETHODCALLTYPE ZelkorReset(short sPortId, long* plAccepted) override;
    HRESULT STDMETHODCALLTYPE AddRemoteEfsPort(BSTR bstrPortName, BSTR bstrLabel, long lBaudRate) override;

    // IOstrelPortOptions
    HRESULT STDMETHODCALLTYPE GetFlowControl(short sPortId, long* plFlowControl) override;
    HRESULT STDMETHODCALLTYPE SetFlowControl(short sPortId, long lFlowControl) override;
    HRESULT STDMETHODCALLTYPE GetPollingMode(short sPortId, long* plMode) override;
    HRESULT STDMETHODCALLTYPE SetPollingMode(short sPortId, long lMode) override;
    HRESULT STDMETHODCALLTYPE GetTraceLevel(short sPortId, long* plLevel) override;
    HRESULT STDMETHODCALLTYPE SetTraceLevel(short sPortId, long lLevel) override;
    HRESULT STDMETHODCALLTYPE GetShutdownAction(short sPortId, long* plAction) override;
    HRESULT STDMETHODCALLTYPE SetShutdownAction(short sPortId, long lAction) override;

private:
    // A port setting read into *out, or changed and announced with event 11.
    template <class Out, class Read>
    HRESULT ReadPort(const char* member, short portId, Out* out, Read read);
    template <class Change>
    HRESULT ChangePort(const char* member, short portId, Change change);
    HRESULT AddNewPort(const char* member, BSTR name, BSTR label, long baudRate, bool remoteEfs);

    std::shared_ptr<SimCore> m_core;
    long m_cookie = 0;
    short m_objectId = 0; // once counted among the server's objects
};

} // namespace Sim
