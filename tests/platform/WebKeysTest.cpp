// The page's keys are the window's: every KeyboardEvent.code gives the scan
// code the window's own table gives for the same physical key (the USB
// usage both are defined by), every key the window knows has its code, and
// the browser keeps its shortcuts.
#include "platform/Window.h"
#include "platform/web/KeyCodes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace Platform;

namespace {

TEST(WebKeys, EachCodeGivesTheWindowsScanCodeForItsKey) {
  std::set<std::string> codes;
  std::set<int> usages;
  for (const KeyCodes::Key& k : KeyCodes::Table()) {
    EXPECT_EQ(Set1ScanCode(k.usage), k.scan) << k.code;
    EXPECT_EQ(KeyCodes::ScanOfCode(k.code), k.scan) << k.code;
    EXPECT_TRUE(codes.insert(k.code).second) << "twice: " << k.code;
    EXPECT_TRUE(usages.insert(k.usage).second) << "twice: usage " << k.usage;
  }
}

TEST(WebKeys, EveryKeyOfTheWindowHasItsCode) {
  // A browser calls the key beside Enter on an ISO keyboard (usage 32H)
  // "Backslash" too: the window gives both the same code.
  EXPECT_EQ(Set1ScanCode(0x32), KeyCodes::ScanOfCode("Backslash"));
  for (int usage = 0; usage < 512; ++usage) {
    if (Set1ScanCode(usage) == 0 || usage == 0x32) continue;
    EXPECT_NE(KeyCodes::ScanOfUsage(usage), 0) << "no code for usage " << usage;
  }
}

TEST(WebKeys, DigitRowAndKeypadAsInTheWindow) {
  // The digit row plays; the keypad gives the cursor keys' codes.
  EXPECT_EQ(KeyCodes::ScanOfCode("Digit4"), 0x05);
  EXPECT_EQ(KeyCodes::ScanOfCode("Digit0"), 0x0B);
  EXPECT_EQ(KeyCodes::ScanOfCode("Numpad4"), KeyCodes::ScanOfCode("ArrowLeft"));
  EXPECT_EQ(KeyCodes::ScanOfCode("Numpad0"), KeyCodes::ScanOfCode("Insert"));
  EXPECT_EQ(KeyCodes::ScanOfCode("ControlRight"), KeyCodes::ScanOfCode("ControlLeft"));
  EXPECT_EQ(KeyCodes::ScanOfCode("Unidentified"), 0);
  EXPECT_EQ(KeyCodes::ScanOfCode(""), 0);
}

TEST(WebKeys, TheGamesKeysAreKeptAndTheBrowsersShortcutsAreNot) {
  for (const char* code : {"Digit4", "Digit6", "Digit5", "Digit2", "Digit0", "KeyQ", "KeyN", "Space", "Enter",
                           "ArrowLeft", "Numpad4", "Backspace"})
    EXPECT_TRUE(KeyCodes::KeepFromBrowser(code, false, false, false)) << code;
  for (const char* code : {"F5", "F11", "F12", "Tab", "Escape", "ShiftLeft", "ControlLeft", "AltLeft", "MetaLeft",
                           "Unidentified"})
    EXPECT_FALSE(KeyCodes::KeepFromBrowser(code, false, false, false)) << code;
  EXPECT_FALSE(KeyCodes::KeepFromBrowser("KeyR", true, false, false));   // reload
  EXPECT_FALSE(KeyCodes::KeepFromBrowser("KeyW", true, false, false));   // close the tab
  EXPECT_FALSE(KeyCodes::KeepFromBrowser("ArrowLeft", false, true, false));  // back
  EXPECT_FALSE(KeyCodes::KeepFromBrowser("KeyQ", false, false, true));
}

}  // namespace
