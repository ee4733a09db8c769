// The one table of velmar-sim's commands: the rows each area file keeps beside its handlers.
#include "ScriptCommand.hpp"

#include <stdexcept>
#include <unordered_map>

namespace Sim::Script {

// Each area file defines one of these. A new area is its file (listed in CMakeLists.txt), its line here and
// its entry in Areas; a new command is a handler and a row in its area's file.
CommandArea MenuAndWindowCommands();
CommandArea ProjectCommands();
CommandArea AttributeCommands();
CommandArea PropertyCommands();
CommandArea FileCommands();
CommandArea SessionCommands();

namespace {

std::unordered_map<std::string, const Command*> BuildTable()
{
    const CommandArea Areas[] = {
        MenuAndWindowCommands(), ProjectCommands(), AttributeCommands(),
        PropertyCommands(),      FileCommands(),    SessionCommands(),
    };
    std::unordered_map<std::string, const Command*> table;
    for (const CommandArea& area : Areas) {
        for (std::size_t i = 0; i < area.size; ++i) {
            // Two areas claiming one name would leave one of them unreachable.
            if (!table.emplace(area.rows[i].name, &area.rows[i]).second)
                throw std::logic_error(std::string("two velmar-sim commands are named ") + area.rows[i].name);
        }
    }
    return table;
}

}  // namespace

const Command* FindCommand(const std::string& name)
{
    static const auto table = BuildTable();
    const auto found = table.find(name);
    return found != table.end() ? found->second : nullptr;
}

}  // namespace Sim::Script
