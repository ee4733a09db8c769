// The workbench's own HTTP server: the page that shows the simulated Archicad, the bridge script for the
// add-on's browser windows, and the JSON API both use to reach the host.
#pragma once

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

// A folder of project files File > Open lists; File > Save As writes into the one that is the user's.
struct ProjectFolder {
    std::string title;
    std::string path;
    bool users = false;
};

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
