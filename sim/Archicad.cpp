#include "Archicad.hpp"

#include "DGHost.hpp"
#include "FileSystem.hpp"
#include "GSDebug.hpp"
#include "HTTPHost.hpp"
#include "HostGuid.hpp"
#include "HostImpl.hpp"
#include "HostText.hpp"
#include "ModelJson.hpp"

#include <algorithm>
#include <cerrno>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace Sim {

namespace {
Archicad* current = nullptr;

constexpr IO::FileSystem::SpecialFolderId UserDataFolder = 5;
constexpr IO::FileSystem::SpecialFolderId SharedDataFolder = 10;

// Made with its parents, as a user's --data folder may be new; a folder that cannot be made shows up as
// the add-on's own failure to write there.
void EnsureFolder(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
}
}  // namespace

Archicad::Archicad(const std::string& dataRoot) : dataRoot_(dataRoot)
{
    // As the real host does at start, before any add-on thread can open a connection.
    if (HTTP::InitializeHostLibrary() != NoError)
        throw std::runtime_error("the HTTP library could not be initialised");
    current = this;
    EnsureFolder(dataRoot_);
    EnsureFolder(dataRoot_ + "/user");
    EnsureFolder(dataRoot_ + "/shared");
    IO::fileSystem.SetSpecialLocation(UserDataFolder, IO::Location(HostText::Uni(dataRoot_ + "/user")));
    IO::fileSystem.SetSpecialLocation(SharedDataFolder, IO::Location(HostText::Uni(dataRoot_ + "/shared")));
    GS::SetDebugOutputSink([this](const std::string& text) {
        std::lock_guard<std::mutex> lock(debugMutex_);
        debugLines_.push_back(text);
    });
    // A modal dialog runs this host's loop nested, so input and posted tasks keep flowing while it is open.
    DG::SetModalRunner([this](const std::function<bool()>& closed) { loop_.Run(closed); });
}

Archicad::~Archicad()
{
    GS::SetDebugOutputSink(nullptr);
    if (resModule_ != InvalidResModule)
        RS::RSCloseModule(resModule_);
    if (current == this) {
        // The windows the add-on left open go with the host; their objects stay the module's.
        DG::SetModalRunner(nullptr);
        DG::ForgetWindows();
        current = nullptr;
    }
}

Archicad& Archicad::Current()
{
    return *current;
}

namespace {
// Why the folder cannot be listed and entered, or nothing when it can.
std::optional<std::string> UnreadableFolderReason(const std::string& folder)
{
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (!error && access(folder.c_str(), R_OK | X_OK) != 0)
        error.assign(errno, std::generic_category());
    return error ? std::optional<std::string>(error.message()) : std::nullopt;
}
}  // namespace

std::optional<std::string> Archicad::InstallSharedData(const std::string& installFolder)
{
    namespace fs = std::filesystem;
    const std::string shared = dataRoot_ + "/shared";
    if (const auto reason = UnreadableFolderReason(shared))
        return "cannot read the shared data folder " + shared + ": " + *reason;
    std::error_code error;
    for (fs::recursive_directory_iterator entry(installFolder, error), end; !error && entry != end;
         entry.increment(error)) {
        const bool file = entry->is_regular_file(error);
        const fs::path relative = file ? fs::relative(entry->path(), installFolder, error) : fs::path();
        if (error)
            return "cannot read " + entry->path().string() + ": " + error.message();
        if (!file)
            continue;
        const fs::path target = fs::path(shared) / relative;
        const bool present = fs::exists(target, error);
        if (error)
            return "cannot read " + target.string() + ": " + error.message();
        if (present)
            continue;
        fs::create_directories(target.parent_path(), error);
        if (!error)
            fs::copy_file(entry->path(), target, error);
        if (error)
            return "cannot write " + target.string() + ": " + error.message();
    }
    if (error)
        return "cannot read the installation's data " + installFolder + ": " + error.message();
    return std::nullopt;
}

std::optional<std::string> Archicad::Start(const std::string& installFolder, const std::string& addOnPath,
                                           const std::string& projectPath, std::string* projectError)
{
    if (auto failure = InstallSharedData(installFolder))
        return failure;
    if (!LoadAddOn(addOnPath))
        return "cannot load " + addOnPath + ": " + addOn_.error;
    projectError->clear();
    if (projectPath.empty() || !OpenProject(projectPath, projectError))
        NewProject();
    loop_.RunUntilIdle();
    return std::nullopt;
}

