#include "Workbench.hpp"

#include "DGHost.hpp"
#include "GSException.hpp"
#include "HostSnapshot.hpp"
#include "HostText.hpp"
#include "JsValueJson.hpp"
#include "ModelJson.hpp"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <thread>

namespace Sim::Workbench {

namespace {

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

constexpr const char* ModalAnswer = R"({"ok":true,"modal":true})";

// Runs work of the add-on at the workbench's boundary: what the add-on lets escape is the host's error to
// show, not a reason to end the host.
template <typename Work>
std::optional<std::string> Guarded(const Work& work)
{
    try {
        work();
        return std::nullopt;
    } catch (const ActionError& error) {
        return error.message;
    } catch (const Json::FormatError& error) {
        return std::string(error.what());
    } catch (const GS::Exception& exception) {
        return std::string("the add-on let an exception escape: ") + exception.GetName() + ": " +
               HostText::Utf8(exception.GetMessage());
    } catch (const std::exception& exception) {
        return std::string("the add-on let an exception escape: ") + exception.what();
    }
}

// {"ok":true} with the members `members` writes.
std::string OkAnswer(const std::function<void(Writer&)>& members = {})
{
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key("ok");
    writer.Bool(true);
    if (members)
        members(writer);
    writer.EndObject();
    return buffer.GetString();
}

void CheckWindowAction(DG::WindowActionResult result, int window)
{
    if (result == DG::WindowActionResult::NoSuchWindow)
        throw ActionError{"no open window " + std::to_string(window)};
    if (result == DG::WindowActionResult::NotResizable)
        throw ActionError{"window " + std::to_string(window) + " cannot be resized"};
}

}  // namespace

struct Workbench::Request {
    std::promise<std::string> promise;
    std::future<std::string> future = promise.get_future();
    bool answered = false;  // guarded by the workbench's mutex
    // Main thread only, for user actions.
    bool finished = false;
    std::string result;
};

Workbench::Workbench(Archicad& host, RouteTable routes) : host_(host), routes_(std::move(routes)) {}

void Workbench::Run()
{
    host_.Loop().SetIdleHandler([this] { return OnIdle(); });
    host_.SetProcessObserver([this] { OnProcessWindowChanged(); });
    PublishState();
    host_.Loop().Run([this] { return IsQuitting(); });
    host_.SetProcessObserver(nullptr);
    host_.Loop().SetIdleHandler(nullptr);
}

void Workbench::Quit()
{
    std::set<std::shared_ptr<Request>> waiting;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quitting_ = true;
        waiting = waiting_;
    }
    for (const auto& request : waiting)
        Answer(request, ErrorAnswer("the host is quitting"));
    stateChanged_.notify_all();
    host_.Loop().Quit();
}

bool Workbench::IsQuitting() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return quitting_;
}

std::shared_ptr<Workbench::Request> Workbench::NewRequest()
{
    auto request = std::make_shared<Request>();
    std::lock_guard<std::mutex> lock(mutex_);
    if (quitting_)
        return nullptr;
    waiting_.insert(request);
    return request;
}

void Workbench::Answer(const std::shared_ptr<Request>& request, const std::string& text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (request->answered)
        return;
    request->answered = true;
    waiting_.erase(request);
    request->promise.set_value(text);
}

std::string Workbench::Await(const std::shared_ptr<Request>& request)
{
    return request->future.get();
}

std::string Workbench::RunUserAction(Action action)
{
    const auto request = NewRequest();
    if (request == nullptr)
        return ErrorAnswer("the host is quitting");
    host_.Loop().Post([this, request, action = std::move(action)] {
        startedActions_.push_back(request);
        std::string answer;
        const auto error = Guarded([&] { answer = action(); });
        request->result = error ? ErrorAnswer(*error) : answer;
        request->finished = true;
    });
    return Await(request);
}

std::string Workbench::Choose(int menu, int item)
{
    return RunUserAction([this, menu, item] {
        if (menu < INT16_MIN || menu > INT16_MAX || item < 1)
            throw ActionError{"no such menu item"};
        const GSErrCode result = host_.ChooseMenuItem(static_cast<Int16>(menu), item);
        if (result == APIERR_BADINDEX)
            throw ActionError{"no such menu item"};
        if (result == APIERR_REFUSEDCMD)
            throw ActionError{"the menu item is disabled"};
        return OkAnswer([result](Writer& answer) {
            answer.Key("result");
            answer.Int(result);
        });
    });
}

std::string Workbench::ResizeWindow(int window, int width, int height)
{
    return RunUserAction([window, width, height] {
        if (width < 1 || width > INT16_MAX || height < 1 || height > INT16_MAX)
            throw ActionError{"a window's size is 1 to 32767 pixels each way"};
        CheckWindowAction(DG::ResizeWindowAsUser(window, static_cast<Int16>(width), static_cast<Int16>(height)),
                          window);
        return OkAnswer();
    });
}

