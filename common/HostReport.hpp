// The one format of the add-on's failure reports; the message is its argument, so a '%' in a message is text.
#pragma once

namespace Velmar {

constexpr const char* FailureReportFormat = "failed\n %s";

}  // namespace Velmar
