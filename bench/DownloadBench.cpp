// A picked product's way to the Download window. First, reading one large system body of the platform
// into the platform records and the product model, against RapidJSON's parse of the same text alone.
// Then the whole way over loopback, from the selector page sending the product id to the relay until the
// Download window is open, against one poll round trip of the relay.
#include "Archicad.hpp"
#include "BoSystem.hpp"
#include "CatalogGenerator.hpp"
#include "DGHost.hpp"
#include "HTTPHost.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"
#include "HttpExchange.hpp"
#include "LodProvider.hpp"
#include "RapidJson.hpp"
#include "RatioReporter.hpp"
#include "StandInServices.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <numeric>
#include <unistd.h>

namespace {

using namespace Velmar;
using Clock = std::chrono::steady_clock;
using Method = HTTP::MessageHeader::Method;
namespace rj = Json::rj;

// ---- Reading a large system ----------------------------------------------------------------------------

constexpr std::size_t MergedSystems = 420;  // about 4 MB of system text
constexpr std::uint32_t Seed = 28;

std::string ProductId;
std::string Body;  // the platform's data answer: {"<product id>": <system>}

void Rename(rj::Value& object, const std::string& suffix, rj::Document::AllocatorType& allocator)
{
    if (!object.IsObject() || !object.HasMember("ID") || !object["ID"].IsString())
        return;
    const std::string id = std::string(object["ID"].GetString()) + suffix;
    object["ID"].SetString(id.c_str(), static_cast<rj::SizeType>(id.size()), allocator);
}

// Moves every attribute of `from` into `into` under a key and an "ID" of its own, so none shadows another.
void AddAttributes(rj::Value& into, const rj::Value& from, const std::string& suffix,
                   rj::Document::AllocatorType& allocator)
{
    for (auto& member : from.GetObject()) {
        rj::Value attribute(member.value, allocator);  // a copy: `from` goes with its own document
        Rename(attribute, suffix, allocator);
        const std::string key = std::string(member.name.GetString()) + suffix;
        into.AddMember(rj::Value(key.c_str(), allocator), attribute, allocator);
    }
}

// One system as large as a platform's richest: the first generated system, with the property sets, the
// build-up attributes (as a property set) and the linked products of all the others added to it.
std::string LargeSystemBody(std::string& productId)
{
    const auto systems =
        CatalogGenerator::Generate(Services::StandInServices::Options::Defaults().catalogDir, MergedSystems, Seed);
    rj::Document merged;
    if (!Json::ParseDocument(systems.front().text.data(), systems.front().text.size(), merged))
        throw std::runtime_error("the generated system is no JSON");
    auto& allocator = merged.GetAllocator();
    rj::Value& sets = merged["Attributes"]["propertyset"];
    rj::Value& linked = merged["LinkedProducts"];
    for (std::size_t n = 1; n < systems.size(); ++n) {
        rj::Document other;
        if (!Json::ParseDocument(systems[n].text.data(), systems[n].text.size(), other))
            throw std::runtime_error("a generated system is no JSON");
        const std::string suffix = "_" + std::to_string(n);
        rj::Value composition(rj::kObjectType);
        AddAttributes(composition, other["Attributes"]["composition"], suffix, allocator);
        sets.AddMember(rj::Value(("Samenstelling" + suffix).c_str(), allocator), composition, allocator);
        for (auto& set : other["Attributes"]["propertyset"].GetObject()) {
            rj::Value attributes(rj::kObjectType);
            AddAttributes(attributes, set.value, suffix, allocator);
            const std::string name = std::string(set.name.GetString()) + suffix;
            sets.AddMember(rj::Value(name.c_str(), allocator), attributes, allocator);
        }
        for (auto& product : other["LinkedProducts"].GetObject()) {
            rj::Value copy(product.value, allocator);
            Rename(copy, suffix, allocator);
            const std::string key = std::string(product.name.GetString()) + suffix;
            linked.AddMember(rj::Value(key.c_str(), allocator), copy, allocator);
        }
    }
    productId = systems.front().id;
    rj::StringBuffer buffer;
    rj::Writer<rj::StringBuffer> writer(buffer);
    merged.Accept(writer);
    return "{\"" + productId + "\":" + std::string(buffer.GetString(), buffer.GetSize()) + "}";
}

// The levels a shipped configuration gives, so every attribute's LOD is found as in the add-on.
void AddLodLevels()
{
    const auto lods = Lod::LodProvider::instance();
    for (Int32 value = 100; value <= 500; value += 100)
        lods->AddLevel(Bo::LOD(std::to_string(value).c_str(), value >= 300, value == 500, value));
}

// The platform client's reading of a data answer: parse, the product's member read, the raw text kept.
std::unique_ptr<Corvana::CVSystem> ReadSystem(benchmark::State& state)
{
    auto system = std::make_unique<Corvana::CVSystem>();
    rj::Document document;
    if (!Json::ParseDocument(Body.data(), Body.size(), document) || !document.IsObject()) {
        state.SkipWithError("the body does not parse");
        return system;
    }
    const auto member = document.FindMember(rj::Value(ProductId.c_str(), static_cast<rj::SizeType>(ProductId.size())));
    if (member == document.MemberEnd()) {
        state.SkipWithError("the body has no member for the product");
        return system;
    }
    system->ReadFrom(member->value);
    system->rawText = Body;
    return system;
}

void ParseAlone(benchmark::State& state)
{
    for (auto _ : state) {
        rj::Document document;
        if (!Json::ParseDocument(Body.data(), Body.size(), document))
            state.SkipWithError("the body does not parse");
        benchmark::DoNotOptimize(document.MemberCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Body.size()));
}

void ReadCVSystem(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadSystem(state));
}

