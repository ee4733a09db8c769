#include "PaletteController.hpp"

#include "ServiceSlot.hpp"

namespace brixlab::controllers {

namespace {
Velmar::ServiceSlot<PaletteController> slot;
}

std::shared_ptr<PaletteController> PaletteController::instance()
{
    return slot.GetOrCreate();
}

std::shared_ptr<IBrowserWindow> PaletteController::GetOpenWindow(PaletteIdentifiers id) const
{
    const auto* window = openWindows_.GetPtr(id);
    return window != nullptr ? *window : nullptr;
}

std::optional<GS::UniString> PaletteController::GetAddress(PaletteIdentifiers id) const
{
    const auto* provider = addresses_.GetPtr(id);
    if (provider == nullptr)
        return std::nullopt;
    return (*provider)();
}

void PaletteController::OpenWindow(PaletteIdentifiers id)
{
    if (auto window = GetOpenWindow(id)) {
        if (!window->IsVisible())
            window->Show();
        return;
    }
    const auto* factory = factories_.GetPtr(id);
    if (factory == nullptr)
        return;
    auto window = (*factory)();
    if (window == nullptr)
        return;
    openWindows_.Put(id, window);
    const Size& size = sizes_.Get(id);
    window->Open(addresses_.Get(id)(), size.first, size.second, titles_.Get(id));
    // A dialog's Show runs its modal loop and returns once the user has closed it.
    window->Show();
    if (!window->keepAfterShow)
        openWindows_.Delete(id);
}

void PaletteController::CloseWindow(PaletteIdentifiers id)
{
    if (auto window = GetOpenWindow(id); window != nullptr && window->IsVisible())
        window->Hide();
}

void PaletteController::ReloadWindow(PaletteIdentifiers id)
{
    if (auto window = GetOpenWindow(id))
        window->LoadUrl(addresses_.Get(id)(), std::nullopt);
}

}  // namespace brixlab::controllers
