#include "harness.h"

namespace addmorvane::wintest {
namespace {

using StartupTest = FormTest;

TEST_F(StartupTest, RunScriptIsWrittenBeforeTheWindowIsShown) {
  EXPECT_EQ(RunScript(), ScriptFor("C:\\Morvane.com"));
  EXPECT_TRUE(IsWindowVisible(window().hwnd()));
  EXPECT_EQ(GetFocus(), Control(ControlId::Command1));
}

TEST_F(StartupTest, ListChoiceOpensPassSwitch) {
  Click(ControlId::Option2);
  EXPECT_TRUE(IsWindowEnabled(Control(ControlId::Frame1)));
  ChooseFromList(ControlId::Combo1, 1);
  EXPECT_EQ(WindowText(Control(ControlId::Combo1)), L"-d");
  EXPECT_TRUE(IsWindowEnabled(Control(ControlId::Combo2)));
}

}  // namespace
}  // namespace addmorvane::wintest