void ReadCVSystemAndBoSystem(benchmark::State& state)
{
    for (auto _ : state) {
        const auto system = ReadSystem(state);
        const Bo::System product(*system, 1);
        benchmark::DoNotOptimize(product.properties.GetSize());
    }
}

// The parts of the read apart, to see where its time goes: the records from a parsed document, the raw
// text kept, and the product model from read records.
void RecordsFromParsed(benchmark::State& state)
{
    rj::Document document;
    Json::ParseDocument(Body.data(), Body.size(), document);
    const rj::Value& member = document[ProductId.c_str()];
    for (auto _ : state) {
        Corvana::CVSystem system;
        system.ReadFrom(member);
        benchmark::DoNotOptimize(system.allAttributes.GetSize());
    }
}

void RawTextKept(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(std::string(Body));
}

void BoSystemFromRecords(benchmark::State& state)
{
    const auto system = ReadSystem(state);
    for (auto _ : state) {
        const Bo::System product(*system, 1);
        benchmark::DoNotOptimize(product.properties.GetSize());
    }
}

BENCHMARK(ParseAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadCVSystem)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadCVSystemAndBoSystem)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordsFromParsed)->Unit(benchmark::kMillisecond);
BENCHMARK(RawTextKept)->Unit(benchmark::kMillisecond);
BENCHMARK(BoSystemFromRecords)->Unit(benchmark::kMillisecond);

// ---- Pick to Download window ---------------------------------------------------------------------------

constexpr Int16 SearchMenu = 32500;
constexpr Int32 DownloadWindow = 4;
constexpr const char* PickedProduct = "VELMAR-MS100-2x12.5";
const std::string RelayAddress = "https://relay.velmar.example/Relay";
constexpr int PickIterations = 12;                         // a warm-up run, when asked for, makes as many again
constexpr auto PollStep = std::chrono::milliseconds(500);  // the poller's wait after an empty poll

Sim::Archicad* host = nullptr;
std::string selectorChannel;  // the BimId of the selector page the add-on opened
std::string benchChannel;     // a channel of this program's own, so its polls take nothing from the add-on
std::vector<double> pickSeconds;

