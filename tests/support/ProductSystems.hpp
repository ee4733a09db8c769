// Product systems as the platform describes them, made to measure for tests: a kind, a thickness, studs,
// boards and insulation per frame, with the linked products that give depths, colours and lambdas.
#pragma once

#include "BoSystem.hpp"
#include "Record.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace Velmar::Testing {

struct BoardOutline {
    int side;
    int layer;
    std::string thickness;  // millimetres as the platform writes them ("12,5")
    std::string type;       // empty: no TYPE attribute
};

struct InsulationOutline {
    int frame;
    std::string type;
    std::string thickness;
};

struct SystemOutline {
    std::string id = "VELMAR-TEST";
    std::string timeStamp = "2026-03-02 10:20:30";  // empty: none
    std::string kind = "SchW";
    std::string thickness = "125";                   // empty: no Thickness attribute
    std::vector<std::pair<int, std::string>> studs;  // frame, depth in millimetres
    std::vector<BoardOutline> boards;
    std::vector<InsulationOutline> insulation;
    std::string boardColour = "#F2F0E6";  // of every board and insulation product; empty: none
    std::string lambda = "0,25";
};

inline std::string Attribute(const std::string& id, const std::string& value)
{
    return "\"" + id + "\":{\"ID\":\"" + id + "\",\"Value\":{\"nl_NL\":\"" + value + "\"}}";
}

// A linked product found by its display name, with the outline's colour and lambda.
inline std::string NamedProduct(const SystemOutline& outline, const std::string& name)
{
    std::string sets;
    if (!outline.boardColour.empty())
        sets += "\"02_Beschrijving\":{" + Attribute("RGB", outline.boardColour) + "}";
    if (!outline.lambda.empty())
        sets +=
            std::string(sets.empty() ? "" : ",") + "\"09_Thermisch\":{" + Attribute("ZZLAMBDA", outline.lambda) + "}";
    return "\"" + name + "\":{\"ID\":\"" + name + "\",\"Attributes\":{\"general\":{" + Attribute("pibName", name) +
           "},\"propertyset\":{" + sets + "}}}";
}

// The system object (without the data response around it).
inline std::string SystemObject(const SystemOutline& outline)
{
    std::vector<std::string> composition;
    std::vector<std::string> products;
    if (!outline.thickness.empty())
        composition.push_back(Attribute("Thickness", outline.thickness));
    for (const auto& [frame, depth] : outline.studs) {
        composition.push_back(Attribute("STIJL_FRAME_" + std::to_string(frame), "Stud " + depth));
        products.push_back("\"STUD-" + depth + "\":{\"ID\":\"STUD-" + depth + "\",\"Attributes\":{\"general\":{" +
                           Attribute("ZBN_TRADE_MARK", "Stud " + depth) + "},\"composition\":{" +
                           Attribute("Inside_dimensions_BIM", depth) + "}}}");
    }
    for (const BoardOutline& board : outline.boards) {
        const std::string key = "PLAAT_ZIJDE_" + std::to_string(board.side) + "_LAAG_" +
                                (board.layer == 1 ? std::string("1_BUITEN") : std::to_string(board.layer));
        composition.push_back(Attribute(key + "_DIKTE", board.thickness));
        if (!board.type.empty()) {
            composition.push_back(Attribute(key + "_TYPE", board.type));
            if (std::find(products.begin(), products.end(), NamedProduct(outline, board.type)) == products.end())
                products.push_back(NamedProduct(outline, board.type));
        }
    }
    for (const InsulationOutline& insulation : outline.insulation) {
        const std::string key = "AKOESTISCHE_ISOLATIE_FRAME_" + std::to_string(insulation.frame);
        composition.push_back(Attribute(key + "_TYPE", insulation.type));
        composition.push_back(Attribute(key + "_DIKTE", insulation.thickness));
        products.push_back(NamedProduct(outline, insulation.type));
    }
    const auto join = [](const std::vector<std::string>& items) {
        std::string text;
        for (const auto& item : items)
            text += (text.empty() ? "" : ",") + item;
        return text;
    };
    return "{\"ID\":\"" + outline.id + "\"," +
           (outline.timeStamp.empty() ? "" : "\"TimeStamp\":\"" + outline.timeStamp + "\",") +
           "\"Attributes\":{\"general\":{" + Attribute("template_type", outline.kind) + "},\"composition\":{" +
           join(composition) + "}},\"LinkedProducts\":{" + join(products) + "}}";
}

// The platform's data response: the system under its product id.
inline std::string SystemResponse(const SystemOutline& outline)
{
    return "{\"" + outline.id + "\":" + SystemObject(outline) + "}";
}

// The system as a download builds it, in Dutch, with the response as its raw text.
inline Bo::System MakeSystem(const SystemOutline& outline)
{
    auto source = Json::ParseRecord<Corvana::CVSystem>(SystemObject(outline));
    source.rawText = SystemResponse(outline);
    return Bo::System(source, 1);
}

// A wall of 2 × 12.5 mm boards on each side of a 75 mm stud in frame 1 (frame 2 carries side 2's boards).
inline SystemOutline StandardWall(const std::string& thickness = "125")
{
    SystemOutline outline;
    outline.thickness = thickness;
    outline.studs = {{1, "75"}};
    outline.boards = {
        {1, 1, "12,5", "Board A"}, {1, 2, "12,5", "Board A"}, {2, 1, "12,5", "Board A"}, {2, 2, "12,5", "Board A"}};
    return outline;
}

}  // namespace Velmar::Testing
