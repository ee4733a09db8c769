#include "Archicad.hpp"
#include "TempFolder.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {

using Velmar::Testing::TempFolder;

// Calls made the way an add-on makes them: through the table the host hands over.
const API_HostFunctions& Api()
{
    return Sim::HostFunctions();
}

struct CommandLog {
    std::thread::id handlerThread;
    std::string system;
    int callbacks = 0;
};
CommandLog commandLog;

GSErrCode RecordCommand(GSHandle params, void*, bool)
{
    commandLog.handlerThread = std::this_thread::get_id();
    Int32 count = 0;
    Api().ACAPI_AddOnAddOnCommunication_GetMDCLParameterNum(params, &count);
    for (Int32 i = 1; i <= count; ++i) {
        API_MDCLParameter parameter;
        parameter.index = i;
        if (Api().ACAPI_AddOnAddOnCommunication_GetMDCLParameter(params, &parameter) == NoError &&
            std::string(parameter.name) == "System")
            commandLog.system = parameter.string_par;
    }
    return NoError;
}

void FreeList(GSHandle* params, void*, bool)
{
    ++commandLog.callbacks;
    Api().ACAPI_AddOnAddOnCommunication_FreeMDCLParameterList(params);
}

TEST(EventLoop, ACommandCalledFromAnotherThreadRunsOnTheMainThreadWithItsParameters)
{
    TempFolder root;
    Sim::Archicad host(root / "data");
    const GSType command = MakeGSType("TEST");
    ASSERT_EQ(Api().ACAPI_AddOnAddOnCommunication_RegisterSupportedService(command, 1), NoError);
    ASSERT_EQ(Api().ACAPI_AddOnAddOnCommunication_InstallAddOnCommandHandler(command, 1, RecordCommand), NoError);
    commandLog = CommandLog {};

    GSErrCode posted = APIERR_GENERAL, wrongAddOn = NoError, wrongCommand = NoError;
    std::thread poller([&] {
        GSHandle params = nullptr;
        Api().ACAPI_AddOnAddOnCommunication_InitMDCLParameterList(&params);
        API_MDCLParameter parameter;
        parameter.name = "System";
        parameter.type = MDCLPar_string;
        parameter.string_par = "GYP-MS-100";
        Api().ACAPI_AddOnAddOnCommunication_AddMDCLParameter(params, &parameter);
        API_ModulID self = host.GetAddOn().identifier;
        posted = Api().ACAPI_AddOnAddOnCommunication_CallFromEventLoop(&self, command, 1, params, true, FreeList);
        API_ModulID other {self.developerID + 1, self.localID};
        wrongAddOn = Api().ACAPI_AddOnAddOnCommunication_CallFromEventLoop(&other, command, 1, params, true, FreeList);
        wrongCommand = Api().ACAPI_AddOnAddOnCommunication_CallFromEventLoop(&self, command, 2, params, true, FreeList);
    });
    poller.join();
    EXPECT_EQ(posted, NoError);
    EXPECT_EQ(wrongAddOn, APIERR_MODULNOTINSTALLED);
    EXPECT_EQ(wrongCommand, APIERR_MODULCMDNOTSUPPORTED);
    EXPECT_EQ(commandLog.callbacks, 0) << "nothing runs before the main thread's loop takes it";

    host.Loop().RunUntilIdle();
    EXPECT_EQ(commandLog.handlerThread, std::this_thread::get_id());
    EXPECT_EQ(commandLog.system, "GYP-MS-100");
    EXPECT_EQ(commandLog.callbacks, 1);
}

TEST(EventLoop, WaitingEndsWhenTheConditionIsMetOrTheTimeIsUp)
{
    Sim::EventLoop loop;
    bool flag = false;
    std::thread poster([&] { loop.Post([&] { flag = true; }); });
    EXPECT_TRUE(loop.RunFor(std::chrono::seconds(5), [&] { return flag; }));
    poster.join();
    EXPECT_FALSE(loop.RunFor(std::chrono::milliseconds(20), [] { return false; }));
}

TEST(EventLoop, AModalRunNestsTheLoopSoInputAndPostedTasksKeepFlowing)
{
    Sim::EventLoop loop;
    std::vector<std::string> trace;
    bool dialogOpen = false, quitDialog = false, done = false;
    int inputs = 0;
    loop.SetIdleHandler([&] {
        ++inputs;
        if (inputs == 1) {
            loop.Post([&] {
                dialogOpen = true;
                trace.push_back("modal opens at depth " + std::to_string(loop.Depth()));
                loop.Run([&] { return quitDialog; });
                dialogOpen = false;
                trace.push_back("modal closed");
            });
        } else if (inputs == 2) {
            trace.push_back(std::string("input while modal: ") + (dialogOpen ? "yes" : "no") + " at depth " +
                            std::to_string(loop.Depth()));
            std::thread([&] { loop.Post([&] { quitDialog = true; }); }).join();
        } else {
            done = true;
        }
        return true;
    });
    loop.Run([&] { return done; });
    EXPECT_EQ(trace, (std::vector<std::string> {"modal opens at depth 1", "input while modal: yes at depth 2",
                                                "modal closed"}));
}

