// What the handlers rely on from a form, as tests: written once, run against the in-memory
// form natively and against the real window under Wine. If the two ever behave differently,
// one of the two runs fails.
//
// A driver builds a form whose events go to the given ScriptedSink, with the restart timer at a
// short interval, and offers:
//   Form& form();
//   void Click(ControlId);                          // a pointer click on the control
//   void ChooseFromList(ControlId, std::size_t);    // open the list, click the entry
//   void Type(ControlId, std::wstring_view);        // type at the end of the field
//   void MoveOver(ControlId);                       // the pointer comes onto the control
//   bool WaitForTicks(int);                         // until that many timer ticks came
//   bool ended(); int exitCode();
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/events.h"
#include "app/form.h"
#include "base/system_error.h"
#include "recording_actions.h"

namespace addmorvane::test {

inline constexpr unsigned kContractTimerMs = 50;

// Records every event as "<control> <event>" and runs what the test asks on some of them.
class ScriptedSink final : public EventSink {
 public:
  void OnEvent(ControlId control, Event event) override {
    log.push_back(Name(control, event));
    if (on) {
      on(control, event);
    }
  }
  void OnTimer() override { ++ticks; }

  // The log without pointer movement and, unless asked for, focus, which real input adds on its
  // way to a click.
  std::vector<std::wstring> Actions(bool withFocus = false) const {
    std::vector<std::wstring> actions;
    for (const std::wstring& entry : log) {
      if (entry.find(L"MouseMove") == std::wstring::npos &&
          (withFocus || entry.find(L"GotFocus") == std::wstring::npos)) {
        actions.push_back(entry);
      }
    }
    return actions;
  }
  bool Saw(const std::wstring& entry) const {
    for (const std::wstring& seen : log) {
      if (seen == entry) {
        return true;
      }
    }
    return false;
  }

  static std::wstring Name(ControlId control, Event event) {
    const wchar_t* const kEvents[] = {L"Click", L"Change", L"MouseMove", L"GotFocus"};
    return std::wstring(SpecOf(control).name) + L" " + kEvents[static_cast<int>(event)];
  }

