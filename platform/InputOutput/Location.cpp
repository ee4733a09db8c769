#include "Location.hpp"

#include "Array.hpp"

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
    GS::Array<GS::UniString> parts;
    path_.Split("/", &parts);
    if (parts.GetSize() < 2)
        return ErrParam;
    const USize keep = path_.GetLength() - parts.GetLast().GetLength() - 1;
    path_ = path_.GetSubstring(0, keep == 0 ? 1 : keep);
    return NoError;
}

GSErrCode Location::GetLastLocalName(Name* name) const
{
    GS::Array<GS::UniString> parts;
    path_.Split("/", &parts);
    if (name == nullptr || parts.IsEmpty() || parts.GetLast().IsEmpty())
        return ErrParam;
    *name = Name(parts.GetLast());
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
