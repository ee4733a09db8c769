// velmar-workbench: the simulated Archicad with the add-on, shown in a web page. Serves that page and the
// brand's web application stand-in on loopback ports until it is stopped (Ctrl-C).
#include "Archicad.hpp"
#include "DGHost.hpp"
#include "HTTPHost.hpp"
#include "StandInServices.hpp"
#include "Workbench.hpp"
#include "WorkbenchServer.hpp"

#include <csignal>
#include <iostream>
#include <pthread.h>
#include <thread>

namespace {

constexpr int DefaultPort = 8180;

struct Options {
    std::string data;
    std::string project;
    std::string addOn;
    std::string ui = VELMAR_WORKBENCH_UI_DIR;
    std::string samples;
    std::string webApp = Velmar::Services::StandInServices::Options::Defaults().webAppDir;
    std::string catalog = Velmar::Services::StandInServices::Options::Defaults().catalogDir;
    int port = DefaultPort;
    int webAppPort = 0;
    Sim::Workbench::RouteTable routes;
};

void Usage()
{
    std::cerr
        << "usage: velmar-workbench --data DIR [--project FILE] [--addon PATH] [--port N] [--webapp-port N]\n"
           "                        [--samples DIR]\n"
           "                        [--route HOST=http://127.0.0.1:PORT]... [--ui DIR] [--webapp DIR] [--catalog DIR]\n"
           "  production hosts without a --route go to stand-ins this program starts\n";
}

// The folder of this program; the module and the installation's data sit beside it as in an installation.
bool ParsePort(const std::string& text, int* port)
{
    try {
        std::size_t used = 0;
        *port = std::stoi(text, &used);
        return used == text.size() && *port >= 0 && *port <= 65535;
    } catch (const std::exception&) {
        return false;
    }
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const std::string value = argv[i + 1];
        bool valid = true;
        if (arg == "--data")
            options->data = value;
        else if (arg == "--project")
            options->project = value;
        else if (arg == "--addon")
            options->addOn = value;
        else if (arg == "--ui")
            options->ui = value;
        else if (arg == "--samples")
            options->samples = value;
        else if (arg == "--webapp")
            options->webApp = value;
        else if (arg == "--catalog")
            options->catalog = value;
        else if (arg == "--port")
            valid = ParsePort(value, &options->port);
        else if (arg == "--webapp-port")
            valid = ParsePort(value, &options->webAppPort);
        else if (arg == "--route")
            valid = options->routes.AddFromOption(value);
        else
            valid = false;
        if (!valid)
            return false;
    }
    if (argc % 2 == 0)
        return false;
    if (options->addOn.empty())
        options->addOn = Sim::ProgramFolder(argv[0]) + "/../lib/libVelmar.so";
    if (options->samples.empty())
        options->samples = Sim::ProgramFolder(argv[0]) + "/../samples";
    return !options->data.empty();
}

std::string Loopback(int port)
{
    return "http://127.0.0.1:" + std::to_string(port);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        Usage();
        return 2;
    }
    // Every thread started from here on leaves SIGINT and SIGTERM to the one that waits for them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    if (const int error = pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr); error != 0) {
        std::cerr << "velmar-workbench: cannot take over SIGINT and SIGTERM (" << error << ")\n";
        return 1;
    }

    Sim::Archicad host(options.data);
    std::string projectError;
    if (const auto failure =
            host.Start(Sim::ProgramFolder(argv[0]) + "/../share", options.addOn, options.project, &projectError)) {
        std::cerr << "velmar-workbench: " << *failure << "\n";
        return 1;
    }
    if (!projectError.empty())
        std::cerr << "velmar-workbench: " << projectError << "; starting with a new project\n";

    // The workbench's port comes first: the pages load the bridge script from it.
    Sim::Workbench::WorkbenchServer server(options.ui);
    const auto port = server.Bind(options.port);
    if (!port) {
        std::cerr << "velmar-workbench: port " << options.port << " is taken; choose another with --port\n";
        return 1;
    }
    Velmar::Services::StandInServices::Options standInOptions;
    standInOptions.webAppDir = options.webApp;
    standInOptions.catalogDir = options.catalog;
    standInOptions.headHtml = "<script src=\"" + Loopback(*port) + "/bridge.js\"></script>";
    standInOptions.webAppPort = options.webAppPort;
    Velmar::Services::StandInServices standIns(standInOptions);
    Velmar::Services::StandInServices::Routes routes = options.routes.Bases();
    if (std::string error; !standIns.Start(routes, error)) {
        std::cerr << "velmar-workbench: " << error << "\n";
        return 1;
    }
    // The add-on's own requests take the same routes as the browser.
    for (const auto& [routed, base] : routes) {
        options.routes.Add(routed, base);
        if (HTTP::SetRoute(routed, base) != NoError) {
            std::cerr << "velmar-workbench: cannot route " << routed << " to " << base << " (loopback only)\n";
            return 1;
        }
    }
    const std::string webApplication = routes[Velmar::Services::StandInServices::WebApplicationHost];
    Sim::Workbench::Workbench workbench(host, options.routes);
    server.SetProjectFolders(
        {{"Sample projects", options.samples, false}, {"My projects", options.data + "/projects", true}});
    server.Listen(workbench, webApplication);

    std::thread stopper([&workbench, &stopSignals] {
        int signal = 0;
        if (const int error = sigwait(&stopSignals, &signal); error != 0)
            std::cerr << "velmar-workbench: waiting for a stop signal failed (" << error << "); stopping\n";
        workbench.Quit();
    });
    std::cout << "velmar-workbench: " << Loopback(*port) << "/ (web application at " << webApplication
              << "/); Ctrl-C stops it" << std::endl;

    workbench.Run();
    server.Stop();
    standIns.Stop();
    stopper.join();
    host.UnloadAddOn();
    return 0;
}
