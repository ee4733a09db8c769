#include "DGHost.hpp"

#include "DGBrowser.hpp"
#include "DGRegistry.hpp"

#include <algorithm>

namespace DG {

namespace Registry {

// Never destroyed: modules unloaded at process exit still unregister their panels after this library's
// own statics would be gone.
std::vector<Panel*>& Panels()
{
    static auto* panels = new std::vector<Panel*>();
    return *panels;
}

Panel*& ActivePanel()
{
    static Panel* active = nullptr;
    return active;
}

ModalRunner& Runner()
{
    static auto* runner = new ModalRunner();
    return *runner;
}

std::map<Int32, std::uint64_t>& OpenCounts()
{
    static auto* counts = new std::map<Int32, std::uint64_t>();
    return *counts;
}

}  // namespace Registry

namespace {

Panel* FindOpenPanel(Int32 id)
{
    const auto& panels = Registry::Panels();
    const auto found = std::find_if(panels.rbegin(), panels.rend(), [id](const Panel* panel) {
        return panel->IsOpen() && panel->GetReferenceId() == id;
    });
    return found == panels.rend() ? nullptr : *found;
}

WindowInfo Describe(const Panel& panel)
{
    WindowInfo info;
    info.id = panel.GetReferenceId();
    info.title = panel.GetTitle();
    if (const Browser* browser = panel.GetFirstBrowser())
        info.url = browser->GetURL();
    info.width = panel.GetClientWidth();
    info.height = panel.GetClientHeight();
    info.visible = panel.IsVisible();
    info.modal = panel.IsModal();
    return info;
}

}  // namespace

void SetModalRunner(ModalRunner runner)
{
    Registry::Runner() = std::move(runner);
}

std::vector<WindowInfo> ListWindows()
{
    std::vector<WindowInfo> windows;
    for (const Panel* panel : Registry::Panels()) {
        if (panel->IsOpen())
            windows.push_back(Describe(*panel));
    }
    return windows;
}

std::uint64_t OpenCount(Int32 id)
{
    const auto found = Registry::OpenCounts().find(id);
    return found == Registry::OpenCounts().end() ? 0 : found->second;
}

std::optional<WindowInfo> FindWindow(Int32 id)
{
    const Panel* panel = FindOpenPanel(id);
    return panel != nullptr ? std::optional<WindowInfo>(Describe(*panel)) : std::nullopt;
}

const Browser* FindWindowBrowser(Int32 id)
{
    const Panel* panel = FindOpenPanel(id);
    return panel != nullptr ? panel->GetFirstBrowser() : nullptr;
}

WindowActionResult ResizeWindowAsUser(Int32 id, Int16 width, Int16 height)
{
    Panel* panel = FindOpenPanel(id);
    if (panel == nullptr)
        return WindowActionResult::NoSuchWindow;
    if (!panel->IsResizable())
        return WindowActionResult::NotResizable;
    panel->ResizeByUser(width, height);
    return WindowActionResult::Done;
}

WindowActionResult CloseWindowAsUser(Int32 id)
{
    Panel* panel = FindOpenPanel(id);
    if (panel == nullptr)
        return WindowActionResult::NoSuchWindow;
    panel->RequestCloseByUser();
    return WindowActionResult::Done;
}

WindowActionResult FollowLinkAsUser(Int32 id, const GS::UniString& url)
{
    Panel* panel = FindOpenPanel(id);
    Browser* browser = panel != nullptr ? const_cast<Browser*>(panel->GetFirstBrowser()) : nullptr;
    if (browser == nullptr)
        return WindowActionResult::NoSuchWindow;
    browser->LoadURL(url);
    return WindowActionResult::Done;
}

FunctionCallResult CallBrowserFunction(Int32 id, const GS::UniString& name, const GS::Ref<JS::Base>& argument)
{
    FunctionCallResult result;
    const Panel* panel = FindOpenPanel(id);
    if (panel == nullptr)
        return result;
    const Browser* browser = panel->GetFirstBrowser();
    if (browser == nullptr) {
        result.status = FunctionCallResult::NoBrowser;
        return result;
    }
    const auto function = browser->FindFunction(name);
    if (function == nullptr) {
        result.status = FunctionCallResult::NoSuchFunction;
        return result;
    }
    // `function` is a counted reference: the call may register new objects and drop the one it came from.
    result.answer = function->Invoke(argument);
    result.status = FunctionCallResult::Answered;
    return result;
}

void ForgetWindows()
{
    Registry::Panels().clear();
    Registry::ActivePanel() = nullptr;
}

}  // namespace DG
