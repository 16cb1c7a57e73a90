#include "app/PluginBinding.h"

#include "app/PluginDocTemplate.h"
#include "platform/UserPrompt.h"

#include <dlfcn.h>

#include <cstdio>

namespace {

void tellLoadFailure(const char* format, const std::string& fileName)
{
    char text[512];
    std::snprintf(text, sizeof text, format, fileName.c_str());
    platform::userPrompt().messageBox(text, "Load dll", platform::PromptButtons::Ok,
                                      platform::PromptIcon::Error);
}

std::string baseName(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

PluginBinding::~PluginBinding()
{
    release();
    // The module stays mapped: the plug-in's worker thread and static
    // objects may still run until the process ends.
}

PluginDocTemplate* PluginBinding::bind(const std::string& libraryPath, PluginLinkRecord* record)
{
    const std::string fileName = baseName(libraryPath);
    module_ = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module_) {
        tellLoadFailure("Loading %s failed.", fileName);
        return nullptr;
    }
    auto entry = reinterpret_cast<CreateDLLDocTemplateFn>(dlsym(module_, kPluginEntryPoint));
    if (!entry)
        tellLoadFailure("Incompatible function: CreateDLLDocTemplate of %s failed.", fileName);
    else
        template_ = entry(record);
    if (!template_)
        tellLoadFailure("Executing CreateDLLDocTemplate of %s failed.", fileName);
    return template_;
}

void PluginBinding::release()
{
    delete template_;
    template_ = nullptr;
}
