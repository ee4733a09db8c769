// Velmar::App::State: what the add-on needs to know about the current country and language choice.
#pragma once

#include "Record.hpp"

#include <memory>
#include <optional>

namespace Velmar::App {

// A classification code of the project mapped to the property definition that carries it.
class StoredProjectClassificationMapping : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> classificationCode{"classificationCode"};
    Json::ValueProperty<GS::Guid> propertyDefinitionId{"propertyDefinitionId"};
    Json::ValueProperty<bool> active{"active"};
    VELMAR_JSON_MEMBERS(classificationCode, propertyDefinitionId, active)
};

class State {
public:
    static std::shared_ptr<State> instance();

    std::optional<Int32> languageIndex;
    GS::UniString selectorUrl;
    GS::Array<StoredProjectClassificationMapping> classificationMappings;

    bool IsNeutral() const { return neutral_; }
    bool IsBrandLessEnabled() const { return brandLessEnabled_; }
    // Stores the flag and marks the Neutral menu item: disabled (and the flag forced off) when the
    // active country offers no brand-less option, else checked exactly when the flag is on.
    void SetNeutral(bool value);
    void SetBrandLessEnabled(bool enabled);
    // The menus exist from the host's Initialize on; the marks are shown from then, the first time here.
    void ShowMarksInMenus();

private:
    void Mark() const;

    bool menusReady_ = false;
    bool neutral_ = false;
    bool brandLessEnabled_ = false;
};

}  // namespace Velmar::App
