// Velmar::Services::RuleService: the rules of the product systems the project's walls and slabs are
// linked to, run over those elements with the user's answers; keeps the last run's results and
// highlights elements in the model.
#pragma once

#include "ObjectAccessor.hpp"
#include "RuleRecords.hpp"

#include <memory>
#include <utility>
#include <vector>

namespace Velmar::Services {

// (element, stored system) for every wall, then every slab, whose add-on user data names a system: its
// first 16 bytes. Elements without such data are left out.
std::vector<std::pair<API_Guid, GS::Guid>> CollectLinkedElements();

class RuleService {
public:
    enum class RunOutcome { Stored, Cancelled };

    static std::shared_ptr<RuleService> instance();

    // The rules of the linked systems, in system order; a label already listed is listed again only in
    // another language than the active one.
    GS::Array<Rules::Rule> ListRules() const;

    // Runs the systems' own rules of the request's labels over each system's elements and replaces the
    // stored results, unless the user cancels the host's process window. A rule that does not compile or
    // evaluate raises its error and leaves the stored results as they were.
    RunOutcome RunRules(const velmar::rules::model::RuleRunRequest& request);

    GS::Array<velmar::rules::model::RuleExecutionResult> GetResults() const { return results_; }

    // Selects exactly the elements of a JSON array of GUID texts (none for any other text) and zooms to them.
    static void HighlightElements(const std::string& guidArray);

private:
    GS::Array<velmar::rules::model::RuleExecutionResult> results_;
};

}  // namespace Velmar::Services
