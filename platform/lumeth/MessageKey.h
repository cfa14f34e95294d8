#pragma once
// A message key that a table or a constant holds until a view shows it (a caption, a refusal, a
// progress line): written through this mark, it is found with the keys the calls send when the
// catalogue is checked for keys without a text.
constexpr const char* MessageKey(const char* key) { return key; }
