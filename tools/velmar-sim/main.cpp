// velmar-sim: the headless Archicad. Starts the host with the add-on, then runs a JSON-lines script.
#include "Archicad.hpp"
#include "HTTPHost.hpp"
#include "HostText.hpp"
#include "ScriptSession.hpp"
#include "StandInServices.hpp"

#include <fstream>
#include <iostream>

namespace {

struct Options {
    std::string data;
    std::string project;
    std::string addOn;
    std::string script;
    bool describe = false;
    Velmar::Services::StandInServices::Routes routes;
};

void Usage()
{
    std::cerr
        << "usage: velmar-sim --data DIR [--project FILE] [--addon PATH] [--route HOST=http://127.0.0.1:PORT]...\n"
           "                  [--describe] [SCRIPT]\n"
           "  production hosts without a route go to stand-ins this program starts\n";
}

// The folder of this program; the module and the installation's data sit beside it as in an installation.
bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&](std::string* value) {
            if (i + 1 >= argc)
                return false;
            *value = argv[++i];
            return true;
        };
        if (arg == "--data") {
            if (!next(&options->data))
                return false;
        } else if (arg == "--project") {
            if (!next(&options->project))
                return false;
        } else if (arg == "--addon") {
            if (!next(&options->addOn))
                return false;
        } else if (arg == "--route") {
            std::string route;
            if (!next(&route))
                return false;
            const auto equals = route.find('=');
            if (equals == std::string::npos || equals == 0)
                return false;
            options->routes[route.substr(0, equals)] = route.substr(equals + 1);
        } else if (arg == "--describe") {
            options->describe = true;
        } else if (!arg.empty() && arg[0] != '-' && options->script.empty()) {
            options->script = arg;
        } else {
            return false;
        }
    }
    if (options->addOn.empty())
        options->addOn = Sim::ProgramFolder(argv[0]) + "/../lib/libVelmar.so";
    return !options->data.empty();
}

// The menu bar and the add-on's start-up trace, as a person would read them.
void Describe(Sim::Archicad& host)
{
    const Sim::AddOnState& addOn = host.GetAddOn();
    std::cout << "Archicad " << Sim::Archicad::MainVersion << " with " << HostText::Utf8(addOn.name) << " "
              << HostText::Utf8(addOn.description) << "\n\n";
    for (const auto& menu : host.Menus()) {
        std::cout << HostText::Utf8(menu.title) << " > ";
        if (!menu.submenu.IsEmpty())
            std::cout << HostText::Utf8(menu.submenu) << " > ";
        for (std::size_t i = 0; i < menu.items.size(); ++i) {
            const GSFlags flags = menu.items[i].flags;
            std::cout << (i > 0 ? " | " : "") << HostText::Utf8(menu.items[i].text)
                      << (flags & API_MenuItemChecked ? " [checked]" : "")
                      << (flags & API_MenuItemDisabled ? " [disabled]" : "");
        }
        std::cout << "\n";
    }
    std::cout << "\nlog.txt:\n";
    for (const auto& line : Sim::LogLines(host))
        std::cout << "  " << line << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        Usage();
        return 2;
    }
    Sim::Archicad host(options.data);
    // After the host: it initialises the HTTP library, which the routes belong to.
    Velmar::Services::StandInServices standIns(Velmar::Services::StandInServices::Options::Defaults());
    if (!options.describe) {
        std::string error;
        if (!standIns.Start(options.routes, error)) {
            std::cerr << "velmar-sim: " << error << "\n";
            return 1;
        }
    }
    for (const auto& [routedHost, base] : options.routes) {
        if (HTTP::SetRoute(routedHost, base) != NoError) {
            std::cerr << "velmar-sim: --route " << routedHost << "=" << base
                      << ": the base must be http(s) on loopback\n";
            return 2;
        }
    }
    std::string projectError;
    if (const auto failure =
            host.Start(Sim::ProgramFolder(argv[0]) + "/../share", options.addOn, options.project, &projectError)) {
        std::cerr << "velmar-sim: " << *failure << "\n";
        return 1;
    }
    if (!projectError.empty())
        std::cerr << "velmar-sim: " << projectError << "; starting with a new project\n";

    std::ifstream scriptFile;
    if (!options.script.empty()) {
        scriptFile.open(options.script);
        if (!scriptFile) {
            std::cerr << "velmar-sim: cannot read " << options.script << "\n";
            return 1;
        }
    }
    std::istream& input = options.script.empty() ? std::cin : scriptFile;
    Sim::ScriptSession session(host, input, std::cout);
    if (options.describe)
        Describe(host);
    else
        session.Run();
    host.UnloadAddOn();
    return 0;
}
