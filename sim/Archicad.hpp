// The simulated Archicad: loads the add-on as the real host does and keeps what the host keeps for it:
// menus, add-on commands, notification handlers, reports, debug output and the open project.
#pragma once

#include "APIHostTable.h"
#include "EventLoop.hpp"
#include "FaultInjector.hpp"
#include "Project.hpp"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace Sim {

struct MenuItem {
    GS::UniString text;  // as shown: control codes removed
    GSFlags flags = 0;
};

struct Menu {
    Int16 id = 0;
    Int16 promptId = 0;
    GS::UniString title;    // the host menu the items appear under
    GS::UniString submenu;  // empty when the items sit directly in the title menu
    std::vector<MenuItem> items;
    APIMenuCommandProc* handler = nullptr;
};

struct Report {
    std::string text;
    bool alert = false;
};

struct ShellRequest {
    std::string verb;
    std::string address;
    std::string refusal;  // why the shell did not open it; empty for an opened address
};

// A process window long work opened: what the user sees of it.
struct ProcessWindow {
    std::string title;
    Int32 phases = 0;
    Int32 phase = 0;  // 1-based, 0 before the first
    std::string subtitle;
    Int32 value = 0;
    Int32 max = 0;
    bool cancelled = false;
    bool open = true;
};

struct AddOnState {
    bool loaded = false;
    std::string error;  // why loading failed
    GS::UniString name;
    GS::UniString description;
    API_AddonType type = APIAddon_Unknown;
    GSErrCode registerResult = NoError;
    GSErrCode initializeResult = NoError;
    bool keepInMemory = false;
    API_ModulID identifier = {};
};

class Archicad {
public:
    static constexpr Int32 MainVersion = 28;

    explicit Archicad(const std::string& dataRoot);
    ~Archicad();
    Archicad(const Archicad&) = delete;
    Archicad& operator=(const Archicad&) = delete;

    // The running host; the operation table reaches it through here.
    static Archicad& Current();

    // Places what an installation puts in the shared data folder: every file below `installFolder` that the
    // shared folder does not have yet, at the same relative path. Answers why it could not, naming the folder
    // or the path inside it (a shared data folder that cannot be listed or entered, a path in it that cannot
    // be looked at or written); nothing when all is in place.
    std::optional<std::string> InstallSharedData(const std::string& installFolder);

    // The host's start as a user sees it: the installation's data placed, the add-on loaded, then the project
    // at `projectPath` opened, or a new one when there is none or it cannot be opened (`projectError` says
    // why), and the event loop run until idle. Answers why the host could not start: the shared data folder
    // cannot be read or written, or the add-on cannot be loaded; nothing when it runs.
    std::optional<std::string> Start(const std::string& installFolder, const std::string& addOnPath,
                                     const std::string& projectPath, std::string* projectError);

    // dlopen, hand over the table, then CheckEnvironment, RegisterInterface and Initialize in order.
    bool LoadAddOn(const std::string& path);
    // FreeData, then unload unless the add-on asked to be kept in memory.
    void UnloadAddOn();
    // Unmaps the module whatever it asked, as a host does when it exits. Only for a module with no thread
    // of its own still running (benchmarks load hundreds of copies and must not keep them all).
    void ReleaseAddOnLibrary();
    const AddOnState& GetAddOn() const { return addOn_; }
    // Opens a module's compiled resources as the add-on's own (loading does this for the add-on's file).
    void OpenResources(const RS::ModuleData* resources);

    GSErrCode ChooseMenuItem(Int16 menuId, Int32 itemIndex);
    void NewProject();
    // An opened file the host had to correct says so once, on the debug output and in OpenCorrections.
    bool OpenProject(const std::string& path, std::string* error);
    // What the host corrected in the file it last opened, one line each; empty for a new project.
    const std::vector<std::string>& OpenCorrections() const { return openCorrections_; }
    bool SaveProject(const std::string& path, std::string* error);
    // The file the open project was opened from or last saved to; empty for a new project.
    const std::string& ProjectFile() const { return projectFile_; }
    // The user placing an element: a host command of its own undo step, the add-on told inside it.
    API_Guid PlaceElement(Element element);
    API_Guid CreateElement(API_ElemTypeID type) { return PlaceElement(NewElement(type)); }
    // The user editing an element: `edit` changes it inside a host command; an observing add-on is told
    // inside the same command. False when there is no such element.
    bool EditElement(const API_Guid& guid, const std::function<void(Element&)>& edit);
    // Deletes the element and the openings in it, as one step.
    bool DeleteElement(const API_Guid& guid);
    // Selects the elements (replacing the selection) and tells the add-on.
    bool Select(const std::vector<API_Guid>& guids);

