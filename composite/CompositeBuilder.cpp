#include "CompositeBuilder.hpp"

#include <algorithm>
#include <map>
#include <numeric>

namespace Velmar::Services::Composition {

namespace {

using Bo::SystemKind;

// Sums of millimetre values in metres are not exact: a difference below this is none.
constexpr double LengthTolerance = 1e-9;

// A thickness or depth of 0 or less is taken as none, so it neither lays out a layer nor counts in the sum
// the air layers fill up.
std::optional<double> Positive(const std::optional<double>& length)
{
    return length && *length > LengthTolerance ? length : std::nullopt;
}

// The parts of one frame in the order they are laid out. Layered builders put one layer per part; the
// detailed ones the board skins (reversed on the second side) and the profile and insulation skins.
enum class Part { Air, Frame, Boards, BoardsReversed };

struct Assembly {
    std::vector<Part> first;   // frame 1
    std::vector<Part> others;  // frames 2 to 4
};

const std::map<SystemKind, Assembly> Assemblies = {
    {SystemKind::Wall, {{Part::Boards, Part::Frame}, {Part::Air, Part::Frame, Part::BoardsReversed}}},
    {SystemKind::Floor, {{Part::Boards, Part::Frame}, {Part::Boards, Part::Frame}}},
    {SystemKind::Ceiling, {{Part::Air, Part::Frame, Part::BoardsReversed}, {Part::Frame, Part::BoardsReversed}}},
};

MaterialRequest Summary(LAYER_TYPE type)
{
    MaterialRequest request;
    request.summary = type;
    return request;
}

MaterialRequest Product(const GS::UniString& name, const std::optional<Corvana::Colour>& colour,
                        const std::optional<double>& lambda)
{
    MaterialRequest request;
    request.product = name;
    request.colour = colour;
    request.lambda = lambda;
    return request;
}

// Layered: the frame's boards as one layer, its depth as another; absent values lay out nothing.
std::vector<PlannedSkin> LayeredFrame(const Bo::Frame& frame, const std::vector<Part>& parts)
{
    const double sum =
        std::accumulate(frame.boards.begin(), frame.boards.end(), 0.0, [](double total, const Bo::Board& board) {
            return total + Positive(board.thickness).value_or(0.0);
        });
    const std::optional<double> boards = Positive(sum);
    const std::optional<double> depth = Positive(frame.depth);
    if (!boards && !depth)
        return {};
    std::vector<PlannedSkin> layers;
    for (const Part part : parts) {
        if (part == Part::Air)
            layers.push_back({Summary(LAYER_TYPE::Air), 0.0});
        else if (part == Part::Frame && depth)
            layers.push_back({Summary(LAYER_TYPE::Frame), *depth});
        else if ((part == Part::Boards || part == Part::BoardsReversed) && boards)
            layers.push_back({Summary(LAYER_TYPE::Board), *boards});
    }
    return layers;
}

// A board without a product name is shown as the summary board material.
std::vector<PlannedSkin> BoardSkins(const Bo::Frame& frame)
{
    std::vector<PlannedSkin> skins;
    for (const Bo::Board& board : frame.boards) {
        if (const auto thickness = Positive(board.thickness))
            skins.push_back({board.type ? Product(*board.type, board.colour, board.lambda) : Summary(LAYER_TYPE::Board),
                             *thickness});
    }
    return skins;
}

std::vector<PlannedSkin> FrameSkins(const Bo::Frame& frame)
{
    const auto depth = Positive(frame.depth);
    const auto insulation = Positive(frame.insulationThickness);
    if (!depth)
        return {};
    if (!insulation || !frame.insulationType)
        return {{Summary(LAYER_TYPE::Profile), *depth}};
    const double half = (*depth - *insulation) * 0.5;
    std::vector<PlannedSkin> skins;
    if (half > LengthTolerance)
        skins.push_back({Summary(LAYER_TYPE::Profile), half});
    skins.push_back({Product(*frame.insulationType, frame.insulationColour, frame.insulationLambda), *insulation});
    if (half > LengthTolerance)
        skins.push_back({Summary(LAYER_TYPE::Profile), half});
    return skins;
}

std::vector<PlannedSkin> DetailedFrame(const Bo::Frame& frame, const std::vector<Part>& parts, bool first)
{
    const std::vector<PlannedSkin> boards = BoardSkins(frame);
    const std::vector<PlannedSkin> profile = FrameSkins(frame);
    if (!first && boards.empty() && profile.empty())
        return {};
    std::vector<PlannedSkin> skins;
    for (const Part part : parts) {
        if (part == Part::Air)
            skins.push_back({Summary(LAYER_TYPE::Air), 0.0});
        else if (part == Part::Frame)
            skins.insert(skins.end(), profile.begin(), profile.end());
        else if (part == Part::Boards)
            skins.insert(skins.end(), boards.begin(), boards.end());
        else
            skins.insert(skins.end(), boards.rbegin(), boards.rend());
    }
    return skins;
}

}  // namespace

bool MaterialRequest::operator==(const MaterialRequest& other) const
{
    return summary == other.summary && product == other.product && colour == other.colour && lambda == other.lambda;
}

Builder ChooseBuilder(const std::optional<Bo::LOD>& lod)
{
    if (!lod || !lod->layered)
        return Builder::Simple;
    return lod->detailed ? Builder::Detailed : Builder::Layered;
}

void DistributeAir(std::vector<PlannedSkin>& layers, double total)
{
    const auto air =
        std::count_if(layers.begin(), layers.end(), [](const PlannedSkin& layer) { return layer.material.IsAir(); });
    const double sum = std::accumulate(layers.begin(), layers.end(), 0.0,
                                       [](double s, const PlannedSkin& layer) { return s + layer.thickness; });
    if (sum >= total - LengthTolerance || air == 0)
        return;
    for (PlannedSkin& layer : layers) {
        if (layer.material.IsAir())
            layer.thickness = (total - sum) / static_cast<double>(air);
    }
}

std::vector<PlannedSkin> PlanSkins(const Bo::System& system, const std::optional<Bo::LOD>& lod)
{
    const auto thickness = Positive(system.thickness);
    if (!system.kind || !thickness)
        return {};
    const double total = *thickness;
    const Builder builder = ChooseBuilder(lod);
    if (builder == Builder::Simple)
        return {{Summary(LAYER_TYPE::Summary), total}};
    const Assembly& assembly = Assemblies.at(*system.kind);
    std::vector<PlannedSkin> skins;
    for (std::size_t n = 0; n < system.frames.size(); ++n) {
        const Bo::Frame& frame = system.frames[n];
        const bool first = n == 0;
        const auto& parts = first ? assembly.first : assembly.others;
        const auto laid = builder == Builder::Layered ? LayeredFrame(frame, parts) : DetailedFrame(frame, parts, first);
        skins.insert(skins.end(), laid.begin(), laid.end());
    }
    DistributeAir(skins, total);
    skins.erase(
        std::remove_if(skins.begin(), skins.end(), [](const PlannedSkin& skin) { return !Positive(skin.thickness); }),
        skins.end());
    return skins;
}

}  // namespace Velmar::Services::Composition
