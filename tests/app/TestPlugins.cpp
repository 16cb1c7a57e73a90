// Plug-in files for the binding tests, chosen by a compile definition: one
// without the entry point, one whose entry point returns no template, and
// one that returns a template and keeps the record it was given.

#include "app/PluginDocTemplate.h"
#include "app/PluginLinkRecord.h"

#if defined(TEST_PLUGIN_GOOD) || defined(TEST_PLUGIN_NULL)
namespace {
class TestTemplate : public PluginDocTemplate {
public:
    std::string documentTitle() override { return "Waystation1"; }
    QWidget* createView(QWidget*) override { return nullptr; }
};
}  // namespace

extern "C" {
__attribute__((visibility("default"))) PluginLinkRecord* testPluginRecord = nullptr;
}

extern "C" __attribute__((visibility("default"))) PluginDocTemplate* CreateDLLDocTemplate(
    PluginLinkRecord* record)
{
    testPluginRecord = record;
#ifdef TEST_PLUGIN_GOOD
    return new TestTemplate;
#else
    return nullptr;
#endif
}
#else
extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 1; }
#endif
