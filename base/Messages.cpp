#include "Messages.h"

const std::vector<const Message*>& AllMessages() {
  static const std::vector<const Message*> all = {
#define KORVANTIS_MESSAGE(name, text, advice) &message::name,
#define KORVANTIS_UNSHOWN(name, text) &message::name,
#define KORVANTIS_PART(name, text)  // words inside messages, not messages
#include "MessageList.h"
#undef KORVANTIS_MESSAGE
#undef KORVANTIS_UNSHOWN
#undef KORVANTIS_PART
  };
  return all;
}

std::string Fill(const Message& message, std::initializer_list<std::string> values) {
  const std::string text = message.text;
  std::string filled;
  std::size_t from = 0;
  for (const std::string& value : values) {
    const std::size_t open = text.find('{', from);
    const std::size_t close = open == std::string::npos ? open : text.find('}', open);
    if (close == std::string::npos) break;
    filled.append(text, from, open - from).append(value);
    from = close + 1;
  }
  return filled.append(text, from, std::string::npos);
}

std::string Counted(std::size_t count, const Message& one, const Message& many) {
  return count == 1 ? std::string(one.text) : Fill(many, {std::to_string(count)});
}
