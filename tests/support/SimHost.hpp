// The simulated Archicad with a freshly loaded add-on, for tests that go through the host seam.
// Each host loads its own copy of the module file, so no state leaks from one host to the next.
#pragma once

#include "Archicad.hpp"
#include "HostText.hpp"
#include "TempFolder.hpp"

#include <functional>
#include <memory>

namespace Velmar::Testing {

class SimHost {
public:
    // `beforeLoad` runs after the host starts and before the add-on loads (to arm faults, place files).
    explicit SimHost(const std::function<void(Sim::Archicad&)>& beforeLoad = {})
        : host_(std::make_unique<Sim::Archicad>(data_ / "data"))
    {
        const std::string module = data_ / "libVelmar.so";
        std::filesystem::copy_file(VELMAR_MODULE_PATH, module);
        if (beforeLoad)
            beforeLoad(*host_);
        loaded_ = host_->LoadAddOn(module);
        if (loaded_) {
            host_->NewProject();
            host_->Loop().RunUntilIdle();
        }
    }

    ~SimHost() { host_->UnloadAddOn(); }
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    bool Loaded() const { return loaded_; }
    Sim::Archicad& Host() { return *host_; }
    Sim::Archicad* operator->() { return host_.get(); }
    std::string UserFolder() const { return data_ / "data/user"; }

    std::vector<std::string> LogLines() const
    {
        const std::string text = ReadFile(data_ / "data/user/velmar/archicad/log.txt");
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    GSFlags ItemFlags(Int16 menu, Int32 item)
    {
        const Sim::Menu* found = host_->FindMenu(menu);
        return found != nullptr ? found->items.at(static_cast<std::size_t>(item - 1)).flags : -1;
    }
    std::string ItemText(Int16 menu, Int32 item)
    {
        const Sim::Menu* found = host_->FindMenu(menu);
        return found != nullptr ? HostText::Utf8(found->items.at(static_cast<std::size_t>(item - 1)).text) : "";
    }

private:
    TempFolder data_;
    std::unique_ptr<Sim::Archicad> host_;
    bool loaded_ = false;
};

}  // namespace Velmar::Testing