std::string ProgramFolder(const char* argv0)
{
    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : std::string(argv0);
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool Archicad::LoadAddOn(const std::string& path)
{
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) {
        addOn_.error = dlerror();
        return false;
    }
    auto* getExported = reinterpret_cast<GetExportedFuncAddrsProc*>(dlsym(library_, GetExportedFuncAddrsSymbol));
    auto* setImported = reinterpret_cast<SetImportedFuncAddrsProc*>(dlsym(library_, SetImportedFuncAddrsSymbol));
    const auto* resources = static_cast<const RS::ModuleData*>(dlsym(library_, RS::ModuleDataSymbol));
    if (getExported == nullptr || setImported == nullptr || resources == nullptr) {
        addOn_.error = "not an add-on: the seam functions or the resource table are missing";
        return false;
    }
    OpenResources(resources);
    // The module identifier addresses the add-on in add-on commands.
    if (!RS::RSGetModuleIdentifier(resModule_, 32500, &addOn_.identifier.developerID, &addOn_.identifier.localID)) {
        addOn_.error = "the add-on has no module identifier";
        return false;
    }
    if (setImported(&HostFunctions()) != NoError || getExported(&entryPoints_) != NoError ||
        entryPoints_.CheckEnvironment == nullptr || entryPoints_.RegisterInterface == nullptr ||
        entryPoints_.Initialize == nullptr || entryPoints_.FreeData == nullptr) {
        addOn_.error = "the add-on did not hand over its entry points";
        return false;
    }

    API_EnvirParams environment;
    environment.serverInfo.mainVersion = MainVersion;
    environment.serverInfo.language = "INT";
    addOn_.type = entryPoints_.CheckEnvironment(&environment);
    addOn_.name = environment.addOnInfo.name;
    addOn_.description = environment.addOnInfo.description;
    if (addOn_.type == APIAddon_DontRegister) {
        addOn_.error = "the add-on declined to register";
        return false;
    }
    addOn_.registerResult = entryPoints_.RegisterInterface();
    addOn_.initializeResult = entryPoints_.Initialize();
    addOn_.loaded = true;
    return true;
}

void Archicad::UnloadAddOn()
{
    if (!addOn_.loaded)
        return;
    entryPoints_.FreeData();
    addOn_.loaded = false;
    // A kept add-on stays mapped until the host exits, like the real host's preloaded add-ons.
    if (!addOn_.keepInMemory && library_ != nullptr) {
        dlclose(library_);
        library_ = nullptr;
    }
}

void Archicad::OpenResources(const RS::ModuleData* resources)
{
    if (resModule_ != InvalidResModule)
        RS::RSCloseModule(resModule_);
    resModule_ = RS::RSOpenModule(resources);
}

void Archicad::ReleaseAddOnLibrary()
{
    UnloadAddOn();
    if (library_ != nullptr)
        dlclose(library_);
    library_ = nullptr;
}

Menu* Archicad::FindMenu(Int16 id)
{
    for (auto& menu : menus_) {
        if (menu.id == id)
            return &menu;
    }
    return nullptr;
}

GSErrCode Archicad::ChooseMenuItem(Int16 menuId, Int32 itemIndex)
{
    Menu* menu = FindMenu(menuId);
    if (menu == nullptr || itemIndex < 1 || itemIndex > static_cast<Int32>(menu->items.size()))
        return APIERR_BADINDEX;
    if (menu->items[itemIndex - 1].flags & API_MenuItemDisabled)
        return APIERR_REFUSEDCMD;
    if (menu->handler == nullptr)
        return APIERR_GENERAL;
    API_MenuParams params = {};
    params.menuItemRef = {menuId, itemIndex};
    return menu->handler(&params);
}

void Archicad::SendProjectEvent(API_NotifyEventID event)
{
    if (notifications_.project != nullptr && (notifications_.projectMask & event) != 0)
        notifications_.project(event, 0);
}

void Archicad::NewProject()
{
    project_ = Project();
    projectFile_.clear();
    openCorrections_.clear();
    notifications_.observed.clear();
    SendProjectEvent(APINotify_New);
}

bool Archicad::OpenProject(const std::string& path, std::string* error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    Project opened;
    std::vector<std::string> corrections;
    if (!opened.FromJson(text.str(), error, &corrections)) {
        *error = path + ": " + *error;
        return false;
    }
    project_ = std::move(opened);
    projectFile_ = path;
    openCorrections_ = std::move(corrections);
    for (const std::string& correction : openCorrections_)
        DBPrintf("Host: %s: %s\n", path.c_str(), correction.c_str());
    notifications_.observed.clear();
    SendProjectEvent(APINotify_Open);
    return true;
}

bool Archicad::SaveProject(const std::string& path, std::string* error)
{
    SendProjectEvent(APINotify_PreSave);
    std::string text;
    try {
        text = project_.ToJson();
    } catch (const Json::FormatError& failure) {
        *error = "cannot save " + path + ": " + failure.what();
        return false;
    }
    const std::string temporary = path + ".saving";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text;
        if (!file.flush()) {
            *error = "cannot write " + path;
            return false;
        }
    }
    // Written aside and renamed, so a failed save never leaves half a project behind.
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = "cannot replace " + path;
        return false;
    }
    projectFile_ = path;
    SendProjectEvent(APINotify_Save);
    return true;
}

namespace {

const char* PlaceStepName(API_ElemTypeID type)
{
    switch (type) {
        case API_WallID:
            return "Create Wall";
        case API_SlabID:
            return "Create Slab";
        case API_WindowID:
            return "Create Window";
        case API_DoorID:
            return "Create Door";
        case API_CurtainWallID:
            return "Create Curtain Wall";
        default:
            return "Create Element";
    }
}

}  // namespace

