#pragma once

#include <objbase.h>

#include <map>
#include <string>

// The set of port names a server already serves, consulted before a port is added.
class CNorvikPortStateEnum {
public:
    virtual bool Contains(const std::string& portName) const;
    virtual void Load(IUnknown* pConfigAgent);
    virtual ~CNorvikPortStateEnum();
};

// Port names (byte-wise, case-sensitive) with their port state codes, read from an agent.
class CNorvikActiveStateEnum : public CNorvikPortStateEnum {
public:
    bool Contains(const std::string& portName) const override;
    // Never fails to its caller: the first failing server call ends the loading and the
    // names read so far stay; an object that is no agent leaves the set as it was.
    void Load(IUnknown* pConfigAgent) override;

    const std::map<std::string, short>& States() const { return m_states; }

private:
    std::map<std::string, short> m_states;
};
