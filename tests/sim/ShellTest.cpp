// The simulated OS shell opens web and mail addresses only; everything else is refused, reported and
// recorded apart, and nothing is ever launched.
#include "Archicad.hpp"
#include "HostText.hpp"
#include "TempFolder.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(Shell, OpensOnlyWebAndMailAddresses)
{
    struct Case {
        const char* address;
        bool opened;
        const char* verb = "open";
    };
    const Case cases[] = {
        {"https://app.velmar.example/configuration?x=1#part", true},
        {"HTTP://Example.COM:8080/", true},
        {"https://[::1]:8443/page", true},
        {"https://b\xC3\xBC"
         "cher.example/",
         true},
        {"https://selector.velmar.example/be/nl/systemen?BimId=0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0", true},
        {"mailto:info@velmar.example", true},
        {"MailTo:someone@example.com?subject=Hi%20there", true},
        {"https://app.velmar.example/", true, "OPEN"},
        {"https://app.velmar.example/", false, "runas"},
        {"", false},
        {"file:///etc/passwd", false},
        {"FILE:C:/Windows/win.ini", false},
        {"javascript:alert(1)", false},
        {"JavaScript:alert(document.cookie)", false},
        {"ms-msdt:/id PCWDiagnostic", false},
        {"ms-msdt:-id", false},
        {"\\\\attacker\\share\\run.exe", false},
        {"//attacker/share", false},
        {"calc.exe", false},
        {"C:\\Windows\\System32\\calc.exe", false},
        {" https://example.com", false},
        {"https://example.com\t", false},
        {"https://example.com\n", false},
        {"https://exa\x01mple.com/", false},
        {"https://example.com/\xE2\x80\xA8", false},  // U+2028, a line separator
        {"https://example.com/a b", false},
        {"http:\\\\example.com", false},
        {"https://example.com\\..\\x", false},
        {"https:example.com", false},
        {"https://", false},
        {"https://:443/", false},
        {"https://host:port/", false},
        {"https://example.com/%zz", false},
        {"mailto:", false},
    };
    Velmar::Testing::TempFolder root;
    Sim::Archicad host(root / "data");
    const auto& table = Sim::HostFunctions();
    std::vector<std::string> opened, refused;
    for (const auto& c : cases) {
        const GSErrCode result = table.Shell_Execute(c.verb, HostText::Uni(c.address), 1);
        EXPECT_EQ(result, c.opened ? NoError : APIERR_BADPARS) << c.verb << " " << c.address;
        (c.opened ? opened : refused).push_back(c.address);
    }
    std::vector<std::string> hostOpened, hostRefused;
    for (const auto& request : host.ShellRequests())
        hostOpened.push_back(request.address);
    for (const auto& request : host.RefusedShellRequests()) {
        hostRefused.push_back(request.address);
        EXPECT_FALSE(request.refusal.empty()) << request.address;
    }
    EXPECT_EQ(hostOpened, opened);
    EXPECT_EQ(hostRefused, refused);

    // One report a refusal, each on one line: control characters are written out.
    const auto debug = host.DebugLines();
    ASSERT_EQ(debug.size(), refused.size());
    for (const auto& line : debug)
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
    const std::string controlCharacter = "Shell: refused to open \"https://exa\\x01mple.com/\": a control character\n";
    EXPECT_NE(std::find(debug.begin(), debug.end(), controlCharacter), debug.end());
}

}  // namespace
