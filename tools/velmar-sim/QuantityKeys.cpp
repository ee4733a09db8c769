#include "QuantityKeys.hpp"

namespace Sim::Script {

namespace {

struct Key {
    API_ElemTypeID type;
    const char* key;
    double (*real)(const API_ElementQuantity&);
    Int64 (*count)(const API_ElementQuantity&);
};

#define REAL(type, key, field)                                                                                         \
    {                                                                                                                  \
        type, key, [](const API_ElementQuantity& q) { return double(q.field); }, nullptr                               \
    }
#define COUNT(type, key, field)                                                                                        \
    {                                                                                                                  \
        type, key, nullptr, [](const API_ElementQuantity& q) { return Int64(q.field); }                                \
    }

// The keys the rule catalogs read, verbatim, with the quantity field each shows.
const Key Keys[] = {
    REAL(API_WallID, "Quantity.airThickness", wall.airThickness),
    REAL(API_WallID, "Quantity.area", wall.area),
    REAL(API_WallID, "Quantity.centerLength", wall.centerLength),
    COUNT(API_WallID, "Quantity.columns Number", wall.columnsNumber),
    REAL(API_WallID, "Quantity.doorsSurf", wall.doorsSurf),
    REAL(API_WallID, "Quantity.doors Width", wall.doorsWidth),
    REAL(API_WallID, "Quantity.emptyholesSurf", wall.emptyholesSurf),
    REAL(API_WallID, "Quantity.EmptyholesSurf Reference", wall.emptyHolesSurf1),
    REAL(API_WallID, "Quantity.EmptyholesSurf Opposite", wall.emptyHolesSurf2),
    REAL(API_WallID, "Quantity.emptyHolesVolume", wall.emptyHolesVolume),
    REAL(API_WallID, "Quantity.gross Surf1", wall.grossSurf1),
    REAL(API_WallID, "Quantity.gross Surf2", wall.grossSurf2),
    REAL(API_WallID, "Quantity.gross Volume", wall.grossVolume),
    REAL(API_WallID, "Quantity.insuThickness", wall.insuThickness),
    REAL(API_WallID, "Quantity.length", wall.length),
    REAL(API_WallID, "Quantity.length12", wall.length12),
    REAL(API_WallID, "Quantity.length12_cond", wall.length12_cond),
    REAL(API_WallID, "Quantity.length34", wall.length34),
    REAL(API_WallID, "Quantity.length34_cond", wall.length34_cond),
    REAL(API_WallID, "Quantity.max Height", wall.maxHeight),
    REAL(API_WallID, "Quantity.maxHeightASkin", wall.maxHeightASkin),
    REAL(API_WallID, "Quantity.maxHeightBSkin", wall.maxHeightBSkin),
    REAL(API_WallID, "Quantity.min Height", wall.minHeight),
    REAL(API_WallID, "Quantity.minHeightASkin", wall.minHeightASkin),
    REAL(API_WallID, "Quantity.minHeightBSkin", wall.minHeightBSkin),
    REAL(API_WallID, "Quantity.perimeter", wall.perimeter),
    REAL(API_WallID, "Quantity.Reference Line Length", wall.refLineLength),
    REAL(API_WallID, "Quantity.skinAThickness", wall.skinAThickness),
    REAL(API_WallID, "Quantity.skinBThickness", wall.skinBThickness),
    REAL(API_WallID, "Quantity.surface1", wall.surface1),
    REAL(API_WallID, "Quantity.surface1_cond", wall.surface1_cond),
    REAL(API_WallID, "Quantity.surface2", wall.surface2),
    REAL(API_WallID, "Quantity.surface2_cond", wall.surface2_cond),
    REAL(API_WallID, "Quantity.surface3", wall.surface3),
    REAL(API_WallID, "Quantity.volume", wall.volume),
    REAL(API_WallID, "Quantity.volume_cond", wall.volume_cond),
    REAL(API_WallID, "Quantity.volumeASkin", wall.volumeASkin),
    REAL(API_WallID, "Quantity.volumeASkin_cond", wall.volumeASkin_cond),
    REAL(API_WallID, "Quantity.volumeBSkin", wall.volumeBSkin),
    REAL(API_WallID, "Quantity.volumeBSkin_cond", wall.volumeBSkin_cond),
    REAL(API_WallID, "Quantity.windowsSurf", wall.windowsSurf),
    REAL(API_WallID, "Quantity.windows Width", wall.windowsWidth),
    REAL(API_SlabID, "Quantity.Bottom Surface", slab.bottomSurface),
    REAL(API_SlabID, "Quantity.Bottom Surface Cond", slab.bottomSurface_cond),
    REAL(API_SlabID, "Quantity.Edge Surface", slab.edgeSurface),
    REAL(API_SlabID, "Quantity.Gross Bottom Surface", slab.grossBotSurf),
    REAL(API_SlabID, "Quantity.Gross Bottom Surface With Holes", slab.grossBotSurfWithHoles),
    REAL(API_SlabID, "Quantity.Gross Edge Surface", slab.grossEdgeSurf),
    REAL(API_SlabID, "Quantity.Gross Edge Surface With Holes", slab.grossEdgeSurfWithHoles),
    REAL(API_SlabID, "Quantity.Gross Top Surface", slab.grossTopSurf),
    REAL(API_SlabID, "Quantity.Gross Top Surface With Holes", slab.grossTopSurfWithHoles),
    REAL(API_SlabID, "Quantity.Gross Volume", slab.grossVolume),
    REAL(API_SlabID, "Quantity.Gross Volume With Holes", slab.grossVolumeWithHoles),
    REAL(API_SlabID, "Quantity.Holes Perimeter", slab.holesPrm),
    REAL(API_SlabID, "Quantity.Holes Surface", slab.holesSurf),
    REAL(API_SlabID, "Quantity.perimeter", slab.perimeter),
    REAL(API_SlabID, "Quantity.Top Surface", slab.topSurface),
    REAL(API_SlabID, "Quantity.Top Surface Cond", slab.topSurface_cond),
    REAL(API_SlabID, "Quantity.volume", slab.volume),
    REAL(API_SlabID, "Quantity.Volume Cond", slab.volume_cond),
    REAL(API_CurtainWallID, "Quantity.height", cw.height),
    REAL(API_CurtainWallID, "Quantity.length", cw.length),
    COUNT(API_CurtainWallID, "Quantity.Number Of Panels", cw.numOfPanels),
    REAL(API_CurtainWallID, "Quantity.Slant Angle", cw.slantAngle),
    REAL(API_CurtainWallID, "Quantity.Frames Length", cw.framesLength),
    REAL(API_CurtainWallID, "Quantity.Panels Surface", cw.panelsSurface),
    REAL(API_CurtainWallID, "Quantity.Contour Frames Lenght", cw.contourFramesLength),
    REAL(API_CurtainWallID, "Quantity.Main Axis Frames Length", cw.mainaxisFramesLength),
    REAL(API_CurtainWallID, "Quantity.Sec Axis Frames Length", cw.secaxisFramesLength),
    REAL(API_CurtainWallID, "Quantity.Custom Frames Length", cw.customFramesLength),
    REAL(API_CurtainWallID, "Quantity.Panels Surface North", cw.panelsSurfaceN),
    REAL(API_CurtainWallID, "Quantity.Panels Surface South", cw.panelsSurfaceS),
    REAL(API_CurtainWallID, "Quantity.Panels Surface East", cw.panelsSurfaceE),
    REAL(API_CurtainWallID, "Quantity.Panels Surface West", cw.panelsSurfaceW),
    REAL(API_CurtainWallID, "Quantity.Panels Surface North-East", cw.panelsSurfaceNE),
    REAL(API_CurtainWallID, "Quantity.Panels Surface North-West", cw.panelsSurfaceNW),
    REAL(API_CurtainWallID, "Quantity.Panels Surface South-East", cw.panelsSurfaceSE),
    REAL(API_CurtainWallID, "Quantity.Panels Surface South-West", cw.panelsSurfaceSW),
    REAL(API_CurtainWallID, "Quantity.contour Surface", cw.contourSurface),
    REAL(API_CurtainWallID, "Quantity.boundary Surface", cw.boundarySurface),
};

#undef REAL
#undef COUNT

}  // namespace

void WriteQuantities(Writer& writer, const Project& project, const Element& element)
{
    const auto quantity = ComputeQuantities(project, element, API_QuantityPar{});
    writer.StartObject();
    for (const Key& key : Keys) {
        if (key.type != element.Type())
            continue;
        writer.Key(key.key);
        if (key.real != nullptr)
            writer.Double(key.real(*quantity));
        else
            writer.Int64(key.count(*quantity));
    }
    if (element.Type() == API_WallID) {
        // Sums over the wall's openings: side 1 faces the reference line (outside), side 2 the inside.
        double inside = 0.0, outside = 0.0, volume = 0.0;
        Int64 doors = 0, windows = 0;
        for (const Element* opening : project.OpeningsOf(element.Guid())) {
            const auto q = ComputeQuantities(project, *opening, API_QuantityPar{});
            inside += q->window.surface2;
            outside += q->window.surface1;
            volume += q->window.volume;
            (opening->Type() == API_DoorID ? doors : windows) += 1;
        }
        writer.Key("Quantity.Number of Doors");
        writer.Int64(doors);
        writer.Key("Quantity.Number of Windows");
        writer.Int64(windows);
        writer.Key("Quantity.Surface area of all Wall openings on the Wall inside face");
        writer.Double(inside);
        writer.Key("Quantity.Surface area of all Wall openings on the Wall outside face");
        writer.Double(outside);
        writer.Key("Quantity.Volume of all Wall openings");
        writer.Double(volume);
    }
    writer.EndObject();
}

bool HasQuantities(API_ElemTypeID type)
{
    return type == API_WallID || type == API_SlabID || type == API_CurtainWallID;
}

}  // namespace Sim::Script
