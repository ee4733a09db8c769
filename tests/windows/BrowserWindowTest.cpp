// The palette and the dialog through the window controller, with the module's code over the simulated
// host: who is held, what is reloaded, and how the browser control follows the window's size.
#include "ACAPinc.hpp"
#include "Archicad.hpp"
#include "BrowserDialog.hpp"
#include "BrowserPalette.hpp"
#include "DGHost.hpp"
#include "PaletteController.hpp"
#include "TempFolder.hpp"

#include <gtest/gtest.h>

extern "C" const RS::ModuleData GSResourceModuleData;

namespace {

using brixlab::controllers::PaletteController;
using brixlab::ui::BrowserDialog;
using brixlab::xdWebEngine::BrowserPalette;
using brixlab::xdWebEngine::IBrowserWindow;
using brixlab::xdWebEngine::PaletteIdentifiers;

constexpr Int32 IdOf(PaletteIdentifiers id)
{
    return static_cast<Int32>(id);
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        host_.OpenResources(&GSResourceModuleData);
        Velmar::Host::SetHostFunctions(&Sim::HostFunctions());
        Fresh();
    }
    void TearDown() override { Velmar::Host::SetHostFunctions(nullptr); }

    // A new controller with Rules and Result registered; the previous one goes with its palette.
    void Fresh()
    {
        controller_ = std::make_shared<PaletteController>();
        Register(PaletteIdentifiers::Rules, "/rules",
                 [] { return std::make_shared<BrowserDialog>(PaletteIdentifiers::Rules); });
        Register(PaletteIdentifiers::Result, "/ruleresult",
                 [] { return std::make_shared<BrowserPalette>(PaletteIdentifiers::Result); });
    }

    void Register(PaletteIdentifiers id, const char* path, PaletteController::WindowFactory factory)
    {
        controller_->AddFactory(id, std::move(factory));
        controller_->AddTitle(id, path + 1);
        controller_->AddSize(id, {1244, 788});
        controller_->AddAddressProvider(id, [path] { return GS::UniString("https://app.velmar.example") + path; });
    }

    // Runs `body` while the window is open: for a dialog inside its modal run, which a user then closes, for
    // the palette after opening it.
    void WhileOpen(PaletteIdentifiers id, const std::function<void()>& body)
    {
        if (id != PaletteIdentifiers::Result) {
            host_.Loop().Post([id, body] {
                body();
                DG::CloseWindowAsUser(IdOf(id));
            });
            controller_->OpenWindow(id);
            return;
        }
        controller_->OpenWindow(id);
        body();
    }

    static const DG::Browser& BrowserOf(PaletteIdentifiers id)
    {
        const DG::Browser* browser = DG::FindWindowBrowser(IdOf(id));
        if (browser == nullptr)
            throw std::runtime_error("window " + std::to_string(IdOf(id)) + " is not open");
        return *browser;
    }

    Velmar::Testing::TempFolder root_;
    Sim::Archicad host_{root_ / "data"};
    // A controller of the test's own, dropped (with the palette it holds) before the host.
    std::shared_ptr<PaletteController> controller_;
};

TEST_F(Windows, TheResultPaletteComesBackAsItWasUnlessItWasReloaded)
{
    struct Case {
        const char* name;
        std::function<void(PaletteController&)> before;
        Int32 extraLoads;
    };
    const Case cases[] = {
        {"CloseWindow", [](PaletteController& c) { c.CloseWindow(PaletteIdentifiers::Result); }, 0},
        {"a user's close", [](PaletteController&) { DG::CloseWindowAsUser(IdOf(PaletteIdentifiers::Result)); }, 0},
        // The address and then a reload of it: two page loads.
        {"ReloadWindow", [](PaletteController& c) { c.ReloadWindow(PaletteIdentifiers::Result); }, 2},
    };
    for (const auto& c : cases) {
        Fresh();
        controller_->OpenWindow(PaletteIdentifiers::Result);
        const auto palette = controller_->GetOpenWindow(PaletteIdentifiers::Result);
        const Int32 loads = BrowserOf(PaletteIdentifiers::Result).GetLoadCount();

        c.before(*controller_);
        controller_->OpenWindow(PaletteIdentifiers::Result);

        EXPECT_EQ(controller_->GetOpenWindow(PaletteIdentifiers::Result), palette) << c.name;
        EXPECT_TRUE(palette->IsVisible()) << c.name;
        EXPECT_EQ(BrowserOf(PaletteIdentifiers::Result).GetLoadCount() - loads, c.extraLoads) << c.name;
        EXPECT_EQ(BrowserOf(PaletteIdentifiers::Result).GetURL(), "https://app.velmar.example/ruleresult");
    }
}

