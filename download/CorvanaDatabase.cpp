#include "CorvanaDatabase.hpp"

#include "GSDebug.hpp"
#include "GSException.hpp"
#include "HttpExchange.hpp"
#include "Logger.hpp"
#include "Utf8Text.hpp"

namespace Velmar::Services {

bool CorvanaDatabase::RequestObject(const IO::URI::URI& uri, const char* what, std::string& body,
                                    Json::rj::Document& document)
{
    HttpAnswer answer = Exchange(HTTP::MessageHeader::Method::Get, uri);
    // Not a product the platform lacks: the caller reports it, so that the user learns why nothing came.
    if (!answer.error.empty()) {
        DBPrintf("Velmar: the product platform's %s failed (%d)\n", what, answer.errorCode);
        throw GS::GeneralException(GS::UniString("The product platform's ") + what +
                                       " failed: " + Velmar::UniStringOfUtf8(answer.error),
                                   __FILE__, __LINE__);
    }
    if (!answer.IsOk())
        return false;
    body = std::move(answer.body);
    return Json::ParseDocument(body.data(), body.size(), document) && document.IsObject();
}

std::unique_ptr<Corvana::CVSystem> CorvanaDatabase::GetSystem(const GS::UniString& productId)
{
    auto system = std::make_unique<Corvana::CVSystem>();

    IO::URI::URI tokenUri(tokenUrl_);
    tokenUri.AddQueryParameter("OPSYS", "GETTOKEN");
    std::string tokenBody;
    Json::rj::Document tokenDocument;
    token_ = Corvana::TokenContract();
    if (RequestObject(tokenUri, "token request", tokenBody, tokenDocument))
        token_->ReadFrom(tokenDocument);
    if (!token_->token.HasValue())
        return system;

    IO::URI::URI dataUri(dataUrl_);
    dataUri.AddQueryParameter("OPSYS", "GETDATA");
    dataUri.AddQueryParameter("id", productId);
    dataUri.AddQueryParameter("token", token_->token.Get());
    std::string body;
    Json::rj::Document document;
    if (!RequestObject(dataUri, "data request", body, document))
        return system;
    const std::string key = Velmar::Utf8Of(productId);
    const auto member = document.FindMember(Json::rj::Value(key.c_str(), static_cast<Json::rj::SizeType>(key.size())));
    if (member == document.MemberEnd())
        return system;
    logger::instance()->log("Loading product");
    system->ReadFrom(member->value);
    system->rawText = std::move(body);
    return system;
}

}  // namespace Velmar::Services
