#include "app/PluginBinding.h"
#include "app/PluginDocTemplate.h"
#include "app/PluginLink.h"
#include "platform/ScriptedUserPrompt.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#ifndef TEST_PLUGIN_DIR
#error TEST_PLUGIN_DIR must name the folder of the test plug-ins
#endif

namespace {
std::string pluginFile(const char* name) { return std::string(TEST_PLUGIN_DIR) + "/" + name; }
}  // namespace

class PluginBindingTest : public ::testing::Test {
protected:
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped{prompt};
    PluginLinkVariables vars;
    PluginLinkRecord record = vars.bind();
};

TEST_F(PluginBindingTest, EachFailureIsToldAndGivesNoTemplate)
{
    const struct {
        std::string file;
        std::vector<std::string> messages;
    } cases[] = {
        {"/nonexistent/libWaypad.so", {"Loading libWaypad.so failed."}},
        {pluginFile("libTestPluginNoEntry.so"),
         {"Incompatible function: CreateDLLDocTemplate of libTestPluginNoEntry.so failed.",
          "Executing CreateDLLDocTemplate of libTestPluginNoEntry.so failed."}},
        {pluginFile("libTestPluginNull.so"), {"Executing CreateDLLDocTemplate of libTestPluginNull.so failed."}},
    };
    for (const auto& c : cases) {
        prompt.clear();
        PluginBinding binding;
        EXPECT_EQ(binding.bind(c.file, &record), nullptr) << c.file;
        EXPECT_EQ(prompt.messageTexts(), c.messages);
        ASSERT_FALSE(prompt.shown().empty());
        EXPECT_EQ(prompt.shown()[0].caption, "Load dll");
    }
}

TEST_F(PluginBindingTest, AGoodTemplateIsKeptAndGetsTheHostsRecord)
{
    PluginBinding binding;
    PluginDocTemplate* made = binding.bind(pluginFile("libTestPluginGood.so"), &record);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(prompt.shown().empty());
    EXPECT_EQ(made->documentTitle(), "Waystation1");
    void* module = dlopen(pluginFile("libTestPluginGood.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(module, nullptr);
    auto** seen = static_cast<PluginLinkRecord**>(dlsym(module, "testPluginRecord"));
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(*seen, &record);
    dlclose(module);
}
