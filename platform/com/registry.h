// The class registry: a text file of "key=value" lines (keys compared without regard to case) that
// maps ProgIDs to class ids and class ids to the modules that serve them. It lies beside the main
// program as "KivIc.reg"; the environment variable KIVIC_REGISTRY names another file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/typeinfo.h"

std::string ComRegistryPath();
// Reads one value; false when the key is absent or the registry cannot be read.
bool ComRegistryRead(const std::string& key, std::string* value);
// Sets values (adding or replacing) in one update of the file.
HRESULT ComRegistryWrite(const std::vector<std::pair<std::string, std::string>>& entries);
// Removes every key equal to one of the prefixes or below it ("prefix\...").
HRESULT ComRegistryDelete(const std::vector<std::string>& keyPrefixes);

// What a server module registers: its one creatable class (class id and description from the
// library's class), its ProgIDs, and its type library with the library's dual interface.
struct ComServerRegistration {
    const ComLibraryDesc* library;
    std::string progId;          // "BREM_FC.BremFc"
    std::string versionedProgId; // "BREM_FC.BremFc.1"
    std::string modulePath;      // the shared object serving the class and holding the library
    std::string threadingModel;  // "Apartment"
};
// Writes every entry in one update of the registry file: under the ProgIDs and "CLSID\{class}" the
// class; under "TypeLib\{library}\<major>.<minor>" the library's help text, its module
// ("0\linux64"), FLAGS and HELPDIR; under "Interface\{interface}" the interface's name and library.
HRESULT ComRegisterServer(const ComServerRegistration& server);
// Removes the class, the ProgIDs, this version of the library and the interface.
HRESULT ComUnregisterServer(const ComServerRegistration& server);
// "TypeLib\{library}\1.0": the key of one version of a library.
std::string ComTypeLibKey(const ComLibraryDesc& library);

// The path of the shared object that holds the given address (a server finds its own file this way).
std::string ComModulePathOf(const void* addressInModule);
