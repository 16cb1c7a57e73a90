// A plug-in file without its entry point, or whose entry point makes no
// template, is told to the user and never used.
#include "app/PluginBinding.h"
#include "app/PluginLink.h"
#include "platform/ScriptedUserPrompt.h"

#include <gtest/gtest.h>

#ifndef TEST_PLUGIN_DIR
#error TEST_PLUGIN_DIR must name the folder of the test plug-ins
#endif

TEST(PluginBinding, EachFailureIsToldAndGivesNoTemplate)
{
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped{prompt};
    PluginLinkVariables vars;
    PluginLinkRecord record = vars.bind();
    const std::string dir = std::string(TEST_PLUGIN_DIR) + "/";
    const struct {
        std::string file;
        std::vector<std::string> messages;
    } cases[] = {
        {dir + "libTestPluginNoEntry.so",
         {"Incompatible function: CreateDLLDocTemplate of libTestPluginNoEntry.so failed.",
          "Executing CreateDLLDocTemplate of libTestPluginNoEntry.so failed."}},
        {dir + "libTestPluginNull.so", {"Executing CreateDLLDocTemplate of libTestPluginNull.so failed."}},
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
