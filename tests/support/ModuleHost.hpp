// The simulated Archicad with the module's calling layer pointed at its table, as a load leaves it, and what
// tests of the module's code over it share: levels, composites the user made and what a composite's tag says.
#pragma once

#include "ACAPinc.hpp"
#include "Archicad.hpp"
#include "CompositeTag.hpp"
#include "HostText.hpp"
#include "Lod.hpp"
#include "State.hpp"
#include "TempFolder.hpp"

#include <optional>
#include <string>

namespace Velmar::Testing {

class ModuleHost {
public:
    // Kinds and thicknesses are read for a language only: the index the configuration leaves.
    explicit ModuleHost(Int32 language = 1)
    {
        Velmar::Host::SetHostFunctions(&Sim::HostFunctions());
        App::State::instance()->languageIndex = language;
    }
    ~ModuleHost()
    {
        App::State::instance()->languageIndex.reset();
        Velmar::Host::SetHostFunctions(nullptr);
    }
    ModuleHost(const ModuleHost&) = delete;
    ModuleHost& operator=(const ModuleHost&) = delete;

    Sim::Project& Project() { return host.CurrentProject(); }

    TempFolder root;
    Sim::Archicad host{root / "data"};
};

// A level as start-up inserts it: 300 and up have frames, 500 has products.
inline Bo::LOD Level(Int32 value)
{
    return Bo::LOD(HostText::Uni(std::to_string(value).c_str()), value >= 300, value == 500, value);
}

// As the user's attribute manager makes one: one skin of the first building material.
inline API_AttributeIndex AddComposite(Sim::Archicad& host, const char* name,
                                       std::optional<Sim::UserData> userData = std::nullopt, double thickness = 0.2)
{
    Sim::Attribute composite;
    composite.record.header.typeID = API_CompWallID;
    Sim::SetAttributeName(composite, name);
    composite.skins = {API_CWallComponent{ACAPI_CreateAttributeIndex(1), 1, 0, thickness}};
    composite.lines.assign(2, API_CWallLineComponent{ACAPI_CreateAttributeIndex(1), 1});
    composite.userData = std::move(userData);
    host.RunHostCommand("Create Attribute", [&] { host.CurrentProject().AddAttribute(composite); });
    return host.CurrentProject().FindAttribute(API_CompWallID, HostText::Uni(name))->record.header.index;
}

// "system lod" of the composite's tag, "untagged" without user data, "not a tag" with another's.
inline std::string TagOf(const Sim::Attribute* composite)
{
    if (composite == nullptr || !composite->userData)
        return "untagged";
    const Sim::UserData& data = *composite->userData;
    const auto tag =
        Bo::CompositeTag::FromUserData(data.version, data.platformSign, data.bytes.data(), data.bytes.size());
    return tag ? tag->systemName + " " + std::to_string(tag->lod) : "not a tag";
}

}  // namespace Velmar::Testing
