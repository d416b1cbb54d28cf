#pragma once

#include <windows.h>

#include <string>

// Other programs as the tests start them: the simulator, regsvr32, cscript, net.
namespace TestSupport {

constexpr DWORD kChildTimeoutMs = 20'000;
// What runCommand answers when the program could not be started, or did not end in time and was
// ended (a registrar can hang on a broken script).
constexpr DWORD kCommandNotStarted = 0xFFFFFFFF;
constexpr DWORD kCommandTimedOut = WAIT_TIMEOUT;

// Runs a command line to its end and answers its exit code.
DWORD runCommand(std::string commandLine, DWORD timeoutMs = kChildTimeoutMs);

// A process whose standard output and error go to a file of its own, read back by the test. One
// still running when the test lets it go is ended; `onKilled` runs then (a killed simulator leaves
// state behind in Wine's RpcSs).
class ChildProcess {
public:
    explicit ChildProcess(const std::string& commandLine, void (*onKilled)() = nullptr);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_process != nullptr; }
    HANDLE Process() const { return m_process; }
    std::string Output() const;
    bool Ended(DWORD timeoutMs = kChildTimeoutMs) const;
    DWORD ExitCode() const;
    // Polls the output until it holds `fragment`: the process says so once it is ready.
    bool Says(const std::string& fragment) const;

private:
    void (*m_onKilled)();
    HANDLE m_process = nullptr;
    std::string m_outputPath;
};

} // namespace TestSupport