Services::HttpAnswer Send(const std::string& channel, const std::string& product)
{
    return Services::Exchange(Method::Post, IO::URI::URI(HostText::Uni(RelayAddress + "/" + channel + "/send")),
                              product);
}

// What the poller does every step when nothing waits: one GET of the channel, answered "{}".
void RelayPollRoundTrip(benchmark::State& state)
{
    const IO::URI::URI poll(HostText::Uni(RelayAddress + "/" + benchChannel + "/VelData"));
    for (auto _ : state) {
        const auto answer = Services::Exchange(Method::Get, poll);
        if (!answer.IsOk() || answer.body != "{}")
            state.SkipWithError("the relay did not answer the poll");
    }
}

// Runs the host until the Download window shows, then closes it as its user would; answers when it showed.
// The window is modal: it shows inside the nested loop of the task that opened it, where only the idle
// handler sees it.
std::optional<Clock::time_point> RunUntilDownloadWindowShows(Sim::Archicad& archicad)
{
    std::optional<Clock::time_point> shown;
    archicad.Loop().SetIdleHandler([&shown] {
        if (shown || !DG::FindWindow(DownloadWindow))
            return false;
        shown = Clock::now();
        DG::CloseWindowAsUser(DownloadWindow);
        return true;
    });
    archicad.Loop().RunFor(std::chrono::seconds(10), [&shown] { return shown.has_value(); });
    archicad.Loop().SetIdleHandler(nullptr);
    archicad.Loop().RunUntilIdle();
    if (DG::FindWindow(DownloadWindow))
        return std::nullopt;
    return shown;
}

// The selector page sends the product, and the user waits for the Download window. Where in the poller's
// wait the pick lands decides most of the time, so each pick first waits a different part of the step (not
// counted), spreading the picks evenly over it.
void PickToDownloadWindow(benchmark::State& state)
{
    int iteration = 0;
    pickSeconds.clear();  // only the figures of the last run, which is the one reported
    for (auto _ : state) {
        const auto offset = PollStep * (2 * iteration++ + 1) / (2 * PickIterations);
        host->Loop().RunFor(offset, [] { return false; });
        const auto start = Clock::now();
        if (!Send(selectorChannel, PickedProduct).IsOk()) {
            state.SkipWithError("the relay refused the pick");
            break;
        }
        const auto shown = RunUntilDownloadWindowShows(*host);
        if (!shown) {
            state.SkipWithError("no Download window opened and closed within 10 s");
            break;
        }
        const double seconds = std::chrono::duration<double>(*shown - start).count();
        pickSeconds.push_back(seconds);
        state.SetIterationTime(seconds);
    }
}

// One unit for both, as the ratio is taken of the figures as reported.
BENCHMARK(RelayPollRoundTrip)->Unit(benchmark::kMillisecond);
BENCHMARK(PickToDownloadWindow)->Iterations(PickIterations)->UseManualTime()->Unit(benchmark::kMillisecond);

std::optional<std::string> QueryValue(const std::string& address, const std::string& name)
{
    const auto at = address.find(name + "=");
    if (at == std::string::npos || (at > 0 && address[at - 1] != '?' && address[at - 1] != '&'))
        return std::nullopt;
    const auto start = at + name.size() + 1;
    return address.substr(start, address.find_first_of("&#", start) - start);
}

