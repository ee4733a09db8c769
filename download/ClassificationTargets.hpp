// The project properties a classification code can be written into, as the download page offers them.
#pragma once

#include "DownloadRecords.hpp"

namespace Velmar::Services::Classification {

// Every editable single-value text definition of every group whose value is not computed by an
// expression, sorted by name, then group name (both ignoring letter case), then GUID text, so the page
// lists them alphabetically and the same way each time.
GS::Array<velmar::ui::model::ClassificationTarget> ClassificationTargets();

}  // namespace Velmar::Services::Classification
