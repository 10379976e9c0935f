#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

// One message the program shows: its text, with "{...}" where the program
// fills something in, and what the user can do about it. Every front end and
// command takes its texts from here, and the user guide lists them all.
struct Message {
  const char* text;
  const char* advice;  // empty when the program never shows the message, and for a part
};

namespace message {
#define KORVANTIS_MESSAGE(name, text, advice) inline constexpr Message name{text, advice};
#define KORVANTIS_UNSHOWN(name, text) inline constexpr Message name{text, ""};
#define KORVANTIS_PART(name, text) inline constexpr Message name{text, ""};
#include "MessageList.h"
#undef KORVANTIS_MESSAGE
#undef KORVANTIS_UNSHOWN
#undef KORVANTIS_PART
}  // namespace message

// Every message, in the order of MessageList.h (the parts are not messages).
const std::vector<const Message*>& AllMessages();

// The text with its "{...}" marks replaced by the values, in order. A mark
// without a value stays as it is.
std::string Fill(const Message& message, std::initializer_list<std::string> values);

// one when count is 1, else many with the count filled in: "1 block", "3 blocks".
std::string Counted(std::size_t count, const Message& one, const Message& many);
