// The form's contract, held against the in-memory form.
#include "contract/form_contract.h"
#include "memory_form.h"

namespace addmorvane::test {
namespace {

class MemoryDriver {
 public:
  MemoryDriver(ScriptedSink& sink, SystemActions& actions)
      : form_(sink, actions, kContractTimerMs) {}

  Form& form() { return form_; }
  void Click(ControlId id) { form_.Click(id); }
  void ChooseFromList(ControlId combo, std::size_t index) { form_.ChooseFromList(combo, index); }
  void Type(ControlId combo, std::wstring_view text) { form_.Type(combo, text); }
  void MoveOver(ControlId id) { form_.MoveOver(id); }
  bool WaitForTicks(int ticks) {
    form_.AdvanceTime(static_cast<unsigned>(ticks) * kContractTimerMs);
    return true;
  }
  bool ended() const { return form_.ended(); }
  int exitCode() const { return form_.exitCode().value_or(-1); }

 private:
  MemoryForm form_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(InMemory, FormContract, MemoryDriver);

}  // namespace
}  // namespace addmorvane::test
