// The host's debug output: DBPrintf writes to whatever sink the host installed (stderr by default).
#pragma once

#include <functional>
#include <string>

void DBPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

namespace GS {
// Host side only: where debug output goes.
void SetDebugOutputSink(std::function<void(const std::string&)> sink);
}  // namespace GS
