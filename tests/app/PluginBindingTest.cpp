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

TEST_F(PluginBindingTest, MissingFileIsToldOnce)
{
    PluginBinding binding;
    EXPECT_EQ(binding.bind("/nonexistent/libWaypad.so", &record), nullptr);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text, "Loading libWaypad.so failed.");
    EXPECT_EQ(prompt.shown()[0].caption, "Load dll");
}

TEST_F(PluginBindingTest, MissingEntryPointGivesTwoMessages)
{
    PluginBinding binding;
    EXPECT_EQ(binding.bind(pluginFile("libTestPluginNoEntry.so"), &record), nullptr);
    EXPECT_EQ(prompt.messageTexts(),
              (std::vector<std::string>{
                  "Incompatible function: CreateDLLDocTemplate of libTestPluginNoEntry.so failed.",
                  "Executing CreateDLLDocTemplate of libTestPluginNoEntry.so failed."}));
}

TEST_F(PluginBindingTest, NoTemplateIsToldAndGoodTemplateIsKept)
{
    PluginBinding nullBinding;
    EXPECT_EQ(nullBinding.bind(pluginFile("libTestPluginNull.so"), &record), nullptr);
    EXPECT_EQ(prompt.countMessages("Executing CreateDLLDocTemplate of libTestPluginNull.so failed."), 1);

    prompt.clear();
    PluginBinding binding;
    PluginDocTemplate* made = binding.bind(pluginFile("libTestPluginGood.so"), &record);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(prompt.shown().empty());
    EXPECT_EQ(made->documentTitle(), "Waystation1");
    // The plug-in got the very record the host keeps.
    void* module = dlopen(pluginFile("libTestPluginGood.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(module, nullptr);
    auto** seen = static_cast<PluginLinkRecord**>(dlsym(module, "testPluginRecord"));
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(*seen, &record);
    dlclose(module);
}