TEST_F(Windows, TheBrowserControlFollowsTheWindowsSize)
{
    struct Case {
        PaletteIdentifiers id;
        const char* how;
        std::function<void(IBrowserWindow&)> resize;
        Int16 width, height;  // the client size afterwards; the browser control is 4 smaller each way
    };
    const auto byUser = [](PaletteIdentifiers id, Int16 width, Int16 height) {
        return [=](IBrowserWindow&) { DG::ResizeWindowAsUser(IdOf(id), width, height); };
    };
    const Case cases[] = {
        {PaletteIdentifiers::Result, "as opened", [](IBrowserWindow&) {}, 1244, 788},
        {PaletteIdentifiers::Result, "Resize", [](IBrowserWindow& w) { w.Resize(1000, 500); }, 1000, 500},
        {PaletteIdentifiers::Result, "a user's drag", byUser(PaletteIdentifiers::Result, 1400, 900), 1400, 900},
        {PaletteIdentifiers::Result, "a user's drag below the minimum", byUser(PaletteIdentifiers::Result, 1000, 500),
         1244, 788},
        {PaletteIdentifiers::Rules, "as opened", [](IBrowserWindow&) {}, 1244, 788},
        {PaletteIdentifiers::Rules, "Resize", [](IBrowserWindow& w) { w.Resize(1000, 500); }, 1000, 500},
        {PaletteIdentifiers::Rules, "a user's drag", byUser(PaletteIdentifiers::Rules, 1300, 800), 1300, 800},
    };
    for (const auto& c : cases) {
        Fresh();
        std::optional<DG::WindowInfo> window;
        short browserWidth = 0, browserHeight = 0;
        WhileOpen(c.id, [&] {
            c.resize(*controller_->GetOpenWindow(c.id));
            window = DG::FindWindow(IdOf(c.id));
            browserWidth = BrowserOf(c.id).GetWidth();
            browserHeight = BrowserOf(c.id).GetHeight();
        });
        ASSERT_TRUE(window.has_value()) << c.how;
        EXPECT_EQ(window->title, IdOf(c.id) == 5 ? "ruleresult" : "rules");
        EXPECT_EQ(std::make_pair(window->width, window->height), std::make_pair(c.width, c.height))
            << IdOf(c.id) << " " << c.how;
        EXPECT_EQ(std::make_pair(browserWidth, browserHeight), std::make_pair(short(c.width - 4), short(c.height - 4)))
            << IdOf(c.id) << " " << c.how;
    }
}

TEST_F(Windows, TheAcapiObjectIsBoundToItsWindowAndDialogsGetANewOneWithEveryLoad)
{
    for (const auto id : {PaletteIdentifiers::Result, PaletteIdentifiers::Rules}) {
        const bool dialog = id == PaletteIdentifiers::Rules;
        WhileOpen(id, [&] {
            const auto& objects = BrowserOf(id).GetRegisteredObjects();
            ASSERT_EQ(objects.size(), 1u);
            EXPECT_EQ(objects[0]->GetName(), "ACAPI");
            const JS::Object* atOpen = objects[0].Get();

            controller_->ReloadWindow(id);
            ASSERT_EQ(objects.size(), 1u);
            EXPECT_EQ(objects[0].Get() != atOpen, dialog) << IdOf(id);

            const auto answer = DG::CallBrowserFunction(IdOf(id), "setWindowTitle", new JS::Value("Renamed"));
            EXPECT_EQ(answer.status, DG::FunctionCallResult::Answered);
            EXPECT_EQ(DG::FindWindow(IdOf(id))->title, "Renamed") << IdOf(id);
        });
    }
}

}  // namespace
