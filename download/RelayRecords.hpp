// The relay's message to the add-on and the add-on's answer to it.
#pragma once

#include "Record.hpp"

namespace brixlab::models {

class VelPayload : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<GS::Guid> dataKey{"dataKey"};
    Velmar::Json::ValueProperty<GS::UniString> payload{"payload"};
    VELMAR_JSON_MEMBERS(dataKey, payload)
};

// Written without the members it has no value for.
class VelPayloadResponse : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<bool> ok{"ok"};
    Velmar::Json::ValueProperty<GS::UniString> message{"message"};
    VELMAR_JSON_MEMBERS(ok, message)
};

}  // namespace brixlab::models
