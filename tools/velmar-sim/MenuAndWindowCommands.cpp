// velmar-sim's commands of the menus and windows, of what the add-on reported, and of the add-on's state.
#include "ScriptCommand.hpp"

#include "DGHost.hpp"
#include "GSException.hpp"
#include "HostText.hpp"
#include "JsValueJson.hpp"

#include <stdexcept>

namespace Sim::Script {

namespace {

void Menus(Context& c)
{
    c.answer.Key("menus");
    HostJson::WriteMenus(c.answer, c.host.Menus(), HostJson::EmptySubmenu::Omitted);
}

void Choose(Context& c)
{
    const Int64 menu = IntMember(c, "menu");
    const Int64 item = IntMember(c, "item");
    if (menu < INT16_MIN || menu > INT16_MAX || item < 1 || item > INT32_MAX)
        throw CommandError{"no such menu item"};
    const GSErrCode result = c.host.ChooseMenuItem(static_cast<Int16>(menu), static_cast<Int32>(item));
    if (result == APIERR_BADINDEX)
        throw CommandError{"no such menu item"};
    if (result == APIERR_REFUSEDCMD)
        throw CommandError{"the menu item is disabled"};
    c.answer.Key("result");
    c.answer.Int(result);
}

void Reports(Context& c)
{
    c.answer.Key("reports");
    c.answer.StartArray();
    for (const auto& report : c.host.Reports()) {
        c.answer.StartObject();
        c.answer.Key("text");
        WriteString(c.answer, report.text);
        c.answer.Key("alert");
        c.answer.Bool(report.alert);
        c.answer.EndObject();
    }
    c.answer.EndArray();
}

void Windows(Context& c)
{
    c.answer.Key("windows");
    HostJson::WriteWindows(c.answer);
}

Int32 WindowMember(const Context& c)
{
    const Int64 window = IntMember(c, "window");
    if (window < INT32_MIN || window > INT32_MAX || !DG::FindWindow(static_cast<Int32>(window)))
        throw CommandError{"no open window " + std::to_string(window)};
    return static_cast<Int32>(window);
}

void Call(Context& c)
{
    const Int32 window = WindowMember(c);
    const std::string name = StringMember(c, "fn");
    const GS::Ref<JS::Base> argument = c.command.HasMember("arg") ? JsFromJson(c.command["arg"]) : nullptr;
    DG::FunctionCallResult result;
    // The bridge answers failures itself; anything that still escapes is the script's error answer.
    try {
        result = DG::CallBrowserFunction(window, HostText::Uni(name), argument);
    } catch (const GS::Exception& exception) {
        throw CommandError{name + " threw " + exception.GetName() + ": " + HostText::Utf8(exception.GetMessage())};
    } catch (const std::exception& exception) {
        throw CommandError{name + " threw: " + exception.what()};
    }
    if (result.status == DG::FunctionCallResult::NoBrowser)
        throw CommandError{"window " + std::to_string(window) + " has no browser control"};
    if (result.status == DG::FunctionCallResult::NoSuchFunction)
        throw CommandError{"window " + std::to_string(window) + " has no function " + name};
    if (result.status != DG::FunctionCallResult::Answered)
        throw CommandError{"no open window " + std::to_string(window)};
    c.answer.Key("answer");
    try {
        WriteJs(c.answer, result.answer);
    } catch (const std::invalid_argument& error) {
        throw CommandError{error.what()};
    }
}

void WindowResize(Context& c)
{
    const Int32 window = WindowMember(c);
    const Int64 width = IntMember(c, "width");
    const Int64 height = IntMember(c, "height");
    if (width < 0 || width > INT16_MAX || height < 0 || height > INT16_MAX)
        throw CommandError{"\"width\" and \"height\" must be between 0 and 32767"};
    if (DG::ResizeWindowAsUser(window, static_cast<Int16>(width), static_cast<Int16>(height)) ==
        DG::WindowActionResult::NotResizable)
        throw CommandError{"window " + std::to_string(window) + " cannot be resized"};
    if (const auto resized = DG::FindWindow(window)) {
        c.answer.Key("window");
        HostJson::WriteWindow(c.answer, *resized);
    }
}

void WindowClose(Context& c)
{
    DG::CloseWindowAsUser(WindowMember(c));
}

void WindowNavigate(Context& c)
{
    const Int64 window = IntMember(c, "window");
    const std::string url = StringMember(c, "url");
    if (window < INT32_MIN || window > INT32_MAX ||
        DG::FollowLinkAsUser(static_cast<Int32>(window), HostText::Uni(url)) != DG::WindowActionResult::Done)
        throw CommandError{"no open window " + std::to_string(window)};
}

void Shell(Context& c)
{
    c.answer.Key("opened");
    c.answer.StartArray();
    for (const auto& request : c.host.ShellRequests())
        WriteString(c.answer, request.address);
    c.answer.EndArray();
    c.answer.Key("refused");
    c.answer.StartArray();
    for (const auto& request : c.host.RefusedShellRequests())
        WriteString(c.answer, request.address);
    c.answer.EndArray();
}

// What the host sees of the add-on's state: the language of its menus, the Neutral item and the Lod mark.
void State(Context& c)
{
    static const char* const Languages[] = {"English", "Dutch", "French"};
    const Menu* search = c.host.FindMenu(32500);
    std::string language = "unknown";
    for (Int32 entry = 1; search != nullptr && entry <= 3; ++entry) {
        GS::UniString text;
        if (RSGetIndString(&text, 37000, entry, c.host.ResModule()) && !search->items.empty() &&
            search->items[0].text == text)
            language = Languages[entry - 1];
    }
    c.answer.Key("menuLanguage");
    WriteString(c.answer, language);
    if (const Menu* neutral = c.host.FindMenu(32505); neutral != nullptr && !neutral->items.empty()) {
        c.answer.Key("neutralChecked");
        c.answer.Bool(neutral->items[0].flags & API_MenuItemChecked);
        c.answer.Key("neutralDisabled");
        c.answer.Bool(neutral->items[0].flags & API_MenuItemDisabled);
    }
    if (const Menu* lod = c.host.FindMenu(32501)) {
        c.answer.Key("checkedLod");
        int checked = 0;
        for (std::size_t i = 0; i < lod->items.size(); ++i)
            checked = (lod->items[i].flags & API_MenuItemChecked) ? static_cast<int>(i + 1) * 100 : checked;
        c.answer.Int(checked);
    }
}

void AddOn(Context& c)
{
    const AddOnState& addOn = c.host.GetAddOn();
    c.answer.Key("name");
    WriteString(c.answer, HostText::Utf8(addOn.name));
    c.answer.Key("description");
    WriteString(c.answer, HostText::Utf8(addOn.description));
    c.answer.Key("type");
    c.answer.Int(addOn.type);
    c.answer.Key("registerResult");
    c.answer.Int(addOn.registerResult);
    c.answer.Key("initializeResult");
    c.answer.Int(addOn.initializeResult);
    c.answer.Key("keepInMemory");
    c.answer.Bool(addOn.keepInMemory);
}

}  // namespace

CommandArea MenuAndWindowCommands()
{
    static constexpr Command Rows[] = {
        {"menus", Menus},
        {"choose", Choose},
        {"reports", Reports},
        {"windows", Windows},
        {"call", Call},
        {"window.resize", WindowResize},
        {"window.close", WindowClose},
        {"window.navigate", WindowNavigate},
        {"shell", Shell},
        {"state", State},
        {"addon", AddOn},
    };
    return Rows;
}

}  // namespace Sim::Script
