#include "memory_form.h"

#include <stdexcept>

#include "app/captions.h"

namespace addmorvane::test {

MemoryForm::MemoryForm(EventSink& sink, SystemActions& actions, unsigned timerIntervalMs)
    : sink_(sink),
      guard_(actions, [this](int exitCode) { End(exitCode); }),
      timerIntervalMs_(timerIntervalMs),
      caption_(kFormCaption) {
  for (const ControlSpec& spec : kLayout) {
    At(spec.id).text = spec.caption;
  }
  // The timer is enabled in the layout; the window keeps it stopped until code enables it.
}

void MemoryForm::Raise(ControlId id, Event event) {
  if (ended()) {
    return;
  }
  guard_.Run([&] { sink_.OnEvent(id, event); });
}

void MemoryForm::SetText(ControlId id, std::wstring_view text) {
  Control& control = At(id);
  if (control.text == text) {
    return;
  }
  control.text = text;
  const ControlKind kind = SpecOf(id).kind;
  if (kind == ControlKind::ComboBox || kind == ControlKind::TextBox) {
    Raise(id, Event::Change);
  }
}

void MemoryForm::SetValue(ControlId id, std::int16_t value) {
  const ControlSpec& spec = SpecOf(id);
  if (spec.kind == ControlKind::OptionButton && value != 0) {
    for (const ControlSpec& other : kLayout) {
      if (other.kind == ControlKind::OptionButton && other.container == spec.container) {
        At(other.id).value = 0;
      }
    }
  }
  At(id).value = value;
}

void MemoryForm::SetTimerEnabled(bool enabled) {
  if (enabled && !timerEnabled_) {
    nextTick_ = now_ + timerIntervalMs_;
  }
  timerEnabled_ = enabled;
}

void MemoryForm::End(int exitCode) {
  if (ended()) {
    return;
  }
  exitCode_ = exitCode;
  timerEnabled_ = false;
}

bool MemoryForm::TakesInput(ControlId id) const {
  if (ended() || !Enabled(id) || !Visible(id)) {
    return false;
  }
  return SpecOf(id).container == Container::Window || TakesInput(ControlId::Frame1);
}

void MemoryForm::Focus(ControlId id) {
  const ControlKind kind = SpecOf(id).kind;
  if (!TakesInput(id) || focus_ == id || kind == ControlKind::Label || kind == ControlKind::Frame) {
    return;
  }
  focus_ = id;
  if (kind == ControlKind::CheckBox || kind == ControlKind::ComboBox) {
    Raise(id, Event::GotFocus);
  }
}

void MemoryForm::Click(ControlId id) {
  if (!TakesInput(id)) {
    return;
  }
  Focus(id);
  switch (SpecOf(id).kind) {
    case ControlKind::PushButton:
      Raise(id, Event::Click);
      break;
    case ControlKind::OptionButton:
      // As with the real buttons, a click on the selected one reports it once more.
      SetValue(id, 1);
      Raise(id, Event::Click);
      break;
    case ControlKind::CheckBox:
      At(id).value = Value(id) == 1 ? 0 : 1;
      break;
    default:
      break;
  }
}

void MemoryForm::ChooseFromList(ControlId combo, std::size_t index) {
  Focus(combo);
  Wheel(combo, index);
}

void MemoryForm::Wheel(ControlId combo, std::size_t index) {
  if (!TakesInput(combo)) {
    return;
  }
  const ControlSpec& spec = SpecOf(combo);
  if (spec.kind != ControlKind::ComboBox) {
    throw std::invalid_argument("no list");
  }
  SetText(combo, spec.listEntries[index]);
  Raise(combo, Event::Click);
}

void MemoryForm::EditText(ControlId combo, std::wstring text) {
  if (!TakesInput(combo)) {
    return;
  }
  Focus(combo);
  Control& control = At(combo);
  if (control.text == text) {
    return;
  }
  control.text = std::move(text);
  Raise(combo, Event::Change);
}

void MemoryForm::Type(ControlId combo, std::wstring_view text) {
  for (const wchar_t character : text) {
    EditText(combo, Text(combo) + character);
  }
}

void MemoryForm::Backspace(ControlId combo) {
  std::wstring text = Text(combo);
  if (!text.empty()) {
    text.pop_back();
    EditText(combo, std::move(text));
  }
}

void MemoryForm::MoveOver(ControlId id) {
  if (ended()) {
    return;
  }
  const ControlKind kind = SpecOf(id).kind;
  if (kind == ControlKind::CheckBox && TakesInput(id)) {
    Raise(id, Event::MouseMove);
  } else if (!TakesInput(id) || kind == ControlKind::Frame || kind == ControlKind::Label) {
    // What takes no input lets the pointer through to its container; labels never take it.
    if (SpecOf(id).container == Container::Frame1 || id == ControlId::Frame1) {
      if (TakesInput(ControlId::Frame1)) {
        Raise(ControlId::Frame1, Event::MouseMove);
      }
    }
  }
}

void MemoryForm::AdvanceTime(unsigned ms) {
  const unsigned long long until = now_ + ms;
  while (timerEnabled_ && !ended() && nextTick_ <= until) {
    now_ = nextTick_;
    nextTick_ += timerIntervalMs_;
    guard_.Run([&] { sink_.OnTimer(); });
  }
  now_ = until;
}

}  // namespace addmorvane::test
