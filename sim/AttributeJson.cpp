#include "JsonFields.hpp"

#include "HostText.hpp"

#include <set>

namespace Sim::Json {

namespace {

API_RGBColor ReadColour(const Value& value)
{
    if (!value.IsArray() || value.Size() != 3)
        Fail("\"colour\" must be [r,g,b] in 0..1");
    double parts[3];
    for (rapidjson::SizeType i = 0; i < 3; ++i) {
        parts[i] = Number(value[i], "colour");
        if (parts[i] < 0.0 || parts[i] > 1.0)
            Fail("\"colour\" must be [r,g,b] in 0..1");
    }
    return API_RGBColor{parts[0], parts[1], parts[2]};
}

// Pen 0 draws nothing, as a skin's hidden frame or face line.
short ReadPen(const Value& value, const char* key, bool noneAllowed = false)
{
    const Int32 pen = Integer(value, key);
    if (pen < (noneAllowed ? 0 : 1) || pen > 255)
        Fail(std::string("\"") + key + "\" must be a pen from 1 to 255");
    return static_cast<short>(pen);
}

struct FillTypeName {
    API_FillSubtype type;
    const char* name;
};
constexpr FillTypeName FillTypes[] = {
    {APIFill_Vector, "vector"},
    {APIFill_Symbol, "symbol"},
    {APIFill_Solid, "solid"},
    {APIFill_Empty, "empty"},
};

void WriteComposite(Writer& writer, const Project& project, const Attribute& attribute, References references)
{
    writer.Key("thickness");
    writer.Double(attribute.record.compWall.totalThick);
    writer.Key("usage");
    writer.Int(attribute.record.header.flags);
    writer.Key("skins");
    writer.StartArray();
    for (const auto& skin : attribute.skins) {
        writer.StartObject();
        if (references == References::Name) {
            writer.Key("material");
            WriteReference(writer, project, API_BuildingMaterialID, skin.buildingMaterial, references);
        }
        writer.Key("materialIndex");
        writer.Int(skin.buildingMaterial.ToInt32_Deprecated());
        writer.Key("thickness");
        writer.Double(skin.fillThick);
        writer.Key("framePen");
        writer.Int(skin.framePen);
        writer.Key("flags");
        writer.Int(skin.flagBits);
        writer.EndObject();
    }
    writer.EndArray();
    writer.Key("lines");
    writer.StartArray();
    for (const auto& line : attribute.lines) {
        writer.StartObject();
        writer.Key("lineType");
        writer.Int(line.ltypeInd.ToInt32_Deprecated());
        writer.Key("pen");
        writer.Int(line.linePen);
        writer.EndObject();
    }
    writer.EndArray();
}

void WriteBuildingMaterial(Writer& writer, const Project& project, const Attribute& attribute, References references)
{
    const auto& material = attribute.record.buildingMaterial;
    writer.Key("id");
    WriteText(writer, attribute.id);
    writer.Key("manufacturer");
    WriteText(writer, attribute.manufacturer);
    writer.Key("description");
    WriteText(writer, attribute.description);
    writer.Key("cutFill");
    writer.Int(material.cutFill.ToInt32_Deprecated());
    writer.Key("cutFillPen");
    writer.Int(material.cutFillPen);
    writer.Key("cutFillBackgroundPen");
    writer.Int(material.cutFillBackgroundPen);
    if (material.cutMaterial != APIInvalidAttributeIndex) {
        writer.Key("surface");
        WriteReference(writer, project, API_MaterialID, material.cutMaterial, references);
    }
    if (material.thermalConductivity > 0.0) {
        writer.Key("thermalConductivity");
        writer.Double(material.thermalConductivity);
    }
}

void WriteSurface(Writer& writer, const Project&, const Attribute& attribute, References)
{
    writer.Key("colour");
    WriteColour(writer, attribute.record.material.surfaceRGB);
}

void WriteFill(Writer& writer, const Project&, const Attribute& attribute, References)
{
    // Gradients and images are drawn here as vector fills.
    const auto found = std::find_if(std::begin(FillTypes), std::end(FillTypes), [&](const FillTypeName& row) {
        return row.type == attribute.record.filltype.subType;
    });
    writer.Key("fill");
    writer.String(found != std::end(FillTypes) ? found->name : "vector");
}

void ReadComposite(const Value& value, const Project& project, References references, Attribute& attribute)
{
    const auto has = [&](const char* key) { return value.HasMember(key); };
    attribute.record.header.flags =
        static_cast<short>(has("usage") ? Integer(value["usage"], "usage") : APICWall_ForWall | APICWall_ForSlab);
    // Files may hold a composite without skins (as version 1 files do); a user always gives them.
    const bool skinless = references == References::Index && !has("skins");
    if (!skinless && (!has("skins") || !value["skins"].IsArray() || value["skins"].Empty()))
        Fail("a composite needs \"skins\": [{\"material\",\"thickness\"}, ...]");
    double total = 0.0;
    static const rapidjson::Value none(rapidjson::kArrayType);
    for (const auto& skin : (skinless ? none : value["skins"]).GetArray()) {
        if (!skin.IsObject() || !skin.HasMember("thickness"))
            Fail("a skin needs a building material and a \"thickness\"");
        API_CWallComponent component = {};
        const bool byName = references == References::Name && skin.HasMember("material");
        if (!byName && !skin.HasMember("materialIndex"))
            Fail("a skin needs its building material as \"material\"");
        component.buildingMaterial =
            byName ? ReadReference(skin["material"], project, API_BuildingMaterialID, "material", references)
                   : ReadReference(skin["materialIndex"], project, API_BuildingMaterialID, "materialIndex",
                                   References::Index);
        component.fillThick = PositiveLength(skin["thickness"], "thickness");
        component.framePen = skin.HasMember("framePen") ? ReadPen(skin["framePen"], "framePen", true) : 1;
        component.flagBits = static_cast<short>(skin.HasMember("flags") ? Integer(skin["flags"], "flags") : 0);
        total += component.fillThick;
        attribute.skins.push_back(component);
    }
    if (total > LongestLength)
        Fail("a composite's skins must add up to at most 10 km");
    attribute.record.compWall.nComps = static_cast<short>(attribute.skins.size());
    attribute.record.compWall.totalThick = total;
    if (has("lines")) {
        if (!value["lines"].IsArray() || value["lines"].Size() != attribute.skins.size() + 1)
            Fail("a composite has one more line than skins");
        for (const auto& line : value["lines"].GetArray()) {
            if (!line.IsObject() || !line.HasMember("lineType") || !line.HasMember("pen"))
                Fail("a line needs \"lineType\" and \"pen\"");
            attribute.lines.push_back(API_CWallLineComponent{
                ACAPI_CreateAttributeIndex(Integer(line["lineType"], "lineType")), ReadPen(line["pen"], "pen", true)});
        }
    } else if (!attribute.skins.empty()) {
        attribute.lines.assign(attribute.skins.size() + 1, API_CWallLineComponent{ACAPI_CreateAttributeIndex(1), 1});
    }
}

void ReadBuildingMaterial(const Value& value, const Project& project, References references, Attribute& attribute)
{
    const auto has = [&](const char* key) { return value.HasMember(key); };
    auto& record = attribute.record.buildingMaterial;
    if (has("id"))
        attribute.id = HostText::Uni(Text(value["id"], "id"));
    if (has("manufacturer"))
        attribute.manufacturer = HostText::Uni(Text(value["manufacturer"], "manufacturer"));
    if (has("description"))
        attribute.description = HostText::Uni(Text(value["description"], "description"));
    record.cutFill = has("cutFill")
                         ? ReadReference(value["cutFill"], project, API_FilltypeID, "cutFill", References::Index)
                         : ACAPI_CreateAttributeIndex(1);
    record.cutFillPen = has("cutFillPen") ? ReadPen(value["cutFillPen"], "cutFillPen") : 1;
    record.cutFillBackgroundPen =
        has("cutFillBackgroundPen") ? ReadPen(value["cutFillBackgroundPen"], "cutFillBackgroundPen") : 19;
    if (has("surface"))
        record.cutMaterial = ReadReference(value["surface"], project, API_MaterialID, "surface", references);
    if (has("thermalConductivity"))
        record.thermalConductivity = Positive(value["thermalConductivity"], "thermalConductivity");
}

void ReadSurface(const Value& value, const Project&, References, Attribute& attribute)
{
    attribute.record.material.mtype = APIMater_GeneralID;
    attribute.record.material.surfaceRGB =
        value.HasMember("colour") ? ReadColour(value["colour"]) : API_RGBColor{0.8, 0.8, 0.8};
}

void ReadFill(const Value& value, const Project&, References, Attribute& attribute)
{
    attribute.record.filltype.subType = APIFill_Vector;
    if (value.HasMember("fill")) {
        const std::string name = Text(value["fill"], "fill");
        const auto found = std::find_if(std::begin(FillTypes), std::end(FillTypes),
                                        [&](const FillTypeName& row) { return name == row.name; });
        if (found == std::end(FillTypes))
            Fail("\"fill\" is one of vector, symbol, solid, empty");
        attribute.record.filltype.subType = found->type;
    }
}

// What each type adds to the keys every attribute has.
struct AttributeKind {
    API_AttrTypeID type;
    std::set<std::string> keys;
    void (*write)(Writer&, const Project&, const Attribute&, References);
    void (*read)(const Value&, const Project&, References, Attribute&);
};

const AttributeKind* KindOf(API_AttrTypeID type)
{
    static const AttributeKind kinds[] = {
        {API_CompWallID, {"thickness", "usage", "skins", "lines"}, WriteComposite, ReadComposite},
        {API_BuildingMaterialID,
         {"id", "manufacturer", "description", "cutFill", "cutFillPen", "cutFillBackgroundPen", "surface",
          "thermalConductivity"},
         WriteBuildingMaterial,
         ReadBuildingMaterial},
        {API_MaterialID, {"colour"}, WriteSurface, ReadSurface},
        {API_FilltypeID, {"fill"}, WriteFill, ReadFill},
    };
    for (const auto& kind : kinds) {
        if (kind.type == type)
            return &kind;
    }
    return nullptr;
}

}  // namespace

void WriteAttribute(Writer& writer, const Project& project, const Attribute& attribute, References references,
                    bool withType)
{
    writer.StartObject();
    if (withType) {
        writer.Key("type");
        writer.String(AttrTypeName(attribute.Type()));
    }
    writer.Key("index");
    writer.Int(attribute.Index());
    writer.Key("name");
    WriteText(writer, attribute.name);
    writer.Key("guid");
    WriteGuid(writer, attribute.record.header.guid);
    if (const AttributeKind* kind = KindOf(attribute.Type()))
        kind->write(writer, project, attribute, references);
    if (attribute.userData) {
        writer.Key("userData");
        writer.StartObject();
        WriteUserData(writer, *attribute.userData);
        writer.EndObject();
    }
    writer.EndObject();
}

Attribute ReadAttribute(const Value& value, const Project& project, API_AttrTypeID type, References references)
{
    static const std::set<std::string> common{"cmd", "type", "index", "name", "guid", "userData", "flags"};
    const AttributeKind* kind = KindOf(type);
    if (kind == nullptr)
        Fail("unknown attribute type");
    for (const auto& member : value.GetObject()) {
        const std::string key = member.name.GetString();
        if (common.count(key) == 0 && kind->keys.count(key) == 0)
            Fail("a " + std::string(AttrTypeName(type)) + " has no key \"" + key + "\"");
    }
    if (!value.HasMember("name") || !value["name"].IsString() || value["name"].GetStringLength() == 0)
        Fail("an attribute needs a name");
    Attribute attribute;
    attribute.record.header.typeID = type;
    SetAttributeName(attribute, HostText::Uni(Text(value["name"], "name")));
    if (value.HasMember("guid"))
        attribute.record.header.guid = ReadGuid(value["guid"], "guid");
    if (value.HasMember("userData"))
        attribute.userData = ReadUserData(value["userData"]);
    kind->read(value, project, references, attribute);
    return attribute;
}

}  // namespace Sim::Json
