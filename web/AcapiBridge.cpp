#include "AcapiBridge.hpp"

#include "ACAPinc.hpp"
#include "BridgeRecords.hpp"
#include "CompositeUpdate.hpp"
#include "CompositionService.hpp"
#include "ConfigurationService.hpp"
#include "DownloadManager.hpp"
#include "DownloadRecords.hpp"
#include "GSDebug.hpp"
#include "HostRefusals.hpp"
#include "HostReport.hpp"
#include "LanguageIndex.hpp"
#include "LodChangeInformation.hpp"
#include "LodProvider.hpp"
#include "LodUpdate.hpp"
#include "Logger.hpp"
#include "MenuIds.hpp"
#include "PaletteController.hpp"
#include "RuleService.hpp"
#include "SelectableProperties.hpp"
#include "Utf8Text.hpp"
#include "WebApplication.hpp"

namespace brixlab::xdWebEngine {

namespace {

using brixlab::controllers::PaletteController;
using Answer = GS::Ref<JS::Base>;
using Velmar::Services::ConfigurationService;
using Velmar::Services::DownloadManager;
using Velmar::Services::RuleService;

constexpr Int32 ShowNormal = 1;

Answer Undefined()
{
    return Answer(new JS::Value());
}

Answer True()
{
    return Answer(new JS::Value(true));
}

Answer Text(const GS::UniString& text)
{
    return Answer(new JS::Value(text));
}

// An argument is read as text: none is the empty text, so is a value of another kind; an object, an
// array or a function is not a value at all.
GS::UniString ArgumentText(const Answer& argument)
{
    if (argument == nullptr)
        return GS::UniString();
    const auto value = GS::DynamicCast<JS::Value>(argument);
    if (value == nullptr)
        throw GS::ClassCastException("Bad cast.");
    return value->GetType() == JS::Value::STRING ? value->GetString() : GS::UniString();
}

// A record from the argument's JSON text. Text that is not a JSON object is refused here rather than
// read as a record without values, which the services would take for a real request.
template <typename Record>
Record ParseArgument(const Answer& argument)
{
    const std::string text = Velmar::Utf8Of(ArgumentText(argument));
    Velmar::Json::rj::Document document;
    if (!Velmar::Json::ParseDocument(text.data(), text.size(), document) || !document.IsObject())
        throw GS::IllegalArgumentException("the argument is not a JSON object");
    Record record;
    record.ReadFrom(document);
    return record;
}

std::shared_ptr<ConfigurationService> Configuration()
{
    auto configuration = ConfigurationService::Get();
    if (configuration == nullptr)
        throw GS::IllegalArgumentException("the configuration is not loaded");
    return configuration;
}

// Failures that surface as host exceptions are reported to the user and answered with undefined; the
// page takes undefined for failure.
Answer ReportFailure(const GS::UniString& message)
{
    ACAPI_WriteReport(Velmar::FailureReportFormat, true, message.ToCStr().Get());
    return Undefined();
}

// A standard conversion error ("invalid stod argument") is the user's to see as much as the host's own. Host
// exceptions are caught at their root: the kit's class-cast error ("Bad cast.") is no GS::GeneralException.
template <typename Body>
Answer HandleBrowserCall(const char* name, const Body& body)
{
    const Velmar::HostRefusalsLogged refusals(name);
    try {
        return body();
    } catch (const GS::Exception& exception) {
        return ReportFailure(exception.GetMessage());
    } catch (const std::exception& exception) {
        return ReportFailure(GS::UniString(exception.what()));
    }
}

Answer Resize(PaletteIdentifiers id, const Answer& argument)
{
    const auto request = ParseArgument<velmar::ui::model::ResizeRequest>(argument);
    if (!request.x.HasValue() || !request.y.HasValue())
        throw GS::IllegalArgumentException("a resize request needs x and y");
    if (const auto window = PaletteController::instance()->GetOpenWindow(id))
        window->Resize(request.x.Get(), request.y.Get());
    return True();
}

Answer Close(PaletteIdentifiers id)
{
    PaletteController::instance()->CloseWindow(id);
    return True();
}

Answer GetDatabaseConfiguration(const Answer&)
{
    return Text(Velmar::Json::RecordListToText(Configuration()->GetSettingsFile().databaseSettings.Items()));
}

Answer GetActiveCountryAndLanguage(const Answer&)
{
    const auto configuration = Configuration();
    velmar::ui::model::CountryAndLanguage answer;
    answer.countryCode.Set(configuration->GetCountryCode().value_or(GS::UniString()));
    answer.languageCode.Set(configuration->GetLanguageCode().value_or(GS::UniString()));
    return Text(Velmar::Json::RecordToText(answer, false));
}

Answer SetActiveCountryAndLanguage(const Answer& argument)
{
    const auto choice = ParseArgument<velmar::ui::model::CountryAndLanguage>(argument);
    if (!choice.countryCode.HasValue() || !choice.languageCode.HasValue())
        throw GS::IllegalArgumentException("a choice needs countryCode and languageCode");
    Configuration()->SetCountryAndLanguage(choice.countryCode.Get(), choice.languageCode.Get());
    PaletteController::instance()->CloseWindow(PaletteIdentifiers::Config);
    return True();
}

Answer OpenUrl(const Answer& argument)
{
    // The shell decides what it opens; the page gets the same answer either way.
    if (const GSErrCode err = Shell_Execute("open", ArgumentText(argument), ShowNormal); err != NoError)
        DBPrintf("Velmar: the address was not opened (%d)\n", err);
    return True();
}

Answer GetLodStatus(const Answer&)
{
    const auto status = Velmar::Lod::ComputeLodChangeInformation(*Velmar::Lod::LodProvider::instance());
    return Text(Velmar::Json::RecordToText(status, false));
}

std::shared_ptr<RuleService> Rules()
{
    return RuleService::instance();
}

Answer GetRules(const Answer&)
{
    return Text(Velmar::Json::RecordListToText(Rules()->ListRules()));
}

Answer GetProperties(const Answer&)
{
    return Text(Velmar::Json::RecordListToText(Velmar::Bo::ListSelectableProperties()));
}

// A rule that does not compile or evaluate ends the run as any failed call does: reported, answered
// undefined, the earlier results kept. A cancelled run is said so and leaves the windows as they are.
Answer RunRules(const Answer& argument)
{
    const auto request = ParseArgument<velmar::rules::model::RuleRunRequest>(argument);
    const RuleService::RunOutcome outcome = Rules()->RunRules(request);
    if (outcome == RuleService::RunOutcome::Cancelled) {
        ACAPI_WriteReport("%s", false,
                          Velmar::App::ActiveLanguageText(Velmar::Menus::CheckCancelledText).ToCStr().Get());
        return True();
    }
    const auto controller = PaletteController::instance();
    controller->CloseWindow(PaletteIdentifiers::Rules);
    controller->ReloadWindow(PaletteIdentifiers::Result);
    controller->OpenWindow(PaletteIdentifiers::Result);
    return True();
}

Answer GetResults(const Answer&)
{
    return Text(Velmar::Json::RecordListToText(Rules()->GetResults()));
}

Answer HighlightElements(const Answer& argument)
{
    RuleService::HighlightElements(Velmar::Utf8Of(ArgumentText(argument)));
    return True();
}

std::shared_ptr<DownloadManager> Downloads()
{
    auto manager = DownloadManager::Get();
    if (manager == nullptr)
        throw GS::IllegalArgumentException("no country is configured for downloads");
    return manager;
}

Answer ProductDetails(const Answer&)
{
    return Text(Velmar::Json::RecordToText(Downloads()->GetProductDetails()));
}

// Read again from the project each time the page asks: undo may have taken composites away or brought
// them back since the list was last read.
Answer GetComposites(const Answer&)
{
    const auto compositions = Velmar::Services::Composition::CompositionService::instance();
    compositions->RebuildIndex();
    const GS::Ref<JS::Array> answer(new JS::Array());
    for (const auto& [composite, system] : compositions->GetCompositeSystems())
        answer->AddItem(new JS::Value(composite));
    return answer;
}

// The window closes once the processing answered, true or false; a failure raised before leaves it open
// with the user's choices.
Answer ProcessDownload(const Answer& argument)
{
    const auto download = ParseArgument<velmar::ui::model::ProductDownload>(argument);
    const bool processed = Downloads()->ProcessDownload(download);
    PaletteController::instance()->CloseWindow(PaletteIdentifiers::Download);
    return Answer(new JS::Value(processed));
}

// Asked of the platform again each time: the page's list is never older than its request.
Answer GetSystemsToUpdate(const Answer&)
{
    const GS::Ref<JS::Array> answer(new JS::Array());
    for (const auto& candidate : Velmar::Services::Update::FindSystemsToUpdate())
        answer->AddItem(new JS::Value(candidate.fresh->name));
    return answer;
}

Answer RunUpdate(const Answer&)
{
    std::vector<GS::UniString> notReached;
    const auto candidates = Velmar::Services::Update::FindSystemsToUpdate(&notReached);
    Velmar::Services::Update::RunUpdate(candidates, notReached);
    return True();
}

Answer RebuildAtActiveLod(Velmar::Lod::LodUpdateScope scope)
{
    Velmar::Lod::UpdateToActiveLod(scope);
    return True();
}

struct BridgeFunction {
    const char* name;
    Answer (*handle)(const Answer& argument);
};

// The functions after getVersionInfo and setWindowTitle, in the order pages see them.
const BridgeFunction ServiceFunctions[] = {
    {"config_getDatabaseConfiguration", GetDatabaseConfiguration},
    {"config_getActiveCountryAndLanguage", GetActiveCountryAndLanguage},
    {"config_setActiveCountryAndLanguage", SetActiveCountryAndLanguage},
    {"config_openUrl", OpenUrl},
    {"config_close", [](const Answer&) { return Close(PaletteIdentifiers::Config), Undefined(); }},
    {"config_resize", [](const Answer& argument) { return Resize(PaletteIdentifiers::Config, argument); }},
    {"download_productDetails", ProductDetails},
    {"download_getComposites", GetComposites},
    {"download_processDownload", ProcessDownload},
    {"download_close", [](const Answer&) { return Close(PaletteIdentifiers::Download), Undefined(); }},
    {"download_resize", [](const Answer& argument) { return Resize(PaletteIdentifiers::Download, argument); }},
    {"rules_getRules", GetRules},
    {"rules_getProperties", GetProperties},
    {"rules_runRules", RunRules},
    {"rules_resize", [](const Answer& argument) { return Resize(PaletteIdentifiers::Rules, argument); }},
    {"rules_close", [](const Answer&) { return Close(PaletteIdentifiers::Rules); }},
    {"ruleresult_getResults", GetResults},
    {"ruleresult_highlightElements", HighlightElements},
    {"ruleresult_resize", [](const Answer& argument) { return Resize(PaletteIdentifiers::Result, argument); }},
    {"ruleresult_close", [](const Answer&) { return Close(PaletteIdentifiers::Result); }},
    {"update_getSystemsToUpdate", GetSystemsToUpdate},
    {"update_runUpdate", RunUpdate},
    {"update_resize", [](const Answer& argument) { return Resize(PaletteIdentifiers::Update, argument); }},
    {"update_close", [](const Answer&) { return Close(PaletteIdentifiers::Update); }},
    {"lod_getLodStatus", GetLodStatus},
    {"lod_updateLower", [](const Answer&) { return RebuildAtActiveLod(Velmar::Lod::LodUpdateScope::Lower); }},
    {"lod_updateAll", [](const Answer&) { return RebuildAtActiveLod(Velmar::Lod::LodUpdateScope::All); }},
    {"lod_resize", [](const Answer& argument) { return Resize(PaletteIdentifiers::Lod, argument); }},
    {"lod_close", [](const Answer&) { return Close(PaletteIdentifiers::Lod); }},
};

}  // namespace

bool IsWebApplicationAddress(const GS::UniString& address)
{
    const GS::UniString base(WebApplicationBase);
    if (address.GetLength() < base.GetLength() ||
        !address.GetSubstring(0, base.GetLength()).IsEqual(base, GS::CaseInsensitive))
        return false;
    // "https://app.velmar.example.other.site" is another host.
    const GS::UniString rest = address.GetSubstring(base.GetLength(), MaxUSize);
    return rest.IsEmpty() || rest[0] == u'/' || rest[0] == u'?' || rest[0] == u'#';
}

JS::Object* CreateAcapiObject(IBrowserWindow& window, std::function<GS::UniString()> pageAddress)
{
    GS::UniString version;
    RSGetIndString(&version, Velmar::Menus::IdentityStrings, 2, ACAPI_GetOwnResModule());

    // A link the user followed inside the window may show another site, which must not reach the module.
    const auto fromOurPage = [pageAddress](const char* name) {
        const GS::UniString address = pageAddress();
        if (IsWebApplicationAddress(address))
            return true;
        Velmar::Services::logger::instance()->log(GS::UniString("refused ") + name + " from " + address);
        return false;
    };
    auto* acapi = new JS::Object("ACAPI");
    acapi->AddItem(new JS::Function("getVersionInfo", [version, fromOurPage](const Answer&) {
        return fromOurPage("getVersionInfo") ? Text(version) : Undefined();
    }));
    acapi->AddItem(new JS::Function("setWindowTitle", [&window, fromOurPage](const Answer& argument) {
        if (!fromOurPage("setWindowTitle"))
            return Undefined();
        window.SetWindowTitle(ArgumentText(argument));
        return True();
    }));
    for (const auto& function : ServiceFunctions) {
        const auto handle = function.handle;
        const char* name = function.name;
        acapi->AddItem(new JS::Function(name, [handle, name, fromOurPage](const Answer& argument) {
            if (!fromOurPage(name))
                return Undefined();
            return HandleBrowserCall(name, [&] { return handle(argument); });
        }));
    }
    return acapi;
}

}  // namespace brixlab::xdWebEngine