std::string Workbench::CloseWindow(int window)
{
    return RunUserAction([window] {
        CheckWindowAction(DG::CloseWindowAsUser(window), window);
        return OkAnswer();
    });
}

std::string Workbench::Script(const std::string& command)
{
    return RunUserAction([this, command] {
        std::string answer = ExecuteCommand(host_, command, script_);
        if (script_.quit)
            Quit();
        return answer;
    });
}

std::string Workbench::CancelProcess()
{
    host_.RequestProcessCancel();
    return OkAnswer();
}

std::string Workbench::Model(std::uint64_t identity, std::uint64_t since)
{
    return OnMainThread([this, identity, since] { return DescribeModel(host_, identity, since); });
}

std::string Workbench::OnMainThread(std::function<std::string()> work)
{
    const auto request = NewRequest();
    if (request == nullptr)
        return ErrorAnswer("the host is quitting");
    host_.Loop().Post([this, request, work = std::move(work)] {
        std::string answer;
        const auto error = Guarded([&] { answer = work(); });
        Answer(request, error ? ErrorAnswer(*error) : answer);
    });
    return Await(request);
}

void Workbench::OnProcessWindowChanged()
{
    using Clock = std::chrono::steady_clock;
    // A display shows no more than this; what changes between two of its frames is never seen anyway.
    constexpr auto Frame = std::chrono::milliseconds(16);
    // Work quicker than this would only flash its window: it stays this long so a person sees it appear.
    constexpr auto ShortestShowing = std::chrono::milliseconds(250);
    const auto now = Clock::now();
    const auto& windows = host_.ProcessWindows();
    const bool open = !windows.empty() && windows.back().open;
    const Int32 phase = open ? windows.back().phase : 0;
    if (open && windows.size() != progressShown_.window) {
        progressShown_.window = windows.size();
        progressShown_.opened = now;
    }
    if (!open && progressShown_.open && now < progressShown_.opened + ShortestShowing)
        std::this_thread::sleep_until(progressShown_.opened + ShortestShowing);
    const bool step = open != progressShown_.open || phase != progressShown_.phase;
    if (!step && now < progressShown_.published + Frame)
        return;
    PublishState();
    progressShown_.open = open;
    progressShown_.phase = phase;
    progressShown_.published = Clock::now();
}

std::string Workbench::Call(int window, const std::string& function, const std::optional<std::string>& argumentJson)
{
    const auto request = NewRequest();
    if (request == nullptr)
        return ErrorAnswer("the host is quitting");
    host_.Loop().Post([this, request, window, function, argumentJson] {
        DG::FunctionCallResult result;
        const auto error = Guarded([&] {
            GS::Ref<JS::Base> value;
            if (argumentJson) {
                rapidjson::Document argument;
                argument.Parse(argumentJson->c_str(), argumentJson->size());
                if (argument.HasParseError())
                    throw ActionError{"the argument is not JSON"};
                value = JsFromJson(argument);
            }
            result = DG::CallBrowserFunction(window, HostText::Uni(function), value);
        });
        if (error) {
            std::cerr << "velmar-workbench: " << function << ": " << *error << "\n";
            Answer(request, ErrorAnswer(*error));
            return;
        }
        switch (result.status) {
            case DG::FunctionCallResult::NoSuchWindow:
                Answer(request, ErrorAnswer("no open window " + std::to_string(window)));
                return;
            case DG::FunctionCallResult::NoBrowser:
                Answer(request, ErrorAnswer("window " + std::to_string(window) + " has no browser control"));
                return;
            case DG::FunctionCallResult::NoSuchFunction:
                Answer(request, ErrorAnswer("the page's objects have no function " + function));
                return;
            case DG::FunctionCallResult::Answered:
                break;
        }
        try {
            Answer(request, OkAnswer([&result](Writer& answer) {
                       answer.Key("answer");
                       WriteJs(answer, result.answer);
                   }));
        } catch (const std::invalid_argument& error) {
            Answer(request, ErrorAnswer(error.what()));
        }
    });
    return Await(request);
}

std::string Workbench::State(std::uint64_t since, std::chrono::milliseconds wait)
{
    std::unique_lock<std::mutex> lock(mutex_);
    stateChanged_.wait_for(lock, wait, [&] { return stateVersion_ > since || quitting_; });
    return R"({"version":)" + std::to_string(stateVersion_) + R"(,"state":)" + state_ + "}";
}

bool Workbench::OnIdle()
{
    // The state first, so whoever gets an answer finds the state that answer leads to.
    PublishState();
    // Idle inside an action means it opened a modal dialog: the user sees the dialog now.
    for (const auto& request : startedActions_)
        Answer(request, request->finished ? request->result : ModalAnswer);
    startedActions_.clear();
    return false;
}

void Workbench::PublishState()
{
    std::string state = DescribeHost(host_, routes_);
    std::lock_guard<std::mutex> lock(mutex_);
    if (state == state_)
        return;
    state_ = std::move(state);
    ++stateVersion_;
    stateChanged_.notify_all();
}

}  // namespace Sim::Workbench
