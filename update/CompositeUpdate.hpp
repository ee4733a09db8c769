// The Update page's work: the systems stored in the project whose platform version has moved on, and
// bringing their composites and the walls and slabs built of them up to date. Main thread only; each
// platform request is synchronous, so the host waits for the platform's answers.
#pragma once

#include "APIdefs.h"
#include "BoSystem.hpp"

#include <memory>
#include <unordered_map>
#include <vector>

namespace Velmar::Services::Update {

// A stored system with its platform version now.
struct UpdateCandidate {
    std::shared_ptr<const Bo::System> fresh;
    GS::Guid storedSystemId;
};

// Whether two versions are the same: both stamped, and equal in all eight parts.
bool SameVersion(const Bo::System& stored, const Bo::System& fresh);

// Every stored system, in store order, whose platform version differs from the stored one or has no time
// stamp on either side. A system the platform does not give is left out, and the download manager then
// holds no loaded system. A platform that cannot be reached only shortens the list: the failure is
// logged, and the system's name goes to `notReached` when it is given.
std::vector<UpdateCandidate> FindSystemsToUpdate(std::vector<GS::UniString>* notReached = nullptr);

// The walls, then the slabs, linked to each of those stored systems, each once; one pass over the project.
std::unordered_map<GS::Guid, GS::Array<API_Guid>> LinkedElements(const std::vector<GS::Guid>& storedSystemIds);

// Brings every candidate up to date, as one undo step with the host's process window (a phase per
// system; a cancel stops before the next and keeps what was updated): the stored system's parameters
// written on its linked elements, its stored text replaced by the platform's in memory and in the
// project (so a saved project is not offered the same update again), every composite tagged with it
// rebuilt at its tag's level, and the linked elements written again through their composites. A system
// whose rebuild the host refuses keeps its stored text, and is named with `notReached` in one report at
// the end. A value that does not convert raises the standard conversion error; the store is read again
// from the project then. Answers how many systems were updated.
std::size_t RunUpdate(const std::vector<UpdateCandidate>& candidates,
                      const std::vector<GS::UniString>& notReached = {});

}  // namespace Velmar::Services::Update
