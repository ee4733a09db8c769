// velmar-sim's element.get quantities of an element, apart from the module's headers: both sides bring
// their own RapidJSON.
#include "HostQuantities.hpp"
#include "HostJson.hpp"
#include "QuantityKeys.hpp"

#include <cstdio>

namespace Velmar::Testing {

std::vector<std::pair<std::string, std::string>> HostQuantities(Sim::Project& project, const API_Guid& element)
{
    rapidjson::StringBuffer buffer;
    Sim::HostJson::Writer writer(buffer);
    Sim::Script::WriteQuantities(writer, project, *project.FindElement(element));
    rapidjson::Document document;
    document.Parse(buffer.GetString());
    std::vector<std::pair<std::string, std::string>> quantities;
    for (const auto& member : document.GetObject()) {
        char text[64];
        if (member.value.IsDouble())
            std::snprintf(text, sizeof text, "%f", member.value.GetDouble());
        else
            std::snprintf(text, sizeof text, "%lld", static_cast<long long>(member.value.GetInt64()));
        quantities.emplace_back(member.name.GetString(), text);
    }
    return quantities;
}

}  // namespace Velmar::Testing
