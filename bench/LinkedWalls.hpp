// Generated projects of 5 000 and 50 000 walls whose walls are the add-on's: each of the project's 20
// composites tagged for a Velmar system stored in the project, and every wall built of one carrying the
// element link to that system. A system has about 25 performance parameters (those the built-in rules
// read among them) besides its build-up; the mapping gives them their groups and value types.
#pragma once

#include "ACAPinc.hpp"
#include "Archicad.hpp"
#include "CompositionService.hpp"
#include "ConfigurationService.hpp"
#include "ElementLink.hpp"
#include "HostText.hpp"
#include "LodProvider.hpp"
#include "ProductSystems.hpp"
#include "ProjectGenerator.hpp"
#include "ProjectStoreService.hpp"
#include "PropertyProvider.hpp"
#include "RecordingHost.hpp"
#include "State.hpp"
#include "UndoStep.hpp"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace Velmar::Bench {

constexpr int SmallProject = 5000;
constexpr int LargeProject = 50000;
constexpr std::size_t Systems = 20;
constexpr Int32 TagLevel = 300;

struct Performance {
    const char* id;
    const char* lod;
    const char* unit;
    const char* dataType;
    std::string value;
};

// The performance parameters of system n; rule thresholds differ from system to system, so some walls
// pass and some fail each rule.
inline std::vector<Performance> PerformanceOf(std::size_t n, int version)
{
    const auto number = [n](int base, int step) { return std::to_string(base + static_cast<int>(n % 5) * step); };
    return {
        {"SYSTEMCODE", "100", "", "", "VELMAR-" + std::to_string(n)},
        {"BRAND", "100", "", "", "Velmar"},
        {"SERIES", "100", "", "", "Series " + std::to_string(n % 4)},
        {"ARTICLE", "200", "", "", "ART-" + std::to_string(1000 + n)},
        {"RTF", "200", "", "", n % 3 == 0 ? "geen" : "EI 60"},
        {"MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_1_VOLGENS_DIN_18183_", "200", "mm", "Length", number(2800, 100)},
        {"MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_2_VOLGENS_DIN_18183_", "200", "mm", "Length", number(2700, 100)},
        {"MH_FOA1", "200", "mm", "Length", number(2850, 100)},
        {"MH_FOA2", "200", "mm", "Length", number(2750, 100)},
        {"DILATATIE", "200", "mm", "Length", number(6000, 1000)},
        {"TOTAL_THICKNESS", "200", "mm", "Length", "125"},
        {"STUD_DEPTH", "200", "mm", "Length", "75"},
        {"BOARD_LAYERS", "200", "", "Integer", "4"},
        {"BRANDWERENDHEID", "300", "", "Number", number(30 + 5 * version, 30)},
        {"ASIRW", "300", "", "Number", number(40 + version, 3)},
        {"LUCHTGELUIDISOLATIE_DNT_A_K", "300", "", "Number", number(35 + version, 3)},
        {"Weight", "300", "", "Number", number(20, 2) + ",5"},
        {"UVALUE", "300", "", "Number", "0,45"},
        {"INSULATED", "300", "", "Boolean", n % 2 == 0 ? "True" : "False"},
        {"CE_MARK", "300", "", "Boolean", "True"},
        {"COLOUR", "300", "", "", "wit"},
        {"FINISH", "300", "", "", "Q" + std::to_string(2 + n % 3)},
        {"HEIGHT_CLASS", "300", "", "", "H" + std::to_string(n % 4)},
        {"DOCUMENT", "300", "", "", "https://velmar.example/docs/" + std::to_string(n)},
        {"REMARK", "300", "", "", version == 0 ? "" : "Revised"},
    };
}

