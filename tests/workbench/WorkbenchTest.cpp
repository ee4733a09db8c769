// The workbench between HTTP threads and the host's main thread, with the loaded add-on: answers come
// while modal dialogs run, pages reach their window, and quitting leaves nobody waiting.
#include "Workbench.hpp"
#include "SimHost.hpp"
#include "WebAppServer.hpp"
#include "WorkbenchServer.hpp"

#include <gtest/gtest.h>
#include <httplib.h>
#include <rapidjson/document.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

using Sim::Workbench::RouteTable;
using Sim::Workbench::Workbench;
using Velmar::Testing::ReadFile;
using Velmar::Testing::SimHost;
using Velmar::Testing::TempFolder;
using Velmar::Testing::WriteFile;

constexpr int SettingsMenu = 32503;
constexpr int NeutralMenu = 32505;
constexpr int ConfigWindow = 2;
constexpr auto NoWait = std::chrono::milliseconds(0);

SimHost LoadedHost()
{
    return SimHost([](Sim::Archicad& host) { host.InstallSharedData(VELMAR_SHARE_DIR); });
}

RouteTable WebApplicationRoute()
{
    RouteTable routes;
    routes.Add("app.velmar.example", "http://127.0.0.1:1");
    return routes;
}

// Runs the host's loop on this thread while `user` acts from another, as the HTTP threads do; the loop
// ends when the user is done.
void Drive(Workbench& workbench, const std::function<void()>& user)
{
    std::thread thread([&] {
        user();
        workbench.Quit();
    });
    workbench.Run();
    thread.join();
}

// A page's call is answered when its function returns, before the state shows what it did; a user's
// action is answered only once the loop has gone idle, so this one waits for the state to catch up.
void Settle(Workbench& workbench)
{
    workbench.RunUserAction([] { return std::string(R"({"ok":true})"); });
}

rapidjson::Document State(Workbench& workbench)
{
    rapidjson::Document document;
    document.Parse(workbench.State(0, NoWait).c_str());
    return document;
}

// The plan view asks for what changed since it last looked: at a cost of the change, not of the project.
TEST(Workbench, SendsThePlanViewOnlyTheElementsChangedSinceItLooked)
{
    SimHost host;
    Workbench workbench(host.Host(), WebApplicationRoute());
    struct Seen {
        std::uint64_t identity = 0;
        std::uint64_t revision = 0;
        bool whole = false;
        std::vector<std::string> changed;
        std::vector<std::string> removed;
    };
    const auto look = [&](std::uint64_t identity, std::uint64_t since) {
        rapidjson::Document answer;
        answer.Parse(workbench.Model(identity, since).c_str());
        Seen seen{answer["identity"].GetUint64(), answer["revision"].GetUint64(), answer["whole"].GetBool(), {}, {}};
        for (const auto& element : answer["elements"].GetArray())
            seen.changed.push_back(element["guid"].GetString());
        for (const auto& guid : answer["removed"].GetArray())
            seen.removed.push_back(guid.GetString());
        return seen;
    };
    const auto guidOf = [](const std::string& answer) {
        rapidjson::Document document;
        document.Parse(answer.c_str());
        return std::string(document["guid"].GetString());
    };
    Drive(workbench, [&] {
        const std::string a = guidOf(workbench.Script(R"({"cmd":"element.new","type":"wall"})"));
        const std::string b = guidOf(workbench.Script(R"({"cmd":"element.new","type":"slab"})"));
        const Seen first = look(0, 0);
        EXPECT_TRUE(first.whole);
        EXPECT_EQ(first.changed, (std::vector<std::string>{a, b}));

        workbench.Script(R"({"cmd":"element.set","guid":")" + a + R"(","height":3})");
        const Seen edited = look(first.identity, first.revision);
        EXPECT_FALSE(edited.whole);
        EXPECT_EQ(edited.changed, (std::vector<std::string>{a}));
        EXPECT_TRUE(edited.removed.empty());

        workbench.Script(R"({"cmd":"element.delete","guid":")" + b + R"("})");
        const Seen deleted = look(first.identity, edited.revision);
        EXPECT_TRUE(deleted.changed.empty());
        EXPECT_EQ(deleted.removed, (std::vector<std::string>{b}));

        workbench.Script(R"({"cmd":"undo"})");
        EXPECT_EQ(look(first.identity, deleted.revision).changed, (std::vector<std::string>{b}));
        EXPECT_TRUE(look(first.identity, look(first.identity, 0).revision).changed.empty());

        workbench.Script(R"({"cmd":"project.new"})");
        const Seen other = look(first.identity, deleted.revision);
        EXPECT_TRUE(other.whole);
        EXPECT_NE(other.identity, first.identity);
        EXPECT_TRUE(other.changed.empty());
    });
}

