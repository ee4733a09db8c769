#include "RouteTable.hpp"

#include <algorithm>
#include <cctype>

namespace Sim::Workbench {

namespace {

std::string Lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

void RouteTable::Add(const std::string& host, const std::string& localBase)
{
    bases_[Lowercase(host)] = localBase;
}

bool RouteTable::AddFromOption(const std::string& option)
{
    const auto equals = option.find('=');
    if (equals == 0 || equals == std::string::npos)
        return false;
    std::string base = option.substr(equals + 1);
    if (base.rfind("http://", 0) != 0 && base.rfind("https://", 0) != 0)
        return false;
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    Add(option.substr(0, equals), base);
    return true;
}

bool RouteTable::Routes(const std::string& host) const
{
    return bases_.count(Lowercase(host)) > 0;
}

std::optional<std::string> RouteTable::LocalAddress(const std::string& address) const
{
    constexpr const char* Scheme = "https://";
    if (Lowercase(address.substr(0, 8)) != Scheme)
        return std::nullopt;
    const std::size_t hostEnd = address.find_first_of("/?#", 8);
    const std::string host =
        Lowercase(address.substr(8, hostEnd == std::string::npos ? std::string::npos : hostEnd - 8));
    const auto found = bases_.find(host);
    if (found == bases_.end())
        return std::nullopt;
    const std::string rest = hostEnd == std::string::npos ? "/" : address.substr(hostEnd);
    return found->second + (rest[0] == '/' ? rest : "/" + rest);
}

}  // namespace Sim::Workbench