  std::vector<std::wstring> log;
  int ticks = 0;
  std::function<void(ControlId, Event)> on;
};

using Log = std::vector<std::wstring>;

template <typename Driver>
class FormContract : public ::testing::Test {
 protected:
  ScriptedSink sink_;
  RecordingActions actions_;
  Driver driver_{sink_, actions_};
  Form& form() { return driver_.form(); }
};

TYPED_TEST_SUITE_P(FormContract);

TYPED_TEST_P(FormContract, TextSetFromCodeRaisesChangeBeforeReturningAndOnlyOnARealChange) {
  std::wstring seen;
  this->sink_.on = [&](ControlId, Event) { seen = this->form().Text(ControlId::Combo1); };
  this->form().SetText(ControlId::Combo1, L"-x");
  EXPECT_EQ(this->sink_.log, Log{L"Combo1 Change"});
  EXPECT_EQ(seen, L"-x") << "the handler must see the new text";
  this->form().SetText(ControlId::Combo1, L"-x");
  this->form().SetText(ControlId::Combo2, L"");
  EXPECT_EQ(this->sink_.log, Log{L"Combo1 Change"}) << "no change, no event";
  this->form().SetText(ControlId::Text1, L"line");
  this->form().SetText(ControlId::Label3, L"hint");
  EXPECT_EQ(this->sink_.log, (Log{L"Combo1 Change", L"Text1 Change"}));
  EXPECT_EQ(this->form().Text(ControlId::Label3), L"hint");
}

TYPED_TEST_P(FormContract, AHandlerRaisedByAPropertyChangeRunsNestedAndWhole) {
  this->sink_.on = [&](ControlId control, Event event) {
    if (control == ControlId::Combo1 && event == Event::Change) {
      this->form().SetText(ControlId::Combo2, L"");
      this->form().SetEnabled(ControlId::Combo2, false);
    }
  };
  this->form().SetText(ControlId::Combo2, L"-2");
  this->form().SetText(ControlId::Combo1, L"-d");
  EXPECT_EQ(this->sink_.log, (Log{L"Combo2 Change", L"Combo1 Change", L"Combo2 Change"}));
  EXPECT_EQ(this->form().Text(ControlId::Combo2), L"");
  EXPECT_FALSE(this->form().Enabled(ControlId::Combo2));
}

TYPED_TEST_P(FormContract, AListChoiceRaisesClickWithTheChosenTextInTheField) {
  std::wstring seenAtClick;
  this->sink_.on = [&](ControlId control, Event event) {
    if (control == ControlId::Combo1 && event == Event::Click) {
      seenAtClick = this->form().Text(ControlId::Combo1);
    }
  };
  this->driver_.ChooseFromList(ControlId::Combo1, 2);
  EXPECT_EQ(this->form().Text(ControlId::Combo1), L"-s");
  EXPECT_EQ(seenAtClick, L"-s");
  ASSERT_FALSE(this->sink_.Actions().empty());
  EXPECT_EQ(this->sink_.Actions().back(), L"Combo1 Click");
}

TYPED_TEST_P(FormContract, TypingRaisesChangeForEveryEditAndNeverClick) {
  this->driver_.Type(ControlId::Combo1, L"-f");
  EXPECT_EQ(this->form().Text(ControlId::Combo1), L"-f");
  EXPECT_EQ(this->sink_.Actions(), (Log{L"Combo1 Change", L"Combo1 Change"}));
}

TYPED_TEST_P(FormContract, ADisabledOrHiddenControlKeepsItsValueAndText) {
  Form& form = this->form();
  form.SetEnabled(ControlId::Check1, false);
  form.SetValue(ControlId::Check1, 1);
  EXPECT_EQ(form.Value(ControlId::Check1), 1);
  EXPECT_FALSE(form.Enabled(ControlId::Check1));
  form.SetEnabled(ControlId::Check1, true);
  EXPECT_EQ(form.Value(ControlId::Check1), 1);

  form.SetEnabled(ControlId::Combo2, false);
  form.SetText(ControlId::Combo2, L"-5");
  EXPECT_EQ(form.Text(ControlId::Combo2), L"-5");

  form.SetVisible(ControlId::Text1, false);
  form.SetText(ControlId::Text1, L"C:\\Morvane.com -d");
  EXPECT_FALSE(form.Visible(ControlId::Text1));
  EXPECT_EQ(form.Text(ControlId::Text1), L"C:\\Morvane.com -d");

  form.SetCaption(L"addmorvane C:\\Morvane.com -d");
  EXPECT_EQ(form.Caption(), L"addmorvane C:\\Morvane.com -d");
}

TYPED_TEST_P(FormContract, NothingInsideADisabledFrameTakesInput) {
  this->form().SetEnabled(ControlId::Frame1, false);
  EXPECT_TRUE(this->form().Enabled(ControlId::Command3)) << "the controls keep their own state";
  this->driver_.Click(ControlId::Command3);
  this->driver_.Click(ControlId::Check1);
  this->driver_.ChooseFromList(ControlId::Combo1, 1);
  this->driver_.Type(ControlId::Combo1, L"-d");
  this->driver_.MoveOver(ControlId::Check2);
  this->driver_.MoveOver(ControlId::Frame1);
  EXPECT_EQ(this->sink_.log, Log{});
  EXPECT_EQ(this->form().Value(ControlId::Check1), 0);
  EXPECT_EQ(this->form().Text(ControlId::Combo1), L"");

  this->form().SetEnabled(ControlId::Frame1, true);
  this->driver_.Click(ControlId::Command3);
  EXPECT_EQ(this->sink_.Actions(), Log{L"Command3 Click"});
}

TYPED_TEST_P(FormContract, PointerOverWhatTakesNoInputReachesTheFrame) {
  this->form().SetEnabled(ControlId::Check1, false);
  this->form().SetEnabled(ControlId::Combo2, false);
  for (const ControlId id : {ControlId::Check1, ControlId::Combo2, ControlId::Label2}) {
    SCOPED_TRACE(std::wstring(SpecOf(id).name));
    this->sink_.log.clear();
    this->driver_.MoveOver(id);
    EXPECT_TRUE(this->sink_.Saw(L"Frame1 MouseMove"));
    EXPECT_FALSE(this->sink_.Saw(L"Check1 MouseMove"));
  }
  this->sink_.log.clear();
  this->driver_.MoveOver(ControlId::Check2);
  EXPECT_TRUE(this->sink_.Saw(L"Check2 MouseMove"));
  EXPECT_FALSE(this->sink_.Saw(L"Frame1 MouseMove")) << "an enabled flag keeps the pointer";
}

TYPED_TEST_P(FormContract, OptionButtonsFormOneGroupAndOnlyTheUserRaisesClick) {
  Form& form = this->form();
  form.SetValue(ControlId::Option1, 1);
  EXPECT_EQ(form.Value(ControlId::Option1), 1);
  EXPECT_EQ(form.Value(ControlId::Option2), 0);
  EXPECT_EQ(this->sink_.log, Log{}) << "selecting from code raises nothing";
  this->driver_.Click(ControlId::Option2);
  EXPECT_EQ(form.Value(ControlId::Option1), 0);
  EXPECT_EQ(form.Value(ControlId::Option2), 1);
  // A click on the option that is already selected raises Click again.
  this->driver_.Click(ControlId::Option2);
  EXPECT_EQ(this->sink_.Actions(), (Log{L"Option2 Click", L"Option2 Click"}));
}

TYPED_TEST_P(FormContract, AClickOnACheckBoxTogglesItAndRaisesNoClick) {
  this->driver_.Click(ControlId::Check4);
  EXPECT_EQ(this->form().Value(ControlId::Check4), 1);
  this->driver_.Click(ControlId::Check4);
  EXPECT_EQ(this->form().Value(ControlId::Check4), 0);
  EXPECT_EQ(this->sink_.Actions(), Log{});
}

TYPED_TEST_P(FormContract, CheckBoxesAndListsRaiseGotFocusWhenTheyTakeTheFocus) {
  this->driver_.Click(ControlId::Check2);
  this->driver_.Click(ControlId::Check2);
  this->driver_.ChooseFromList(ControlId::Combo1, 1);
  EXPECT_TRUE(this->form().Focused(ControlId::Combo1));
  this->driver_.Click(ControlId::Command3);
  EXPECT_EQ(this->sink_.Actions(true), (Log{L"Check2 GotFocus", L"Combo1 GotFocus",
                                            L"Combo1 Change", L"Combo1 Click", L"Command3 Click"}));
  EXPECT_TRUE(this->form().Focused(ControlId::Command3));
  EXPECT_FALSE(this->form().Focused(ControlId::Combo1));
}

TYPED_TEST_P(FormContract, AnEnabledTimerTicksEveryInterval) {
  EXPECT_FALSE(this->form().TimerEnabled());
  this->form().SetTimerEnabled(true);
  ASSERT_TRUE(this->driver_.WaitForTicks(3));
  EXPECT_GE(this->sink_.ticks, 3);
  this->form().SetTimerEnabled(false);
  EXPECT_FALSE(this->form().TimerEnabled());
}

TYPED_TEST_P(FormContract, AFailureEscapingAHandlerIsReportedOnceAndEndsTheForm) {
  this->sink_.on = [&](ControlId control, Event event) {
    if (control == ControlId::Command1 && event == Event::Click) {
      this->form().SetText(ControlId::Combo1, L"-d");  // fails in the nested handler
      this->form().SetCaption(L"not reached");
    } else if (control == ControlId::Combo1 && event == Event::Change) {
      throw SystemError(5, L"Не удалось записать файл C:\\morvane.bat.");
    }
  };
  this->driver_.Click(ControlId::Command1);
  EXPECT_EQ(this->actions_.failures,
            (std::vector<ReportedFailure>{{5, L"Не удалось записать файл C:\\morvane.bat."}}));
  EXPECT_TRUE(this->driver_.ended());
  EXPECT_EQ(this->driver_.exitCode(), 5);
}

TYPED_TEST_P(FormContract, AfterTheEndNoEventIsRaised) {
  this->form().SetTimerEnabled(true);
  this->form().End(0);
  EXPECT_TRUE(this->driver_.ended());
  EXPECT_EQ(this->driver_.exitCode(), 0);
  EXPECT_FALSE(this->form().TimerEnabled());
  this->form().SetText(ControlId::Combo1, L"-d");
  this->form().Notify([] { ADD_FAILURE() << "a launch script's end, told late, ran"; });
  EXPECT_EQ(this->sink_.log, Log{});
}

REGISTER_TYPED_TEST_SUITE_P(FormContract,
                            TextSetFromCodeRaisesChangeBeforeReturningAndOnlyOnARealChange,
                            AHandlerRaisedByAPropertyChangeRunsNestedAndWhole,
                            AListChoiceRaisesClickWithTheChosenTextInTheField,
                            TypingRaisesChangeForEveryEditAndNeverClick,
                            ADisabledOrHiddenControlKeepsItsValueAndText,
                            NothingInsideADisabledFrameTakesInput,
                            PointerOverWhatTakesNoInputReachesTheFrame,
                            OptionButtonsFormOneGroupAndOnlyTheUserRaisesClick,
                            AClickOnACheckBoxTogglesItAndRaisesNoClick,
                            CheckBoxesAndListsRaiseGotFocusWhenTheyTakeTheFocus,
                            AnEnabledTimerTicksEveryInterval,
                            AFailureEscapingAHandlerIsReportedOnceAndEndsTheForm,
                            AfterTheEndNoEventIsRaised);

}  // namespace addmorvane::test
