#include "GSDebug.hpp"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {
std::mutex sinkMutex;
std::function<void(const std::string&)> debugSink;
}  // namespace

void DBPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);

    std::lock_guard<std::mutex> lock(sinkMutex);
    if (debugSink)
        debugSink(text);
    else
        std::fputs(text.c_str(), stderr);
}

namespace GS {
void SetDebugOutputSink(std::function<void(const std::string&)> sink)
{
    std::lock_guard<std::mutex> lock(sinkMutex);
    debugSink = std::move(sink);
}
}  // namespace GS
