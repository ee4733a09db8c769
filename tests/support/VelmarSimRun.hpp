// Runs the velmar-sim program on a data folder with a script, as scenario tests drive it.
#pragma once

#include "TempFolder.hpp"

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace Velmar::Testing {

struct SimRun {
    std::vector<std::string> answers;
    int exitCode = -1;
    std::string errors;  // standard error
};

// `options` go on the command line as they are (such as "--route HOST=BASE").
inline SimRun RunVelmarSim(const std::string& dataFolder, const std::string& scriptFile,
                           const std::vector<std::string>& lines, const std::vector<std::string>& options = {})
{
    std::string script;
    for (const auto& line : lines)
        script += line + "\n";
    WriteFile(scriptFile, script);
    std::string command = std::string(VELMAR_SIM_PATH) + " --data " + dataFolder;
    for (const auto& option : options)
        command += " " + option;
    command += " " + scriptFile + " 2>" + scriptFile + ".errors";
    SimRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[1 << 16];
    std::string output;
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errors = ReadFile(scriptFile + ".errors");
    for (std::size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
        run.answers.push_back(output.substr(start, end - start));
    return run;
}

// The run on `root`'s data folder, with the script there.
inline SimRun RunVelmarSim(const TempFolder& root, const std::vector<std::string>& lines,
                           const std::vector<std::string>& options = {})
{
    return RunVelmarSim(root / "data", root / "script.jsonl", lines, options);
}

// A script line and the answer it must get; with none, the test reads the answer itself.
struct Step {
    std::string command;
    std::string answer = {};
};

// Runs the steps on `root`'s data folder and checks every answer a step gives.
inline SimRun RunSteps(const TempFolder& root, const std::vector<Step>& steps,
                       const std::vector<std::string>& options = {})
{
    std::vector<std::string> lines;
    for (const Step& step : steps)
        lines.push_back(step.command);
    SimRun run = RunVelmarSim(root, lines, options);
    EXPECT_EQ(run.answers.size(), steps.size()) << run.errors;
    for (std::size_t i = 0; i < steps.size() && i < run.answers.size(); ++i) {
        if (!steps[i].answer.empty()) {
            EXPECT_EQ(run.answers[i], steps[i].answer) << i << ": " << steps[i].command;
        }
    }
    run.answers.resize(steps.size());
    return run;
}

inline rapidjson::Document ParseAnswer(const std::string& answer)
{
    rapidjson::Document document;
    document.Parse(answer.c_str());
    return document;
}

}  // namespace Velmar::Testing
