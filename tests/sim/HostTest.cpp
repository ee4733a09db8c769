#include "Archicad.hpp"
#include "HandleOwner.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"
#include "ProjectGenerator.hpp"
#include "TempFolder.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>
#include <thread>
#include <tuple>

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

GSErrCode RecordCommand(GSHandle params, GSPtr, bool)
{
    commandLog.handlerThread = std::this_thread::get_id();
    Int32 count = 0;
    Api().ACAPI_AddOnAddOnCommunication_GetMDCLParameterNum(params, &count);
    for (Int32 i = 1; i <= count; ++i) {
        API_MDCLParameter parameter = {};
        parameter.index = i;
        if (Api().ACAPI_AddOnAddOnCommunication_GetMDCLParameter(params, &parameter) == NoError &&
            std::string(parameter.name) == "System")
            commandLog.system = parameter.string_par;
    }
    return NoError;
}

void FreeList(GSHandle* params, GSPtr, GSErrCode)
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
    ASSERT_EQ(Api().ACAPI_AddOnIntegration_InstallModulCommandHandler(command, 1, RecordCommand), NoError);
    commandLog = CommandLog{};

    GSErrCode posted = APIERR_GENERAL, wrongAddOn = NoError, wrongCommand = NoError;
    std::thread poller([&] {
        GSHandle params = nullptr;
        Api().ACAPI_AddOnAddOnCommunication_InitMDCLParameterList(&params);
        API_MDCLParameter parameter = {};
        parameter.name = "System";
        parameter.type = MDCLPar_string;
        parameter.string_par = "GYP-MS-100";
        Api().ACAPI_AddOnAddOnCommunication_AddMDCLParameter(params, &parameter);
        API_ModulID self = host.GetAddOn().identifier;
        posted = Api().ACAPI_AddOnAddOnCommunication_CallFromEventLoop(&self, command, 1, params, true, FreeList);
        API_ModulID other{self.developerID + 1, self.localID};
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

// Waiting ends when the condition is met or the time is up; a modal run nests the loop.
TEST(EventLoop, WaitingEndsInTimeAndAModalRunNestsTheLoopSoInputAndPostedTasksKeepFlowing)
{
    Sim::EventLoop loop;
    bool flag = false;
    std::thread poster([&] { loop.Post([&] { flag = true; }); });
    EXPECT_TRUE(loop.RunFor(std::chrono::seconds(5), [&] { return flag; }));
    poster.join();
    EXPECT_FALSE(loop.RunFor(std::chrono::milliseconds(20), [] { return false; }));

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
    EXPECT_EQ(trace, (std::vector<std::string>{"modal opens at depth 1", "input while modal: yes at depth 2",
                                               "modal closed"}));
}

API_Attribute Named(API_AttrTypeID type, const char* name, Int32 index = 0)
{
    API_Attribute attribute = {};
    attribute.header.typeID = type;
    std::strncpy(attribute.header.name, name, sizeof attribute.header.name - 1);
    attribute.header.index = ACAPI_CreateAttributeIndex(index);
    return attribute;
}

// The call's own answer when it fails, else the command's (APIERR_UNDOEMPTY when it changed nothing undoable).
GSErrCode InCommand(const std::function<GSErrCode()>& call)
{
    GSErrCode result = NoError;
    const GSErrCode err = Api().ACAPI_CallUndoableCommand("Test", [&] {
        result = call();
        return NoError;
    });
    return result != NoError ? result : err;
}

GSHandle HandleOf(const std::string& bytes)
{
    const GSHandle handle = BMAllocateHandle(static_cast<Int32>(bytes.size()), 0, 0);
    std::memcpy(*handle, bytes.data(), bytes.size());
    return handle;
}

// Skins of the first building material, written through the table: a composite without an index is created,
// one with an index rewritten. Attributes are written by non-undoable modifiers, which need no command.
GSErrCode WriteComposite(API_Attribute& composite, const std::vector<double>& thicknesses = {0.1})
{
    std::vector<API_CWallComponent> skins(thicknesses.size());
    for (std::size_t i = 0; i < skins.size(); ++i)
        skins[i] = API_CWallComponent{ACAPI_CreateAttributeIndex(1), 0, 0, thicknesses[i]};
    Velmar::HandleOwner handle(
        HandleOf(std::string(reinterpret_cast<const char*>(skins.data()), skins.size() * sizeof skins[0])));
    API_AttributeDefExt defs = {};
    defs.cwall_compItems = reinterpret_cast<API_CWallComponent**>(handle.Get());
    composite.compWall.nComps = static_cast<short>(skins.size());
    return composite.header.index.ToInt32_Deprecated() == 0 ? Api().ACAPI_Attribute_CreateExt(&composite, &defs)
                                                            : Api().ACAPI_Attribute_ModifyExt(&composite, &defs);
}

GSErrCode StoreBytes(const char* name, const std::string& bytes, Int32 version = 1)
{
    Velmar::HandleOwner handle(HandleOf(bytes));
    API_ModulData data = {};
    data.dataVersion = version;
    data.platformSign = GS::Act_Platform_Sign;
    data.dataHdl = handle.Get();
    return Api().ACAPI_ModulData_Store(&data, name);
}

// Sets a composite tag's version and sign with the given bytes.
GSErrCode SetUserData(API_Attr_Head head, const std::string& bytes)
{
    Velmar::HandleOwner handle(HandleOf(bytes));
    API_AttributeUserData userData = {};
    userData.dataVersion = 1;
    userData.platformSign = 0x5757;
    userData.dataHdl = handle.Get();
    return Api().ACAPI_UserData_SetUserData(&head, &userData);
}

// "version sign bytes", "none" (the host's APIERR_NOUSERDATA, no handle) or another error code.
std::string UserDataOf(API_Attr_Head head)
{
    API_AttributeUserData userData = {};
    userData.dataVersion = -1;
    const GSErrCode err = Api().ACAPI_UserData_GetUserData(&head, &userData);
    if (err == APIERR_NOUSERDATA && userData.dataHdl == nullptr && userData.dataVersion == -1)
        return "none";
    if (err != NoError)
        return std::to_string(err);
    Velmar::HandleOwner handle(userData.dataHdl);
    if (handle.Get() == nullptr)
        return "no handle, version " + std::to_string(userData.dataVersion);
    return std::to_string(userData.dataVersion) + " " + std::to_string(userData.platformSign) + " " +
           std::string(*handle.Get(), static_cast<std::size_t>(BMGetHandleSize(handle.Get())));
}

// "index name" of each attribute of the type, in the host's order.
std::vector<std::string> NamesOf(API_AttrTypeID type)
{
    GS::Array<API_Attribute> attributes;
    std::vector<std::string> names;
    if (Api().ACAPI_Attribute_GetAttributesByType(type, attributes) != NoError)
        return {"(not listed)"};
    for (const auto& attribute : attributes)
        names.push_back(std::to_string(attribute.header.index.ToInt32_Deprecated()) + " " + attribute.header.name);
    return names;
}

TEST(Project, SavedProjectOpensByteForByteWithItsElementsAttributesUserDataAndModuleData)
{
    TempFolder root;
    Sim::Archicad host(root / "data");
    const API_Guid wall = host.CreateElement(API_WallID);
    host.CreateElement(API_SlabID);

    const std::string bytes("\x00\x01binary\xFF", 9);
    Velmar::HandleOwner handle(HandleOf(bytes));
    ASSERT_EQ(StoreBytes("VelmarProjectSettings", bytes, 3), NoError);
    API_Elem_Head head = {};
    head.guid = wall;
    API_ElementUserData userData = {};
    userData.dataVersion = 1;
    userData.dataHdl = handle.Get();
    ASSERT_EQ(InCommand([&] { return Api().ACAPI_Element_SetUserData(&head, &userData); }), NoError);
    API_Attribute composites[] = {Named(API_CompWallID, "Wall 300"), Named(API_CompWallID, "Wand Ã©")};
    for (auto& composite : composites)
        ASSERT_EQ(WriteComposite(composite), NoError);
    ASSERT_EQ(SetUserData(composites[1].header, bytes), NoError);

    std::string error;
    ASSERT_TRUE(host.SaveProject(root / "p.json", &error)) << error;
    host.NewProject();
    EXPECT_TRUE(host.CurrentProject().Elements().empty());
    ASSERT_TRUE(host.OpenProject(root / "p.json", &error)) << error;
    ASSERT_TRUE(host.SaveProject(root / "again.json", &error)) << error;
    EXPECT_EQ(Velmar::Testing::ReadFile(root / "again.json"), Velmar::Testing::ReadFile(root / "p.json"));

    GS::Array<API_Guid> walls;
    ASSERT_EQ(Api().ACAPI_Element_GetElemList(API_WallID, &walls, APIFilt_None, APINULLGuid), NoError);
    ASSERT_EQ(walls.GetSize(), 1u);
    EXPECT_EQ(walls[0], wall);
    API_ModulData read = {};
    ASSERT_EQ(Api().ACAPI_ModulData_Get(&read, "VelmarProjectSettings"), NoError);
    Velmar::HandleOwner readHandle(read.dataHdl);
    EXPECT_EQ(read.dataVersion, 3);
    EXPECT_EQ(std::string(*read.dataHdl, static_cast<std::size_t>(BMGetHandleSize(read.dataHdl))), bytes);
    API_ElementUserData readUserData = {};
    ASSERT_EQ(Api().ACAPI_Element_GetUserData(&head, &readUserData, 0), NoError);
    Velmar::HandleOwner userHandle(readUserData.dataHdl);
    EXPECT_EQ(BMGetHandleSize(readUserData.dataHdl), static_cast<Int32>(bytes.size()));
    EXPECT_EQ(NamesOf(API_CompWallID), (std::vector<std::string>{"1 Wall 300", "2 Wand Ã©"}));
    API_Attribute reopened = Named(API_CompWallID, "", 0);
    reopened.header.guid = composites[1].header.guid;
    EXPECT_EQ(Api().ACAPI_Attribute_Get(&reopened), NoError);
    EXPECT_EQ(UserDataOf(reopened.header), "1 22359 " + bytes);
    EXPECT_EQ(UserDataOf(composites[0].header), "none");

    // An add-on may hand the host a number JSON cannot hold: the save says which, and the file stays.
    API_Attribute endless = Named(API_CompWallID, "Endless");
    ASSERT_EQ(WriteComposite(endless, {std::numeric_limits<double>::infinity()}), NoError);
    EXPECT_FALSE(host.SaveProject(root / "p.json", &error));
    EXPECT_NE(error.find("\"thickness\" is not a finite number"), std::string::npos) << error;
    EXPECT_EQ(Velmar::Testing::ReadFile(root / "p.json"), Velmar::Testing::ReadFile(root / "again.json"));
}

TEST(Project, AGeneratedProjectOpensWithTheCountsAskedAndOneSeedMakesOneFile)
{
    TempFolder root;
    Sim::Archicad host(root / "data");
    const Sim::ProjectGenerator::Options options{60, 12, 5, 7};
    Sim::ProjectGenerator::WriteProject(options, root / "a.json");
    Sim::ProjectGenerator::WriteProject(options, root / "b.json");
    const std::string generated = Velmar::Testing::ReadFile(root / "a.json");
    EXPECT_EQ(Velmar::Testing::ReadFile(root / "b.json"), generated);
    EXPECT_NE(Sim::ProjectGenerator::Generate({60, 12, 5, 8}).ToJson(), generated);

    std::string error;
    ASSERT_TRUE(host.OpenProject(root / "a.json", &error)) << error;
    ASSERT_TRUE(host.SaveProject(root / "again.json", &error)) << error;
    EXPECT_EQ(Velmar::Testing::ReadFile(root / "again.json"), generated) << "nothing is lost on opening";
    for (const auto& [type, count] : {std::pair{API_WallID, 60u}, std::pair{API_SlabID, 12u}}) {
        GS::Array<API_Guid> elements;
        ASSERT_EQ(Api().ACAPI_Element_GetElemList(type, &elements, APIFilt_None, APINULLGuid), NoError);
        EXPECT_EQ(elements.GetSize(), count) << type;
    }
    UInt32 composites = 0;
    EXPECT_EQ(Api().ACAPI_Attribute_GetNum(API_CompWallID, composites), NoError);
    EXPECT_EQ(composites, 5u);
}

TEST(Project, AMalformedProjectFileIsRefusedAndTheOpenProjectStays)
{
    TempFolder root;
    Sim::Archicad host(root / "data");
    host.CreateElement(API_WallID);
    const std::size_t composites = host.CurrentProject().Attributes(API_CompWallID).size();
    const char* files[] = {
        "",
        "{",
        "[]",
        R"({"format":"other","version":1})",
        R"({"format":"velmar-sim-project","version":3})",
        R"({"format":"velmar-sim-project","version":1,"elements":[{"guid":"nope","type":"wall"}]})",
        R"({"format":"velmar-sim-project","version":1,"elements":[{"guid":"901E167F-078D-4032-8383-39568546B9F9","type":"tree"}]})",
        R"({"format":"velmar-sim-project","version":2,"elements":[{"guid":"901E167F-078D-4032-8383-39568546B9F9","type":"wall","height":-1}]})",
        R"({"format":"velmar-sim-project","version":2,"elements":[{"guid":"901E167F-078D-4032-8383-39568546B9F9","type":"wall","composite":7}]})",
        R"({"format":"velmar-sim-project","version":1,"moduleData":[{"name":"x","version":1,"platformSign":1,"data":"!!"}]})",
        R"({"format":"velmar-sim-project","version":1,"moduleData":[{"name":"x","version":1,"platformSign":70000,"data":""}]})",
        R"({"format":"velmar-sim-project","version":1,"attributes":{}})",
        R"({"format":"velmar-sim-project","version":1,"attributes":[{"type":"composite","guid":"901E167F-078D-4032-8383-39568546B9F9"}]})",
        R"({"format":"velmar-sim-project","version":1,"attributes":[{"type":"layer","guid":"901E167F-078D-4032-8383-39568546B9F9","name":"A"}]})",
        R"({"format":"velmar-sim-project","version":1,"attributes":[{"type":"composite","guid":"nope","name":"A"}]})",
        R"({"format":"velmar-sim-project","version":1,"attributes":[{"type":"composite","guid":"901E167F-078D-4032-8383-39568546B9F9","name":"A","userData":{"version":1}}]})",
        R"({"format":"velmar-sim-project","version":1,"attributes":[{"type":"composite","guid":"901E167F-078D-4032-8383-39568546B9F9","name":"A"},)"
        R"({"type":"composite","guid":"11111111-1111-4111-8111-111111111111","name":"A"}]})",
        R"({"format":"velmar-sim-project","version":1,"attributes":[{"type":"composite","guid":"901E167F-078D-4032-8383-39568546B9F9","name":"A"},)"
        R"({"type":"composite","guid":"901E167F-078D-4032-8383-39568546B9F9","name":"B"}]})",
    };
    for (const char* text : files) {
        Velmar::Testing::WriteFile(root / "bad.json", text);
        std::string error;
        EXPECT_FALSE(host.OpenProject(root / "bad.json", &error)) << text;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(host.CurrentProject().Elements().size(), 1u) << text;
        EXPECT_EQ(host.CurrentProject().Attributes(API_CompWallID).size(), composites) << text;
    }
}

TEST(Attributes, CreateSearchGetModifyAndUserDataBehaveAsTheHostsThroughTheTable)
{
    TempFolder root;
    Sim::Archicad host(root / "data");
    struct Creation {
        API_AttrTypeID type;
        const char* name;
        GSErrCode expected;
        Int32 index;
    };
    const Creation creations[] = {
        {API_CompWallID, "Wall 300", NoError, 1},          {API_CompWallID, "Wall 100", NoError, 2},
        {API_CompWallID, "Wall 300", APIERR_ATTREXIST, 1}, {API_CompWallID, "wall 300", NoError, 3},
        {API_CompWallID, "", APIERR_BADNAME, 0},           {API_ZombieAttrID, "Anything", APIERR_BADID, 0},
    };
    std::vector<API_Attr_Head> created;
    for (const auto& c : creations) {
        API_Attribute attribute = Named(c.type, c.name);
        EXPECT_EQ(WriteComposite(attribute), c.expected) << c.name;
        EXPECT_EQ(attribute.header.index.ToInt32_Deprecated(), c.index) << c.name;
        if (c.expected == NoError)
            created.push_back(attribute.header);
    }
    EXPECT_NE(created[0].guid, created[1].guid);
    EXPECT_EQ(NamesOf(API_CompWallID), (std::vector<std::string>{"1 Wall 300", "2 Wall 100", "3 wall 300"}));
    EXPECT_EQ(NamesOf(API_ZombieAttrID), std::vector<std::string>{"(not listed)"});
    UInt32 count = 0;
    EXPECT_EQ(Api().ACAPI_Attribute_GetNum(API_CompWallID, count), NoError);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(Api().ACAPI_Attribute_GetPenNum(count), NoError);
    EXPECT_EQ(count, 255u);

    struct Lookup {
        Int32 index;
        API_Guid guid = {};
        GSErrCode expected;
        const char* name;
    };
    const Lookup lookups[] = {
        {2, {}, NoError, "Wall 100"},
        {0, created[0].guid, NoError, "Wall 300"},
        {4, {}, APIERR_BADINDEX, ""},
        {0, GSGuid2APIGuid(HostGuid::New()), APIERR_BADNAME, ""},
    };
    for (const auto& c : lookups) {
        API_Attribute attribute = Named(API_CompWallID, "", c.index);
        attribute.header.guid = c.guid;
        GS::UniString name;
        attribute.header.uniStringNamePtr = &name;
        EXPECT_EQ(Api().ACAPI_Attribute_Get(&attribute), c.expected) << c.index;
        EXPECT_EQ(HostText::Utf8(name), c.name) << c.index;
    }
    API_Attr_Head search = Named(API_CompWallID, "Wall 100").header;
    ASSERT_EQ(Api().ACAPI_Attribute_Search(&search), NoError);
    EXPECT_EQ(search.index.ToInt32_Deprecated(), 2);
    EXPECT_EQ(search.guid, created[1].guid);

    EXPECT_EQ(UserDataOf(created[1]), "none");
    const std::string bytes("tag\x00\xFFtail", 9);
    API_Attr_Head byGuid = created[1];
    byGuid.index = APIInvalidAttributeIndex;
    ASSERT_EQ(SetUserData(byGuid, bytes), NoError);
    API_Attribute renamed = Named(API_CompWallID, "Wall 200", 2);
    ASSERT_EQ(Api().ACAPI_Attribute_ModifyExt(&renamed, nullptr), NoError);
    const std::pair<const char*, GSErrCode> refusals[] = {{"Wall 300", APIERR_NAMEALREADYUSED}, {"", APIERR_BADNAME}};
    for (const auto& [name, expected] : refusals) {
        API_Attribute refused = Named(API_CompWallID, name, 2);
        EXPECT_EQ(Api().ACAPI_Attribute_ModifyExt(&refused, nullptr), expected) << name;
    }
    EXPECT_EQ(NamesOf(API_CompWallID), (std::vector<std::string>{"1 Wall 300", "2 Wall 200", "3 wall 300"}));
    EXPECT_EQ(UserDataOf(renamed.header), "1 22359 " + bytes);
    EXPECT_EQ(UserDataOf(created[0]), "none") << "only the attribute it was set on has it";
    EXPECT_EQ(UserDataOf(Named(API_CompWallID, "", 9).header), std::to_string(APIERR_BADINDEX));
    EXPECT_EQ(SetUserData(Named(API_CompWallID, "", 9).header, bytes), APIERR_BADINDEX);
}

TEST(Quantities, KnownShapesGiveHandComputedValuesAndFieldsOutsideTheMaskStayUntouched)
{
    TempFolder root;
    Sim::Archicad host(root / "data");
    Sim::Element wall = Sim::NewElement(API_WallID);
    wall.record.wall.endC = API_Coord{12.0, 0.0};
    const API_Guid wallGuid = host.PlaceElement(wall);
    Sim::Element window = Sim::NewElement(API_WindowID);
    window.record.window.owner = wallGuid;
    window.record.window.objLoc = 6.0;
    host.PlaceElement(window);
    Sim::Element slab = Sim::NewElement(API_SlabID);
    slab.polygon = {{0, 0}, {10, 0}, {10, 8}, {0, 8}};
    slab.holes = {{{1, 1}, {3, 1}, {3, 2}, {1, 2}}};
    slab.record.slab.thickness = 0.25;
    const API_Guid slabGuid = host.PlaceElement(slab);
    const API_Guid curtainWall = host.CreateElement(API_CurtainWallID);

    struct Case {
        const char* what;
        API_Guid element = {};
        std::function<void(API_QuantitiesMask&)> ask;
        std::function<double(const API_ElementQuantity&)> read;
        double expected;
    };
    const Case cases[] = {
        {"wall length", wallGuid, [](auto& m) { ACAPI_ELEMENT_QUANTITY_MASK_SET(m, wall, length); },
         [](const auto& q) { return q.wall.length; }, 12.0},
        {"wall side net of the window", wallGuid, [](auto& m) { ACAPI_ELEMENT_QUANTITY_MASK_SET(m, wall, surface1); },
         [](const auto& q) { return q.wall.surface1; }, 12.0 * 2.7 - 1.2},
        {"wall volume net of the window", wallGuid, [](auto& m) { ACAPI_ELEMENT_QUANTITY_MASK_SET(m, wall, volume); },
         [](const auto& q) { return q.wall.volume; }, (12.0 * 2.7 - 1.2) * 0.1},
        {"gross volume not asked", wallGuid, [](auto& m) { ACAPI_ELEMENT_QUANTITY_MASK_SET(m, wall, volume); },
         [](const auto& q) { return q.wall.grossVolume; }, -1.0},
        {"slab top net of its hole", slabGuid, [](auto& m) { ACAPI_ELEMENT_QUANTITY_MASK_SET(m, slab, topSurface); },
         [](const auto& q) { return q.slab.topSurface; }, 78.0},
        {"slab hole perimeter", slabGuid, [](auto& m) { ACAPI_ELEMENT_QUANTITY_MASK_SET(m, slab, holesPrm); },
         [](const auto& q) { return q.slab.holesPrm; }, 6.0},
        {"slab volume", slabGuid, [](auto& m) { ACAPI_ELEMENT_QUANTITY_MASK_SET(m, slab, volume); },
         [](const auto& q) { return q.slab.volume; }, 19.5},
        {"curtain wall panels on a 1.5 m grid", curtainWall,
         [](auto& m) { ACAPI_ELEMENT_QUANTITY_MASK_SET(m, cw, numOfPanels); },
         [](const auto& q) { return double(q.cw.numOfPanels); }, 8.0},
        {"curtain wall vertical frames", curtainWall,
         [](auto& m) { ACAPI_ELEMENT_QUANTITY_MASK_SET(m, cw, mainaxisFramesLength); },
         [](const auto& q) { return q.cw.mainaxisFramesLength; }, 9.0},
    };
    for (const auto& c : cases) {
        API_ElementQuantity quantity = {};
        quantity.wall.grossVolume = -1.0;
        API_Quantities quantities;
        quantities.elements = &quantity;
        API_QuantitiesMask mask;
        c.ask(mask);
        ASSERT_EQ(Api().ACAPI_Element_GetQuantities(c.element, nullptr, &quantities, &mask), NoError) << c.what;
        EXPECT_NEAR(c.read(quantity), c.expected, 1e-9) << c.what;
    }
}

// A wall and a slab on a composite are as thick as the composite is now, however it came to change, in the
// record, the quantities and the saved file; a file that says otherwise is corrected when it opens, once.
TEST(Quantities, ElementsOnACompositeFollowItsThicknessWhateverChangedIt)
{
    TempFolder root;
    Sim::Archicad host(root / "data");
    API_Attribute composite = Named(API_CompWallID, "Build-up"), other = Named(API_CompWallID, "Brick");
    ASSERT_EQ(WriteComposite(composite), NoError);
    ASSERT_EQ(WriteComposite(other, {0.3}), NoError);
    Sim::Element onComposite = Sim::NewElement(API_WallID);
    onComposite.record.wall.modelElemStructureType = API_CompositeStructure;
    onComposite.record.wall.composite = composite.header.index;
    const API_Guid wall = host.PlaceElement(onComposite);
    onComposite = Sim::NewElement(API_SlabID);
    onComposite.record.slab.modelElemStructureType = API_CompositeStructure;
    onComposite.record.slab.composite = composite.header.index;
    const API_Guid slab = host.PlaceElement(onComposite);
    const auto thickness = [](const API_Guid& element) {
        API_Element record = {};
        record.header.guid = element;
        Api().ACAPI_Element_Get(&record, 0);
        return record.header.type.typeID == API_WallID ? record.wall.thickness : record.slab.thickness;
    };
    const std::string stale = R"("thickness":0.125,"baseOffset")";
    std::vector<std::string> corrections;
    const std::tuple<const char*, std::function<void()>, double> changes[] = {
        {"placed", [] {}, 0.1},
        {"rebuilt by an add-on",
         [&] {
             EXPECT_EQ(WriteComposite(composite, {0.1, 0.0375}), NoError);
         },
         0.1375},
        {"edited by the user",
         [&] {
             host.RunHostCommand("Edit Attribute", [&] {
                 Sim::Attribute* edited =
                     host.CurrentProject().EditAttribute(API_CompWallID, composite.header.index.ToInt32_Deprecated());
                 edited->skins.front().fillThick = 0.15;
                 edited->record.compWall.totalThick = 0.1875;
             });
         },
         0.1875},
        {"moved onto another composite",
         [&] { host.EditElement(wall, [&](Sim::Element& e) { e.record.wall.composite = other.header.index; }); }, 0.3},
        {"that move undone", [&] { EXPECT_EQ(host.Undo(), std::optional<std::string>("Edit Element")); }, 0.1875},
        {"redone, and the other composite rebuilt",
         [&] {
             EXPECT_EQ(host.Redo(), std::optional<std::string>("Edit Element"));
             EXPECT_EQ(WriteComposite(other, {0.25}), NoError);
         },
         0.25},
        {"opened from a file that stored 0.125 for it",
         [&] {
             std::string text = host.CurrentProject().ToJson();
             const std::string stored = R"("thickness":0.25,"baseOffset")";
             ASSERT_NE(text.find(stored), std::string::npos);
             Velmar::Testing::WriteFile(root / "stale.json", text.replace(text.find(stored), stored.size(), stale));
             std::string error;
             ASSERT_TRUE(host.OpenProject(root / "stale.json", &error)) << error;
             corrections = host.OpenCorrections();
         },
         0.25},
    };
    for (const auto& [what, change, expected] : changes) {
        change();
        EXPECT_DOUBLE_EQ(thickness(wall), expected) << what;
        API_ElementQuantity quantity = {};
        API_Quantities quantities;
        quantities.elements = &quantity;
        ASSERT_EQ(Api().ACAPI_Element_GetQuantities(wall, nullptr, &quantities, nullptr), NoError) << what;
        EXPECT_NEAR(quantity.wall.grossVolume, 5.0 * 2.7 * expected, 1e-9) << what;
        EXPECT_EQ(host.CurrentProject().ToJson().find(stale), std::string::npos) << what;
    }
    EXPECT_EQ(corrections.size(), 1u) << "one line for the file, not one per element";
    EXPECT_DOUBLE_EQ(thickness(slab), 0.1875) << "the slab stayed on the first composite";
}

// The user's Cancel lands on the window open when it is clicked (or armed for a phase), never on a later one.
TEST(ProcessWindow, TheUsersCancelReachesTheWorkOnlyWhileItsWindowIsOpen)
{
    enum class Click { None, ArmedForPhase2, WhileOpenInPhase1, BeforeTheWindowOpened };
    const struct {
        Click click;
        Int32 cancelledFromPhase;  // 0: never
    } cases[] = {
        {Click::None, 0},
        {Click::ArmedForPhase2, 2},
        {Click::WhileOpenInPhase1, 1},
        {Click::BeforeTheWindowOpened, 0},
    };
    for (const auto& c : cases) {
        TempFolder root;
        Sim::Archicad host(root / "data");
        int shown = 0;
        host.SetProcessObserver([&shown] { ++shown; });
        if (c.click == Click::ArmedForPhase2)
            host.ArmProcessCancel(2);
        if (c.click == Click::BeforeTheWindowOpened)
            host.RequestProcessCancel();
        const GS::UniString title("Rebuilding");
        Int32 phases = 3;
        ASSERT_EQ(Api().ACAPI_ProcessWindow_InitProcessWindow(&title, &phases, nullptr), NoError);
        Int32 cancelledFrom = 0;
        for (Int32 phase = 1; phase <= phases; ++phase) {
            Int32 max = 10;
            ASSERT_EQ(Api().ACAPI_ProcessWindow_SetNextProcessPhase(&title, &max, nullptr), NoError);
            if (c.click == Click::WhileOpenInPhase1 && phase == 1)
                host.RequestProcessCancel();
            if (cancelledFrom == 0 && Api().ACAPI_ProcessWindow_IsProcessCanceled() == APIERR_CANCEL)
                cancelledFrom = phase;
        }
        ASSERT_EQ(Api().ACAPI_ProcessWindow_CloseProcessWindow(), NoError);
        EXPECT_EQ(cancelledFrom, c.cancelledFromPhase) << static_cast<int>(c.click);
        EXPECT_EQ(shown, 1 + phases + 1) << "each change is shown while the work holds the loop";
        EXPECT_FALSE(host.ProcessWindows().back().open);
    }
}

// A project with one of each kind of row a change can touch: a wall, a composite, a property group with a
// custom real definition, and the built-in classification system.
struct Furnished {
    TempFolder root;
    Sim::Archicad host{root / "data"};
    API_Guid wall = host.CreateElement(API_WallID);
    API_Attribute composite = Named(API_CompWallID, "Wall 100");
    API_PropertyGroup group;
    API_PropertyDefinition definition;
    API_Guid item = {};

    Furnished()
    {
        EXPECT_EQ(WriteComposite(composite), NoError);
        group.name = "Velmar";
        definition.name = "Fire rating";
        definition.collectionType = API_PropertySingleCollectionType;
        definition.valueType = API_PropertyRealValueType;
        definition.defaultValue.basicValue.variantStatus = API_VariantStatusUserUndefined;
        EXPECT_EQ(InCommand([&] {
                      if (const GSErrCode err = Api().ACAPI_Property_CreatePropertyGroup(group); err != NoError)
                          return err;
                      definition.groupGuid = group.guid;
                      return Api().ACAPI_Property_CreatePropertyDefinition(definition);
                  }),
                  NoError);
        GS::Array<API_ClassificationSystem> systems;
        GS::Array<API_ClassificationItem> items;
        Api().ACAPI_Classification_GetClassificationSystems(systems);
        Api().ACAPI_Classification_GetClassificationSystemRootItems(systems[0].guid, items);
        // The wall tool classified the wall "Wall" already; "Slab" is a change.
        item = items[1].guid;
    }

    API_Property Value(double number) const
    {
        API_Property property;
        property.definition = definition;
        property.isDefault = false;
        property.value.singleVariant.variant.type = API_PropertyRealValueType;
        property.value.singleVariant.variant.doubleValue = number;
        return property;
    }
};

TEST(Commands, ChangesNeedAScopeNestingIsRefusedAndAFailedCommandKeepsItsChanges)
{
    Furnished p;
    const std::string before = p.host.CurrentProject().ToJson();
    const auto steps = p.host.CurrentProject().UndoNames();
    API_PropertyGroup group;
    group.name = "Acoustics";
    API_Elem_Head head = {};
    head.guid = p.wall;
    API_ElementUserData userData = {};
    struct Case {
        const char* what;
        std::function<GSErrCode()> call;
        GSErrCode expected;
    };
    const Case cases[] = {
        {"user data outside a command", [&] { return Api().ACAPI_Element_SetUserData(&head, &userData); },
         APIERR_NEEDSUNDOSCOPE},
        {"a group outside a command", [&] { return Api().ACAPI_Property_CreatePropertyGroup(group); },
         APIERR_NEEDSUNDOSCOPE},
        {"a classification outside a command",
         [&] { return Api().ACAPI_Element_AddClassificationItem(p.wall, p.item); }, APIERR_NEEDSUNDOSCOPE},
        {"values outside a command", [&] { return Api().ACAPI_Element_SetProperties(p.wall, {p.Value(60)}); },
         APIERR_NEEDSUNDOSCOPE},
        {"values of which one is refused: none is set",
         [&] {
             API_Property unknown = p.Value(1);
             unknown.definition.guid.time_low = 12345;
             return InCommand([&] { return Api().ACAPI_Element_SetProperties(p.wall, {p.Value(60), unknown}); });
         },
         APIERR_BADPROPERTY},
        {"a nested command",
         [&] {
             return Api().ACAPI_CallUndoableCommand(
                 "Outer", [&] { return Api().ACAPI_CallUndoableCommand("Inner", [] { return NoError; }); });
         },
         APIERR_REFUSEDCMD},
        {"a command that changes nothing",
         [] { return Api().ACAPI_CallUndoableCommand("Idle", [] { return NoError; }); }, APIERR_UNDOEMPTY},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.call(), c.expected) << c.what;
        EXPECT_EQ(p.host.CurrentProject().ToJson(), before) << c.what << " left the project changed";
    }
    EXPECT_EQ(p.host.CurrentProject().UndoNames(), steps);

    // What a command changed before it failed or threw stays, as a step the user can undo.
    const std::pair<const char*, std::function<GSErrCode()>> failures[] = {
        {"Throws",
         [&]() -> GSErrCode {
             Api().ACAPI_Property_CreatePropertyGroup(group);
             throw std::runtime_error("stod");
         }},
        {"Fails",
         [&]() -> GSErrCode {
             Api().ACAPI_Property_CreatePropertyGroup(group);
             return APIERR_GENERAL;
         }},
    };
    for (const auto& [name, command] : failures) {
        EXPECT_EQ(Api().ACAPI_CallUndoableCommand(name, command),
                  name[0] == 'T' ? APIERR_COMMANDFAILED : APIERR_GENERAL);
        EXPECT_NE(p.host.CurrentProject().ToJson(), before) << name;
        EXPECT_EQ(p.host.Undo(), std::optional<std::string>(name));
        EXPECT_EQ(p.host.CurrentProject().ToJson(), before) << name;
    }
}

TEST(Commands, UndoAndRedoPutBackEveryKindOfChangeExactlyAndNameTheStep)
{
    Furnished p;
    API_Elem_Head head = {};
    head.guid = p.wall;
    const std::string bytes("\x01\x02tag", 5);
    Velmar::HandleOwner handle(HandleOf(bytes));
    API_ElementUserData userData = {};
    userData.dataVersion = 2;
    userData.dataHdl = handle.Get();
    struct Case {
        const char* what;
        std::function<GSErrCode()> change;  // runs inside the step
    };
    const Case cases[] = {
        {"element user data", [&] { return Api().ACAPI_Element_SetUserData(&head, &userData); }},
        {"a property group created",
         [&] {
             API_PropertyGroup other;
             other.name = "Acoustics";
             return Api().ACAPI_Property_CreatePropertyGroup(other);
         }},
        {"a property value set", [&] { return Api().ACAPI_Element_SetProperty(p.wall, p.Value(60)); }},
        {"a definition changed",
         [&] {
             API_PropertyDefinition changed = p.definition;
             changed.name = "Fire resistance";
             return Api().ACAPI_Property_ChangePropertyDefinition(changed);
         }},
        {"a definition deleted", [&] { return Api().ACAPI_Property_DeletePropertyDefinition(p.definition.guid); }},
        {"an element classified", [&] { return Api().ACAPI_Element_AddClassificationItem(p.wall, p.item); }},
    };
    for (const auto& c : cases) {
        const std::string before = p.host.CurrentProject().ToJson();
        ASSERT_EQ(Api().ACAPI_CallUndoableCommand(c.what, c.change), NoError) << c.what;
        const std::string after = p.host.CurrentProject().ToJson();
        EXPECT_NE(after, before) << c.what << " changed nothing";
        EXPECT_EQ(p.host.Undo(), std::optional<std::string>(c.what));
        EXPECT_EQ(p.host.CurrentProject().ToJson(), before) << c.what;
        EXPECT_EQ(p.host.Redo(), std::optional<std::string>(c.what));
        EXPECT_EQ(p.host.CurrentProject().ToJson(), after) << c.what;
        p.host.Undo();
    }
    // Non-undoable modifiers inside a command: the command has no undoable entry, and Edit > Undo leaves
    // their changes (the Remarks of ACAPI_Attribute_ModifyExt, ACAPI_Attribute_SetUserData, ACAPI_ModulData_Delete in
    // the reference).
    int made = 0;
    const Case lasting[] = {
        {"a composite created",
         [&] {
             API_Attribute added = Named(API_CompWallID, ("Wall 20" + std::to_string(made++)).c_str());
             return WriteComposite(added);
         }},
        {"a composite renamed",
         [&] {
             API_Attribute renamed = p.composite;
             std::strcpy(renamed.header.name, "Wall 150");
             return Api().ACAPI_Attribute_ModifyExt(&renamed, nullptr);
         }},
        {"a composite tagged", [&] { return SetUserData(p.composite.header, bytes); }},
        {"module data stored", [&] { return StoreBytes("VelmarSettings", bytes); }},
    };
    for (const auto& c : lasting) {
        const std::string before = p.host.CurrentProject().ToJson();
        const auto steps = p.host.CurrentProject().UndoNames();
        ASSERT_EQ(Api().ACAPI_CallUndoableCommand(c.what,
                                                  [&] {
                                                      if (const GSErrCode err = c.change(); err != NoError)
                                                          return err;
                                                      return Api().ACAPI_Element_SetProperty(p.wall, p.Value(70));
                                                  }),
                  NoError);
        EXPECT_EQ(p.host.Undo(), std::optional<std::string>(c.what));
        EXPECT_NE(p.host.CurrentProject().ToJson(), before) << c.what << " was undone with its step";
        EXPECT_EQ(p.host.CurrentProject().UndoNames(), steps) << c.what;
        EXPECT_EQ(InCommand(c.change), APIERR_UNDOEMPTY) << c.what << " alone is an undoable entry";
    }
    // The user's own edits are steps of the host's fixed names.
    const std::string before = p.host.CurrentProject().ToJson();
    ASSERT_TRUE(p.host.EditElement(p.wall, [](Sim::Element& element) { element.record.wall.height = 3.2; }));
    ASSERT_TRUE(p.host.DeleteElement(p.wall));
    EXPECT_EQ(p.host.CurrentProject().UndoNames().front(), "Delete");
    EXPECT_EQ(p.host.Undo(), std::optional<std::string>("Delete"));
    EXPECT_EQ(p.host.Undo(), std::optional<std::string>("Edit Element"));
    EXPECT_EQ(p.host.CurrentProject().ToJson(), before);
}

// An injected failure answers the call with the host's code and changes nothing; the next call works.
TEST(Faults, AnInjectedFailureOfAModelCallChangesNothing)
{
    Furnished p;
    struct Case {
        const char* operation;
        std::function<GSErrCode()> call;
    };
    const Case cases[] = {
        {"ACAPI_Element_Get",
         [&] {
             API_Element element = {};
             element.header.guid = p.wall;
             return Api().ACAPI_Element_Get(&element, 0);
         }},
        {"ACAPI_Element_GetQuantities",
         [&] {
             API_ElementQuantity quantity = {};
             API_Quantities quantities;
             quantities.elements = &quantity;
             API_QuantitiesMask mask;
             ACAPI_ELEMENT_QUANTITY_MASK_SETFULL(mask);
             return Api().ACAPI_Element_GetQuantities(p.wall, nullptr, &quantities, &mask);
         }},
        {"ACAPI_Attribute_CreateExt",
         [&] {
             API_Attribute added = Named(API_CompWallID, "Wall 300");
             return WriteComposite(added);
         }},
        {"ACAPI_Element_SetProperty",
         [&] { return InCommand([&] { return Api().ACAPI_Element_SetProperty(p.wall, p.Value(30)); }); }},
        {"ACAPI_Element_AddClassificationItem",
         [&] { return InCommand([&] { return Api().ACAPI_Element_AddClassificationItem(p.wall, p.item); }); }},
        {"ACAPI_Property_CreatePropertyGroup",
         [&] {
             API_PropertyGroup other;
             other.name = "Other";
             return InCommand([&] { return Api().ACAPI_Property_CreatePropertyGroup(other); });
         }},
    };
    // Armed twice, each fails twice, then works; an operation armed for every call keeps failing.
    for (const auto& c : cases) {
        const std::string before = p.host.CurrentProject().ToJson();
        p.host.Faults().Arm(c.operation, APIERR_MEMFULL, 2);
        EXPECT_EQ(c.call(), APIERR_MEMFULL) << c.operation;
        EXPECT_EQ(c.call(), APIERR_MEMFULL) << c.operation;
        EXPECT_EQ(p.host.CurrentProject().ToJson(), before) << c.operation;
        EXPECT_EQ(c.call(), NoError) << c.operation;
    }
    p.host.Faults().Arm("ACAPI_Selection_DeselectAll", APIERR_MEMFULL, Sim::FaultInjector::Every);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Api().ACAPI_Selection_DeselectAll(), APIERR_MEMFULL);
    EXPECT_TRUE(Sim::IsHostOperation("ACAPI_Element_GetHeader"));
    EXPECT_FALSE(Sim::IsHostOperation("ACAPI_NoSuchThing"));
}

}  // namespace
