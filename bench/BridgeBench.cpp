// "config_getDatabaseConfiguration" as the settings page calls it: through the host's page driver (the
// window's registered function, found by the host's window registry) against the service called
// directly, and over the workbench's HTTP bridge as a page in a real browser calls it.
#include "ACAPinc.hpp"
#include "Archicad.hpp"
#include "DGHost.hpp"
#include "RatioReporter.hpp"
#include "SettingsText.hpp"
#include "Startup.hpp"
#include "Workbench.hpp"
#include "WorkbenchServer.hpp"

#include <httplib.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <thread>
#include <unistd.h>

extern "C" const RS::ModuleData GSResourceModuleData;

namespace {

constexpr Int16 SettingsMenu = 32503;
constexpr Int32 ConfigWindow = 2;
const GS::UniString FunctionName("config_getDatabaseConfiguration");

int workbenchPort = 0;

// What the bridge function does once found: the service's settings written as the page receives them.
void DirectServiceCall(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(SettingsText());
    }
}

// The same call as velmar-sim's "call" makes it: the open window looked up, its function found and invoked.
void PageDriverCall(benchmark::State& state)
{
    for (auto _ : state) {
        const auto result = DG::CallBrowserFunction(ConfigWindow, FunctionName, nullptr);
        if (result.status != DG::FunctionCallResult::Answered)
            state.SkipWithError("the Config window did not answer");
        benchmark::DoNotOptimize(result.answer);
    }
}

// A page's call over HTTP: to the workbench's server thread, posted to the main thread, answered back.
void HttpBridgeCall(benchmark::State& state)
{
    httplib::Client client("127.0.0.1", workbenchPort);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    const std::string body = R"({"window":2,"fn":"config_getDatabaseConfiguration"})";
    for (auto _ : state) {
        const auto response = client.Post("/api/call", body, "text/plain");
        if (!response || response->status != 200 || response->body.rfind(R"({"ok":true,"answer":"[)", 0) != 0)
            state.SkipWithError("the bridge call failed");
    }
}

BENCHMARK(DirectServiceCall)->Unit(benchmark::kMicrosecond);
BENCHMARK(PageDriverCall)->Unit(benchmark::kMicrosecond);
BENCHMARK(HttpBridgeCall)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const auto scratch = std::filesystem::temp_directory_path() / ("velmar-bench-bridge-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);

    // The module's code linked in, so the benchmark reaches the same service the page does.
    Sim::Archicad host((scratch / "data").string());
    host.InstallSharedData(VELMAR_SHARE_DIR);
    host.OpenResources(&GSResourceModuleData);
    Velmar::Host::SetHostFunctions(&Sim::HostFunctions());
    if (Velmar::AddOn::RegisterInterface() != NoError || Velmar::AddOn::Initialize() != NoError) {
        std::cerr << "bench_bridge: the add-on did not start\n";
        return 1;
    }
    host.NewProject();
    host.Loop().RunUntilIdle();

    Sim::Workbench::Workbench workbench(host, {});
    Sim::Workbench::WorkbenchServer server("");
    const auto port = server.Bind(0);
    if (!port) {
        std::cerr << "bench_bridge: no free port\n";
        return 1;
    }
    workbenchPort = *port;
    server.Listen(workbench, "http://127.0.0.1");

    Velmar::Bench::RatioReporter reporter;
    bool opened = false;
    // The main thread runs the host; this one acts as the user and the page.
    std::thread user([&] {
        opened = workbench.Choose(SettingsMenu, 1) == R"({"ok":true,"modal":true})";
        if (opened) {
            // The registry belongs to the main thread, so these two run there, inside the dialog's loop.
            workbench.RunUserAction([&] {
                benchmark::RunSpecifiedBenchmarks(&reporter, "DirectServiceCall|PageDriverCall");
                return std::string(R"({"ok":true})");
            });
            benchmark::RunSpecifiedBenchmarks(&reporter, "HttpBridgeCall");
            workbench.CloseWindow(ConfigWindow);
        }
        workbench.Quit();
    });
    workbench.Run();
    user.join();
    server.Stop();
    benchmark::Shutdown();
    Velmar::Host::SetHostFunctions(nullptr);
    std::filesystem::remove_all(scratch);
    if (!opened) {
        std::cerr << "bench_bridge: the Settings menu opened no dialog\n";
        return 1;
    }
    const bool complete = reporter.PrintRatios(
        {{"PageDriverCall", "DirectServiceCall", "page driver call vs the service called directly"},
         {"HttpBridgeCall", "PageDriverCall", "workbench HTTP bridge call vs page driver call"}});
    if (const auto microseconds = reporter.Time("HttpBridgeCall"))
        std::printf("workbench HTTP bridge round trip: %.0f us\n", *microseconds);
    return complete ? 0 : 1;
}
