#include <gtest/gtest.h>

#include "sim/sim_options.h"

namespace kestrova::sim {
namespace {

int Parse(std::vector<std::string> args, SimOptions& options, std::string& error) {
  return ParseSimOptions(args, options, error);
}

TEST(SimOptionsTest, DefaultsGiveOneDemoAccountAndAFreePort) {
  SimOptions o;
  std::string error;
  ASSERT_EQ(Parse({}, o, error), 0);
  EXPECT_EQ(o.port, 0);
  ASSERT_EQ(o.accounts.size(), 1u);
  EXPECT_EQ(o.accounts[0].id, "demo");
  EXPECT_EQ(o.accounts[0].password, "demo-pass");
}

TEST(SimOptionsTest, AccountSplitsAtFirstColonOnly) {
  SimOptions o;
  std::string error;
  ASSERT_EQ(Parse({"--account", "agent:pa:ss", "--account=b:"}, o, error), 0);
  ASSERT_EQ(o.accounts.size(), 2u);
  EXPECT_EQ(o.accounts[0].id, "agent");
  EXPECT_EQ(o.accounts[0].password, "pa:ss");
  EXPECT_EQ(o.accounts[1].id, "b");
  EXPECT_EQ(o.accounts[1].password, "");
}

TEST(SimOptionsTest, ReadsNumbersInBothForms) {
  SimOptions o;
  std::string error;
  ASSERT_EQ(Parse({"--port=8443", "--seed", "18446744073709551615", "--hits-per-day", "40",
                   "--delay-ms", "250", "--threads", "2", "--log-requests"},
                  o, error),
            0)
      << error;
  EXPECT_EQ(o.port, 8443);
  EXPECT_EQ(o.seed, 18446744073709551615ULL);
  EXPECT_EQ(o.hitsPerDay, 40);
  EXPECT_EQ(o.delayMs, 250);
  EXPECT_EQ(o.threads, 2);
  EXPECT_TRUE(o.logRequests);
  ASSERT_EQ(Parse({"--expire-after", "3", "--list", "2011/05/01-2011/05/14:27128"}, o, error), 0);
  EXPECT_EQ(o.expireAfter, 3);
  EXPECT_EQ(o.list, "2011/05/01-2011/05/14:27128");
}

TEST(SimOptionsTest, FaultsKeepPathAndStatus) {
  SimOptions o;
  std::string error;
  ASSERT_EQ(Parse({"--fail", "/a/b.do=503", "--fail", "/c?x=1=404", "--drop", "/d.do",
                   "--fail-every", "5=502"},
                  o, error),
            0)
      << error;
  EXPECT_EQ(o.failPaths.at("/a/b.do"), 503);
  EXPECT_EQ(o.failPaths.at("/c?x=1"), 404);  // the status is after the last "="
  EXPECT_TRUE(o.dropPaths.count("/d.do"));
  EXPECT_EQ(o.failEvery, 5);
  EXPECT_EQ(o.failEveryStatus, 502);
}

TEST(SimOptionsTest, RefusesMalformedValues) {
  const std::vector<std::vector<std::string>> bad = {
      {"--port", "70000"},      {"--port", "12x"},         {"--port"},
      {"--account", "nocolon"}, {"--account", ":pw"},      {"--fail", "/x"},
      {"--fail", "/x=99"},      {"--fail-every", "0=500"}, {"--fail-every", "3"},
      {"--hits-per-day", "-1"}, {"--delay-ms", "1e3"},     {"--bogus"},
      {"--seed", "-5"},         {"--ca-out", ""},          {"--expire-after", "0"},
      {"--list", ""},
  };
  for (const auto& args : bad) {
    SimOptions o;
    std::string error;
    EXPECT_EQ(Parse(args, o, error), -1) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}

}  // namespace
}  // namespace kestrova::sim
