// The add-on's settings kept in the project ("VelmarProjectSettings"): country, language, LOD, Neutral
// and the classification mappings the project was worked with.
#pragma once

#include "State.hpp"

namespace Velmar::App {

class StoredProjectState : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> db{"db"};
    Json::ValueProperty<GS::UniString> language{"language"};
    Json::ValueProperty<Int32> lod{"lod"};
    Json::ValueProperty<bool> neutral{"neutral"};
    Json::ArrayProperty<StoredProjectClassificationMapping> classificationMapping{"classificationMapping"};
    VELMAR_JSON_MEMBERS(db, language, lod, neutral, classificationMapping)
};

constexpr const char* ProjectSettingsEntry = "VelmarProjectSettings";
constexpr Int32 ProjectDataVersion = 1;
constexpr UInt16 ProjectPlatformSign = 0x5757;

// Reads the project's settings entry and applies it; a project without one is a success and changes
// nothing. Answers the host's error otherwise.
GSErrCode LoadProjectSettings();
// As LoadProjectSettings, then checks the Lod menu item of the active level when loading succeeded.
void LoadProjectSettingsAndMarkLod();
// Stores the current country, language, LOD, Neutral option and mappings in the project.
GSErrCode SaveProjectSettings();

}  // namespace Velmar::App
