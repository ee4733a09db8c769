// Makes named host operations fail on demand, so tests reach the failure paths an add-on must handle.
#pragma once

#include "Definitions.hpp"

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace Sim {

class FaultInjector {
public:
    static constexpr int Every = -1;

    // The next `times` calls of `operation` fail with `error` (Every: all of them until cleared).
    void Arm(const std::string& operation, GSErrCode error, int times);
    void Clear();
    // The error the current call must answer, if one is armed; counts the call.
    std::optional<GSErrCode> Take(const char* operation);
    // From now on, notes which operations are called, so a test can refuse each one a flow uses.
    void StartRecording();
    // The operations called since StartRecording, by name; recording stops.
    std::set<std::string> StopRecording();

private:
    bool recording_ = false;
    std::set<std::string, std::less<>> called_;
    struct Fault {
        GSErrCode error;
        int remaining;
    };
    std::mutex mutex_;
    std::map<std::string, Fault, std::less<>> faults_;
};

}  // namespace Sim
