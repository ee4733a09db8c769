#include "Location.hpp"

namespace IO {

GSErrCode Location::AppendToLocal(const Name& name)
{
    if (path_.IsEmpty() || name.ToString().IsEmpty() || name.ToString().Contains("/"))
        return ErrParam;
    if (!path_.EndsWith("/"))
        path_ += "/";
    path_ += name.ToString();
    return NoError;
}

GSErrCode Location::DeleteLastLocalName()
{
    const auto parts = path_.Split("/");
    if (parts.size() < 2)
        return ErrParam;
    const USize keep = path_.GetLength() - parts.back().GetLength() - 1;
    path_ = path_.GetSubstring(0, keep == 0 ? 1 : keep);
    return NoError;
}

GSErrCode Location::GetLastLocalName(Name* name) const
{
    const auto parts = path_.Split("/");
    if (name == nullptr || parts.empty() || parts.back().IsEmpty())
        return ErrParam;
    *name = Name(parts.back());
    return NoError;
}

GSErrCode Location::ToPath(GS::UniString* path) const
{
    if (path == nullptr)
        return ErrParam;
    *path = path_;
    return NoError;
}

}  // namespace IO
