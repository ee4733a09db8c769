// The workbench's own HTTP server: the page that shows the simulated Archicad, the bridge script for the
// add-on's browser windows, and the JSON API both use to reach the host.
#pragma once

#include "ProjectFiles.hpp"
#include "Workbench.hpp"

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace Sim::Workbench {

// What the body of POST /api/script becomes: the command for the host, or why the request is refused
// (status 400: the body is no JSON object or nests too deep; 200: the folders refuse the command).
struct ScriptRequest {
    std::string command;
    int status = 200;
    std::string refusal;  // empty when the command runs
};
ScriptRequest ScriptRequestOf(const std::string& body, const std::vector<ProjectFolder>& folders);

class WorkbenchServer {
public:
    // `uiRoot` holds the page's files.
    explicit WorkbenchServer(std::string uiRoot);
    ~WorkbenchServer();
    WorkbenchServer(const WorkbenchServer&) = delete;
    WorkbenchServer& operator=(const WorkbenchServer&) = delete;

    // Takes 127.0.0.1:`port` (0: a free port); answers the port, or nothing when it cannot be had.
    std::optional<int> Bind(int port);
    // Serves the workbench on threads of its own. `pageOrigin` is the origin of the add-on's pages (the web
    // application stand-in, whose pages load the bridge script from here), whose bridge calls it answers.
    void Listen(Workbench& workbench, const std::string& pageOrigin);
    // Before Listen.
    void SetProjectFolders(std::vector<ProjectFolder> folders) { projectFolders_ = std::move(folders); }
    void Stop();

private:
    void AddRoutes();

    Workbench* workbench_ = nullptr;
    std::string uiRoot_;
    std::string pageOrigin_;
    std::vector<ProjectFolder> projectFolders_;
    int port_ = 0;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
};

}  // namespace Sim::Workbench