void Archicad::RunHostCommand(const std::string& name, const std::function<void()>& command)
{
    project_.BeginStep(name);
    command();
    project_.CommitStep();
}

GSErrCode Archicad::RunUndoableCommand(const std::string& name, const std::function<GSErrCode()>& command)
{
    if (project_.InStep())
        return APIERR_REFUSEDCMD;
    project_.BeginStep(name);
    GSErrCode result = NoError;
    // The reference does not say what Archicad does with the changes made before a command fails or
    // throws; the host keeps them as a step of their own, the reading least forgiving to an add-on.
    try {
        result = command();
    } catch (const std::exception& error) {
        DBPrintf("Host: the undoable command \"%s\" threw (%s); its changes are kept\n", name.c_str(), error.what());
        result = APIERR_COMMANDFAILED;
    } catch (...) {
        DBPrintf("Host: the undoable command \"%s\" threw; its changes are kept\n", name.c_str());
        result = APIERR_COMMANDFAILED;
    }
    const bool undoable = project_.CommitStep();
    // "No undoable entry has got into the opened undo operation" (ACAPI_CallUndoableCommand).
    return result == NoError && !undoable ? APIERR_UNDOEMPTY : result;
}

bool Archicad::TakeProcessCancel(Int32 phase)
{
    if (cancelRequested_.exchange(false))
        return true;
    if (!cancelAtPhase_ || *cancelAtPhase_ > phase)
        return false;
    cancelAtPhase_.reset();
    return true;
}

void Archicad::ProcessWindowChanged()
{
    if (processObserver_)
        processObserver_();
}

API_Guid Archicad::PlaceElement(Element element)
{
    if (element.record.header.guid == APINULLGuid)
        element.record.header.guid = GSGuid2APIGuid(HostGuid::New());
    const API_Guid guid = element.Guid();
    const API_ElemTypeID type = element.Type();
    project_.ClassifyAsTool(element);
    RunHostCommand(PlaceStepName(type), [&] {
        project_.AddElement(std::move(element));
        const bool typeMatches = !notifications_.newElementType || *notifications_.newElementType == type;
        if (notifications_.newElement != nullptr && typeMatches) {
            API_NotifyElementType notification = {};
            notification.notifID = APINotifyElement_New;
            notification.elemHead.guid = guid;
            notification.elemHead.type = type;
            notifications_.newElement(&notification);
        }
    });
    return guid;
}

bool Archicad::EditElement(const API_Guid& guid, const std::function<void(Element&)>& edit)
{
    if (project_.FindElement(guid) == nullptr)
        return false;
    RunHostCommand("Edit Element", [&] {
        Element* element = project_.EditElement(guid);
        edit(*element);
        const bool observed = notifications_.observed.count(guid) > 0;
        if (observed && notifications_.elementObserver != nullptr) {
            API_NotifyElementType notification = {};
            notification.notifID = APINotifyElement_Change;
            notification.elemHead.guid = guid;
            notification.elemHead.type = element->Type();
            notifications_.elementObserver(&notification);
        }
    });
    return true;
}

bool Archicad::DeleteElement(const API_Guid& guid)
{
    if (project_.FindElement(guid) == nullptr)
        return false;
    RunHostCommand("Delete", [&] {
        for (const Element* opening : project_.OpeningsOf(guid)) {
            const API_Guid openingGuid = opening->Guid();
            project_.DeleteElement(openingGuid);
        }
        project_.DeleteElement(guid);
    });
    return true;
}

bool Archicad::Select(const std::vector<API_Guid>& guids)
{
    for (const auto& guid : guids) {
        if (project_.FindElement(guid) == nullptr)
            return false;
    }
    project_.Selection() = guids;
    if (notifications_.selection != nullptr) {
        API_Neig neig;
        if (!guids.empty()) {
            neig.guid = guids.front();
            neig.neigID = NeigOf(project_.FindElement(neig.guid)->Type());
        }
        notifications_.selection(&neig);
    }
    return true;
}

std::vector<std::string> Archicad::DebugLines() const
{
    std::lock_guard<std::mutex> lock(debugMutex_);
    return debugLines_;
}

bool Archicad::RegisterService(CommandKey key)
{
    std::lock_guard<std::mutex> lock(commandMutex_);
    return services_.insert(key).second;
}

bool Archicad::InstallCommandHandler(CommandKey key, APIModulCommandProc* handler)
{
    std::lock_guard<std::mutex> lock(commandMutex_);
    if (services_.count(key) == 0)
        return false;
    commandHandlers_[key] = handler;
    return true;
}

bool Archicad::IsServiceRegistered(CommandKey key) const
{
    std::lock_guard<std::mutex> lock(commandMutex_);
    return services_.count(key) > 0;
}

APIModulCommandProc* Archicad::CommandHandler(CommandKey key) const
{
    std::lock_guard<std::mutex> lock(commandMutex_);
    const auto found = commandHandlers_.find(key);
    return found == commandHandlers_.end() ? nullptr : found->second;
}

}  // namespace Sim
