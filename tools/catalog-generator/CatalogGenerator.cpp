#include "CatalogGenerator.hpp"

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>

namespace Velmar::CatalogGenerator {

namespace {

namespace fs = std::filesystem;

struct Sample {
    std::string kind;
    rapidjson::Document names{rapidjson::kObjectType};
    rapidjson::Document system;
};

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Parse(const fs::path& path, rapidjson::Document& document)
{
    const std::string text = ReadText(path);
    if (document.Parse(text.c_str(), text.size()).HasParseError() || !document.IsObject())
        throw std::runtime_error("not a JSON object: " + path.string());
}

std::vector<Sample> ReadSamples(const fs::path& dir)
{
    rapidjson::Document index;
    Parse(dir / "index.json", index);
    if (!index.HasMember("systems") || !index["systems"].IsArray())
        throw std::runtime_error("index.json lists no systems");
    std::vector<Sample> samples;
    for (const auto& entry : index["systems"].GetArray()) {
        Sample sample;
        sample.kind = entry["kind"].GetString();
        sample.names.CopyFrom(entry["name"], sample.names.GetAllocator());
        Parse(dir / (std::string(entry["id"].GetString()) + ".json"), sample.system);
        samples.push_back(std::move(sample));
    }
    if (samples.empty())
        throw std::runtime_error("the sample catalog is empty");
    return samples;
}

// Decimal comma in Dutch and French, point in English, as the platform writes numbers.
std::string NumberText(double value, const char* language)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    std::string text(buffer);
    if (std::string(language) != "en_US")
        std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

void SetText(rapidjson::Value& value, const std::string& text, rapidjson::Document::AllocatorType& allocator)
{
    value.SetString(text.c_str(), static_cast<rapidjson::SizeType>(text.size()), allocator);
}

// How far each rule value may move from the sample's, and the step it is rounded to.
struct Variation {
    const char* id;
    double spread;
    double step;
};
constexpr Variation Variations[] = {
    {"Weight", 0.10, 0.5},  // relative
    {"ASIRW", 3, 1},
    {"LUCHTGELUIDISOLATIE_DNT_A_K", 3, 1},
    {"MH_FOA1", 250, 50},
    {"MH_FOA2", 250, 50},
    {"MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_1_VOLGENS_DIN_18183_", 250, 50},
    {"MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_2_VOLGENS_DIN_18183_", 250, 50},
};

// A number in [-1, 1] from the engine's raw output: std distributions differ between libraries.
double Unit(std::mt19937& random)
{
    return static_cast<double>(random()) / static_cast<double>(std::mt19937::max()) * 2.0 - 1.0;
}

void VaryAttribute(rapidjson::Value& attribute, std::mt19937& random, rapidjson::Document::AllocatorType& allocator)
{
    if (!attribute.IsObject() || !attribute.HasMember("ID") || !attribute.HasMember("Value"))
        return;
    const std::string id = attribute["ID"].GetString();
    for (const auto& variation : Variations) {
        if (id != variation.id)
            continue;
        rapidjson::Value& value = attribute["Value"];
        std::string english = value["en_US"].GetString();
        const double sample = std::stod(english);
        const double delta =
            id == "Weight" ? sample * variation.spread * Unit(random) : variation.spread * Unit(random);
        const double varied = std::max(variation.step, std::round((sample + delta) / variation.step) * variation.step);
        for (const char* language : {"nl_NL", "fr_FR", "en_US"})
            SetText(value[language], NumberText(varied, language), allocator);
    }
}

void VarySystem(rapidjson::Document& system, const std::string& id, std::mt19937& random)
{
    auto& allocator = system.GetAllocator();
    SetText(system["ID"], id, allocator);
    // Time stamps within 2026, so sorting by date has something to sort.
    const unsigned month = random() % 12 + 1, day = random() % 28 + 1;
    const unsigned hour = random() % 24, minute = random() % 60, second = random() % 60;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "2026-%02u-%02u %02u:%02u:%02u", month, day, hour, minute, second);
    SetText(system["TimeStamp"], stamp, allocator);

    rapidjson::Value& attributes = system["Attributes"];
    if (attributes["general"].HasMember("SYSTEMCODE")) {
        for (const char* language : {"nl_NL", "fr_FR", "en_US"})
            SetText(attributes["general"]["SYSTEMCODE"]["Value"][language], id, allocator);
    }
    for (auto& set : attributes["propertyset"].GetObject()) {
        for (auto& attribute : set.value.GetObject())
            VaryAttribute(attribute.value, random, allocator);
    }
}

std::string Text(const rapidjson::Value& value)
{
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return buffer.GetString();
}

}  // namespace

std::vector<GeneratedSystem> Generate(const fs::path& sampleDir, std::size_t count, std::uint32_t seed)
{
    const auto samples = ReadSamples(sampleDir);
    std::mt19937 random(seed);
    std::vector<GeneratedSystem> systems;
    systems.reserve(count);
    for (std::size_t n = 0; n < count; ++n) {
        const Sample& sample = samples[random() % samples.size()];
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "-G%06zu", n + 1);
        const std::string id = std::string(sample.system["ID"].GetString()) + suffix;
        rapidjson::Document system;
        system.CopyFrom(sample.system, system.GetAllocator());
        VarySystem(system, id, random);
        systems.push_back({id, sample.system["ID"].GetString(), sample.kind, Text(system)});
    }
    return systems;
}

void WriteCatalog(const fs::path& sampleDir, const fs::path& outDir, std::size_t count, std::uint32_t seed)
{
    const auto samples = ReadSamples(sampleDir);
    std::map<std::string, const Sample*> bySampleId;
    for (const auto& sample : samples)
        bySampleId[sample.system["ID"].GetString()] = &sample;

    fs::create_directories(outDir);
    rapidjson::Document index(rapidjson::kObjectType);
    auto& allocator = index.GetAllocator();
    rapidjson::Value list(rapidjson::kArrayType);
    for (const auto& system : Generate(sampleDir, count, seed)) {
        std::ofstream(outDir / (system.id + ".json"), std::ios::binary) << system.text << '\n';
        const Sample& sample = *bySampleId.at(system.sampleId);
        rapidjson::Value entry(rapidjson::kObjectType), names;
        names.CopyFrom(sample.names, allocator);
        const std::string number = system.id.substr(system.sampleId.size() + 2);
        for (auto& name : names.GetObject())
            SetText(name.value, std::string(name.value.GetString()) + " (" + number + ")", allocator);
        entry.AddMember("id", rapidjson::Value(system.id.c_str(), allocator), allocator);
        entry.AddMember("kind", rapidjson::Value(system.kind.c_str(), allocator), allocator);
        entry.AddMember("name", names, allocator);
        list.PushBack(entry, allocator);
    }
    index.AddMember("systems", list, allocator);
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 1);
    index.Accept(writer);
    std::ofstream(outDir / "index.json", std::ios::binary) << buffer.GetString() << '\n';
}

}  // namespace Velmar::CatalogGenerator
