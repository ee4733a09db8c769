// The host's side of DG: the modal runner the host installs at start, and the windows as the host's user
// sees them (list, resize, close) with the page driver that calls a window's registered JavaScript functions.
// Modules never call these. Everything here runs on the host's main thread.
#pragma once

#include "JSValues.hpp"
#include "UniString.hpp"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace DG {

class Browser;

// Runs the host's event loop nested until `closed` answers true (or the host quits).
using ModalRunner = std::function<void(const std::function<bool()>& closed)>;
// Without a runner, ModalDialog::Invoke cannot run and answers Cancel.
void SetModalRunner(ModalRunner runner);

// An open window, addressed by the reference id its creator gave its panel (0: none).
struct WindowInfo {
    Int32 id = 0;
    GS::UniString title;
    GS::UniString url;  // of the window's first browser control; empty without one
    Int16 width = 0;    // client size
    Int16 height = 0;
    bool visible = false;
    bool modal = false;
};

// Open windows in the order they opened.
std::vector<WindowInfo> ListWindows();
// The window with that id opened last, if one is open.
std::optional<WindowInfo> FindWindow(Int32 id);
// How many times a window with that id has opened; a modal one may have opened and closed while a host
// task ran, where FindWindow no longer sees it.
std::uint64_t OpenCount(Int32 id);
// That window's first browser control, as the page sees it; valid until the window closes.
const Browser* FindWindowBrowser(Int32 id);

enum class WindowActionResult { Done, NoSuchWindow, NotResizable };
// As a user drags the window's frame: the client size becomes width × height, stopped at the window's
// minimum, and its observers hear of the change.
WindowActionResult ResizeWindowAsUser(Int32 id, Int16 width, Int16 height);
// As a user clicks the window's close box: its observers are asked and it closes when none handles it.
WindowActionResult CloseWindowAsUser(Int32 id);

// As a user follows a link inside the window: its first browser control shows `url` now. The objects
// the module registered stay, as they do in an embedded browser, so the new page can call them too.
WindowActionResult FollowLinkAsUser(Int32 id, const GS::UniString& url);

struct FunctionCallResult {
    enum Status { Answered, NoSuchWindow, NoBrowser, NoSuchFunction } status = NoSuchWindow;
    GS::Ref<JS::Base> answer;  // null when the function answered nothing
};
// Calls function `name` of the objects registered with the window's first browser control, with one
// argument (null: none), as a page's script does. Exceptions of the function reach the caller.
FunctionCallResult CallBrowserFunction(Int32 id, const GS::UniString& name, const GS::Ref<JS::Base>& argument);

// The host is quitting: every window leaves the list. The panels themselves belong to their modules.
void ForgetWindows();

}  // namespace DG
