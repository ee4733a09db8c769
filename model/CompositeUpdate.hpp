// The Update page's work: the systems stored in the project whose platform version has moved on, and
// bringing their composites and the walls and slabs built of them up to date. Main thread only; each
// platform request is synchronous, so the host waits for the platform's answers.
#pragma once

#include "BoSystem.hpp"

#include <memory>
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
// holds no loaded system.
std::vector<UpdateCandidate> FindSystemsToUpdate();

}  // namespace Velmar::Services::Update