TEST(Faults, ArmedOperationsFailTheGivenNumberOfTimesThenWorkAgain)
{
    TempFolder root;
    Sim::Archicad host(root / "data");
    host.Faults().Arm("ACAPI_ModulData_Delete", APIERR_REFUSEDCMD, 2);
    host.Faults().Arm("ACAPI_Selection_DeselectAll", APIERR_MEMFULL, Sim::FaultInjector::Every);
    EXPECT_EQ(Api().ACAPI_ModulData_Delete("x"), APIERR_REFUSEDCMD);
    EXPECT_EQ(Api().ACAPI_ModulData_Delete("x"), APIERR_REFUSEDCMD);
    EXPECT_EQ(Api().ACAPI_ModulData_Delete("x"), APIERR_BADNAME) << "the real behaviour returns";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Api().ACAPI_Selection_DeselectAll(), APIERR_MEMFULL);
    EXPECT_TRUE(Sim::IsHostOperation("ACAPI_Element_GetHeader"));
    EXPECT_FALSE(Sim::IsHostOperation("ACAPI_NoSuchThing"));
}

TEST(Project, SavedProjectOpensWithItsElementsUserDataAndModuleData)
{
    TempFolder root;
    Sim::Archicad host(root / "data");
    const API_Guid wall = host.CreateElement(API_WallID);
    host.CreateElement(API_SlabID);

    const std::string bytes("\x00\x01binary\xFF", 9);
    GS::HandleGuard handle(BMAllocateHandle(static_cast<Int32>(bytes.size()), 0, 0));
    std::memcpy(*handle.Get(), bytes.data(), bytes.size());
    API_ModulData data;
    data.dataVersion = 3;
    data.platformSign = GS::Act_Platform_Sign;
    data.dataHdl = handle.Get();
    ASSERT_EQ(Api().ACAPI_ModulData_Store(&data, "VelmarProjectSettings"), NoError);
    API_Elem_Head head;
    head.guid = wall;
    API_ElementUserData userData;
    userData.dataVersion = 1;
    userData.dataHdl = handle.Get();
    ASSERT_EQ(Api().ACAPI_Element_SetUserData(&head, &userData), NoError);

    std::string error;
    ASSERT_TRUE(host.SaveProject(root / "p.json", &error)) << error;
    host.NewProject();
    EXPECT_TRUE(host.CurrentProject().GetElements().empty());
    ASSERT_TRUE(host.OpenProject(root / "p.json", &error)) << error;

    GS::Array<API_Guid> walls;
    ASSERT_EQ(Api().ACAPI_Element_GetElemList(API_WallID, &walls), NoError);
    ASSERT_EQ(walls.GetSize(), 1u);
    EXPECT_EQ(walls[0], wall);
    API_ModulData read;
    ASSERT_EQ(Api().ACAPI_ModulData_Get(&read, "VelmarProjectSettings"), NoError);
    GS::HandleGuard readHandle(read.dataHdl);
    EXPECT_EQ(read.dataVersion, 3);
    EXPECT_EQ(std::string(*read.dataHdl, static_cast<std::size_t>(BMGetHandleSize(read.dataHdl))), bytes);
    API_ElementUserData readUserData;
    ASSERT_EQ(Api().ACAPI_Element_GetUserData(&head, &readUserData), NoError);
    GS::HandleGuard userHandle(readUserData.dataHdl);
    EXPECT_EQ(BMGetHandleSize(readUserData.dataHdl), static_cast<Int32>(bytes.size()));
}

TEST(Project, AMalformedProjectFileIsRefusedAndTheOpenProjectStays)
{
    TempFolder root;
    Sim::Archicad host(root / "data");
    host.CreateElement(API_WallID);
    const char* files[] = {
        "", "{", "[]", R"({"format":"other","version":1})", R"({"format":"velmar-sim-project","version":2})",
        R"({"format":"velmar-sim-project","version":1,"elements":[{"guid":"nope","type":"wall"}]})",
        R"({"format":"velmar-sim-project","version":1,"elements":[{"guid":"901E167F-078D-4032-8383-39568546B9F9","type":"tree"}]})",
        R"({"format":"velmar-sim-project","version":1,"moduleData":[{"name":"x","version":1,"platformSign":1,"data":"!!"}]})",
        R"({"format":"velmar-sim-project","version":1,"moduleData":[{"name":"x","version":1,"platformSign":70000,"data":""}]})",
    };
    for (const char* text : files) {
        Velmar::Testing::WriteFile(root / "bad.json", text);
        std::string error;
        EXPECT_FALSE(host.OpenProject(root / "bad.json", &error)) << text;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(host.CurrentProject().GetElements().size(), 1u) << text;
    }
}

}  // namespace
