#include "FaultInjector.hpp"

namespace Sim {

void FaultInjector::Arm(const std::string& operation, GSErrCode error, int times)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (times == 0)
        faults_.erase(operation);
    else
        faults_[operation] = Fault{error, times};
}

void FaultInjector::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
}

std::optional<GSErrCode> FaultInjector::Take(const char* operation)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (recording_ && called_.find(std::string_view(operation)) == called_.end())
        called_.emplace(operation);
    const auto found = faults_.find(std::string_view(operation));
    if (found == faults_.end())
        return std::nullopt;
    const GSErrCode error = found->second.error;
    if (found->second.remaining != Every && --found->second.remaining == 0)
        faults_.erase(found);
    return error;
}

void FaultInjector::StartRecording()
{
    std::lock_guard<std::mutex> lock(mutex_);
    recording_ = true;
    called_.clear();
}

std::set<std::string> FaultInjector::StopRecording()
{
    std::lock_guard<std::mutex> lock(mutex_);
    recording_ = false;
    return {called_.begin(), called_.end()};
}

}  // namespace Sim