// System n as the platform sends it; `version` moves its time stamp and some values on.
inline std::string SystemResponse(std::size_t n, int version = 0)
{
    Testing::SystemOutline outline = Testing::StandardWall();
    outline.id = "VELMAR-" + std::to_string(n);
    outline.timeStamp = "2026-03-0" + std::to_string(2 + version) + " 10:20:30";
    std::string parameters;
    for (const Performance& p : PerformanceOf(n, version)) {
        parameters += std::string(parameters.empty() ? "" : ",") + "\"" + p.id + "\":{\"ID\":\"" + p.id +
                      "\",\"LOD\":\"" + p.lod + "\"" + (*p.unit ? std::string(",\"Unit\":\"") + p.unit + "\"" : "") +
                      (*p.dataType ? std::string(",\"DataType\":\"") + p.dataType + "\"" : "") +
                      ",\"Value\":{\"nl_NL\":\"" + p.value + "\"}}";
    }
    std::string text = Testing::SystemResponse(outline);
    const std::string attributes = "\"Attributes\":{";
    text.insert(text.find(attributes) + attributes.size(), "\"propertyset\":{\"10_Prestaties\":{" + parameters + "}},");
    return text;
}

inline Bo::System MakeSystem(std::size_t n, int version = 0)
{
    const std::string response = SystemResponse(n, version);
    const std::string object = response.substr(response.find(':') + 1, response.size() - response.find(':') - 2);
    auto source = Json::ParseRecord<Corvana::CVSystem>(object);
    source.rawText = response;
    return Bo::System(source, App::State::instance()->languageIndex.value_or(1));
}

const char* const Mapping = R"({"version":"1","properties":[
    {"key":"SYSTEMCODE","groupname":"Velmar","name":"Systeemcode","type":"String"},
    {"key":"BRAND","groupname":"Velmar","name":"Merk","isNoneNeutral":true},
    {"key":"RTF","groupname":"Velmar Brand","name":"Brandklasse","mapping":[{"velmarValue":"EI 60","localValue":"EI60"}]},
    {"key":"BRANDWERENDHEID","groupname":"Velmar Brand","name":"Brandwerendheid","type":"Integer"},
    {"key":"TOTAL_THICKNESS","groupname":"Velmar Afmetingen","name":"Totale dikte","type":"Length","unit":"mm"},
    {"key":"STUD_DEPTH","groupname":"Velmar Afmetingen","name":"Stijldiepte","type":"Length","unit":"mm"},
    {"key":"DILATATIE","groupname":"Velmar Afmetingen","name":"Dilatatie","type":"Length","unit":"mm"},
    {"key":"Weight","groupname":"Velmar Afmetingen","name":"Gewicht","type":"Number"},
    {"key":"ASIRW","groupname":"Velmar Akoestiek","name":"Rw","type":"Number"},
    {"key":"LUCHTGELUIDISOLATIE_DNT_A_K","groupname":"Velmar Akoestiek","name":"DnT,A,k","type":"Number"},
    {"key":"INSULATED","groupname":"Velmar Opbouw","name":"Met isolatie","type":"Boolean"},
    {"key":"BOARD_LAYERS","groupname":"Velmar Opbouw","name":"Plaatlagen","type":"Integer"}]})";

inline void AddLevels()
{
    const auto lods = Lod::LodProvider::instance();
    for (Int32 level = 100; level <= 500 && lods->GetLevels().GetSize() < 5; level += 100)
        lods->AddLevel(Bo::LOD(HostText::Uni(std::to_string(level).c_str()), level >= 300, level == 500, level));
}

inline Bo::LOD Level(Int32 value)
{
    const auto lods = Lod::LodProvider::instance();
    return lods->GetLevels()[*lods->FindByValue(value)];
}

// One host for the run, the module's calling layer pointed at it, Dutch settings and the mapping above.
class LinkedWalls {
public:
    static LinkedWalls& Instance()
    {
        static LinkedWalls walls;
        return walls;
    }

    Sim::Archicad& Host() { return *host_; }
    Sim::Project& Project() { return host_->CurrentProject(); }

    // The project of that size, its walls linked; made once, then swapped in whenever asked for.
    Sim::Project& Use(int walls)
    {
        if (open_ == walls)
            return Project();
        if (open_ != 0)
            std::swap(Project(), waiting_[open_]);
        auto found = waiting_.find(walls);
        const bool made = found != waiting_.end();
        if (!made)
            found =
                waiting_
                    .emplace(walls, Sim::ProjectGenerator::Generate({static_cast<std::size_t>(walls), 0, Systems, 1}))
                    .first;
        std::swap(Project(), found->second);
        open_ = walls;
        Services::PropertyProvider::Reset();
        Services::ProjectStore::ProjectStoreService::instance()->Reload();
        Services::Composition::CompositionService::instance()->RebuildIndex();
        if (!made)
            Link();
        return Project();
    }

