#include "JSValues.hpp"

namespace JS {

GS::Ref<Function> Object::FindFunction(const GS::UniString& name) const
{
    for (const auto& item : items_) {
        const auto function = GS::DynamicCast<Function>(item);
        if (function != nullptr && function->GetName() == name)
            return function;
    }
    return nullptr;
}

}  // namespace JS