// Requests the host cannot act on are answered with the reason; the page's calls reach the modal dialog
// while it runs, each argument as the page gave it.
TEST(Workbench, AnswersEachRequestWithItsOutcomeAndTheModalDialogsPageReachesIt)
{
    SimHost host = LoadedHost();
    ASSERT_TRUE(host.Loaded());
    Workbench workbench(host.Host(), WebApplicationRoute());
    const auto call = [&](const char* function, std::optional<std::string> argument = std::nullopt) {
        return [&workbench, function, argument] { return workbench.Call(ConfigWindow, function, argument); };
    };
    struct Case {
        const char* what;
        std::function<std::string()> request;
        std::string answer;  // the answer, or its start when it does not end in }
    };
    const Case cases[] = {
        {"a menu command that opens nothing", [&] { return workbench.Choose(NeutralMenu, 1); },
         R"({"ok":true,"result":0})"},
        {"a menu that is not there", [&] { return workbench.Choose(1, 1); },
         R"({"ok":false,"error":"no such menu item"})"},
        {"an item past the menu's end", [&] { return workbench.Choose(SettingsMenu, 2); },
         R"({"ok":false,"error":"no such menu item"})"},
        {"a resize of no window", [&] { return workbench.ResizeWindow(9, 100, 100); },
         R"({"ok":false,"error":"no open window 9"})"},
        {"a size that fits no window", [&] { return workbench.ResizeWindow(ConfigWindow, 0, 100); },
         R"({"ok":false,"error":"a window's size)"},
        {"a close of no window", [&] { return workbench.CloseWindow(9); },
         R"({"ok":false,"error":"no open window 9"})"},
        {"a call to no window", [&] { return workbench.Call(9, "config_close", std::nullopt); },
         R"({"ok":false,"error":"no open window 9"})"},
        {"Settings runs its dialog", [&] { return workbench.Choose(SettingsMenu, 1); }, R"({"ok":true,"modal":true})"},
        {"getVersionInfo", call("getVersionInfo"), R"({"ok":true,"answer":"v2.0.1"})"},
        {"setWindowTitle", call("setWindowTitle", R"("Réglages")"), R"({"ok":true,"answer":true})"},
        {"config_resize", call("config_resize", R"("{\"x\":800,\"y\":600}")"), R"({"ok":true,"answer":true})"},
        {"a number is no text: the add-on reads the empty text, which is no resize request",
         call("config_resize", "800"), R"({"ok":true,"answer":null})"},
        {"setWindowTitle lets the add-on's own failure through to the host's script engine",
         call("setWindowTitle", "{}"),
         R"({"ok":false,"error":"the add-on let an exception escape: ClassCastException: Bad cast."})"},
        {"no_such_function", call("no_such_function"),
         R"({"ok":false,"error":"the page's objects have no function no_such_function"})"},
    };
    Drive(workbench, [&] {
        for (const auto& c : cases) {
            const std::string answer = c.request();
            EXPECT_EQ(c.answer.back() == '}' ? answer : answer.substr(0, c.answer.size()), c.answer) << c.what;
        }
        Settle(workbench);
        const auto state = State(workbench);
        EXPECT_STREQ(state["state"]["windows"][0]["frameUrl"].GetString(), "http://127.0.0.1:1/configuration");
        EXPECT_STREQ(state["state"]["windows"][0]["title"].GetString(), "Réglages");
        EXPECT_EQ(state["state"]["windows"][0]["width"].GetInt(), 800);
        EXPECT_EQ(workbench.Call(ConfigWindow, "config_close", std::nullopt), R"({"ok":true,"answer":null})");
        Settle(workbench);
        EXPECT_EQ(State(workbench)["state"]["windows"].Size(), 0u);
        EXPECT_EQ(workbench.Call(ConfigWindow, "config_close", std::nullopt),
                  R"({"ok":false,"error":"no open window 2"})");
    });
}

TEST(Workbench, QuittingAnswersEveryoneStillWaiting)
{
    SimHost host = LoadedHost();
    ASSERT_TRUE(host.Loaded());
    Workbench workbench(host.Host(), WebApplicationRoute());
    std::promise<void> started;
    std::promise<void> release;
    std::string busy;
    std::string queued;
    std::string state;
    std::thread user([&] {
        // The main thread stays busy in an action that ends only after the quit.
        std::thread first([&] {
            busy = workbench.RunUserAction([&] {
                started.set_value();
                release.get_future().wait();
                return std::string(R"({"ok":true})");
            });
        });
        started.get_future().wait();
        std::thread second([&] { queued = workbench.Call(ConfigWindow, "config_close", std::nullopt); });
        std::thread third([&] { state = workbench.State(UINT64_MAX, std::chrono::seconds(30)); });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        workbench.Quit();
        first.join();
        second.join();
        third.join();
        release.set_value();
    });
    workbench.Run();
    user.join();
    EXPECT_EQ(busy, R"({"ok":false,"error":"the host is quitting"})");
    EXPECT_EQ(queued, R"({"ok":false,"error":"the host is quitting"})");
    EXPECT_EQ(state.rfind(R"({"version":1,)", 0), 0u) << state;
    EXPECT_EQ(workbench.Script(R"({"cmd":"project.new"})"), R"({"ok":false,"error":"the host is quitting"})");
}

// The workbench's server and the web application stand-in on loopback, as a page of another site, a broken
// page or a hostile script reaches them: other hosts, other origins, paths out of their folders (through
// "..", absolute paths, links, NUL), project files outside the project folders or by names no user types,
// a save over an existing project that was not confirmed, numbers no building has, bodies too deep or too
// large and project files damaged or nested past the stack are refused with a reason, nothing outside is
// read or changed, the open project stays, and the add-on's pages and an accented name still get through.
TEST(WorkbenchServer, RefusesOtherSitesAndHostilePathsHostsAndBodiesAndServesItsOwn)
{
    SimHost host = LoadedHost();
    ASSERT_TRUE(host.Loaded());
    TempFolder folder;
    const std::string secret = "not for pages";
    for (const char* made : {"ui", "pages/js", "outside", "samples", "projects"})
        std::filesystem::create_directories(folder / made);
    const std::string wall = "901E167F-078D-4032-8383-39568546B9F9";
    const auto project = [&](const std::string& height) {
        return R"({"format":"velmar-sim-project","version":2,"elements":[{"guid":")" + wall +
               R"(","type":"wall","begin":[0,0],"end":[5,0],"height":)" + height + "}]}";
    };
    WriteFile(folder / "samples/sample.json", project("3"));
    WriteFile(folder / "samples/high.json", project("20000"));
    WriteFile(folder / "projects/damaged.json", project("3").substr(0, 60));
    std::filesystem::create_symlink(folder / "outside/secret.txt", folder / "projects/leak.json");
    WriteFile(folder / "outside/secret.txt", secret);
    WriteFile(folder / "ui/index.html", "<!doctype html>");
    WriteFile(folder / "pages/configuration.html", "<head><title>c</title>");
    WriteFile(folder / "pages/js/page.js", "export {};");
    const std::string user = host.UserFolder();
    std::filesystem::create_directories(user + "/sub");
    for (const std::string& link : {folder / "ui/leak.js", folder / "pages/leak.js", user + "/leak"})
        std::filesystem::create_symlink(folder / "outside/secret.txt", link);
    std::filesystem::create_directory_symlink(folder / "outside", user + "/out");
    std::filesystem::create_symlink(folder / "outside/new.txt", user + "/dangling");
    std::string deep = R"({"format":"velmar-sim-project","version":2,"classificationSystems":[)"
                       R"({"guid":"11111111-1111-1111-1111-111111111111","name":"s","items":)";
    std::string closing = "[]";
    for (int level = 0; level < 20000; ++level) {
        char guid[40];
        std::snprintf(guid, sizeof guid, "22222222-2222-2222-2222-%012d", level);
        deep += R"([{"guid":")" + std::string(guid) + R"(","id":"i","name":"i","children":)";
        closing += "}]";
    }
    WriteFile(folder / "projects/deep.json", deep + closing + "}]}");

    Workbench workbench(host.Host(), WebApplicationRoute());
    Sim::Workbench::WorkbenchServer server(folder / "ui");
    const auto port = server.Bind(0);
    ASSERT_TRUE(port);
    server.SetProjectFolders(
        {{"Sample projects", folder / "samples", false}, {"My projects", folder / "projects", true}});
    server.Listen(workbench, "http://127.0.0.1:1");
    Velmar::Services::WebAppServer webApp(folder / "pages", "<script src=\"b.js\"></script>");
    const auto webPort = webApp.Start(0);
    ASSERT_TRUE(webPort);
    const std::string self = ":" + std::to_string(*port);
    const auto script = [](const std::string& command) { return R"({"cmd":"file.)" + command + "}"; };
    const std::string refused = R"({"ok":false,"error":"\"path\" must stay inside the user folder: )";
    const auto open = [&](const std::string& path) { return R"({"cmd":"project.open","path":")" + path + "\"}"; };
    const auto save = [&](const std::string& name, const char* more = "") {
        return R"({"cmd":"project.save","path":")" + folder / ("projects/" + name) + "\"" + more + "}";
    };
    const auto set = [&](const char* members) {
        return R"({"cmd":"element.set","guid":")" + wall + "\"," + members + "}";
    };
    const std::string cafe = "Caf\u00e9 Li\u00e8ge.json";
    std::string sixty;
    for (int letter = 0; letter < 60; ++letter)
        sixty += "\u00e9";
    struct Case {
        bool webApplication;
        const char* method;
        std::string path, body;
        int status;
        std::string answer;     // a part of the body
        std::string host = {};  // empty: the address the client connects to
    };
    const Case cases[] = {
        {false, "POST", "/api/choose", "menu=32503", 400, R"({"ok":false,"error":"the body must be a JSON object"})"},
        {false, "POST", "/api/choose", R"([32503,1])", 400, "the body must be a JSON object"},
        {false, "POST", "/api/choose", R"({"menu":"32503","item":1})", 400, R"("\"menu\" must be an integer")"},
        {false, "POST", "/api/call", R"({"window":2})", 400, R"("\"fn\" must be a text")"},
        {false, "POST", "/api/window/resize", R"({"window":2,"width":1.5,"height":3})", 400, "must be an integer"},
        {false, "POST", "/api/script", R"([{"cmd":"undo"}])", 400, "the body must be a JSON object"},
        {false, "POST", "/api/call",
         R"({"window":2,"fn":"x","arg":)" + std::string(400000, '[') + std::string(400000, ']') + "}", 400,
         "nests deeper than 64 levels"},
        {false, "POST", "/api/script", std::string(2 << 20, ' '), 413, "larger than 1048576 bytes"},
        {false, "GET", "/api/state?since=later", "", 400, R"({"ok":false,"error":"\"since\" must be a count"})"},
        {false, "GET", "/api/model?identity=1&since=-2", "", 400, R"("\"since\" must be a count")"},
        {false, "GET", "/api/state?since=0", "", 200, R"({"version":1,"state":{"addOn":"Velmar)"},
        {false, "GET", "/api/state?since=0", "", 200, R"({"version":1,)", "localhost" + self},
        {false, "GET", "/api/state?since=0", "", 200, R"({"version":1,)", "[::1]" + self},
        {false, "GET", "/api/state?since=0", "", 403, "only requests addressed to 127.0.0.1" + self,
         "evil.example" + self},
        {false, "GET", "/api/projects", "", 403, "", "127.0.0.1:1"},
        {false, "POST", "/api/call", R"({"window":2,"fn":"x"})", 403, "", "evil.example"},
        {false, "POST", "/api/call", R"({"window":2,"fn":"config_close"})", 200,
         R"({"ok":false,"error":"no open window 2"})"},
        {false, "GET", "/", "", 200, "<!doctype html>"},
        {false, "GET", "/leak.js", "", 404, ""},
        {false, "GET", "/secret.txt", "", 404, ""},
        {false, "GET", "/../outside/secret.txt", "", 404, ""},
        {false, "POST", "/api/script", script(R"(write","folder":"user","path":"leak","text":"x")"), 200,
         refused + "the path leads out of its folder through a link"},
        {false, "POST", "/api/script", script(R"(read","folder":"user","path":"leak")"), 200,
         refused + "the path leads out"},
        {false, "POST", "/api/script", script(R"(write","folder":"user","path":"out/new.txt","text":"x")"), 200,
         refused + "the path leads out"},
        {false, "POST", "/api/script", script(R"(write","folder":"user","path":"dangling","text":"x")"), 200,
         refused + "the path passes a link that leads nowhere"},
        {false, "POST", "/api/script", script(R"(read","folder":"user","path":"/etc/passwd")"), 200,
         refused + "the path is absolute"},
        {false, "POST", "/api/script", script(R"(read","folder":"user","path":"sub/../../shared/x")"), 200,
         refused + "the path climbs out"},
        {false, "POST", "/api/script", script(R"(read","folder":"user","path":"sub\u0000.txt")"), 200,
         refused + "the path holds a NUL"},
        {false, "POST", "/api/script", script(R"(read","folder":"user","path":"sub")"), 200,
         R"("\"path\" names a folder, not a file")"},
        {false, "POST", "/api/script", script(R"(delete","folder":"user","path":".")"), 200, "names the folder itself"},
        {false, "POST", "/api/script", script(R"(delete","folder":"shared","path":"")"), 200,
         "names the folder itself"},
        {false, "POST", "/api/script", script(R"(write","folder":"user","path":"sub/./a.txt","text":"mine")"), 200,
         R"({"ok":true)"},
        {false, "POST", "/api/script", script(R"(read","folder":"user","path":"sub/a.txt")"), 200,
         R"({"ok":true,"exists":true,"text":"mine"})"},
        {false, "POST", "/api/script", open(folder / "projects/deep.json"), 200,
         folder / "projects/deep.json: classification items nest deeper than 100 levels"},
        {false, "POST", "/api/script", open(folder / "samples/sample.json"), 200, R"({"ok":true,"corrected":[]})"},
        {false, "POST", "/api/script", open(folder / "samples/high.json"), 200,
         R"(\"height\" must be within 10 km (10000 m))"},
        {false, "POST", "/api/script", open(folder / "projects/damaged.json"), 200, "damaged.json: not JSON"},
        {false, "POST", "/api/script", open(folder / "projects/absent.json"), 200,
         "there is no project absent in My projects"},
        {false, "POST", "/api/script", open("/etc/passwd"), 200, R"(\"path\" must name a .json project file)"},
        {false, "POST", "/api/script", open(folder / "outside/../samples/sample.json"), 200, R"({"ok":true,)"},
        {false, "POST", "/api/script", open(folder / "outside/sample.json"), 200,
         "opened from Sample projects or My projects only"},
        {false, "POST", "/api/script", set(R"("height":20000)"), 200, R"(\"height\" must be within 10 km)"},
        {false, "POST", "/api/script", set(R"("begin":[-1e5,0])"), 200, R"(\"begin\" must be within 10 km)"},
        {false, "POST", "/api/script", set(R"("baseOffset":1e308)"), 200, R"(\"baseOffset\" must be within 10 km)"},
        {false, "POST", "/api/script", R"({"cmd":"element.new","type":"slab","polygon":[[0,0],[1e9,0],[0,1]]})", 200,
         R"(\"polygon\" must be within 10 km)"},
        {false, "POST", "/api/script", R"({"cmd":"element.new","type":"wall","thickness":10001})", 200,
         R"(\"thickness\" must be within 10 km)"},
        {false, "POST", "/api/script", set(R"("height":NaN)"), 400, "the body must be a JSON object"},
        {false, "POST", "/api/script", set(R"("height":1e400)"), 400, "the body must be a JSON object"},
        {false, "POST", "/api/script", set(R"("height":2e308)"), 400, "the body holds a number too large to read"},
        {false, "POST", "/api/script", R"({"cmd":"element.get","guid":")" + wall + "\"}", 200,
         R"("begin":[0.0,0.0],"end":[5.0,0.0],"height":3.0,)"},
        {false, "POST", "/api/script", save(cafe), 200, R"({"ok":true})"},
        {false, "POST", "/api/script", save(cafe), 200,
         "a project named Caf\u00e9 Li\u00e8ge is in My projects already"},
        {false, "POST", "/api/script", save(cafe, R"(,"overwrite":true)"), 200, R"({"ok":true})"},
        {false, "POST", "/api/script", save(sixty + ".json"), 200, R"({"ok":true})"},
        {false, "POST", "/api/script", save(sixty + "e.json"), 200, "a name is at most 60 characters"},
        {false, "POST", "/api/script", save(".hidden.json"), 200, "a name does not start with a dot"},
        {false, "POST", "/api/script", save("a\\\\b.json"), 200, R"(a name holds no / or \\)"},
        {false, "POST", "/api/script", save("a\\tb.json"), 200, "a name holds no control characters"},
        {false, "POST", "/api/script", save("\xff.json"), 200, "a name is UTF-8 text"},
        {false, "POST", "/api/script", save("a\\u0000.json"), 200, R"(\"path\" holds a NUL)"},
        {false, "POST", "/api/script", save("leak.json"), 200, "must stay inside My projects: the path leads out"},
        {false, "POST", "/api/script", save("room.txt"), 200, "must name a .json project file"},
        {false, "POST", "/api/script", save("../outside/room.json"), 200, "saved in My projects only"},
        {false, "POST", "/api/script", R"({"cmd":"project.save","path":")" + folder / "samples/room.json\"}", 200,
         "saved in My projects only"},
        {false, "GET", "/api/projects", "", 200, "{\"name\":\"Caf\u00e9 Li\u00e8ge\",\"path\":\""},
        {false, "GET", "/api/projects", "", 200,
         R"({"name":"deep","path":")" + folder / "projects/deep.json\"},{\"name\":\"\u00e9"},
        {true, "GET", "/configuration", "", 200, "<head><script src=\"b.js\"></script><title>c</title>"},
        {true, "GET", "/js/page.js", "", 200, "export {};"},
        {true, "GET", "/configuration", "", 403, "", "evil.example:" + std::to_string(*webPort)},
        {true, "GET", "/lod", "", 404, ""},
        {true, "GET", "/js", "", 404, ""},
        {true, "GET", "/leak.js", "", 404, ""},
        {true, "GET", "/js/../js/page.js", "", 404, ""},
        {true, "GET", "/../outside/secret.txt", "", 404, ""},
        {true, "GET", "/%2e%2e/outside/secret.txt", "", 404, ""},
        {true, "GET", "/..%2foutside%2fsecret.txt", "", 404, ""},
        {true, "GET", "/" + folder / "outside/secret.txt", "", 404, ""},
    };
    const struct {
        const char* origin;
        int status;
        const char* allowOrigin;
    } origins[] = {
        {"http://127.0.0.1:1", 200, "http://127.0.0.1:1"},  // the add-on's pages
        {"", 200, ""},                                      // no browser
        {"http://127.0.0.1:1.example", 403, ""},
        {"https://www.velmar.example", 403, ""},
    };
    Drive(workbench, [&] {
        for (const auto& c : cases) {
            httplib::Client client("127.0.0.1", c.webApplication ? *webPort : *port);
            const httplib::Headers headers = c.host.empty() ? httplib::Headers() : httplib::Headers{{"Host", c.host}};
            const auto result = std::string(c.method) == "GET"
                                    ? client.Get(c.path.c_str(), headers)
                                    : client.Post(c.path.c_str(), headers, c.body, "text/plain");
            ASSERT_TRUE(result) << c.path << " " << c.body.substr(0, 80);
            EXPECT_EQ(result->status, c.status) << c.path << " " << c.body.substr(0, 80);
            EXPECT_NE(result->body.find(c.answer), std::string::npos) << c.path << " " << result->body;
            EXPECT_EQ(result->body.find(secret), std::string::npos) << c.path;
        }
        httplib::Client client("127.0.0.1", *port);
        for (const auto& o : origins) {
            const httplib::Headers headers =
                *o.origin == '\0' ? httplib::Headers() : httplib::Headers{{"Origin", o.origin}};
            const auto result = client.Post("/api/call", headers, R"({"window":2,"fn":"x"})", "text/plain");
            ASSERT_TRUE(result) << o.origin;
            EXPECT_EQ(result->status, o.status) << o.origin;
            EXPECT_EQ(result->get_header_value("Access-Control-Allow-Origin"), o.allowOrigin) << o.origin;
        }
    });
    webApp.Stop();
    server.Stop();
    EXPECT_EQ(ReadFile(folder / "outside/secret.txt"), secret);
    EXPECT_FALSE(std::filesystem::exists(folder / "outside/new.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder / "outside/room.json"));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "projects/Caf\u00e9 Li\u00e8ge.json"));
    EXPECT_TRUE(std::filesystem::is_directory(host.Host().DataRoot() + "/shared"));
}

}  // namespace
