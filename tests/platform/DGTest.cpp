// The DG stand-in as a host and a module use it: a user's close requests and modal runs.
#include "DGDialog.hpp"
#include "DGHost.hpp"
#include "GSDebug.hpp"
#include "HostGuid.hpp"

#include <gtest/gtest.h>

#include <deque>

namespace {

const RS::DialogItem BrowserOnly[] = {{RS::DialogItemKind::Browser, 2, 2, 196, 96}};
const RS::DialogItem ButtonThenBrowser[] = {{RS::DialogItemKind::Button, 0, 0, 50, 20},
                                            {RS::DialogItemKind::Browser, 0, 20, 300, 180}};
const RS::Dialog Dialogs[] = {
    {100, RS::DialogKind::Palette, true, 0, 0, 200, 100, "Palette", BrowserOnly, 1},
    {101, RS::DialogKind::Modal, false, 0, 0, 300, 200, "Fixed", ButtonThenBrowser, 2},
};
const RS::ModuleData Resources = {nullptr, 0, Dialogs, 2, nullptr, 0};

// Records what the panel tells its observers; answers close requests as told.
class Recorder : public DG::PanelObserver {
public:
    explicit Recorder(bool handlesClose = false) : handlesClose_(handlesClose) {}
    void PanelOpened(const DG::PanelOpenEvent&) override { events.push_back("opened"); }
    void PanelCloseRequested(const DG::PanelCloseRequestEvent&, bool* handled) override
    {
        events.push_back("close requested");
        *handled = handlesClose_;
    }
    void PanelClosed(const DG::PanelCloseEvent&) override { events.push_back("closed"); }

    std::vector<std::string> events;

private:
    bool handlesClose_;
};

class DGPanels : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_ = RS::RSOpenModule(&Resources);
        GS::SetDebugOutputSink([this](const std::string& text) { debug_.push_back(text); });
        // The host's loop, reduced to the steps a test queues.
        DG::SetModalRunner([this](const std::function<bool()>& closed) {
            while (!closed() && !steps_.empty()) {
                const auto step = std::move(steps_.front());
                steps_.pop_front();
                step();
            }
        });
    }
    void TearDown() override
    {
        DG::SetModalRunner(nullptr);
        GS::SetDebugOutputSink(nullptr);
        RS::RSCloseModule(module_);
    }

    GSResModule module_ = InvalidResModule;
    std::deque<std::function<void()>> steps_;
    std::vector<std::string> debug_;
};

TEST_F(DGPanels, APaletteClosesOnlyWhenNoObserverHandlesTheRequest)
{
    for (const bool handled : {true, false}) {
        DG::Palette palette(module_, 100, HostGuid::New());
        palette.SetReferenceId(7);
        Recorder recorder(handled);
        palette.Attach(recorder);
        palette.BeginEventProcessing();
        palette.Show();

        EXPECT_EQ(DG::CloseWindowAsUser(7), DG::WindowActionResult::Done);
        const std::vector<std::string> expected = handled
                                                      ? std::vector<std::string>{"opened", "close requested"}
                                                      : std::vector<std::string>{"opened", "close requested", "closed"};
        EXPECT_EQ(recorder.events, expected) << handled;
        EXPECT_EQ(DG::FindWindow(7).has_value(), handled);
        EXPECT_EQ(palette.IsVisible(), handled) << "an unhandled close takes the palette off screen";
    }
    EXPECT_EQ(DG::CloseWindowAsUser(7), DG::WindowActionResult::NoSuchWindow);
}

TEST_F(DGPanels, AModalRunEndsWithTheFirstCloseRequestOrCancelsWhenTheHostStops)
{
    struct Case {
        const char* name;
        std::function<void(DG::ModalDialog&)> step;  // queued inside the run; none: the host runs out of input
        DG::ModalDialog::ModalResponse expected;
    };
    const Case cases[] = {
        {"accept, then cancel",
         [](DG::ModalDialog& dialog) {
             dialog.PostCloseRequest(DG::ModalDialog::Accept);
             dialog.PostCloseRequest(DG::ModalDialog::Cancel);
         },
         DG::ModalDialog::Accept},
        {"a user's close", [](DG::ModalDialog&) { DG::CloseWindowAsUser(9); }, DG::ModalDialog::Cancel},
        {"the host stops", nullptr, DG::ModalDialog::Cancel},
    };
    for (const auto& c : cases) {
        DG::ModalDialog dialog(module_, 101);
        dialog.SetReferenceId(9);
        std::optional<DG::WindowInfo> whileRunning;
        std::optional<DG::WindowActionResult> resize;
        steps_.push_back([&] {
            whileRunning = DG::FindWindow(9);
            resize = DG::ResizeWindowAsUser(9, 400, 400);
        });
        if (c.step)
            steps_.push_back([&] { c.step(dialog); });
        EXPECT_EQ(dialog.Invoke(), c.expected) << c.name;
        ASSERT_TRUE(whileRunning.has_value()) << c.name;
        EXPECT_TRUE(whileRunning->modal && whileRunning->visible);
        EXPECT_EQ(*resize, DG::WindowActionResult::NotResizable) << "resource 101 is not resizable";
        EXPECT_FALSE(DG::FindWindow(9).has_value()) << c.name;
        EXPECT_FALSE(dialog.IsVisible());
    }
}

TEST_F(DGPanels, WithoutAModalRunnerADialogCancelsAtOnceAndSaysWhy)
{
    DG::SetModalRunner(nullptr);
    DG::ModalDialog dialog(module_, 101);
    EXPECT_EQ(dialog.Invoke(), DG::ModalDialog::Cancel);
    ASSERT_EQ(debug_.size(), 1u);
    EXPECT_NE(debug_[0].find("no modal runner"), std::string::npos) << debug_[0];
}

}  // namespace
