// Runs velmar-sim's JSON-lines protocol against a running Archicad: one command in, one answer out.
#pragma once

#include "Archicad.hpp"

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace Sim {

// The protocol's answer for a command that failed: {"ok":false,"error":"..."}.
std::string ErrorAnswer(const std::string& message);

// The add-on's log file, split at CR LF.
std::vector<std::string> LogLines(const Archicad& host);

// What a run of commands keeps between them: whether one asked to quit, the relay's key of the last pick.
struct ScriptState {
    bool quit = false;
    std::string lastPick;
};

// Answers one command line of the protocol.
std::string ExecuteCommand(Archicad& host, const std::string& line, ScriptState& state);

class ScriptSession {
public:
    ScriptSession(Archicad& host, std::istream& input, std::ostream& output);

    // Takes commands whenever the event loop is idle, at whatever nesting level, until quit or end of input.
    void Run();
    // Answers one command line (exposed for the protocol's tests).
    std::string Execute(const std::string& line);

private:
    bool OnIdle();
    void Flush();

    Archicad& host_;
    std::istream& input_;
    std::ostream& output_;
    std::string pendingAnswer_;
    std::vector<bool> inFlight_;  // commands still running, and whether each was answered early
    ScriptState state_;
};

}  // namespace Sim
