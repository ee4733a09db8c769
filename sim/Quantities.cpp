#include "Quantities.hpp"

#include <cmath>
#include <cstring>

namespace Sim {

namespace {

constexpr double Pi = 3.14159265358979323846;

double Distance(const API_Coord& a, const API_Coord& b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

struct Skins {
    double a = 0.0;
    double b = 0.0;
};

// The outermost skins: a composite's first (reference line side) and last; a basic wall is one skin.
Skins SkinThicknesses(const Project& project, const API_WallType& wall, double thickness)
{
    if (wall.modelElemStructureType == API_CompositeStructure) {
        const Attribute* composite = project.FindAttribute(API_CompWallID, wall.composite.ToInt32_Deprecated());
        if (composite != nullptr && !composite->skins.empty())
            return Skins{composite->skins.front().fillThick, composite->skins.back().fillThick};
    }
    return Skins{thickness, thickness};
}

API_WallQuantity WallQuantity(const Project& project, const Element& element, const API_QuantityPar& parameters)
{
    const API_WallType& wall = element.record.wall;
    const double length = Distance(wall.begC, wall.endC);
    const double height = wall.height;
    const double thickness = ElementThickness(project, element);
    API_WallQuantity q = {};
    std::memset(&q, 0, sizeof q);

    double openings = 0.0;
    double openingsCond = 0.0;
    for (const Element* opening : project.OpeningsOf(element.Guid())) {
        const auto& base = opening->record.window.openingBase;
        const double area = base.width * base.height;
        openings += area;
        if (area >= parameters.minOpeningSize)
            openingsCond += area;
        if (opening->Type() == API_WindowID) {
            q.windowsSurf += area;
            q.windowsWidth += base.width;
        } else {
            q.doorsSurf += area;
            q.doorsWidth += base.width;
        }
    }
    const double side = length * height;
    const Skins skins = SkinThicknesses(project, wall, thickness);

    q.refLineLength = q.length = q.length12 = q.length34 = q.length12_cond = q.length34_cond = q.centerLength = length;
    q.minHeight = q.maxHeight = q.minHeightASkin = q.maxHeightASkin = q.minHeightBSkin = q.maxHeightBSkin = height;
    q.area = length * thickness;
    q.perimeter = 2.0 * (length + thickness);
    q.grossSurf1 = q.grossSurf2 = side;
    q.surface1 = q.surface2 = side - openings;
    q.surface1_cond = q.surface2_cond = side - openingsCond;
    q.surface3 = 2.0 * thickness * height;
    q.grossVolume = side * thickness;
    q.volume = (side - openings) * thickness;
    q.volume_cond = (side - openingsCond) * thickness;
    q.skinAThickness = skins.a;
    q.skinBThickness = skins.b;
    q.volumeASkin = (side - openings) * skins.a;
    q.volumeBSkin = (side - openings) * skins.b;
    q.volumeASkin_cond = (side - openingsCond) * skins.a;
    q.volumeBSkin_cond = (side - openingsCond) * skins.b;
    return q;
}

API_WindowQuantity OpeningQuantity(const Project& project, const Element& element)
{
    const auto& opening = element.record.window;
    const Element* wall = project.FindElement(opening.owner);
    const double thickness = wall != nullptr ? ElementThickness(project, *wall) : 0.0;
    const double width = opening.openingBase.width;
    const double height = opening.openingBase.height;
    API_WindowQuantity q = {};
    std::memset(&q, 0, sizeof q);
    q.width1 = q.width2 = width;
    q.height1 = q.height2 = height;
    q.surface = q.surface1 = q.surface2 = q.grossSurf = width * height;
    q.volume = q.grossVolume = width * height * thickness;
    q.sillHeight = opening.lower;
    q.headHeight = opening.lower + height;
    return q;
}

API_SlabQuantity SlabQuantity(const Project& project, const Element& element)
{
    const double thickness = ElementThickness(project, element);
    const double outer = RingArea(element.polygon);
    const double outerPerimeter = RingPerimeter(element.polygon);
    double holes = 0.0;
    double holesPerimeter = 0.0;
    for (const Ring& hole : element.holes) {
        holes += RingArea(hole);
        holesPerimeter += RingPerimeter(hole);
    }
    API_SlabQuantity q = {};
    std::memset(&q, 0, sizeof q);
    const double net = outer - holes;
    q.topSurface = q.bottomSurface = q.topSurface_cond = q.bottomSurface_cond = q.grossTopSurf = q.grossBotSurf = net;
    q.edgeSurface = q.grossEdgeSurf = (outerPerimeter + holesPerimeter) * thickness;
    q.volume = q.volume_cond = q.grossVolume = net * thickness;
    q.perimeter = outerPerimeter;
    q.holesSurf = holes;
    q.holesPrm = holesPerimeter;
    q.grossTopSurfWithHoles = q.grossBotSurfWithHoles = outer;
    q.grossEdgeSurfWithHoles = outerPerimeter * thickness;
    q.grossVolumeWithHoles = outer * thickness;
    return q;
}

API_CurtainWallQuantity CurtainWallQuantity(const Element& element)
{
    API_CurtainWallQuantity q = {};
    std::memset(&q, 0, sizeof q);
    if (element.polygon.size() < 2)
        return q;
    const API_Coord& begin = element.polygon[0];
    const API_Coord& end = element.polygon[1];
    const double length = Distance(begin, end);
    const double height = element.record.curtainWall.height;
    const auto divisions = [](double size) { return std::max(1.0, std::ceil(size / CurtainWallModule - 1e-9)); };
    const double columns = divisions(length);
    const double rows = divisions(height);
    q.length = length;
    q.height = height;
    q.slantAngle = Pi / 2.0;
    q.numOfPanels = static_cast<UInt32>(columns * rows);
    q.contourFramesLength = 2.0 * (length + height);
    q.mainaxisFramesLength = (columns - 1.0) * height;
    q.secaxisFramesLength = (rows - 1.0) * length;
    q.framesLength = q.contourFramesLength + q.mainaxisFramesLength + q.secaxisFramesLength;
    q.panelsSurface = q.contourSurface = q.boundarySurface = length * height;
    if (length > 0.0) {
        // The panels face the right of the base line's direction; north is +y, angles clockwise.
        const double nx = (end.y - begin.y) / length;
        const double ny = -(end.x - begin.x) / length;
        double azimuth = std::atan2(nx, ny) * 180.0 / Pi;
        if (azimuth < 0.0)
            azimuth += 360.0;
        double* const compass[8] = {&q.panelsSurfaceN, &q.panelsSurfaceNE, &q.panelsSurfaceE, &q.panelsSurfaceSE,
                                    &q.panelsSurfaceS, &q.panelsSurfaceSW, &q.panelsSurfaceW, &q.panelsSurfaceNW};
        *compass[static_cast<int>(std::lround(azimuth / 45.0)) % 8] = q.panelsSurface;
    }
    return q;
}

// Copies the 8-byte slots whose mask has any byte set: every field of these records starts a slot (a
// 4-byte count shares its slot with a filler), and a set mask marks at least a field's first byte.
template <typename Record>
void CopySlots(const Record& computed, const Record& mask, Record& out)
{
    static_assert(sizeof(Record) % 8 == 0, "quantity records are made of 8-byte slots");
    const auto* from = reinterpret_cast<const unsigned char*>(&computed);
    const auto* asked = reinterpret_cast<const unsigned char*>(&mask);
    auto* to = reinterpret_cast<unsigned char*>(&out);
    for (std::size_t slot = 0; slot < sizeof(Record); slot += 8) {
        bool wanted = false;
        for (std::size_t i = 0; i < 8; ++i)
            wanted = wanted || asked[slot + i] != 0;
        if (wanted)
            std::memcpy(to + slot, from + slot, 8);
    }
}

}  // namespace

double RingArea(const Ring& ring)
{
    double twice = 0.0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const API_Coord& a = ring[i];
        const API_Coord& b = ring[(i + 1) % ring.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twice) / 2.0;
}

double RingPerimeter(const Ring& ring)
{
    double perimeter = 0.0;
    for (std::size_t i = 0; ring.size() > 1 && i < ring.size(); ++i)
        perimeter += Distance(ring[i], ring[(i + 1) % ring.size()]);
    return perimeter;
}

std::optional<API_ElementQuantity> ComputeQuantities(const Project& project, const Element& element,
                                                     const API_QuantityPar& parameters)
{
    API_ElementQuantity quantity = {};
    switch (element.Type()) {
        case API_WallID:
            quantity.wall = WallQuantity(project, element, parameters);
            return quantity;
        case API_WindowID:
        case API_DoorID:
            quantity.window = OpeningQuantity(project, element);
            return quantity;
        case API_SlabID:
            quantity.slab = SlabQuantity(project, element);
            return quantity;
        case API_CurtainWallID:
            quantity.cw = CurtainWallQuantity(element);
            return quantity;
        default:
            return std::nullopt;
    }
}

void CopyMasked(API_ElemTypeID type, const API_ElementQuantity& computed, const API_QuantitiesMask& mask,
                API_ElementQuantity& out)
{
    switch (type) {
        case API_WallID:
            CopySlots(computed.wall, mask.elements.wall, out.wall);
            break;
        case API_WindowID:
            CopySlots(computed.window, mask.elements.window, out.window);
            break;
        case API_DoorID:
            CopySlots(computed.door, mask.elements.door, out.door);
            break;
        case API_SlabID:
            CopySlots(computed.slab, mask.elements.slab, out.slab);
            break;
        case API_CurtainWallID:
            CopySlots(computed.cw, mask.elements.cw, out.cw);
            break;
        default:
            break;
    }
}

}  // namespace Sim
