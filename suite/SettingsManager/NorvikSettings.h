#pragma once

// The suite's settings library as its users see it: the flag that limits the ports offered for
// adding to diagnostic ones, kept for each user.
#ifdef NORVIK_SETTINGS_BUILD
#define NORVIK_SETTINGS_API __declspec(dllexport)
#else
#define NORVIK_SETTINGS_API __declspec(dllimport)
#endif

namespace Norvik::Settings {

class NORVIK_SETTINGS_API Server {
public:
    // The settings of the device server tools; perUser chooses the current user's (the only ones
    // this library keeps).
    explicit Server(bool perUser);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // The value last given to setDiagPortsOnly by any program of this user; false before the first.
    static bool getDiagPortsOnly();
    static void setDiagPortsOnly(bool diagPortsOnly);
};

} // namespace Norvik::Settings
