#pragma once
// Letter case folded in the sense of the ANSI code page: the ASCII letters
// and the Latin-1 letters ("\xC4rger" and "\xE4rger" are one key).

#include <string>

inline char FoldCaseChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
    return static_cast<char>(u + 0x20);
  return c;
}

inline std::string FoldCase(std::string s) {
  for (char& c : s) c = FoldCaseChar(c);
  return s;
}
