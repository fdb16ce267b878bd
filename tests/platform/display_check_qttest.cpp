// Without a display the program says so in one line and exits with status 1,
// before Qt could abort on its own.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/wait.h>

#include "platform/qt/display_check.h"

namespace pictorin::test {
namespace {

// Sets the variables for one test and puts the old values back afterwards.
class Environment {
 public:
  void Set(const char* name, const char* value) {
    Remember(name);
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~Environment() {
    for (const auto& [name, value] : saved_) value ? setenv(name, value->c_str(), 1) : unsetenv(name);
  }

 private:
  void Remember(const char* name) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
  }
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(DisplayCheck, TellsWhyNoDisplayOpens) {
  struct Case {
    const char* platform;
    const char* x_display;
    const char* wayland_display;
    const char* expected;  // nullptr: Qt may start
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr,
       "pictorin: no display found (DISPLAY and WAYLAND_DISPLAY are not set); run it under a display, for example "
       "with xvfb-run"},
      {nullptr, ":9173", nullptr,
       "pictorin: cannot open the X display \":9173\" (DISPLAY); run it under a display, for example with xvfb-run"},
      {"xcb", ":9173", "wayland-97",
       "pictorin: cannot open the X display \":9173\" (DISPLAY); run it under a display, for example with xvfb-run"},
      {nullptr, nullptr, "wayland-97",
       "pictorin: cannot open the Wayland display \"wayland-97\"; run it under a display, for example with "
       "xvfb-run"},
      {"offscreen", nullptr, nullptr, nullptr},
      {"minimal", ":9173", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.platform ? c.platform : "-") + " " + (c.x_display ? c.x_display : "-"));
    Environment environment;
    environment.Set("QT_QPA_PLATFORM", c.platform);
    environment.Set("DISPLAY", c.x_display);
    environment.Set("WAYLAND_DISPLAY", c.wayland_display);
    environment.Set("XDG_RUNTIME_DIR", "/nonexistent");
    const auto problem = DisplayCheck().problem();
    if (c.expected) {
      ASSERT_TRUE(problem);
      EXPECT_EQ(*problem, c.expected);
    } else {
      EXPECT_FALSE(problem) << *problem;
    }
  }
}

TEST(DisplayCheck, TheProgramPrintsOneLineAndExitsWithStatusOne) {
  const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") + PICTORIN_PROGRAM +
                              " 2>&1";
  FILE* output = popen(command.c_str(), "r");
  ASSERT_NE(output, nullptr);
  std::string text;
  std::array<char, 512> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), output)) text += buffer.data();
  const int status = pclose(output);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(text,
            "pictorin: no display found (DISPLAY and WAYLAND_DISPLAY are not set); run it under a display, for "
            "example with xvfb-run\n");
}

}  // namespace
}  // namespace pictorin::test
