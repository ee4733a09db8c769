// Velmar::Services::CorvanaDatabase: the product-data platform client of the active country. Every
// product lookup asks for a fresh token, then for the system by its product id.
#pragma once

#include "CVSystem.hpp"
#include "URI.hpp"

#include <memory>
#include <optional>

namespace Velmar::Corvana {

class TokenContract : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> token{"token"};
    VELMAR_JSON_MEMBERS(token)
};

}  // namespace Velmar::Corvana

namespace Velmar::Services {

class CorvanaDatabase {
public:
    CorvanaDatabase(const GS::UniString& dataUrl, const GS::UniString& tokenUrl)
        : dataUrl_(dataUrl), tokenUrl_(tokenUrl)
    {
    }

    const GS::UniString& GetDataUrl() const { return dataUrl_; }
    const GS::UniString& GetTokenUrl() const { return tokenUrl_; }
    const std::optional<Corvana::TokenContract>& GetToken() const { return token_; }

    // Never nothing: a system without "ID" when the platform does not give it. A request the host library
    // fails raises a host exception naming the failure, secrets hidden. Runs on the main thread and waits
    // for the platform (within the host library's time-outs).
    std::unique_ptr<Corvana::CVSystem> GetSystem(const GS::UniString& productId);

    // The client of the active country; empty until a configuration names a country that exists.
    static std::shared_ptr<CorvanaDatabase> Get();
    static void Replace(std::shared_ptr<CorvanaDatabase> client);

private:
    // The parsed body of a 200 answer whose root is an object; false for any other answer.
    bool RequestObject(const IO::URI::URI& uri, const char* what, std::string& body, Json::rj::Document& document);

    std::optional<Corvana::TokenContract> token_;
    GS::UniString dataUrl_;
    GS::UniString tokenUrl_;
};

}  // namespace Velmar::Services
