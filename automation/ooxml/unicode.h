// UTF-8 (the interface's text) to UTF-16 (Word's positions) and back.
#pragma once

#include <string>
#include <string_view>

namespace automation::ooxml {

// Word's mark characters in the text of a story: the paragraph mark, and the end-of-cell (and end-of-row)
// mark, which Range.Text shows as "\r\a".
inline constexpr char16_t kParagraphMark = u'\r';
inline constexpr char16_t kCellMark = 7;

// Invalid sequences become U+FFFD; never throws.
std::u16string toUtf16(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);
// The text with ASCII letters in lower case (part names and encoding names compare so).
std::string lowerAscii(std::string_view text);
// Number of UTF-16 code units the UTF-8 text takes.
int utf16Length(std::string_view utf8);

}  // namespace automation::ooxml
