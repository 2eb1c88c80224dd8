#include "launch/trust_refusal.h"

#include "base/join.h"

namespace addmorvane {
namespace {

constexpr std::wstring_view kNotOpened =
    L" не открыт: программа работает с правами администратора, а этот файл может изменить не "
    L"только администратор.\n\n";
constexpr std::wstring_view kHowToRestrict =
    L"\n\nАдминистратор может ограничить доступ в свойствах файла и его папки, на вкладке "
    L"«Безопасность»: владельцем сделать группу «Администраторы», а право изменять файл и менять "
    L"файлы в папке оставить только администраторам и системе.";
// A script that is run, not only opened: whoever opened it while it was writable keeps that
// access through his open file or a mapped view, whatever its permissions become.
constexpr std::wstring_view kHowToReplace =
    L"\n\nНе меняйте разрешения этого файла на месте: кто открыл его раньше, сохранит доступ к "
    L"нему. Администратор создаёт новый файл в папке, которую могут открыть только "
    L"администраторы, делает его владельцем группу «Администраторы», оставляет право изменять "
    L"его только администраторам и системе и переносит его на место командой move /y (раздел 5 "
    L"файла README.txt).";

std::wstring Reason(std::wstring_view judged,
                    Guarded guarded,
                    const TrustVerdict& verdict,
                    std::wstring_view principal) {
  const bool file = guarded == Guarded::File;
  const std::wstring_view folder = file ? std::wstring_view() : judged;
  const std::wstring_view space = file ? L"" : L" ";
  switch (verdict.reason) {
    case Distrust::Owner:
      return Join({file ? L"Владелец файла" : L"Владелец папки ", folder, L": ", principal, L"."});
    case Distrust::NoDacl:
      return file ? L"У файла нет списка разрешений: изменять его может любой."
                  : Join({L"У папки ", folder,
                          L" нет списка разрешений: менять в ней может любой."});
    case Distrust::OtherMayChange:
      return file ? Join({L"Изменять или удалять файл разрешено: ", principal, L"."})
                  : Join({L"Добавлять, удалять или переименовывать файлы в папке ", folder,
                          L" разрешено: ", principal, L"."});
    case Distrust::UnknownEntry:
    case Distrust::None:
      break;
  }
  return Join({file ? L"В разрешениях файла" : L"В разрешениях папки", space, folder,
               L" есть запись, которую программа не умеет проверить."});
}

}  // namespace

std::wstring RefusalText(std::wstring_view file,
                         std::wstring_view judged,
                         Guarded guarded,
                         const TrustVerdict& verdict,
                         std::wstring_view principal,
                         Remedy remedy) {
  return Join({L"Файл ", file, kNotOpened, Reason(judged, guarded, verdict, principal),
               remedy == Remedy::Replace ? kHowToReplace : kHowToRestrict});
}

}  // namespace addmorvane
