// Plug-in files for the binding tests, chosen by a compile definition: one
// without the entry point, and one whose entry point returns no template.

#include "app/PluginDocTemplate.h"
#include "app/PluginLinkRecord.h"

#ifdef TEST_PLUGIN_NULL
extern "C" __attribute__((visibility("default"))) PluginDocTemplate* CreateDLLDocTemplate(PluginLinkRecord*)
{
    return nullptr;
}
#else
extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 1; }
#endif
