#include "swell-ini-sections.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <tuple>

namespace
{
IniSections parseText(const std::string& text)
{
  IniSections sections;
  std::unique_ptr<FILE, int (*)(FILE*)> file(fmemopen(const_cast<char*>(text.data()), text.size(), "rb"), fclose);
  if (file) sections.parse(file.get());
  return sections;
}

const auto canonical = [](const std::string& text) { return parseText(text).serialize(); };

TEST(IniSyntax, FilesReadAsTheirCanonicalRewrite)
{
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"sections and keys come back sorted without regard to case", "[b]\nCC2=b\ncc10=c\n[A]\nCC1=a\n",
       "[A]\nCC1=a\n\n[b]\ncc10=c\nCC2=b\n\n"},
      {"CRLF line ends and trailing blanks drop", "[S]\r\nk=v \t\r\n", "[S]\nk=v\n\n"},
      {"text after ] is ignored, the name is not trimmed", "[ S ] trailing\nk=v\n", "[ S ]\nk=v\n\n"},
      {"a header without ] leaves the section current", "[S]\n[broken\nk=v\n", "[S]\nk=v\n\n"},
      {"keys after [] are ignored", "[S]\na=1\n[]\nb=2\n[T]\nc=3\n", "[S]\na=1\n\n[T]\nc=3\n\n"},
      {"lines without = and empty keys are ignored", "[S]\n; note\n=v\nplain\n", "[S]\n\n"},
      {"a repeated section keeps its last occurrence", "[S]\na=1\n[s]\nb=2\n", "[S]\nb=2\n\n"},
      {"a repeated key keeps its first spelling and last value", "[S]\nKey=1\nkey=2\n", "[S]\nKey=2\n\n"},
      {"zero and high bytes stay as they are", std::string("[S]\nk\0x=\xff\0v\n", 12),
       std::string("[S]\nk\0x=\xff\0v\n\n", 13)},
  };
  for (const auto& [what, file, written] : cases)
    EXPECT_EQ(canonical(file), written) << what;
}

TEST(IniSyntax, TextWithoutAHeaderInTheFirst256KiBIsNoIniFile)
{
  std::string late;
  while (late.size() < 300 * 1024)
    late += "x=y\n";
  EXPECT_EQ(canonical(late + "[S]\nk=v\n"), "");
}

TEST(IniSyntax, AnOverlongLineIsCutAt32MiBAndGoesOnAsTheNextLine)
{
  const std::string text = "[S]\n" + std::string(0x2000000, 'a') + "key=value\n";
  const IniSections sections = parseText(text);
  const IniSection* section = sections.find("S");
  ASSERT_NE(section, nullptr);
  ASSERT_EQ(section->keys.size(), 1u);
  EXPECT_EQ(section->keys[0].name, "key");
  EXPECT_EQ(section->keys[0].value, "value");
}
} // namespace
