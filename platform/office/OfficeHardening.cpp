#include "platform/office/OfficeHardening.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/office/OfficeTexts.h"
#include "shared/Literal.h"

namespace vellora::office {
namespace {

namespace t = texts;

std::string Item(const RegistrySetting& s) {
    return VL("<item oor:path=\"") + s.path + VL("\"><prop oor:name=\"") + s.name +
           VL("\" oor:op=\"fuse\"><value>") + s.value + VL("</value></prop></item>\n");
}

}  // namespace

std::vector<RegistrySetting> HardeningSettings() {
    const std::string scripting = VL("/org.openoffice.Office.Common/Security/Scripting");
    const std::string inet = VL("/org.openoffice.Inet/Settings");
    // A proxy on the broadcast address: every connection to it fails at once, without a
    // name look-up and without reaching any host.
    const std::string deadProxy = VL("255.255.255.255");
    return {
        // Macros: the highest security level (only signed macros from trusted places), and
        // macros switched off altogether; Basic never runs, nor do plug-ins.
        {scripting, VL("MacroSecurityLevel"), VL("3")},
        {scripting, VL("DisableMacrosExecution"), VL("true")},
        {scripting, VL("OfficeBasic"), VL("0")},
        {scripting, VL("ExecutePlugins"), VL("false")},
        // Linked pictures and objects of a document from an untrusted place (every mailed
        // document) are not loaded, wherever they point.
        {scripting, VL("BlockUntrustedRefererLinks"), VL("true")},
        // Links are never updated when a document is opened: Writer's 0 and Calc's 1 mean
        // "never" (their "on request" would be answered without a person).
        {VL("/org.openoffice.Office.Writer/Content/Update"), VL("Link"), VL("0")},
        {VL("/org.openoffice.Office.Calc/Content/Update"), VL("Link"), VL("1")},
        // Formulas keep their stored results (a WEBSERVICE() is not called again).
        {VL("/org.openoffice.Office.Calc/Formula/Load"), VL("OOXMLRecalcMode"), VL("1")},
        {VL("/org.openoffice.Office.Calc/Formula/Load"), VL("ODFRecalcMode"), VL("1")},
        // What still fetches by web address (an HTML page's style sheet, a field of an old
        // binary document) goes to a proxy that cannot be reached; no address is exempt.
        {inet, VL("ooInetProxyType"), VL("1")},
        {inet, VL("ooInetNoProxy"), ""},
        {inet, VL("ooInetHTTPProxyName"), deadProxy},
        {inet, VL("ooInetHTTPProxyPort"), VL("1")},
        {inet, VL("ooInetHTTPSProxyName"), deadProxy},
        {inet, VL("ooInetHTTPSProxyPort"), VL("1")},
        {inet, VL("ooInetFTPProxyName"), deadProxy},
        {inet, VL("ooInetFTPProxyPort"), VL("1")},
    };
}

std::string HardenProfile(const std::string& profileFolder) {
    if (std::getenv(VL("VELLORA_TEST_OFFICE_UNHARDENED").c_str()) != nullptr) return {};
    const std::string file = profileFolder + t::kReadyMark.str();
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string xcu = text.str();
    const std::string end = VL("</oor:items>");
    const auto at = xcu.rfind(end);
    if (!in || at == std::string::npos) return t::kNoHardening.str() + file;
    std::string items;
    for (const RegistrySetting& s : HardeningSettings()) items += Item(s);
    xcu.insert(at, items);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << xcu;
    out.close();
    if (!out) return t::kNoHardening.str() + file;
    return {};
}

}  // namespace vellora::office
