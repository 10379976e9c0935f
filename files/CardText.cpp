#include "CardText.h"

#include <iconv.h>

#include <array>
#include <cerrno>

namespace {
// The card's own texts; the other columns are made by the program.
constexpr std::array<FileColumn, 4> kCardTexts = {
    FileColumn::FileName, FileColumn::ShortDescription, FileColumn::LongDescription,
    FileColumn::Application};

// The Shift-JIS variant that leaves ASCII as it is (0x5C a backslash, 0x7E a
// tilde), as the console's font draws them.
constexpr const char* kShiftJisName = "CP932";

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The one Shift-JIS to UTF-8 descriptor of a thread, opened on first use and
// closed at the thread's end: opening one costs far more than a card text's
// conversion, and a listing converts four texts a file.
class CConversion {
 public:
  static CConversion& OfThisThread() {
    thread_local CConversion conversion;
    return conversion;
  }
  ~CConversion() {
    if (IsOpen()) iconv_close(handle_);
  }
  CConversion(const CConversion&) = delete;
  CConversion& operator=(const CConversion&) = delete;
  bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  // Back to the initial state, which a failed conversion may have left.
  iconv_t Reset() {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    return handle_;
  }

 private:
  CConversion() : handle_(iconv_open("UTF-8", kShiftJisName)) {}
  iconv_t handle_;
};
// The bytes of the well-formed UTF-8 sequence of one character beyond ASCII
// that starts at at; 0 when there is none (ASCII, or bytes that are no UTF-8).
std::size_t Utf8Length(const std::string& text, std::size_t at) {
  const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned lead = byte(at);
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  }
  if (length == 0 || at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(at + k) < 0x80 || byte(at + k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

const char* EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Western:
      return "latin1";
    case TextEncoding::Japanese:
      return "sjis";
    case TextEncoding::Automatic:
      break;
  }
  return "auto";
}

bool EncodingFromName(const std::string& name, TextEncoding& encoding) {
  for (const TextEncoding each :
       {TextEncoding::Automatic, TextEncoding::Western, TextEncoding::Japanese}) {
    if (name == EncodingName(each)) {
      encoding = each;
      return true;
    }
  }
  return false;
}

std::string DecodeLatin1(const std::string& bytes) {
  std::string utf8;
  utf8.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | byte >> 6);
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

bool DecodeShiftJis(const std::string& bytes, std::string& utf8) {
  CConversion& conversion = CConversion::OfThisThread();
  if (!conversion.IsOpen()) return false;
  std::string in = bytes;
  std::string out(bytes.size() * 3 + 4, '\0');  // a Shift-JIS byte never needs more
  char* inAt = in.data();
  std::size_t inLeft = in.size();
  char* outAt = out.data();
  std::size_t outLeft = out.size();
  if (iconv(conversion.Reset(), &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1)) {
    return false;
  }
  out.resize(out.size() - outLeft);
  utf8 = std::move(out);
  return true;
}

bool LooksJapanese(const std::string& bytes) {
  int katakanaRun = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const bool katakana = byte >= 0xA1 && byte <= 0xDF;
    katakanaRun = katakana ? katakanaRun + 1 : 0;
    if (katakanaRun >= 3) return true;
    if (!IsLeadByte(byte) || i + 1 == bytes.size()) continue;
    const auto trail = static_cast<unsigned char>(bytes[++i]);
    // Latin-1 has no printable characters from 0x80 to 0x9F, and two high
    // characters in a row are rare in Western text; an accented small
    // letter before an ASCII one ("Pok\xe9mon") is not Japanese evidence.
    if (byte <= 0x9F || trail >= 0x80) return true;
  }
  return false;
}

FileTexts DecodeFileTexts(const FileTexts& raw, TextEncoding encoding) {
  bool japanese = encoding == TextEncoding::Japanese;
  if (encoding == TextEncoding::Automatic) {
    // The conversion is tried only where the bytes look Japanese: most texts
    // are plain ASCII, and a listing decodes four of them a file.
    for (const FileColumn column : kCardTexts)
      japanese = japanese || LooksJapanese(raw.Text(column));
    std::string ignored;
    for (const FileColumn column : kCardTexts)
      japanese = japanese && DecodeShiftJis(raw.Text(column), ignored);
  }
  FileTexts decoded = raw;
  for (const FileColumn column : kCardTexts) {
    const std::string& bytes = raw.Text(column);
    if (!japanese || !DecodeShiftJis(bytes, decoded.Text(column))) {
      decoded.Text(column) = DecodeLatin1(bytes);
    }
  }
  return decoded;
}

std::string EscapeText(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string escaped;
  escaped.reserve(text.size());
  auto code = [&escaped](unsigned value) {
    escaped += "\\x";
    escaped += kHex[value >> 4];
    escaped += kHex[value & 0x0F];
  };
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (const std::size_t length = Utf8Length(text, at); length > 1) {
      // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F in UTF-8.
      const auto second = static_cast<unsigned char>(text[at + 1]);
      if (byte == 0xC2 && second < 0xA0) {
        code(second);
      } else {
        escaped.append(text, at, length);
      }
      at += length;
      continue;
    }
    ++at;
    switch (byte) {
      case '\t':
        escaped += "\\t";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\\':
        escaped += "\\\\";
        break;
      default:
        // A byte that is a C1 control on its own, as a terminal that reads
        // single bytes takes it, goes the same way as C0 and DEL.
        if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte < 0xA0)) {
          code(byte);
        } else {
          escaped += static_cast<char>(byte);
        }
    }
  }
  return escaped;
}

FileTexts EscapeCardTexts(const FileTexts& decoded) {
  FileTexts shown = decoded;
  for (const FileColumn column : kCardTexts)
    shown.Text(column) = EscapeText(decoded.Text(column));
  return shown;
}
