// The class registry: a text file of "key=value" lines (keys compared without regard to case) that
// maps ProgIDs to class ids and class ids to the modules that serve them. It lies beside the main
// program as "KivIc.reg"; the environment variable KIVIC_REGISTRY names another file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"

std::string ComRegistryPath();
// Reads one value; false when the key is absent or the registry cannot be read.
bool ComRegistryRead(const std::string& key, std::string* value);
// Sets values (adding or replacing) in one update of the file.
HRESULT ComRegistryWrite(const std::vector<std::pair<std::string, std::string>>& entries);
// Removes every key equal to one of the prefixes or below it ("prefix\...").
HRESULT ComRegistryDelete(const std::vector<std::string>& keyPrefixes);

// What a server module registers about its one creatable class.
struct ComServerRegistration {
    CLSID clsid;
    GUID typeLib;
    std::string progId;          // "BREM_FC.BremFc"
    std::string versionedProgId; // "BREM_FC.BremFc.1"
    std::string description;     // "BremFc Class"
    std::string modulePath;      // the shared object serving the class
    std::string threadingModel;  // "Apartment"
};
HRESULT ComRegisterServer(const ComServerRegistration& server);
HRESULT ComUnregisterServer(const ComServerRegistration& server);

// The path of the shared object that holds the given address (a server finds its own file this way).
std::string ComModulePathOf(const void* addressInModule);
