// Entry point of the Win32 tests: the application object gets the installer's title,
// as at start-up, so the message boxes and the exception box show it.
#include <gtest/gtest.h>

#include "ui/Application.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  Application->SetTitle("コルヴァニ　領収書発行セットアップ");
  return RUN_ALL_TESTS();
}
