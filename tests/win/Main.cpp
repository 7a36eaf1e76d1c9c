// Entry point of the Win32 tests: the application object gets the installer's title,
// as at start-up, so the message boxes and the exception box show it. A box that no
// test answers is closed after a while and fails the test that showed it.
#include <gtest/gtest.h>

#include "BoxWatcher.h"
#include "ui/Application.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  Application->SetTitle("コルヴァニ　領収書発行セットアップ");
  const BoxWatcher safetyNet({"#32770", "TMessageForm"}, nullptr);
  return RUN_ALL_TESTS();
}
