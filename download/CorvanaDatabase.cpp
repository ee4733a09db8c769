#include "CorvanaDatabase.hpp"

#include "HttpExchange.hpp"
#include "Logger.hpp"

namespace Velmar::Services {

bool CorvanaDatabase::RequestObject(const IO::URI::URI& uri, const char* what, std::string& body,
                                    Json::rj::Document& document)
{
    HttpAnswer answer = Exchange(HTTP::MessageHeader::Method::Get, uri);
    if (!answer.error.empty()) {
        // Not a silent failure: the user sees only that the product did not come, the log says why.
        logger::instance()->log(GS::UniString("Product platform ") + what + " failed: " + answer.error.c_str());
        return false;
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
    const std::string key = productId.ToUtf8();
    const auto member = document.FindMember(Json::rj::Value(key.c_str(), static_cast<Json::rj::SizeType>(key.size())));
    if (member == document.MemberEnd())
        return system;
    logger::instance()->log("Loading product");
    system->ReadFrom(member->value);
    system->rawText = std::move(body);
    return system;
}

}  // namespace Velmar::Services
