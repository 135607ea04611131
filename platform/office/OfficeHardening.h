// The office program's own safeguards, written into every private profile: a second wall
// behind the sandbox, and the only one where the sandbox cannot run. A document then updates
// no link when it is opened, loads no linked picture (remote or local), runs no macro, and
// whatever still asks for a web address goes to a proxy that cannot be reached.
#pragma once

#include <string>
#include <vector>

namespace vellora::office {

// One user setting of the office program's configuration: the node path (package, component
// and groups), the property and its value.
struct RegistrySetting {
    std::string path;  // e.g. /org.openoffice.Office.Common/Security/Scripting
    std::string name;
    std::string value;
};

std::vector<RegistrySetting> HardeningSettings();

// Adds the settings to the profile's user configuration (registrymodifications.xcu), after
// what is there, so that they win. Empty on success, else what went wrong. Skipped (and
// empty) when VELLORA_TEST_OFFICE_UNHARDENED is set: the tests that show the sandbox holds
// on its own need an office program without its safeguards.
std::string HardenProfile(const std::string& profileFolder);

}  // namespace vellora::office
