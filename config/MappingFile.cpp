#include "MappingFile.hpp"

#include "ConfigurationFiles.hpp"

namespace Velmar::Cnf {

namespace {
void Log(const char* line)
{
    Services::logger::instance()->log(line);
}
}  // namespace

const Property* FindProperty(const GS::Array<Property>& properties, const GS::UniString& key)
{
    for (const Property& property : properties) {
        if (property.key.HasValue() && property.key.Get().IsEqual(key, GS::CaseInsensitive))
            return &property;
    }
    return nullptr;
}

std::shared_ptr<VelmarMappingFile> ReadMappingFile(IO::FileSystem::SpecialFolderId folder,
                                                   const GS::UniString& relativePath)
{
    const auto location = ExistingFile(folder, relativePath);
    if (!location)
        return nullptr;
    const UInt64 length = FileLength(*location).value_or(0);
    Log("reading property file");
    if (length == 0)
        return nullptr;
    const auto bytes = ReadAllBytes(*location);
    if (!bytes)
        return nullptr;
    Json::rj::Document document;
    const bool tooDeep = ParseFileTooDeep(*bytes, document);
    Log("property file read");
    if (tooDeep)
        Services::logger::instance()->log(NestingRefusal("property file"));
    if (!document.IsObject())
        return nullptr;
    Log("looks like an object");
    auto mapping = std::make_shared<VelmarMappingFile>();
    mapping->ReadFrom(document);
    Log("property file loaded");
    return mapping;
}

VelmarMappingFile LoadMappingFile(const GS::UniString& relativePath)
{
    const auto mapping = LoadUserCopy<VelmarMappingFile>(relativePath, ReadMappingFile);
    return mapping != nullptr ? *mapping : VelmarMappingFile();
}

}  // namespace Velmar::Cnf