    // The walls of the open project in the host's order, with the system (0 to 19) each is linked to.
    const std::vector<std::pair<API_Guid, std::size_t>>& Walls() { return walls_[open_]; }
    const std::vector<GS::Guid>& StoredSystems() { return stored_[open_]; }
    const std::vector<API_AttributeIndex>& Composites() { return composites_[open_]; }

    // Undoes the steps a benchmark made after `depth` steps were on the list.
    void UndoTo(std::size_t depth)
    {
        while (Project().UndoNames().size() > depth) {
            if (!host_->Undo())
                throw std::runtime_error("a step was not undone");
        }
        Services::ProjectStore::ProjectStoreService::instance()->Reload();
    }

private:
    LinkedWalls()
        : folder_(std::filesystem::temp_directory_path() / ("velmar-bench-linked-" + std::to_string(getpid()))),
          host_(std::make_unique<Sim::Archicad>((folder_ / "data").string()))
    {
        Host::SetHostFunctions(&CountingHost());
        std::filesystem::create_directories(host_->DataRoot() + "/user");
        std::ofstream(host_->DataRoot() + "/user/settings.json")
            << R"({"version":"1","databaseSettings":[{"countryCode":"NL"}],"defaultCountry":"NL","defaultLanguage":"nl-NL"})";
        std::ofstream(host_->DataRoot() + "/user/mapping.json") << Mapping;
        Services::ConfigurationService::Replace(std::make_shared<Services::ConfigurationService>(
            "settings.json", "mapping.json", [](const auto&, Int32) {}));
        AddLevels();
    }
    ~LinkedWalls()
    {
        host_.reset();
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    // Each composite tagged for its own stored system, then the walls of each linked to that system.
    void Link()
    {
        auto& composites = composites_[open_];
        auto& stored = stored_[open_];
        const auto service = Services::Composition::CompositionService::instance();
        const Bo::LOD lod = Level(TagLevel);
        RunUndoStep("Download", [&] {
            for (const Sim::Attribute* composite : Project().Attributes(API_CompWallID)) {
                const std::size_t n = composites.size();
                composites.push_back(composite->record.header.index);
                stored.push_back(service->TagComposite(MakeSystem(n), composite->record.header, lod));
            }
        });
        std::map<Int32, std::size_t> systemOf;
        for (std::size_t n = 0; n < composites.size(); ++n)
            systemOf[composites[n].ToInt32_Deprecated()] = n;
        auto& walls = walls_[open_];
        for (const auto& entry : Project().Elements()) {
            const API_Element& record = entry.second.record;
            if (record.header.type.typeID == API_WallID)
                walls.emplace_back(record.header.guid, systemOf.at(record.wall.composite.ToInt32_Deprecated()));
        }
        RunUndoStep("Link", [&] {
            for (const auto& [guid, n] : walls) {
                API_Elem_Head head = {};
                head.guid = guid;
                if (Bo::ElementLink::Write(head, stored[n]) != NoError)
                    throw std::runtime_error("a wall was not linked");
            }
        });
    }

    std::filesystem::path folder_;
    std::unique_ptr<Sim::Archicad> host_;
    std::map<int, Sim::Project> waiting_;
    std::map<int, std::vector<std::pair<API_Guid, std::size_t>>> walls_;
    std::map<int, std::vector<GS::Guid>> stored_;
    std::map<int, std::vector<API_AttributeIndex>> composites_;
    int open_ = 0;
};

// Every wall, then every slab of the project with the stored system its link names (none without one), as
// a hand-written baseline reads them.
template <typename Visit>
void ForEachLinkedElement(Visit&& visit)
{
    for (const API_ElemTypeID type : {API_WallID, API_SlabID}) {
        GS::Array<API_Guid> elements;
        ACAPI_Element_GetElemList(type, &elements, APIFilt_None, APINULLGuid);
        for (const API_Guid& guid : elements) {
            API_Elem_Head head = {};
            head.guid = guid;
            std::optional<GS::Guid> link;
            Bo::ElementLink::Read(head, link);
            visit(guid, link);
        }
    }
}

inline int Walls(const benchmark::State& state)
{
    return static_cast<int>(state.range(0));
}

}  // namespace Velmar::Bench
