#include "ChildProcess.h"

#include <fstream>
#include <sstream>

namespace TestSupport {

DWORD runCommand(std::string commandLine, DWORD timeoutMs) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return kCommandNotStarted;
    ::CloseHandle(process.hThread);
    DWORD exitCode = kCommandTimedOut;
    if (::WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &exitCode);
    else
        ::TerminateProcess(process.hProcess, kCommandTimedOut);
    ::CloseHandle(process.hProcess);
    return exitCode;
}

ChildProcess::ChildProcess(const std::string& commandLine, void (*onKilled)())
    : m_onKilled(onKilled) {
    static int serial = 0;
    char folder[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    m_outputPath = std::string(folder) + "child-" + std::to_string(::GetCurrentProcessId()) + "-" +
                   std::to_string(++serial) + ".txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE output =
        ::CreateFileA(m_outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                      CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::string command = commandLine;
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                         &process)) {
        ::CloseHandle(process.hThread);
        m_process = process.hProcess;
    }
    ::CloseHandle(output);
}

ChildProcess::~ChildProcess() {
    if (m_process && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_process, 99);
        ::WaitForSingleObject(m_process, kChildTimeoutMs);
        if (m_onKilled)
            m_onKilled();
    }
    if (m_process)
        ::CloseHandle(m_process);
    ::DeleteFileA(m_outputPath.c_str());
}

std::string ChildProcess::Output() const {
    std::ifstream file(m_outputPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool ChildProcess::Ended(DWORD timeoutMs) const {
    return ::WaitForSingleObject(m_process, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = 0;
    ::GetExitCodeProcess(m_process, &code);
    return code;
}

bool ChildProcess::Says(const std::string& fragment) const {
    for (DWORD waited = 0; waited < kChildTimeoutMs; waited += 50) {
        if (Output().find(fragment) != std::string::npos)
            return true;
        if (::WaitForSingleObject(m_process, 50) == WAIT_OBJECT_0)
            return Output().find(fragment) != std::string::npos;
    }
    return false;
}

} // namespace TestSupport
