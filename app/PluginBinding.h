#pragma once
// Loads the Waypad plug-in from a file, calls its entry point with the link
// record and keeps the template it returns. Failures are told to the user
// (caption "Load dll") and leave the program running without the plug-in.

#include "app/PluginLinkRecord.h"

#include <string>

class PluginBinding {
public:
    PluginBinding() = default;
    ~PluginBinding();
    PluginBinding(const PluginBinding&) = delete;
    PluginBinding& operator=(const PluginBinding&) = delete;

    // Returns the template, or nullptr after telling the user why not.
    PluginDocTemplate* bind(const std::string& libraryPath, PluginLinkRecord* record);
    PluginDocTemplate* docTemplate() const { return template_; }
    // Deletes the template while the plug-in's code is still loaded.
    void release();

private:
    void* module_ = nullptr;
    PluginDocTemplate* template_ = nullptr;
};
