// The JSON records the configuration and window functions of the "ACAPI" object exchange with pages; the
// download page's are in DownloadRecords.hpp.
#pragma once

#include "Record.hpp"

namespace velmar::ui::model {

class CountryAndLanguage : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<GS::UniString> countryCode{"countryCode"};
    Velmar::Json::ValueProperty<GS::UniString> languageCode{"languageCode"};
    VELMAR_JSON_MEMBERS(countryCode, languageCode)
};

// The new client size of the calling window.
class ResizeRequest : public Velmar::Json::BaseObject {
public:
    Velmar::Json::ValueProperty<Int16> x{"x"};
    Velmar::Json::ValueProperty<Int16> y{"y"};
    VELMAR_JSON_MEMBERS(x, y)
};

}  // namespace velmar::ui::model
