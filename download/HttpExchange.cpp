#include "HttpExchange.hpp"

namespace Velmar::Services {

HttpAnswer Exchange(HTTP::MessageHeader::Method method, const IO::URI::URI& uri, const std::string& body)
{
    using namespace HTTP;
    HttpAnswer answer;
    Client::ClientConnection connection(uri);
    MessageHeader::Request request(method, uri);
    request.GetRequestHeaderFieldCollection().Add(MessageHeader::HeaderFieldName::UserAgent, UserAgent);
    MessageHeader::IncomingResponse response;
    // The host library answers failures as codes; each step runs only when the one before succeeded.
    GSErrCode err = connection.Connect();
    if (err == NoError)
        err = connection.Send(request, body.empty() ? nullptr : body.data(), body.size());
    if (err == NoError)
        err = connection.BeginReceive(response);
    if (err == NoError)
        err = connection.FinishReceive();
    if (err != NoError) {
        answer.error = connection.GetLastErrorMessage().empty() ? "HTTP error " + std::to_string(err)
                                                                : connection.GetLastErrorMessage();
        connection.Close();
        return answer;
    }
    connection.Close();
    answer.status = response.GetStatusCode();
    answer.body = response.GetBodyAsUtf8();
    return answer;
}

}  // namespace Velmar::Services