    // Host commands: the user's own actions, each one named undo step. `command` runs with the step
    // open; what it changes is undone together. Not nested.
    void RunHostCommand(const std::string& name, const std::function<void()>& command);
    // The add-on's undoable command (ACAPI_CallUndoableCommand): refused inside another command; what it
    // changed stays even when it fails or throws; APIERR_UNDOEMPTY when it changed nothing undoable.
    GSErrCode RunUndoableCommand(const std::string& name, const std::function<GSErrCode()>& command);
    bool InCommand() const { return project_.InStep(); }
    std::optional<std::string> Undo() { return project_.Undo(); }
    std::optional<std::string> Redo() { return project_.Redo(); }

    // Process windows, oldest first; the user's cancel click is armed for the next one at a phase.
    std::vector<ProcessWindow>& ProcessWindows() { return processWindows_; }
    // What the plan view last zoomed to, and how many zooms there were (the same elements twice are two).
    const std::vector<API_Guid>& ZoomedTo() const { return zoomedTo_; }
    std::uint64_t Zooms() const { return zooms_; }
    void ZoomToSelection()
    {
        zoomedTo_ = project_.Selection();
        ++zooms_;
    }
    void ArmProcessCancel(Int32 atPhase) { cancelAtPhase_ = atPhase; }
    // Whether the armed click lands in this phase (it is used up then), or the user clicked Cancel while
    // the window was open.
    bool TakeProcessCancel(Int32 phase);
    // The user's click on the open process window's Cancel button, from any thread; long work sees it the
    // next time it asks.
    void RequestProcessCancel() { cancelRequested_ = true; }
    // A click on an earlier window's Cancel cannot land on a new one.
    void ForgetProcessCancel() { cancelRequested_ = false; }
    // Called whenever a process window opens, advances or closes, on the thread doing the work: what shows
    // the host to a user redraws it there, since the work holds the event loop.
    void SetProcessObserver(std::function<void()> observer) { processObserver_ = std::move(observer); }
    void ProcessWindowChanged();

    EventLoop& Loop() { return loop_; }
    FaultInjector& Faults() { return faults_; }
    Project& CurrentProject() { return project_; }
    std::vector<Menu>& Menus() { return menus_; }
    Menu* FindMenu(Int16 id);
    std::vector<Report>& Reports() { return reports_; }
    std::vector<std::string> DebugLines() const;
    // Addresses the shell opened, and apart from them those it refused.
    std::vector<ShellRequest>& ShellRequests() { return shellRequests_; }
    std::vector<ShellRequest>& RefusedShellRequests() { return refusedShellRequests_; }
    const std::string& DataRoot() const { return dataRoot_; }
    GSResModule ResModule() const { return resModule_; }

    // Host state the operation table works on.
    struct Notifications {
        APISelectionChangeHandlerProc* selection = nullptr;
        APIElementEventHandlerProc* elementObserver = nullptr;
        APIElementEventHandlerProc* newElement = nullptr;
        std::optional<API_ElemTypeID> newElementType;  // none: every type
        APIProjectEventHandlerProc* project = nullptr;
        GSFlags projectMask = 0;
        std::unordered_set<API_Guid> observed;  // a set: a selection of walls attaches thousands
    };
    Notifications& Handlers() { return notifications_; }

    struct CommandKey {
        GSType id;
        Int32 version;
        bool operator<(const CommandKey& other) const
        {
            return id != other.id ? id < other.id : version < other.version;
        }
    };
    // Commands may be called from any thread, so their tables are locked.
    bool RegisterService(CommandKey key);
    bool InstallCommandHandler(CommandKey key, APIModulCommandProc* handler);
    bool IsServiceRegistered(CommandKey key) const;
    APIModulCommandProc* CommandHandler(CommandKey key) const;

    void SetKeepInMemory(bool keep) { addOn_.keepInMemory = keep; }

private:
    void SendProjectEvent(API_NotifyEventID event);

    std::string dataRoot_;
    EventLoop loop_;
    FaultInjector faults_;
    Project project_;
    std::string projectFile_;
    std::vector<Menu> menus_;
    std::vector<Report> reports_;
    mutable std::mutex debugMutex_;
    std::vector<std::string> debugLines_;
    std::vector<std::string> openCorrections_;
    std::vector<ShellRequest> shellRequests_;
    std::vector<ShellRequest> refusedShellRequests_;
    std::vector<ProcessWindow> processWindows_;
    std::optional<Int32> cancelAtPhase_;
    std::atomic<bool> cancelRequested_{false};
    std::function<void()> processObserver_;
    std::vector<API_Guid> zoomedTo_;
    std::uint64_t zooms_ = 0;
    Notifications notifications_;
    mutable std::mutex commandMutex_;
    std::set<CommandKey> services_;
    std::map<CommandKey, APIModulCommandProc*> commandHandlers_;
    AddOnState addOn_;
    void* library_ = nullptr;
    GSResModule resModule_ = InvalidResModule;
    API_ExportedFunctions entryPoints_;
};

// The folder of the running program; an installation keeps the module and the shared data beside it.
std::string ProgramFolder(const char* argv0);

// The table of operations the host hands to an add-on.
const API_HostFunctions& HostFunctions();
// Names of every operation in the table, for fault injection by name.
bool IsHostOperation(const std::string& name);

}  // namespace Sim
