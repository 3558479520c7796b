#include "cli/options.h"

#include <gtest/gtest.h>

#include "cli/console_shell.h"

namespace vc::cli {
namespace {

using Words = std::vector<std::string>;

TEST(OptionsTest, CommandsKeepTheirOrderAndArguments) {
    Options options;
    ASSERT_FALSE(ParseOptions({"--machine", "default", "--dir", "/tmp/x", "detect", "table", "next",
                               "next", "data", "build", "src", "apply", "cpu"},
                              options));
    EXPECT_EQ(options.machine, "default");
    EXPECT_EQ(options.dir, "/tmp/x");
    const std::vector<Words> expected = {{"detect"}, {"table"}, {"next"}, {"next"},
                                         {"data", "build", "src"}, {"apply"}, {"cpu"}};
    EXPECT_EQ(options.commands, expected);
}

TEST(OptionsTest, NoMachineMeansThisComputer) {
    Options options;
    ASSERT_FALSE(ParseOptions({"cpu"}, options));
    EXPECT_FALSE(options.machine.has_value());
    EXPECT_FALSE(options.dir.has_value());
}

TEST(OptionsTest, MisuseIsReported) {
    const std::vector<Words> bad = {
        {},                         // no command
        {"--machine"},              // option without value
        {"--frobnicate", "cpu"},    // unknown option
        {"detect", "warp"},         // unknown command
        {"data", "build"},          // missing argument
        {"data"},                   // sub-command missing
        {"--dir", "x"},             // options but no command
    };
    for (const auto& args : bad) {
        Options options;
        EXPECT_TRUE(ParseOptions(args, options).has_value()) << ::testing::PrintToString(args);
    }
}

TEST(OptionsTest, HelpWinsOverEverythingElse) {
    Options options;
    ASSERT_FALSE(ParseOptions({"--help", "warp"}, options));
    EXPECT_TRUE(options.help);
}

TEST(ConsoleShellTest, MessageLinesDropOnlyTrailingLineFeeds) {
    EXPECT_EQ(MessageLine("Message", "DeviceIOControl Fail (ScanPCIValue)\n"),
              "Message: DeviceIOControl Fail (ScanPCIValue)");
    EXPECT_EQ(MessageLine("Error", "a\nb\n\n"), "Error: a\nb");
    EXPECT_EQ(MessageLine("Message", "Save OK!!"), "Message: Save OK!!");
}

}  // namespace
}  // namespace vc::cli
