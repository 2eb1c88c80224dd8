// "применить" on the in-memory form: every flag combination, the examples, and what happens
// when the clipboard or the run script lets the program down.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expected/facts.h"
#include "memory_app.h"

namespace addmorvane::test {
namespace {

const std::wstring kTitlePrefix = std::wstring(expected::kFormCaption) + L" ";

// Work mode with the cycle and pass switches chosen from the lists.
void Choose(MemoryForm& form, std::size_t cycle, std::size_t pass) {
  form.Click(ControlId::Option2);
  form.ChooseFromList(ControlId::Combo1, cycle);
  form.ChooseFromList(ControlId::Combo2, pass);
}

void CheckByClicks(MemoryForm& form, const std::array<short, 5>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] == 1) {
      form.Click(kFlagControls[i]);
    }
  }
}

// The command line must be everywhere the apply puts it.
void ExpectApplied(const MemoryApp& app,
                   const RecordingActions& actions,
                   const std::wstring& line) {
  ASSERT_FALSE(actions.clipboardPuts.empty());
  EXPECT_EQ(actions.clipboardPuts.back(), line);
  EXPECT_EQ(app.form.Text(ControlId::Text1), line);
  ASSERT_FALSE(actions.runScriptWrites.empty());
  EXPECT_EQ(actions.runScriptWrites.back(), line);
  EXPECT_EQ(app.form.Caption(), kTitlePrefix + line);
}

TEST(Apply, AllThirtyTwoFlagRowsInTheirFixedOrder) {
  for (std::size_t row = 0; row < expected::kFlagRows.size(); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row + 1);
    RecordingActions actions;
    MemoryApp app(actions);
    Choose(app.form, 3, 2);  // "-l", "-5"
    CheckByClicks(app.form, expected::kFlagRows[row].values);
    app.form.Click(ControlId::Command3);
    ExpectApplied(app, actions,
                  L"C:\\Morvane.com -l -5" + std::wstring(expected::kFlagRows[row].appended));
  }
}

TEST(Apply, ExamplesAndTypedOrEmptyTexts) {
  struct Case {
    const char* name;
    std::function<void(MemoryForm&)> gestures;
    std::wstring line;
  };
  const Case cases[] = {
      {"-d -2 with Check1 and Check3",
       [](MemoryForm& f) {
         Choose(f, 1, 1);
         CheckByClicks(f, {1, 0, 1, 0, 0});
       },
       L"C:\\Morvane.com -d -2 -p -e"},
      {"-f -1 alone", [](MemoryForm& f) { Choose(f, 0, 0); }, L"C:\\Morvane.com -f -1"},
      {"-v -0 with all five",
       [](MemoryForm& f) {
         Choose(f, 4, 3);
         CheckByClicks(f, {1, 1, 1, 1, 1});
       },
       L"C:\\Morvane.com -v -0 -p -b -e -m >>ERRORS.TXT"},
      {"-s -5 with Check2, Check3, Check4",
       [](MemoryForm& f) {
         Choose(f, 2, 2);
         CheckByClicks(f, {0, 1, 1, 1, 0});
       },
       L"C:\\Morvane.com -s -5 -b -e -m"},
      {"nothing chosen in work mode", [](MemoryForm& f) { f.Click(ControlId::Option2); },
       L"C:\\Morvane.com  "},
      {"a checked flag that the emptied cycle switch disabled still counts",
       [](MemoryForm& f) {
         Choose(f, 0, 0);
         f.Click(ControlId::Check1);
         f.Backspace(ControlId::Combo1);
         f.Backspace(ControlId::Combo1);
       },
       L"C:\\Morvane.com   -p"},
      {"typed texts pass through, inner blanks included",
       [](MemoryForm& f) {
         f.Click(ControlId::Option2);
         f.Type(ControlId::Combo1, L" -d  x ");
       },
       L"C:\\Morvane.com  -d  x  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingActions actions;
    MemoryApp app(actions);
    c.gestures(app.form);
    app.form.Click(ControlId::Command3);
    ExpectApplied(app, actions, c.line);
  }
}

TEST(Apply, TwoPressesGiveTheSameResult) {
  RecordingActions actions;
  MemoryApp app(actions);
  Choose(app.form, 1, 1);
  app.form.Click(ControlId::Command3);
  app.form.Click(ControlId::Command3);
  EXPECT_EQ(actions.runScriptWrites,
            (std::vector<std::wstring>{L"C:\\Morvane.com", L"C:\\Morvane.com -d -2",
                                       L"C:\\Morvane.com -d -2"}));
  EXPECT_EQ(app.form.Caption(), kTitlePrefix + L"C:\\Morvane.com -d -2");
}

TEST(Apply, AGreyFlagComposesNothingAndTheTitleComesFromText1) {
  RecordingActions actions;
  MemoryApp app(actions);
  Choose(app.form, 1, 1);
  app.form.Click(ControlId::Command3);
  app.form.SetValue(ControlId::Check2, 2);
  app.form.ChooseFromList(ControlId::Combo1, 4);
  app.form.SetCaption(L"other");
  app.form.Click(ControlId::Command3);
  EXPECT_EQ(actions.clipboardPuts.size(), 1u);
  EXPECT_EQ(actions.runScriptWrites.size(), 2u);
  EXPECT_EQ(app.form.Text(ControlId::Text1), L"C:\\Morvane.com -d -2");
  EXPECT_EQ(app.form.Caption(), kTitlePrefix + L"C:\\Morvane.com -d -2");
}

TEST(Apply, AnotherProgramsClipboardTextNeverReachesTheScript) {
  RecordingActions actions;
  MemoryApp app(actions);
  Choose(app.form, 0, 0);
  actions.clipboardIntruder = L"format C:";
  app.form.Click(ControlId::Command3);
  ExpectApplied(app, actions, L"C:\\Morvane.com -f -1");
}

TEST(Apply, AFailedWriteEndsTheProgramWithTextOneSetAndTheTitleUnchanged) {
  RecordingActions actions;
  MemoryApp app(actions);
  Choose(app.form, 0, 0);
  actions.writeError = 32;
  app.form.Click(ControlId::Command3);
  EXPECT_EQ(actions.failures,
            (std::vector<ReportedFailure>{{32, L"Не удалось записать файл C:\\morvane.bat."}}));
  EXPECT_EQ(app.form.exitCode(), 32);
  EXPECT_EQ(app.form.Text(ControlId::Text1), L"C:\\Morvane.com -f -1");
  EXPECT_EQ(app.form.Caption(), expected::kFormCaption);
}

}  // namespace
}  // namespace addmorvane::test
