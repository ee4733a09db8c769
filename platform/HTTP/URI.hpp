// The host's URI: an absolute address split into scheme, host, port, path and query, with
// query parameters added percent-encoded (RFC 3986 unreserved characters kept as they are).
#pragma once

#include "UniString.hpp"

#include <string>

namespace IO::URI {

class URI {
public:
    URI() = default;
    // Parses "scheme://authority/path?query#fragment"; IsValid() tells whether it could.
    explicit URI(const GS::UniString& text);

    bool IsValid() const { return valid_; }
    // Lower-case scheme ("https"), host without brackets ("::1"), port or 0 when absent.
    const std::string& GetScheme() const { return scheme_; }
    const std::string& GetHost() const { return host_; }
    unsigned GetPort() const { return port_; }
    // Path and query as sent on the request line, e.g. "/Relay/x?a=1"; "/" when the path is empty.
    std::string GetPathAndQuery() const;

    // Appends name=value to the query, both percent-encoded from their UTF-8 form.
    void AddQueryParameter(const GS::UniString& name, const GS::UniString& value);

    GS::UniString ToString() const;
    std::string ToUtf8() const;

    static std::string PercentEncode(const std::string& utf8);

private:
    bool valid_ = false;
    std::string scheme_;
    std::string authority_;
    std::string host_;
    unsigned port_ = 0;
    std::string path_;
    std::string query_;
    std::string fragment_;
};

}  // namespace IO::URI
