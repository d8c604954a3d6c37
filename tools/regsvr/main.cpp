// regsvr: registers an automation server module in the class registry, or removes it.
//   regsvr [-u] [-s] module.so
// The registry is KivIc.reg beside the program, or the file that KIVIC_REGISTRY names.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/com/objects.h"
#include "platform/com/registry.h"

int main(int argc, char** argv) {
    bool unregister = false;
    bool silent = false;
    const char* module = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "-u") == 0 || std::strcmp(arg, "/u") == 0)
            unregister = true;
        else if (std::strcmp(arg, "-s") == 0 || std::strcmp(arg, "/s") == 0)
            silent = true;
        else if (!module)
            module = arg;
        else {
            std::fprintf(stderr, "regsvr: more than one module given\n");
            return 2;
        }
    }
    if (!module) {
        std::fprintf(stderr, "usage: regsvr [-u] [-s] module.so\n");
        return 2;
    }
    std::string error;
    const HRESULT hr = ComRegisterModule(module, unregister, &error);
    if (FAILED(hr)) {
        std::fprintf(stderr, "regsvr: %s\n", error.c_str());
        return 1;
    }
    if (!silent)
        std::printf("%s %s in %s\n", module, unregister ? "unregistered" : "registered",
                    ComRegistryPath().c_str());
    return 0;
}
