// brixlab::controllers::PaletteController: knows for each window how to make it, its title, page and size,
// and holds the windows that are open. Windows are opened, reloaded and closed only through it.
#pragma once

#include "HashTable.hpp"
#include "IBrowserWindow.hpp"
#include "PaletteIdentifiers.hpp"

#include <functional>
#include <memory>
#include <utility>

namespace brixlab::controllers {

using xdWebEngine::IBrowserWindow;
using xdWebEngine::PaletteIdentifiers;

class PaletteController {
public:
    using WindowFactory = std::function<std::shared_ptr<IBrowserWindow>()>;
    using AddressProvider = std::function<GS::UniString()>;
    using Size = std::pair<Int16, Int16>;

    static std::shared_ptr<PaletteController> instance();

    void AddFactory(PaletteIdentifiers id, WindowFactory factory) { factories_.Put(id, std::move(factory)); }
    void AddTitle(PaletteIdentifiers id, const GS::UniString& title) { titles_.Put(id, title); }
    void AddAddressProvider(PaletteIdentifiers id, AddressProvider provider)
    {
        addresses_.Put(id, std::move(provider));
    }
    void AddSize(PaletteIdentifiers id, Size size) { sizes_.Put(id, size); }

    void OpenWindow(PaletteIdentifiers id);
    void CloseWindow(PaletteIdentifiers id);
    void ReloadWindow(PaletteIdentifiers id);
    std::shared_ptr<IBrowserWindow> GetOpenWindow(PaletteIdentifiers id) const;

    const GS::UniString* GetTitle(PaletteIdentifiers id) const { return titles_.GetPtr(id); }
    const Size* GetSize(PaletteIdentifiers id) const { return sizes_.GetPtr(id); }
    std::optional<GS::UniString> GetAddress(PaletteIdentifiers id) const;
    bool HasFactory(PaletteIdentifiers id) const { return factories_.ContainsKey(id); }

private:
    GS::HashTable<PaletteIdentifiers, WindowFactory> factories_;
    GS::HashTable<PaletteIdentifiers, std::shared_ptr<IBrowserWindow>> openWindows_;
    GS::HashTable<PaletteIdentifiers, AddressProvider> addresses_;
    GS::HashTable<PaletteIdentifiers, GS::UniString> titles_;
    GS::HashTable<PaletteIdentifiers, Size> sizes_;
    GS::HashTable<PaletteIdentifiers, std::function<void()>> callbacks_;
};

}  // namespace brixlab::controllers
