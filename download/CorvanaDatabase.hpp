// Velmar::Services::CorvanaDatabase: the product-data platform client of the active country.
#pragma once

#include "UniString.hpp"

#include <memory>

namespace Velmar::Services {

class CorvanaDatabase {
public:
    CorvanaDatabase(const GS::UniString& baseUrl, const GS::UniString& tokenUrl)
        : baseUrl_(baseUrl), tokenUrl_(tokenUrl)
    {
    }

    const GS::UniString& GetBaseUrl() const { return baseUrl_; }
    const GS::UniString& GetTokenUrl() const { return tokenUrl_; }

    // The client of the active country; empty until a configuration names a country that exists.
    static std::shared_ptr<CorvanaDatabase> Get();
    static void Replace(std::shared_ptr<CorvanaDatabase> client);

private:
    GS::UniString baseUrl_;
    GS::UniString tokenUrl_;
};

}  // namespace Velmar::Services