// The host with the add-on and the stand-in services, the Search menu chosen and the add-on's relay
// channel registered; the answer says what went wrong, empty when all is ready.
std::string StartHost(Sim::Archicad& archicad, Services::StandInServices& standIns)
{
    Services::StandInServices::Routes routes;
    std::string error;
    if (!standIns.Start(routes, error))
        return error;
    for (const auto& [routedHost, base] : routes) {
        if (HTTP::SetRoute(routedHost, base) != NoError)
            return "no route to " + base;
    }
    archicad.InstallSharedData(VELMAR_SHARE_DIR);
    if (!archicad.LoadAddOn(VELMAR_MODULE_PATH))
        return "the add-on did not load: " + archicad.GetAddOn().error;
    archicad.NewProject();
    archicad.Loop().RunUntilIdle();
    if (archicad.ChooseMenuItem(SearchMenu, 1) != NoError || archicad.ShellRequests().empty())
        return "the Search menu opened no selector page";
    archicad.Loop().RunUntilIdle();
    const auto channel = QueryValue(archicad.ShellRequests().back().address, "BimId");
    if (!channel || channel->empty())
        return "the selector page has no BimId";
    selectorChannel = *channel;

    // The baseline polls a channel of its own, registered as the poller registers the add-on's.
    benchChannel = HostText::Utf8(HostGuid::New().ToUniString());
    const auto registered =
        Services::Exchange(Method::Post, IO::URI::URI(HostText::Uni(RelayAddress + "/" + benchChannel + "/VelData")));
    if (!registered.IsOk())
        return "the relay did not register a channel";
    // The poller registers its channel after its first wait; until then the relay refuses sends to it.
    const auto first = Clock::now();
    Services::HttpAnswer sent;
    while ((sent = Send(selectorChannel, PickedProduct)).status == 404 &&
           Clock::now() - first < std::chrono::seconds(5))
        archicad.Loop().RunFor(std::chrono::milliseconds(50), [] { return false; });
    if (!sent.IsOk())
        return "the add-on's relay channel was not registered within 5 s";
    // That first pick warms the whole way up; its window is closed like the measured ones.
    if (!RunUntilDownloadWindowShows(archicad))
        return "the first pick opened and closed no Download window";
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const auto scratch = std::filesystem::temp_directory_path() / ("velmar-bench-download-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);

    Body = LargeSystemBody(ProductId);
    AddLodLevels();
    Bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter,
                                      "ParseAlone|ReadCVSystem|RecordsFromParsed|RawTextKept|BoSystemFromRecords");

    bool started = false;
    {
        Sim::Archicad archicad((scratch / "data").string());
        // After the host: it initialises the HTTP library, which the routes belong to.
        Services::StandInServices standIns(Services::StandInServices::Options::Defaults());
        const std::string error = StartHost(archicad, standIns);
        started = error.empty();
        if (!started) {
            std::cerr << "bench_download: " << error << "\n";
        } else {
            host = &archicad;
            benchmark::RunSpecifiedBenchmarks(&reporter, "RelayPollRoundTrip|PickToDownloadWindow");
            host = nullptr;
        }
        archicad.UnloadAddOn();
    }
    benchmark::Shutdown();
    // The add-on stays in memory and its poller with it; the poller writes no files, so the folder can go.
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);

    std::printf("system body: %.1f MB, product %s\n", static_cast<double>(Body.size()) / 1e6, ProductId.c_str());
    bool complete = reporter.PrintRatios(
        {{"ReadCVSystem", "ParseAlone", "CVSystem (parse+read) / parse alone (goal <= 2x)"},
         {"ReadCVSystemAndBoSystem", "ParseAlone", "CVSystem + Bo::System / parse alone (goal <= 2x)"},
         {"RecordsFromParsed", "ParseAlone", "  of which: records from the parsed document / parse alone"},
         {"RawTextKept", "ParseAlone", "  of which: raw text kept / parse alone"},
         {"BoSystemFromRecords", "ParseAlone", "  of which: Bo::System from the records / parse alone"},
         {"PickToDownloadWindow", "RelayPollRoundTrip",
          "pick to Download window / one relay poll round trip (dominated by the 500 ms poll step)"}});
    if (!pickSeconds.empty()) {
        const auto [fastest, slowest] = std::minmax_element(pickSeconds.begin(), pickSeconds.end());
        const double mean = std::accumulate(pickSeconds.begin(), pickSeconds.end(), 0.0) / pickSeconds.size();
        std::printf("pick to Download window over %zu picks spread over the poll step: mean %.0f ms, "
                    "fastest %.0f ms, slowest %.0f ms\n",
                    pickSeconds.size(), mean * 1e3, *fastest * 1e3, *slowest * 1e3);
    }
    return started && complete ? 0 : 1;
}
