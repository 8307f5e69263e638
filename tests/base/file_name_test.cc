#include "base/file_name.h"

#include <gtest/gtest.h>

#include <string>

TEST(IsPlainFileNameTest, NamesThatStayInTheFolder) {
  for (const char* name : {"Pagetrix.htm", "Seite 1.htm", "a", ".htaccess", "COM10.htm", "COM0",
                           "LPT", "nulled.htm", "con-tact.htm", "CONIN.htm", "x.nul", "auxiliary",
                           "\xDC"
                           "bersicht.htm",
                           "a..b", "p;q.htm"}) {
    EXPECT_TRUE(IsPlainFileName(name)) << name;
  }
}

TEST(IsPlainFileNameTest, NamesThatReachAnotherFolderOrDrive) {
  for (const char* name :
       {"", ".", "..", "../x.htm", "..\\x.htm", "sub\\x.htm", "sub/x.htm", "\\x.htm", "/etc/passwd",
        "C:x.htm", "C:\\x.htm", "\\\\srv\\share\\x.htm", "x.htm:stream"}) {
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  }
}

TEST(IsPlainFileNameTest, DeviceNamesInAnyCaseWithOrWithoutExtension) {
  for (const char* name :
       {"CON", "con", "Prn", "AUX", "nul", "NUL.htm", "nul.tar.gz", "COM1", "com9.txt", "LPT1",
        "lpt9.htm", "CONIN$", "conout$.txt", "NUL .htm", "COM\xB9", "LPT\xB2.htm"}) {
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  }
}

TEST(IsPlainFileNameTest, TrailingDotOrBlankAndControlCharacters) {
  for (const std::string& name :
       {std::string("x."), std::string("x "), std::string("a\tb"),
        std::string("a\x01"
                    "b"),
        std::string("a\x7f"), std::string("a\0b", 3), std::string("a\nb")}) {
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  }
}
