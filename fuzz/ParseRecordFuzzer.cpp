// Untrusted JSON text through the record layer: never a crash, and what a record writes reads back the same.
#include "RuleDocument.hpp"
#include "Utf8Text.hpp"

#include <cstdlib>
#include <string>

namespace {

struct AllKinds : Velmar::Json::BaseObject {
    Velmar::Json::ValueProperty<Int32> number{"number"};
    Velmar::Json::ValueProperty<Int16> small{"small"};
    Velmar::Json::ValueProperty<bool> flag{"flag"};
    Velmar::Json::ValueProperty<GS::Guid> id{"id"};
    Velmar::Json::ValueProperty<GS::UniString> text{"text"};
    Velmar::Json::ValueProperty<Velmar::Rules::Rule> rule{"rule"};
    Velmar::Json::ArrayProperty<GS::UniString> texts{"texts"};
    Velmar::Json::ArrayProperty<API_Guid> ids{"ids"};
    Velmar::Json::ArrayProperty<Int32> numbers{"numbers"};
    Velmar::Json::ArrayProperty<Velmar::Rules::Rule> Rules{"Rules"};
    VELMAR_JSON_MEMBERS(number, small, flag, id, text, rule, texts, ids, numbers, Rules)
};

template <typename Record>
void RoundTrip(const std::string& input)
{
    const GS::UniString written = Velmar::Json::RecordToText(Velmar::Json::ParseRecord<Record>(input));
    const GS::UniString again = Velmar::Json::RecordToText(Velmar::Json::ParseRecord<Record>(written));
    // Logic is decoded on every read, so only records without it must be stable after one round.
    if constexpr (std::is_same_v<Record, AllKinds>) {
        if (Velmar::Utf8Of(written).find("\"Logic\":\"") == std::string::npos && written != again)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    RoundTrip<AllKinds>(input);
    RoundTrip<Velmar::Rules::RuleSet>(input);
    return 0;
}
