#include "DatabaseSettingsFile.hpp"

#include "ConfigurationFiles.hpp"
#include "File.hpp"
#include "Utf8Text.hpp"

namespace Velmar::Cnf {

namespace {

void Log(const GS::UniString& line)
{
    Services::logger::instance()->log(line);
}

template <typename Property>
void ReadLogged(const char* line, Property& property, const Json::rj::Value& object)
{
    Log(line);
    property.ReadFrom(object);
}

}  // namespace

void Language::ReadFrom(const Json::rj::Value& object)
{
    ReadLogged("loading Selector Url", selectorUrl, object);
    ReadLogged("loading code", code, object);
    Log(code.ValueOr(GS::UniString()));
    ReadLogged("loading label", label, object);
    ReadLogged("loading help", helpUrl, object);
    Log("lang loaded");
}

void DatabaseSettings::ReadFrom(const Json::rj::Value& object)
{
    ReadLogged("Parsing Country Label", countryLabel, object);
    ReadLogged("Parsing Country Code", countryCode, object);
    ReadLogged("Parsingtoken url", tokenUrl, object);
    ReadLogged("corvana base url", corvanaUrl, object);
    ReadLogged("brand less option", enableOptionBrandLess, object);
    ReadLogged("loading languages", languages, object);
    Log("dsb loaded");
}

void VelmarDatabaseSettingsFile::ReadFrom(const Json::rj::Value& object)
{
    ReadLogged("Loading version", version, object);
    ReadLogged("Loading settings", databaseSettings, object);
    ReadLogged("Loading country", defaultCountry, object);
    ReadLogged("Loading default language", defaultLanguage, object);
}

std::shared_ptr<VelmarDatabaseSettingsFile> ReadSettingsFile(IO::FileSystem::SpecialFolderId folder,
                                                             const GS::UniString& relativePath)
{
    const auto location = ExistingFile(folder, relativePath);
    if (!location || FileLength(*location).value_or(0) == 0)
        return nullptr;
    const auto bytes = ReadAllBytes(*location);
    if (!bytes)
        return nullptr;
    Log("reading database configuration file");
    Json::rj::Document document;
    const bool tooDeep = ParseFileTooDeep(*bytes, document);
    Log("document was json");
    if (tooDeep)
        Log(NestingRefusal("database configuration file"));
    if (!document.IsObject())
        return nullptr;
    Log("doc looks like object");
    auto settings = std::make_shared<VelmarDatabaseSettingsFile>();
    settings->ReadFrom(document);
    Log("config loaded from json file");
    return settings;
}

std::shared_ptr<VelmarDatabaseSettingsFile> LoadSettingsFile(const GS::UniString& relativePath)
{
    return LoadUserCopy<VelmarDatabaseSettingsFile>(relativePath, ReadSettingsFile);
}

void WriteSettingsFile(const GS::UniString& relativePath, const VelmarDatabaseSettingsFile& settingsFile)
{
    const IO::Location location = ResolveDataFile(UserDataFolder, relativePath);
    if (IO::fileSystem.Contains(location)) {
        if (const GSErrCode err = IO::fileSystem.Delete(location); err != NoError)
            Log(GS::UniString("could not delete ") + relativePath + " (" + GS::UniString(std::to_string(err).c_str()) +
                ")");
    }
    const std::string text = Velmar::Utf8Of(Json::RecordToText(settingsFile));
    IO::File file(location, IO::File::Create);
    GSErrCode err = file.GetStatus();
    if (err == NoError)
        err = file.Open(IO::File::WriteEmptyMode);
    if (err == NoError)
        err = file.WriteBin(text.data(), static_cast<USize>(text.size()));
    if (err == NoError)
        err = file.Close();
    if (err != NoError)
        Log(GS::UniString("could not write ") + relativePath + " (" + GS::UniString(std::to_string(err).c_str()) + ")");
}

}  // namespace Velmar::Cnf
