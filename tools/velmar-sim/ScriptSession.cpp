#include "ScriptSession.hpp"

#include "ScriptCommand.hpp"

#include <rapidjson/error/en.h>

#include <fstream>

namespace Sim {

using Script::Writer;
using Script::WriteString;

std::vector<std::string> LogLines(const Archicad& host)
{
    std::ifstream file(host.DataRoot() + "/user/velmar/archicad/log.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::string ErrorAnswer(const std::string& message)
{
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key("ok");
    writer.Bool(false);
    writer.Key("error");
    WriteString(writer, message);
    writer.EndObject();
    return buffer.GetString();
}

ScriptSession::ScriptSession(Archicad& host, std::istream& input, std::ostream& output)
    : host_(host), input_(input), output_(output)
{
}

std::string ExecuteCommand(Archicad& host, const std::string& line, ScriptState& state)
{
    rapidjson::Document command;
    command.Parse<rapidjson::kParseIterativeFlag>(line.c_str(), line.size());
    if (command.HasParseError())
        return ErrorAnswer(std::string("malformed command: ") + rapidjson::GetParseError_En(command.GetParseError()));
    if (!command.IsObject() || !command.HasMember("cmd") || !command["cmd"].IsString())
        return ErrorAnswer("a command is an object with a \"cmd\" text");

    const std::string name = command["cmd"].GetString();
    const Script::Command* entry = Script::FindCommand(name);
    if (entry == nullptr)
        return ErrorAnswer("unknown command \"" + name + "\"");
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key("ok");
    writer.Bool(true);
    Script::Context context{host, command, writer, state.quit, state.lastPick};
    try {
        entry->run(context);
    } catch (const Script::CommandError& error) {
        return ErrorAnswer(error.message);
    } catch (const Json::FormatError& error) {
        return ErrorAnswer(error.what());
    }
    writer.EndObject();
    return buffer.GetString();
}

std::string ScriptSession::Execute(const std::string& line)
{
    return ExecuteCommand(host_, line, state_);
}

bool ScriptSession::OnIdle()
{
    Flush();
    // Idle inside a command means the command opened a modal dialog: it is answered now, while the dialog runs.
    if (!inFlight_.empty() && !inFlight_.back()) {
        output_ << R"({"ok":true,"modal":true})" << '\n';
        output_.flush();
        inFlight_.back() = true;
    }
    if (state_.quit)
        return false;
    std::string line;
    while (std::getline(input_, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        inFlight_.push_back(false);
        std::string answer = Execute(line);
        const bool answered = inFlight_.back();
        inFlight_.pop_back();
        if (!answered)
            pendingAnswer_ = std::move(answer);
        if (state_.quit) {
            Flush();
            host_.Loop().Quit();
        }
        return true;
    }
    // End of input ends the run as a quit would.
    state_.quit = true;
    host_.Loop().Quit();
    return false;
}

void ScriptSession::Flush()
{
    if (pendingAnswer_.empty())
        return;
    output_ << pendingAnswer_ << '\n';
    output_.flush();
    pendingAnswer_.clear();
}

void ScriptSession::Run()
{
    host_.Loop().SetIdleHandler([this] { return OnIdle(); });
    host_.Loop().Run([this] { return state_.quit; });
    Flush();
    host_.Loop().SetIdleHandler(nullptr);
}

}  // namespace Sim
